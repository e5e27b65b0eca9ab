// The panel's global hotkeys against a recording hotkey service: which presets get which ids, what is
// reported as unavailable, the dispatch of hotkey messages to presets, and everything being released on
// exit and destruction. Closing without a notification area only hides the window.
#include "support/ModalDialogCloser.h"

#include "base/AppIdentity.h"
#include "base/I18n.h"
#include "model/DatabaseLocation.h"
#include "model/PresetRepository.h"
#include "platform/GlobalHotkeys.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QSettings>
#include <QSystemTrayIcon>
#include <QTest>

class MainWindowTestAccess
{
public:
    static bool nativeEvent(MainWindow &window, const QByteArray &type, void *message, qintptr *result)
    {
        return window.nativeEvent(type, message, result);
    }
    static QHash<int, int> hotkeyTable(const MainWindow &window) { return window.hotkeyPresetIds; }
    static void pretendForeground(MainWindow &window, const QString &progId, const QString &title)
    {
        window.lastProgId = progId;
        window.lastWindowTitle = title;
        window.lastProcessId = quint32(QCoreApplication::applicationPid());
    }
    static bool printing(const MainWindow &window) { return window.printing; }
    static void exitFromTray(MainWindow &window) { window.exitFromTray(); }
    static QSystemTrayIcon *trayIcon(const MainWindow &window) { return window.trayIcon; }
};

namespace {

// Records every call and refuses what Windows refuses: a combination registered already (by anyone) and
// combinations "another program" holds.
class RecordingHotkeys : public platform::GlobalHotkeys
{
public:
    struct Combination
    {
        quint32 modifiers;
        quint32 virtualKey;
        bool operator==(const Combination &other) const
        {
            return modifiers == other.modifiers && virtualKey == other.virtualKey;
        }
    };

    bool registerHotKey(quintptr window, int id, quint32 modifiers, quint32 virtualKey) override
    {
        log << QStringLiteral("register %1 %2 %3").arg(id).arg(modifiers, 0, 16).arg(virtualKey, 0, 16);
        windows << window;
        const Combination combination{modifiers, virtualKey};
        if (takenElsewhere.contains(combination) || registered.values().contains(combination))
            return false;
        registered.insert(id, combination);
        return true;
    }
    bool unregisterHotKey(quintptr window, int id) override
    {
        log << QStringLiteral("unregister %1").arg(id);
        windows << window;
        return registered.remove(id) > 0;
    }
    bool hotkeyMessageId(const QByteArray &eventType, void *message, int *id) override
    {
        if (eventType != "test_hotkey_MSG")
            return false;
        *id = *static_cast<int *>(message);
        return true;
    }

    QStringList log;
    QList<quintptr> windows;
    QMap<int, Combination> registered;
    QList<Combination> takenElsewhere;
};

PrintPreset preset(const QString &title, const QString &hotkey)
{
    PrintPreset p;
    p.title = title;
    p.colorMode = ColorMode::Mono;
    p.duplexMode = DuplexMode::Simplex;
    p.paperSize = QStringLiteral("A4");
    p.printerName = QStringLiteral("%1 printer").arg(title);
    p.backgroundColor = QStringLiteral("#ff8a00");
    p.hotkey = hotkey;
    p.sortOrder = -1;
    return p;
}

void storePresets(const QList<PrintPreset> &presets)
{
    const QString path = DatabaseLocation::databasePath();
    QFile::remove(path);
    DatabaseLocation::createDatabaseFolder(path);
    PresetRepository repository(path);
    QString error;
    QVERIFY2(repository.open(&error), qPrintable(error));
    for (const PrintPreset &p : presets)
        QVERIFY2(repository.addPreset(p, &error), qPrintable(error));
}

QList<PrintPreset> storedPresets()
{
    PresetRepository repository(DatabaseLocation::databasePath());
    repository.open();
    return repository.presets();
}

int storedId(const QString &title)
{
    for (const PrintPreset &p : storedPresets()) {
        if (p.title == title)
            return p.id;
    }
    return -1;
}

QString statusText(MainWindow &window)
{
    return window.findChild<QLabel *>(QStringLiteral("statusLabel"))->toolTip();
}

QString statusWord(MainWindow &window)
{
    return window.findChild<QLabel *>(QStringLiteral("statusLabel"))->text();
}

constexpr quint32 noRepeat = 0x4000, alt = 0x1, control = 0x2, shift = 0x4;

}  // namespace

class PresetHotkeysTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void idsGoOnlyToRegisteredHotkeysAndFailuresAreListed();
    void everyRebuildReleasesThenRegistersFromTheFirstId();
    void hotkeyMessagePrintsWithTheStoredPreset();
    void unknownOrStaleHotkeyMessagesAreSwallowed();
    void exitAndDestructionReleaseEveryHotkey();
    void closingWithoutNotificationAreaOnlyHides();
    void withoutAnXServerEveryHotkeyIsUnavailable();

private:
    RecordingHotkeys hotkeys;
};

void PresetHotkeysTest::initTestCase()
{
    AppIdentity::apply();
    I18n::setLanguage(QStringLiteral("en"));
    QVERIFY(QDir::homePath().contains(QLatin1String("test-homes")));
}

