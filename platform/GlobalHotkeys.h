#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QtGlobal>

#include <memory>

namespace platform {

// WM_HOTKEY: the message a window receives when one of its registered hotkeys is pressed.
constexpr quint32 HotkeyMessage = 0x0312;

// What a hotkey service reports outside the window's messages: a desktop service that binds the hotkeys
// itself tells of presses and of hotkeys it refused after registration.
class HotkeyEvents : public QObject
{
    Q_OBJECT

signals:
    // The hotkey registered for `window` under `id` was pressed.
    void pressed(quintptr window, int id);
    // These hotkeys of `window` were registered, but cannot be had after all.
    void lost(quintptr window, const QList<int> &ids);
};

// Session-wide hotkeys, registered for a window. The combination is given as RegisterHotKey's modifier
// flags and virtual-key code (platform/NativeHotkey.h). A press anywhere in the session sends the window a
// hotkey message carrying the id; the window's native message hook (QWidget::nativeEvent) recognises it
// with hotkeyMessageId. A service that binds through the desktop (the GlobalShortcuts portal) reports presses
// and later refusals through events() instead.
class GlobalHotkeys
{
public:
    virtual ~GlobalHotkeys() = default;

    // RegisterHotKey. False when the combination is taken (by another program, or already registered
    // here), cannot be produced by the keyboard, or there is no window system to register with.
    // `description` says what the hotkey does, for desktops that list applications' hotkeys.
    virtual bool registerHotKey(quintptr window, int id, quint32 modifiers, quint32 virtualKey,
                                const QString &description) = 0;
    // UnregisterHotKey. False when nothing was registered under (window, id).
    virtual bool unregisterHotKey(quintptr window, int id) = 0;
    // For a message handed to the window's native message hook: true when it is a hotkey message
    // (WM_HOTKEY), with the hotkey's id (its wParam) in *id.
    virtual bool hotkeyMessageId(const QByteArray &eventType, void *message, int *id) = 0;

    HotkeyEvents &events() { return hotkeyEvents; }

private:
    HotkeyEvents hotkeyEvents;
};

// The process's hotkey service: the platform's own unless a test installed another.
GlobalHotkeys &globalHotkeys();
// Installs a replacement (tests); nullptr goes back to the platform's own. Not owned.
void setGlobalHotkeysForTesting(GlobalHotkeys *replacement);
// Defined once per platform (platform/win, platform/linux).
std::unique_ptr<GlobalHotkeys> createSystemGlobalHotkeys();

}  // namespace platform
