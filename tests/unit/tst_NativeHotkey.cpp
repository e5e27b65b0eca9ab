// The hotkey grammar: which key-sequence texts become a global hotkey, and the RegisterHotKey modifier
// flags and virtual-key codes they turn into.

#include "platform/NativeHotkey.h"

#include <QtTest>

namespace {

struct ModifierWord
{
    const char *text;
    quint32 flag;
};

// The four modifiers as written in portable key-sequence text and their MOD_* flags (winuser.h).
const ModifierWord modifierWords[] = {{"Ctrl", 0x0002}, {"Alt", 0x0001}, {"Shift", 0x0004}, {"Meta", 0x0008}};
constexpr quint32 noRepeat = 0x4000;

}  // namespace

class NativeHotkeyTest : public QObject
{
    Q_OBJECT

private slots:
    void everyKeyWithEveryModifierSet_data();
    void everyKeyWithEveryModifierSet();
    void rejections_data();
    void rejections();
    void textForms_data();
    void textForms();
    void keyTableIsConsistent();
};

void NativeHotkeyTest::everyKeyWithEveryModifierSet_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<quint32>("virtualKey");
    for (char c = 'A'; c <= 'Z'; ++c)
        QTest::newRow(QByteArray(1, c).constData()) << QString(QChar(c)) << quint32(c);
    for (char c = '0'; c <= '9'; ++c)
        QTest::newRow(QByteArray(1, c).constData()) << QString(QChar(c)) << quint32(c);
    // VK_F1 is 0x70, VK_F24 0x87.
    for (int f = 1; f <= 24; ++f) {
        const QByteArray name = "F" + QByteArray::number(f);
        QTest::newRow(name.constData()) << QString::fromLatin1(name) << quint32(0x6f + f);
    }
    QTest::newRow("Space") << "Space" << quint32(0x20);    // VK_SPACE
    QTest::newRow("Return") << "Return" << quint32(0x0d);  // VK_RETURN
    QTest::newRow("Enter") << "Enter" << quint32(0x0d);    // keypad Enter is VK_RETURN too
    QTest::newRow("Ins") << "Ins" << quint32(0x2d);        // VK_INSERT
    QTest::newRow("Home") << "Home" << quint32(0x24);      // VK_HOME
    QTest::newRow("End") << "End" << quint32(0x23);        // VK_END
    QTest::newRow("PgUp") << "PgUp" << quint32(0x21);      // VK_PRIOR
    QTest::newRow("PgDown") << "PgDown" << quint32(0x22);  // VK_NEXT
}

void NativeHotkeyTest::everyKeyWithEveryModifierSet()
{
    QFETCH(QString, key);
    QFETCH(quint32, virtualKey);

    // All fifteen non-empty sets of Ctrl, Alt, Shift and Meta, written in the fixed portable order.
    for (int set = 1; set < 16; ++set) {
        QStringList parts;
        quint32 expectedFlags = noRepeat;
        for (int bit = 0; bit < 4; ++bit) {
            if (set & (1 << bit)) {
                parts << QString::fromLatin1(modifierWords[bit].text);
                expectedFlags |= modifierWords[bit].flag;
            }
        }
        parts << key;
        const QString text = parts.join(QLatin1Char('+'));

        quint32 flags = 0;
        quint32 code = 0;
        QVERIFY2(nativeHotkey(text, &flags, &code), qPrintable(text));
        QCOMPARE(flags, expectedFlags);
        QCOMPARE(code, virtualKey);
    }

    // Without any modifier the same key is never a hotkey.
    QVERIFY(!nativeHotkey(key, nullptr, nullptr));
}

void NativeHotkeyTest::rejections_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QString();
    QTest::newRow("blank") << QStringLiteral("   ");
    QTest::newRow("F5 alone") << QStringLiteral("F5");
    QTest::newRow("letter alone") << QStringLiteral("P");
    QTest::newRow("Shift+Tab") << QStringLiteral("Shift+Tab");
    QTest::newRow("Ctrl+Esc") << QStringLiteral("Ctrl+Esc");
    QTest::newRow("Ctrl+Del") << QStringLiteral("Ctrl+Del");
    QTest::newRow("Ctrl+Backspace") << QStringLiteral("Ctrl+Backspace");
    QTest::newRow("Ctrl+Left") << QStringLiteral("Ctrl+Left");
    QTest::newRow("Alt+Print") << QStringLiteral("Alt+Print");
    QTest::newRow("Ctrl+F25") << QStringLiteral("Ctrl+F25");
    QTest::newRow("Ctrl+comma") << QStringLiteral("Ctrl+,");
    QTest::newRow("Ctrl+umlaut") << QStringLiteral("Ctrl+\u00c4");
    QTest::newRow("modifiers only") << QStringLiteral("Ctrl+Alt");
    QTest::newRow("dangling plus") << QStringLiteral("Ctrl+");
    QTest::newRow("unknown word") << QStringLiteral("Ctrl+Banana");
    QTest::newRow("first combination unusable") << QStringLiteral("F5, Ctrl+P");
}

