#include "platform/NativeHotkey.h"

#include <QKeySequence>

#include <array>

namespace hotkey {
namespace {

// Letters A-Z, digits 0-9, F1-F24 and eight named keys: Space, Return, the keypad's Enter (Windows gives
// both VK_RETURN; X11 tells them apart), Insert, Home, End, Page Up and Page Down.
constexpr int keyCount = 26 + 10 + 24 + 8;

constexpr std::array<Key, keyCount> buildKeys()
{
    std::array<Key, keyCount> table{};
    int row = 0;
    for (int i = 0; i < 26; ++i)  // the keysym is the lower-case letter, the unshifted symbol of the key
        table[row++] = {Qt::Key_A + i, quint32(0x41 + i), quint32(0x61 + i)};
    for (int i = 0; i < 10; ++i)
        table[row++] = {Qt::Key_0 + i, quint32(0x30 + i), quint32(0x30 + i)};
    for (int i = 0; i < 24; ++i)  // VK_F1.. and XK_F1..
        table[row++] = {Qt::Key_F1 + i, quint32(0x70 + i), quint32(0xffbe + i)};
    table[row++] = {Qt::Key_Space, 0x20, 0x0020};     // VK_SPACE, XK_space
    table[row++] = {Qt::Key_Return, 0x0d, 0xff0d};    // VK_RETURN, XK_Return
    table[row++] = {Qt::Key_Enter, 0x0d, 0xff8d};     // VK_RETURN, XK_KP_Enter
    table[row++] = {Qt::Key_Insert, 0x2d, 0xff63};    // VK_INSERT, XK_Insert
    table[row++] = {Qt::Key_Home, 0x24, 0xff50};      // VK_HOME, XK_Home
    table[row++] = {Qt::Key_End, 0x23, 0xff57};       // VK_END, XK_End
    table[row++] = {Qt::Key_PageUp, 0x21, 0xff55};    // VK_PRIOR, XK_Prior
    table[row++] = {Qt::Key_PageDown, 0x22, 0xff56};  // VK_NEXT, XK_Next
    return table;
}

constexpr std::array<Key, keyCount> keyTable = buildKeys();

}  // namespace

const Key *keys(int *count)
{
    if (count)
        *count = keyCount;
    return keyTable.data();
}

const Key *keyForQtKey(int qtKey)
{
    for (const Key &key : keyTable) {
        if (key.qtKey == qtKey)
            return &key;
    }
    return nullptr;
}

}  // namespace hotkey

bool nativeHotkey(const QString &text, quint32 *modifiers, quint32 *virtualKey)
{
    const QKeySequence sequence = QKeySequence::fromString(text, QKeySequence::PortableText);
    if (sequence.isEmpty())
        return false;
    const QKeyCombination combination = sequence[0];
    const Qt::KeyboardModifiers held = combination.keyboardModifiers();

    quint32 flags = hotkey::ModNoRepeat;
    if (held.testFlag(Qt::ControlModifier))
        flags |= hotkey::ModControl;
    if (held.testFlag(Qt::AltModifier))
        flags |= hotkey::ModAlt;
    if (held.testFlag(Qt::ShiftModifier))
        flags |= hotkey::ModShift;
    if (held.testFlag(Qt::MetaModifier))
        flags |= hotkey::ModWin;
    if (flags == hotkey::ModNoRepeat)
        return false;

    const hotkey::Key *key = hotkey::keyForQtKey(combination.key());
    if (!key)
        return false;

    if (modifiers)
        *modifiers = flags;
    if (virtualKey)
        *virtualKey = key->virtualKey;
    return true;
}
