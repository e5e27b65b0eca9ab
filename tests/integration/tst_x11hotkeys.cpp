// Global hotkeys on a real X server (Xvfb with openbox): grabs on the root window in every CapsLock and
// NumLock variant, combinations another client holds, delivery of a press to the registering window's
// native message hook, auto-repeat and releasing the grabs.
#include "support/OtherXClient.h"
#include "support/XSessionMain.h"

#include "platform/GlobalHotkeys.h"
#include "platform/NativeHotkey.h"

#include <QApplication>
#include <QTest>
#include <QWidget>

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

XSession *session = nullptr;

constexpr quint32 noRepeat = 0x4000, alt = 0x1, control = 0x2, shift = 0x4, win = 0x8;

// A window that records the hotkey ids its native message hook receives.
class HotkeyWindow : public QWidget
{
public:
    QList<int> pressed;

protected:
    bool nativeEvent(const QByteArray &eventType, void *message, qintptr *result) override
    {
        int id = 0;
        if (platform::globalHotkeys().hotkeyMessageId(eventType, message, &id)) {
            pressed.append(id);
            return true;
        }
        return QWidget::nativeEvent(eventType, message, result);
    }
};

constexpr xcb_keysym_t keysymK = 0x6b;
constexpr uint16_t numLockMod = XCB_MOD_MASK_2;  // Xvfb's default keymap puts NumLock on Mod2

void press(const QString &keys)
{
    session->xdotool({QStringLiteral("key"), keys});
}

// The locked modifiers as the server reports them in the pointer state.
bool locked(uint16_t mask)
{
    OtherXClient client(session->display());
    return client.modifierState() & mask;
}

}  // namespace

class X11HotkeysTest : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void grabCoversEveryLockVariantAndBlocksOtherClients();
    void pressReachesTheRegisteringWindowWithAnyLockState();
    void combinationsTakenElsewhereOrHereAreRefused();
    void unregisterReleasesTheGrab();
    void everyKeyOfTheTableCanBeGrabbed();
    void heldKeyFiresOnceWithNoRepeat();

private:
    HotkeyWindow window;
};

void X11HotkeysTest::cleanup()
{
    for (int id = 1; id < 200; ++id)
        platform::globalHotkeys().unregisterHotKey(quintptr(window.winId()), id);
    window.pressed.clear();
    // Leave the locks off for the next test.
    if (locked(numLockMod))
        press(QStringLiteral("Num_Lock"));
    if (locked(XCB_MOD_MASK_LOCK))
        press(QStringLiteral("Caps_Lock"));
}

void X11HotkeysTest::grabCoversEveryLockVariantAndBlocksOtherClients()
{
    QVERIFY(
        platform::globalHotkeys().registerHotKey(quintptr(window.winId()), 7, noRepeat | control | alt, 'K'));
    OtherXClient other(session->display());
    const uint16_t mods = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1;
    for (uint16_t variant :
         {uint16_t(0), uint16_t(XCB_MOD_MASK_LOCK), numLockMod, uint16_t(numLockMod | XCB_MOD_MASK_LOCK)})
        QVERIFY2(!other.grab(keysymK, mods | variant), qPrintable(QString::number(variant)));
    // Other modifier sets of the same key stay free.
    QVERIFY(other.grab(keysymK, XCB_MOD_MASK_CONTROL));
    other.ungrab(keysymK, XCB_MOD_MASK_CONTROL);
}

void X11HotkeysTest::pressReachesTheRegisteringWindowWithAnyLockState()
{
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window, 20000));
    QVERIFY(platform::globalHotkeys().registerHotKey(quintptr(window.winId()), 11, noRepeat | control | alt,
                                                     'K'));
    QVERIFY(
        platform::globalHotkeys().registerHotKey(quintptr(window.winId()), 12, noRepeat | shift | win, 0x75));

    press(QStringLiteral("ctrl+alt+k"));
    QTRY_COMPARE_WITH_TIMEOUT(window.pressed, QList<int>({11}), 5000);

    press(QStringLiteral("Num_Lock"));
    QVERIFY(locked(numLockMod));
    press(QStringLiteral("super+shift+F6"));
    QTRY_COMPARE_WITH_TIMEOUT(window.pressed, QList<int>({11, 12}), 5000);

    press(QStringLiteral("Caps_Lock"));
    QVERIFY(locked(XCB_MOD_MASK_LOCK));
    press(QStringLiteral("ctrl+alt+k"));
    QTRY_COMPARE_WITH_TIMEOUT(window.pressed, QList<int>({11, 12, 11}), 5000);

    press(QStringLiteral("Num_Lock"));
    press(QStringLiteral("super+shift+F6"));
    QTRY_COMPARE_WITH_TIMEOUT(window.pressed, QList<int>({11, 12, 11, 12}), 5000);

    // Extra modifiers, or the key alone, are not the hotkey.
    press(QStringLiteral("ctrl+alt+shift+k"));
    press(QStringLiteral("k"));
    press(QStringLiteral("shift+F6"));
    QTest::qWait(300);
    QCOMPARE(window.pressed.size(), 4);
    window.hide();
}

