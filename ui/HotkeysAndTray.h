#pragma once

#include "base/Records.h"

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QString>

class PresetRepository;
class QAction;
class QMenu;
class QSystemTrayIcon;
class QWidget;

// The panel's global hotkeys and its life in the notification area. Every registration pass releases the
// previous hotkeys and registers one per preset that has one, with ids counted up from 20736; the ones that
// cannot be had are listed in the status line. A pressed hotkey prints the preset as stored at that moment.
// Closing the window hides it (the first time with a notice from the tray icon); the tray icon brings it
// back, and only the tray menu's exit ends the program. The tray menu also switches whether the panel starts
// with the desktop session; its check mark shows whether the entry exists when the menu opens.
class HotkeysAndTray : public QObject
{
    Q_OBJECT

public:
    // Registers for `window`, which also gets hidden, shown and its close requests answered. The
    // repository must outlive this object.
    HotkeysAndTray(PresetRepository &repository, QWidget *window);
    // Releases every hotkey still registered.
    ~HotkeysAndTray() override;

    // For the window's native message hook: true (with *result set) when the message was a hotkey.
    bool handleNativeMessage(const QByteArray &eventType, void *message, qintptr *result);

    // Both null when the desktop has no notification area.
    QSystemTrayIcon *trayIcon() const { return icon; }
    QMenu *trayMenu() const { return menu; }

public slots:
    void registerHotkeys();
    void unregisterHotkeys();
    void hideToTray();
    void restoreWindow();
    // Releases the hotkeys, removes the tray icon and quits the application.
    void exitProgram();
    // The tray icon's tool tip and menu in the current language.
    void retranslate();
    // Writes or removes the entry that starts the panel with the session; a failure goes to the status line.
    void setStartedWithSession(bool enabled);

signals:
    // A hotkey was pressed: print the foreground document with this preset.
    void printRequested(const PrintPreset &preset);
    void statusChanged(const QString &message, bool error);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void hotkeyPressed(quintptr window, int hotkeyId);
    void hotkeysLost(quintptr window, const QList<int> &hotkeyIds);

    PresetRepository &repository;
    QWidget *window;
    QSystemTrayIcon *icon = nullptr;
    QMenu *menu = nullptr;
    QAction *sessionStart = nullptr;
    QHash<int, int> presetIdsByHotkey;
    quintptr registeredWindow = 0;
    bool exiting = false;
    bool noticeShown = false;
};
