#pragma once

#include "model/PresetRepository.h"

#include <QString>
#include <QStringList>
#include <QWidget>

class EdgeDocking;
class HandedOverFiles;
class HotkeysAndTray;
class LanguageMenu;
class PresetCards;
class PrintExecution;
class QLabel;
class QPushButton;
class QScrollArea;
class StatusRefresh;
class TitleBarDrag;
class WaylandNotice;

// The program's only top-level window: a narrow frameless always-on-top panel with a title bar, the preset
// cards, a drop zone, the add-preset button and a one-line status display. The window itself lays out the
// widgets, keeps the theme and the status line and translates its own texts; the controllers it owns do
// the rest and are wired here by signals: the cards (PresetCards), printing (PrintExecution), global hotkeys
// and the tray (HotkeysAndTray), edge docking (EdgeDocking), the printer statuses (StatusRefresh), the
// languages (LanguageMenu), files handed over by another start (HandedOverFiles) and what a Wayland desktop
// keeps from the panel (WaylandNotice). Tests reach a controller with findChild<T *>().
class MainWindow : public QWidget
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

public slots:
    // Shows a message in the status line; an empty message shows "Ready". An error shows "Attention" with a
    // red dot and the message as the tool tip.
    void setStatus(const QString &message, bool error = false);
    // Styles the window and the cards; `persist` saves the choice.
    void applyTheme(bool dark, bool persist);
    void toggleTheme();
    // The window's own texts in the current language.
    void retranslateUi();
    void showPrintHistory();
    // Brings the window forward: shown, out of the tray, slid out from its edge, raised and active.
    void present();
    // Prints files as drops on the preset named by id or title, or on the one the user picks when empty.
    void printFiles(const QStringList &files, const QString &presetReference);

signals:
    void themeChanged(bool dark);

protected:
    bool nativeEvent(const QByteArray &eventType, void *message, qintptr *result) override;

private:
    void buildWidgetTree();
    void createControllers();

    PresetRepository repository;
    bool darkMode = false;

    QWidget *frame = nullptr;
    QWidget *titleBar = nullptr;
    QLabel *titleIcon = nullptr;
    QPushButton *historyButton = nullptr;
    QPushButton *languageButton = nullptr;
    QPushButton *dockButton = nullptr;
    QPushButton *themeButton = nullptr;
    QPushButton *minimizeButton = nullptr;
    QPushButton *closeButton = nullptr;
    QScrollArea *scrollArea = nullptr;
    QLabel *dropIcon = nullptr;
    QLabel *dropHint = nullptr;
    QPushButton *addPrinterButton = nullptr;
    QLabel *statusDot = nullptr;
    QLabel *statusLabel = nullptr;
    QWidget *edgeHandle = nullptr;

    PresetCards *presetCards = nullptr;
    PrintExecution *execution = nullptr;
    HotkeysAndTray *hotkeysAndTray = nullptr;
    EdgeDocking *docking = nullptr;
    StatusRefresh *statusRefresh = nullptr;
    LanguageMenu *languageMenu = nullptr;
    TitleBarDrag *titleBarDrag = nullptr;
    HandedOverFiles *handedOverFiles = nullptr;
    WaylandNotice *waylandNotice = nullptr;
};
