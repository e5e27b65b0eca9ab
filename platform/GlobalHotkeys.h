#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <memory>

namespace platform {

// WM_HOTKEY: the message a window receives when one of its registered hotkeys is pressed.
constexpr quint32 HotkeyMessage = 0x0312;

// Session-wide hotkeys, registered for a window. The combination is given as RegisterHotKey's modifier
// flags and virtual-key code (platform/NativeHotkey.h). A press anywhere in the session sends the window a
// hotkey message carrying the id; the window's native message hook (QWidget::nativeEvent) recognises it
// with hotkeyMessageId.
class GlobalHotkeys
{
public:
    virtual ~GlobalHotkeys() = default;

    // RegisterHotKey. False when the combination is taken (by another program, or already registered
    // here), cannot be produced by the keyboard, or there is no window system to register with.
    virtual bool registerHotKey(quintptr window, int id, quint32 modifiers, quint32 virtualKey) = 0;
    // UnregisterHotKey. False when nothing was registered under (window, id).
    virtual bool unregisterHotKey(quintptr window, int id) = 0;
    // For a message handed to the window's native message hook: true when it is a hotkey message
    // (WM_HOTKEY), with the hotkey's id (its wParam) in *id.
    virtual bool hotkeyMessageId(const QByteArray &eventType, void *message, int *id) = 0;
};

// The process's hotkey service: the platform's own unless a test installed another.
GlobalHotkeys &globalHotkeys();
// Installs a replacement (tests); nullptr goes back to the platform's own. Not owned.
void setGlobalHotkeysForTesting(GlobalHotkeys *replacement);
// Defined once per platform (platform/win, platform/linux).
std::unique_ptr<GlobalHotkeys> createSystemGlobalHotkeys();

}  // namespace platform
