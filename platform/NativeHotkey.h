#pragma once

#include <QString>
#include <QtGlobal>

// The keys and modifiers a global hotkey may use, in the Windows vocabulary the hotkey registration speaks
// (RegisterHotKey's modifier flags and virtual-key codes). The one key table below is shared by the hotkey
// grammar and by every platform's hotkey layer, so a key accepted by the grammar is a key the platform can
// grab.

namespace hotkey {

// RegisterHotKey modifier flags.
constexpr quint32 ModAlt = 0x0001;       // MOD_ALT
constexpr quint32 ModControl = 0x0002;   // MOD_CONTROL
constexpr quint32 ModShift = 0x0004;     // MOD_SHIFT
constexpr quint32 ModWin = 0x0008;       // MOD_WIN
constexpr quint32 ModNoRepeat = 0x4000;  // MOD_NOREPEAT

// One key a hotkey may end with: the toolkit's key code (Qt::Key), the Windows virtual-key code and the
// X11 keysym that produces it. Several rows may share a virtual key (Return and the keypad's Enter).
struct Key
{
    int qtKey;
    quint32 virtualKey;
    quint32 x11Keysym;
};

// Every row of the table, in a fixed order.
const Key *keys(int *count);
// The row for a toolkit key code; nullptr when the key cannot be a hotkey.
const Key *keyForQtKey(int qtKey);

}  // namespace hotkey

// Converts hotkey text in portable key-sequence form ("Ctrl+Alt+P", "Meta+1") into RegisterHotKey's
// modifier flags (always with MOD_NOREPEAT) and virtual-key code. Only the first key combination counts.
// False when the text is empty, names no Ctrl, Alt, Shift or Win modifier, or ends with a key outside the
// table; the out-parameters (either may be null) are then left as they were.
bool nativeHotkey(const QString &text, quint32 *modifiers, quint32 *virtualKey);