void PresetHotkeysTest::init()
{
    // The one-time notice of the first start is a modal dialog these tests do not look at.
    QSettings().setValue(QStringLiteral("compatibilityNotice/pdfiumShown"), true);
    hotkeys = RecordingHotkeys();
    platform::setGlobalHotkeysForTesting(&hotkeys);
}

void PresetHotkeysTest::cleanup()
{
    platform::setGlobalHotkeysForTesting(nullptr);
}

void PresetHotkeysTest::idsGoOnlyToRegisteredHotkeysAndFailuresAreListed()
{
    hotkeys.takenElsewhere.append({noRepeat | control | shift, 'P'});
    storePresets({preset(QStringLiteral("Alpha"), QStringLiteral("Ctrl+Alt+1")),
                  preset(QStringLiteral("Bravo"), QStringLiteral("F5")),  // no modifier
                  preset(QStringLiteral("Charlie"), QStringLiteral("Ctrl+Alt+3")),
                  preset(QStringLiteral("Delta"), QStringLiteral("Ctrl+Alt+1")),      // Alpha has it
                  preset(QStringLiteral("Echo"), QStringLiteral("  ")),               // no hotkey at all
                  preset(QStringLiteral("Foxtrot"), QStringLiteral("Ctrl+Shift+P")),  // another program's
                  preset(QStringLiteral("Golf"), QStringLiteral("Meta+Home"))});

    MainWindow window;
    const quintptr handle = quintptr(window.winId());

    const QHash<int, int> table = MainWindowTestAccess::hotkeyTable(window);
    QCOMPARE(table.size(), 3);
    QCOMPARE(table.value(20736), storedId(QStringLiteral("Alpha")));
    QCOMPARE(table.value(20737), storedId(QStringLiteral("Charlie")));
    QCOMPARE(table.value(20738), storedId(QStringLiteral("Golf")));
    // Refused combinations use up no id: Delta and Foxtrot were offered the id Golf got before it.
    QCOMPARE(hotkeys.log,
             QStringList({QStringLiteral("register 20736 4003 31"), QStringLiteral("register 20737 4003 33"),
                          QStringLiteral("register 20738 4003 31"), QStringLiteral("register 20738 4006 50"),
                          QStringLiteral("register 20738 4008 24")}));
    for (quintptr used : std::as_const(hotkeys.windows))
        QCOMPARE(used, handle);

    QCOMPARE(statusWord(window), QStringLiteral("Attention"));
    QCOMPARE(statusText(window), QString::fromUtf8("Some hotkeys are unavailable: Bravo（F5）, "
                                                   "Delta（Ctrl+Alt+1）, Foxtrot（Ctrl+Shift+P）"));
}

void PresetHotkeysTest::everyRebuildReleasesThenRegistersFromTheFirstId()
{
    storePresets({preset(QStringLiteral("Alpha"), QStringLiteral("Ctrl+Alt+1")),
                  preset(QStringLiteral("Bravo"), QStringLiteral("Ctrl+Alt+2"))});
    MainWindow window;
    QCOMPARE(hotkeys.registered.size(), 2);
    QCOMPARE(statusWord(window), QStringLiteral("Ready"));

    // Alpha loses its hotkey, Bravo changes it: the rebuild frees both ids before registering anew.
    {
        PresetRepository repository(DatabaseLocation::databasePath());
        QVERIFY(repository.open());
        QList<PrintPreset> presets = repository.presets();
        presets[0].hotkey.clear();
        presets[1].hotkey = QStringLiteral("Alt+Shift+F12");
        QVERIFY(repository.updatePreset(presets[0]));
        QVERIFY(repository.updatePreset(presets[1]));
    }
    hotkeys.log.clear();
    window.rebuildPresetButtons();
    QCOMPARE(hotkeys.log.size(), 3);
    QCOMPARE(QSet<QString>(hotkeys.log.cbegin(), hotkeys.log.cbegin() + 2),
             QSet<QString>({QStringLiteral("unregister 20736"), QStringLiteral("unregister 20737")}));
    QCOMPARE(hotkeys.log.at(2), QStringLiteral("register 20736 4005 7b"));
    QCOMPARE(hotkeys.registered.keys(), QList<int>({20736}));
    QCOMPARE(MainWindowTestAccess::hotkeyTable(window).value(20736), storedId(QStringLiteral("Bravo")));
}