void X11HotkeysTest::combinationsTakenElsewhereOrHereAreRefused()
{
    const quintptr handle = quintptr(window.winId());
    OtherXClient other(session->display());
    QVERIFY(other.grab(keysymK, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT | numLockMod));
    // Only one lock variant is held by the other client, and that is enough to refuse the whole hotkey...
    QVERIFY(!platform::globalHotkeys().registerHotKey(handle, 21, noRepeat | control | shift, 'K'));
    // ...and the variants that were granted on the way are given back: another client can take them.
    QVERIFY(other.grab(keysymK, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT));
    other.ungrab(keysymK, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT);
    other.ungrab(keysymK, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT | numLockMod);
    // Once the other client let go, the same combination registers.
    QVERIFY(platform::globalHotkeys().registerHotKey(handle, 21, noRepeat | control | shift, 'K'));

    // A second registration of a combination held here fails, as Windows refuses it; with and without
    // MOD_NOREPEAT it is the same combination.
    QVERIFY(!platform::globalHotkeys().registerHotKey(handle, 22, noRepeat | control | shift, 'K'));
    QVERIFY(!platform::globalHotkeys().registerHotKey(handle, 22, control | shift, 'K'));
    QVERIFY(platform::globalHotkeys().registerHotKey(handle, 22, noRepeat | control | shift | alt, 'K'));

    // Flags that are not modifiers, virtual keys outside the table and no window are refused.
    QVERIFY(!platform::globalHotkeys().registerHotKey(handle, 23, noRepeat | control | 0x10, 'K'));
    QVERIFY(!platform::globalHotkeys().registerHotKey(handle, 23, noRepeat | control, 0x09));  // VK_TAB
    QVERIFY(!platform::globalHotkeys().registerHotKey(0, 23, noRepeat | control, 'J'));
}

void X11HotkeysTest::unregisterReleasesTheGrab()
{
    const quintptr handle = quintptr(window.winId());
    QVERIFY(platform::globalHotkeys().registerHotKey(handle, 31, noRepeat | alt, 'K'));
    OtherXClient other(session->display());
    QVERIFY(!other.grab(keysymK, XCB_MOD_MASK_1));
    QVERIFY(platform::globalHotkeys().unregisterHotKey(handle, 31));
    QVERIFY(!platform::globalHotkeys().unregisterHotKey(handle, 31));  // nothing left under that id
    for (uint16_t variant :
         {uint16_t(0), uint16_t(XCB_MOD_MASK_LOCK), numLockMod, uint16_t(numLockMod | XCB_MOD_MASK_LOCK)}) {
        QVERIFY(other.grab(keysymK, XCB_MOD_MASK_1 | variant));
        other.ungrab(keysymK, XCB_MOD_MASK_1 | variant);
    }
    // After unregistering, a press delivers nothing.
    press(QStringLiteral("alt+k"));
    QTest::qWait(300);
    QVERIFY(window.pressed.isEmpty());
}

void X11HotkeysTest::everyKeyOfTheTableCanBeGrabbed()
{
    const quintptr handle = quintptr(window.winId());
    int count = 0;
    const hotkey::Key *keys = hotkey::keys(&count);
    const auto registerAll = [&](int firstId) {
        QStringList refused;
        int id = firstId;
        for (int i = 0; i < count; ++i) {
            if (keys[i].qtKey == Qt::Key_Enter)
                continue;  // the keypad's Enter is VK_RETURN, registered with the Return row
            if (!platform::globalHotkeys().registerHotKey(
                    handle, id++, noRepeat | control | alt | shift | win, keys[i].virtualKey))
                refused << QString::number(keys[i].virtualKey, 16);
        }
        for (int i = firstId; i < id; ++i)
            platform::globalHotkeys().unregisterHotKey(handle, i);
        return refused;
    };

    // A keyboard without F13-F24 (Xvfb's default map has none) cannot produce them: refused, nothing else.
    QCOMPARE(registerAll(100).join(QLatin1Char(' ')), QStringLiteral("7c 7d 7e 7f 80 81 82 83 84 85 86 87"));

    // Once the keyboard has them, every key of the table registers, and F13 with modifiers is delivered.
    OtherXClient other(session->display());
    QList<xcb_keysym_t> functionKeys;
    for (int f = 13; f <= 24; ++f)
        functionKeys << xcb_keysym_t(0xffbe + f - 1);
    QVERIFY(other.addKeys(functionKeys));
    QTest::qWait(200);
    QCOMPARE(registerAll(100), QStringList());

    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window, 20000));
    QVERIFY(platform::globalHotkeys().registerHotKey(handle, 150, noRepeat | control, 0x7c));  // VK_F13
    press(QStringLiteral("ctrl+F13"));
    QTRY_COMPARE_WITH_TIMEOUT(window.pressed, QList<int>({150}), 5000);
    window.hide();
}

void X11HotkeysTest::heldKeyFiresOnceWithNoRepeat()
{
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window, 20000));
    const quintptr handle = quintptr(window.winId());
    QVERIFY(platform::globalHotkeys().registerHotKey(handle, 41, noRepeat | control | alt, 'K'));
    QVERIFY(platform::globalHotkeys().registerHotKey(handle, 42, control | alt, 'J'));

    // Held for longer than the server's auto-repeat delay.
    session->xdotool({QStringLiteral("keydown"), QStringLiteral("ctrl+alt+j")});
    QTest::qWait(1500);
    session->xdotool({QStringLiteral("keyup"), QStringLiteral("ctrl+alt+j")});
    QTRY_VERIFY_WITH_TIMEOUT(window.pressed.count(42) > 1, 5000);  // the server does repeat

    session->xdotool({QStringLiteral("keydown"), QStringLiteral("ctrl+alt+k")});
    QTest::qWait(1500);
    session->xdotool({QStringLiteral("keyup"), QStringLiteral("ctrl+alt+k")});
    QTest::qWait(300);
    QCOMPARE(window.pressed.count(41), 1);

    // A new press after the release fires again.
    press(QStringLiteral("ctrl+alt+k"));
    QTRY_COMPARE_WITH_TIMEOUT(window.pressed.count(41), 2, 5000);
    window.hide();
}

int main(int argc, char **argv)
{
    return runTestInXSession<X11HotkeysTest>(argc, argv, false, &session);
}

#include "tst_x11hotkeys.moc"
