// The hotkey grammar (key-sequence text to RegisterHotKey's flags and virtual key) and the key table the
// platforms grab with (virtual key to X11 keysym).
#include "platform/NativeHotkey.h"

#include <QtTest>

class HotkeyGrammarTest : public QObject
{
    Q_OBJECT

private slots:
    void texts_data();
    void texts();
};

void HotkeyGrammarTest::texts_data()
{
    // winuser.h: MOD_ALT 1, MOD_CONTROL 2, MOD_SHIFT 4, MOD_WIN 8, and MOD_NOREPEAT (0x4000) with every one;
    // the keysyms of X11/keysymdef.h. The keypad's Enter is VK_RETURN too; only the first combination of a
    // sequence counts.
    struct Row
    {
        const char *text;
        quint32 flags;
        quint32 virtualKey;
        quint32 keysym;
    };
    const Row accepted[] = {{"Ctrl+P", 2, 'P', 'p'},
                            {"Shift+Z", 4, 'Z', 'z'},
                            {"Meta+0", 8, '0', '0'},
                            {"Alt+9", 1, '9', '9'},
                            {"shift+ctrl+f5", 6, 0x74, 0xffc2},
                            {"Ctrl+F1", 2, 0x70, 0xffbe},
                            {"Ctrl+F2", 2, 0x71, 0xffbf},
                            {"Alt+F12", 1, 0x7b, 0xffc9},
                            {"Alt+F24", 1, 0x87, 0xffd5},
                            {"Ctrl+Space", 2, 0x20, 0x20},
                            {"Ctrl+Return", 2, 0x0d, 0xff0d},
                            {"Ctrl+Enter", 2, 0x0d, 0xff8d},
                            {"Alt+Ins", 1, 0x2d, 0xff63},
                            {"Alt+Home", 1, 0x24, 0xff50},
                            {"Alt+End", 1, 0x23, 0xff57},
                            {"Alt+PgUp", 1, 0x21, 0xff55},
                            {"Alt+PgDown", 1, 0x22, 0xff56},
                            {"Ctrl+Alt+P, F5", 3, 'P', 'p'},
                            {"Ctrl+Alt+Shift+Meta+A", 15, 'A', 'a'}};
    const char *const refused[] = {
        "",         "   ",       "P",           "F5",          "Space",     "Ctrl+Alt",
        "Ctrl+",    "Shift+Tab", "Ctrl+Esc",    "Ctrl+Del",    "Ctrl+Left", "Alt+Print",
        "Ctrl+F25", "Ctrl+,",    "Ctrl+\u00c4", "Ctrl+Banana", "F5, Ctrl+P"};
    QTest::addColumn<QString>("text");
    QTest::addColumn<quint32>("flags");  // 0: refused
    QTest::addColumn<quint32>("virtualKey");
    QTest::addColumn<quint32>("keysym");
    for (const Row &row : accepted)
        QTest::newRow(row.text) << QString::fromUtf8(row.text) << row.flags << row.virtualKey << row.keysym;
    for (const char *text : refused)
        QTest::newRow(("refused \"" + QByteArray(text) + '"').constData())
            << QString::fromUtf8(text) << 0u << 0u << 0u;
}

void HotkeyGrammarTest::texts()
{
    QFETCH(QString, text);
    QFETCH(quint32, flags);
    QFETCH(quint32, virtualKey);
    QFETCH(quint32, keysym);
    quint32 gotFlags = 0xdead;
    quint32 gotKey = 0xbeef;
    QCOMPARE(nativeHotkey(text, &gotFlags, &gotKey), flags != 0);
    // A refused text leaves the caller's values alone.
    QCOMPARE(gotFlags, flags ? flags | 0x4000 : 0xdead);
    QCOMPARE(gotKey, flags ? virtualKey : 0xbeef);
    QCOMPARE(nativeHotkey(text, nullptr, nullptr), flags != 0);
    if (flags) {  // the key the X11 layer grabs for it
        const hotkey::Key *key =
            hotkey::keyForQtKey(QKeySequence::fromString(text, QKeySequence::PortableText)[0].key());
        QCOMPARE(key ? key->x11Keysym : 0u, keysym);
    }
}

QTEST_GUILESS_MAIN(HotkeyGrammarTest)
#include "tst_hotkeygrammar.moc"