void PresetHotkeysTest::hotkeyMessagePrintsWithTheStoredPreset()
{
    storePresets({preset(QStringLiteral("Alpha"), QStringLiteral("Ctrl+Alt+1")),
                  preset(QStringLiteral("Bravo"), QStringLiteral("Ctrl+Alt+2"))});
    MainWindow window;
    // The stored printer changes after registration: the press must use what is stored at that moment.
    {
        PresetRepository repository(DatabaseLocation::databasePath());
        QVERIFY(repository.open());
        PrintPreset bravo = repository.presets().at(1);
        bravo.printerName = QStringLiteral("Moved printer");
        QVERIFY(repository.updatePreset(bravo));
    }
    ModalDialogCloser closer;
    MainWindowTestAccess::pretendForeground(window, QStringLiteral("Ollavan.ImageViewer"),
                                            QStringLiteral("missing-picture.png - Viewer"));
    int id = 20737;
    qintptr result = -1;
    QVERIFY(MainWindowTestAccess::nativeEvent(window, "test_hotkey_MSG", &id, &result));
    QCOMPARE(result, qintptr(0));
    // The request went to the execution flow with Bravo as stored now.
    QCOMPARE(statusText(window), QString::fromUtf8("Sending to Moved printer…"));
    QVERIFY(MainWindowTestAccess::printing(window));
    QTRY_VERIFY_WITH_TIMEOUT(!MainWindowTestAccess::printing(window), 30000);

    // Messages that are not hotkey messages go to the toolkit's own handling.
    result = -1;
    QVERIFY(!MainWindowTestAccess::nativeEvent(window, "other_MSG", &id, &result));
    QCOMPARE(result, qintptr(-1));
}

void PresetHotkeysTest::unknownOrStaleHotkeyMessagesAreSwallowed()
{
    storePresets({preset(QStringLiteral("Alpha"), QStringLiteral("Ctrl+Alt+1")),
                  preset(QStringLiteral("Bravo"), QStringLiteral("Ctrl+Alt+2"))});
    MainWindow window;
    window.setStatus(QStringLiteral("before"), false);
    ModalDialogCloser closer;
    // Bravo is deleted behind the window's back: its id is still in the table.
    {
        PresetRepository repository(DatabaseLocation::databasePath());
        QVERIFY(repository.open());
        QVERIFY(repository.deletePreset(storedId(QStringLiteral("Bravo"))));
    }
    for (int id : {20737, 20999, 0}) {
        qintptr result = -1;
        QVERIFY(MainWindowTestAccess::nativeEvent(window, "test_hotkey_MSG", &id, &result));
        QCOMPARE(result, qintptr(0));
    }
    // A null result pointer is allowed.
    int id = 20999;
    QVERIFY(MainWindowTestAccess::nativeEvent(window, "test_hotkey_MSG", &id, nullptr));
    QTest::qWait(100);
    QVERIFY(!MainWindowTestAccess::printing(window));
    QCOMPARE(statusText(window), QStringLiteral("before"));
    QVERIFY(closer.seen().isEmpty());
}

void PresetHotkeysTest::exitAndDestructionReleaseEveryHotkey()
{
    storePresets({preset(QStringLiteral("Alpha"), QStringLiteral("Ctrl+Alt+1")),
                  preset(QStringLiteral("Bravo"), QStringLiteral("Ctrl+Alt+2"))});
    {
        MainWindow window;
        QCOMPARE(hotkeys.registered.size(), 2);
    }
    QVERIFY(hotkeys.registered.isEmpty());

    MainWindow window;
    window.show();
    QCOMPARE(hotkeys.registered.size(), 2);
    MainWindowTestAccess::exitFromTray(window);
    QVERIFY(hotkeys.registered.isEmpty());
    QVERIFY(MainWindowTestAccess::hotkeyTable(window).isEmpty());
    // Once exiting, closing really closes.
    QVERIFY(window.close());
    QVERIFY(!window.isVisible());
    hotkeys.log.clear();
}

void PresetHotkeysTest::closingWithoutNotificationAreaOnlyHides()
{
    QVERIFY(!QSystemTrayIcon::isSystemTrayAvailable());  // the offscreen platform has none
    storePresets({preset(QStringLiteral("Alpha"), QStringLiteral("Ctrl+Alt+1"))});
    MainWindow window;
    QVERIFY(!MainWindowTestAccess::trayIcon(window));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QVERIFY(!window.close());  // refused: the window only hides
    QVERIFY(!window.isVisible());
    QCOMPARE(hotkeys.registered.size(), 1);  // hotkeys stay active while hidden

    window.show();
    window.findChild<QWidget *>(QStringLiteral("closeButton"))->setFocus();
    QTest::mouseClick(window.findChild<QWidget *>(QStringLiteral("closeButton")), Qt::LeftButton);
    QVERIFY(!window.isVisible());
    QCOMPARE(hotkeys.registered.size(), 1);
}

void PresetHotkeysTest::withoutAnXServerEveryHotkeyIsUnavailable()
{
    platform::setGlobalHotkeysForTesting(nullptr);  // the system's own service, on the offscreen platform
    storePresets({preset(QStringLiteral("Alpha"), QStringLiteral("Ctrl+Alt+1")),
                  preset(QStringLiteral("Bravo"), QString())});
    MainWindow window;
    QVERIFY(MainWindowTestAccess::hotkeyTable(window).isEmpty());
    QCOMPARE(statusText(window), QString::fromUtf8("Some hotkeys are unavailable: Alpha（Ctrl+Alt+1）"));
    QVERIFY(!platform::globalHotkeys().registerHotKey(quintptr(window.winId()), 1, noRepeat | control, 'A'));
}

QTEST_MAIN(PresetHotkeysTest)
#include "tst_presethotkeys.moc"