void NativeHotkeyTest::rejections()
{
    QFETCH(QString, text);
    quint32 flags = 0xdead;
    quint32 code = 0xbeef;
    QVERIFY(!nativeHotkey(text, &flags, &code));
    // A rejected text leaves the caller's values alone.
    QCOMPARE(flags, quint32(0xdead));
    QCOMPARE(code, quint32(0xbeef));
}

void NativeHotkeyTest::textForms_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<quint32>("flags");
    QTest::addColumn<quint32>("virtualKey");
    QTest::newRow("lower case") << "ctrl+p" << (noRepeat | 0x2) << quint32('P');
    QTest::newRow("modifiers in another order") << "Shift+Ctrl+F5" << (noRepeat | 0x2 | 0x4) << quint32(0x74);
    QTest::newRow("Win key as Meta") << "Meta+1" << (noRepeat | 0x8) << quint32('1');
    QTest::newRow("only the first combination counts")
        << "Ctrl+Alt+P, F5" << (noRepeat | 0x2 | 0x1) << quint32('P');
    QTest::newRow("Ctrl+Space") << "Ctrl+Space" << (noRepeat | 0x2) << quint32(0x20);
    QTest::newRow("Page Down spelled out") << "Alt+PgDown" << (noRepeat | 0x1) << quint32(0x22);
}

void NativeHotkeyTest::textForms()
{
    QFETCH(QString, text);
    QFETCH(quint32, flags);
    QFETCH(quint32, virtualKey);
    quint32 gotFlags = 0;
    quint32 gotKey = 0;
    QVERIFY(nativeHotkey(text, &gotFlags, &gotKey));
    QCOMPARE(gotFlags, flags);
    QCOMPARE(gotKey, virtualKey);
    // Either out-parameter may be left out.
    QVERIFY(nativeHotkey(text, nullptr, nullptr));
}

// The platform hotkey layers map virtual keys back to their own key codes through the same table: every
// virtual key the grammar can produce must have a row with a keysym, and no key appears twice.
void NativeHotkeyTest::keyTableIsConsistent()
{
    int count = 0;
    const hotkey::Key *keys = hotkey::keys(&count);
    QCOMPARE(count, 26 + 10 + 24 + 8);
    QSet<int> qtKeys;
    QSet<quint32> keysyms;
    QSet<quint32> virtualKeys;
    for (int i = 0; i < count; ++i) {
        QVERIFY2(!qtKeys.contains(keys[i].qtKey), "a toolkit key has two rows");
        QVERIFY2(!keysyms.contains(keys[i].x11Keysym), "a keysym has two rows");
        QVERIFY(keys[i].x11Keysym != 0);
        qtKeys.insert(keys[i].qtKey);
        keysyms.insert(keys[i].x11Keysym);
        virtualKeys.insert(keys[i].virtualKey);
        QCOMPARE(hotkey::keyForQtKey(keys[i].qtKey), &keys[i]);
    }
    // Return and the keypad's Enter share VK_RETURN; every other key has its own code.
    QCOMPARE(virtualKeys.size(), count - 1);
    // Some X11 keysyms fixed by the X protocol: a, z, F1, F24, Return, KP_Enter, Prior.
    const QList<QPair<int, quint32>> known = {
        {Qt::Key_A, 0x61},        {Qt::Key_Z, 0x7a},       {Qt::Key_F1, 0xffbe},    {Qt::Key_F24, 0xffd5},
        {Qt::Key_Return, 0xff0d}, {Qt::Key_Enter, 0xff8d}, {Qt::Key_PageUp, 0xff55}};
    for (const auto &pair : known)
        QCOMPARE(hotkey::keyForQtKey(pair.first)->x11Keysym, pair.second);
    QVERIFY(!hotkey::keyForQtKey(Qt::Key_Tab));
}

QTEST_GUILESS_MAIN(NativeHotkeyTest)
#include "tst_NativeHotkey.moc"
