#pragma once

#include "base/Records.h"
#include "model/PresetRepository.h"
#include "printers/PrinterStatusMonitor.h"
#include "ui/DockEdge.h"

#include <QHash>
#include <QList>
#include <QPoint>
#include <QString>
#include <QWidget>

class PresetCard;
class QLabel;
class QMenu;
class QPropertyAnimation;
class QPushButton;
class QScrollArea;
class QSystemTrayIcon;
class QTimer;
class QVBoxLayout;

// The program's only top-level window: a narrow frameless always-on-top panel with a title bar, one card
// per printer preset, a drop zone, the add-preset button and a one-line status display. It owns the preset
// store, the cards, the timers, the tray icon and the docking state.
//
// Features beyond the shell (editor, hotkeys and tray, docking, history, status refresh, language menu)
// declare their members in the blocks below and implement them in their own ui/*.cpp files.
class MainWindow : public QWidget
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // Shows a message in the status line; an empty message shows "Ready".
    void setStatus(const QString &message, bool error = false);
    void applyTheme(bool dark, bool persist);
    void retranslateUi();
    void rebuildPresetButtons();

public slots:
    void executePreset(const PrintPreset &preset, const QString &droppedFile = QString());
    void addPrinterPreset();
    void editPreset(const PrintPreset &preset);
    void deletePreset(const PrintPreset &preset);
    void updateCopies(const PrintPreset &preset, int copies);
    void toggleTheme();
    void showDockMenu();
    void showPrintHistory();
    void showLanguageMenu();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool nativeEvent(const QByteArray &eventType, void *message, qintptr *result) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    friend class MainWindowTestAccess;

    void buildWidgetTree();
    bool handleTitleBarEvent(QEvent *event);

    // --- Preset execution flow (ui/PresetExecution.cpp) ---
    void updateForegroundOfficeContext();
    void setPrintingControlsEnabled(bool enabled);

    // --- Preset editor (ui/PresetEditor.cpp) ---
    bool showPresetDialog(PrintPreset *preset, bool isNew);

    // --- Global hotkeys and tray (ui/HotkeysAndTray.cpp) ---
    void registerPresetHotkeys();
    void unregisterPresetHotkeys();
    void setupTrayIcon();
    void hideToTray();
    void restoreFromTray();
    void exitFromTray();
    // Tool tip and menu of the tray icon in the current language (called by retranslateUi).
    void retranslateTray();

    // --- Edge docking (ui/EdgeDocking.cpp) ---
    void setDockEdge(DockEdge edge, bool persist);
    QRect dockScreenGeometry() const;
    QPoint expandedDockPosition() const;
    void updateDockButton();
    void animateDockTo(const QPoint &target, bool expanded);
    void expandDockedWindow();
    void collapseDockedWindow();
    // The deferred start-up restore of "dock/edge" and "dock/floatingPosition".
    void restoreDockState();

    // --- Printer status refresh (ui/StatusRefresh.cpp) ---
    void refreshPrinterStatuses();

    // --- Language menu and compatibility notice (ui/LanguageMenu.cpp) ---
    void setLanguage(const QString &code);
    void showCompatibilityNotice();

    PresetRepository repository;
    QList<PresetCard *> cards;
    QVBoxLayout *cardLayout = nullptr;
    QScrollArea *scrollArea = nullptr;
    QLabel *dropIcon = nullptr;
    QLabel *dropHint = nullptr;
    QLabel *statusDot = nullptr;
    QLabel *statusLabel = nullptr;
    QLabel *titleIcon = nullptr;
    QLabel *titleLabel = nullptr;
    QPushButton *historyButton = nullptr;
    QPushButton *languageButton = nullptr;
    QPushButton *dockButton = nullptr;
    QPushButton *themeButton = nullptr;
    QPushButton *minimizeButton = nullptr;
    QPushButton *closeButton = nullptr;
    QPushButton *addPrinterButton = nullptr;
    QWidget *frame = nullptr;
    QWidget *titleBar = nullptr;
    QWidget *dropZone = nullptr;
    QWidget *edgeHandle = nullptr;

    QHash<QString, PrinterStatusSnapshot> lastValidStatuses;
    QHash<QString, int> statusFailureCounts;
    bool statusRefreshRunning = false;
    bool printing = false;
    bool darkMode = false;

    // Docking.
    DockEdge dockEdge = DockEdge::None;
    QPoint floatingPosition;
    bool dockExpanded = true;
    bool dockReady = false;
    QPropertyAnimation *dockAnimation = nullptr;
    QTimer *collapseTimer = nullptr;

    QTimer *foregroundTimer = nullptr;
    QTimer *statusTimer = nullptr;

    // Tray and hotkeys.
    QSystemTrayIcon *trayIcon = nullptr;
    QMenu *trayMenu = nullptr;
    bool exiting = false;
    bool trayNoticeShown = false;
    QHash<int, int> hotkeyPresetIds;

    // Foreground memory of the execution flow.
    QString lastProgId;
    QString lastWindowTitle;
    quint32 lastProcessId = 0;

    QPoint dragOffset;
    bool draggingWindow = false;
};
