// The panel in the session, as real processes on a private X session, print server and the X session's bus:
// one panel per session that later starts raise or hand files to, the entry that starts it with the session,
// and hotkeys bound through a GlobalShortcuts portal (a fake one, in this program) or else X grabs.
#include "support/PanelFixture.h"
#include "support/PrivateCups.h"
#include "support/XSession.h"

#include "base/SettingsKeys.h"
#include "platform/InstanceChannel.h"
#include "ui/HotkeysAndTray.h"
#include "ui/MainWindow.h"

#include <QtDBus>
#include <QtNetwork>
#include <QtTest>
#include <QtWidgets>

#include <cstdio>

namespace {

XSession *session = nullptr;
const QString panel = QStringLiteral(OLLAVAN_BIN_DIR "/ollavan-quick");
constexpr uint16_t ctrlAlt = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1;
const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");

// Runs a program to its end; its exit code.
int run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(30000) ? process.exitCode() : -1;
}

QStringList historyRows()
{
    QStringList rows;
    for (const PrintHistoryEntry &entry : storedHistory())
        rows << entry.printerName + QLatin1Char(' ') + entry.jobName;
    return rows;
}

// A GlobalShortcuts portal: the methods a panel calls, answered at once through request objects. It writes
// "ready", then each bound shortcut as "id|description|preferred trigger"; an id read from stdin is
// activated. Started with "refuse", it declines every binding.
struct FakePortal : QDBusVirtualObject
{
    bool refuse = false;
    QString sessionHandle;
    QString introspect(const QString &) const override { return QString(); }
    bool handleMessage(const QDBusMessage &message, const QDBusConnection &bus) override
    {
        const QString member = message.member();
        if (member == QLatin1String("Get"))
            return bus.send(message.createReply(QVariant::fromValue(QDBusVariant(1u))));
        if (member != QLatin1String("CreateSession") && member != QLatin1String("BindShortcuts"))
            return bus.send(message.createErrorReply(QDBusError::UnknownMethod, member));
        const auto options = qdbus_cast<QVariantMap>(message.arguments().constLast());
        const QString at = portalPath + "/%1/" + message.service().mid(1).replace('.', '_') + '/';
        const QString request = at.arg("request") + options.value("handle_token").toString();
        bus.send(message.createReply(QVariant::fromValue(QDBusObjectPath(request))));
        QVariantMap results;
        if (member == QLatin1String("CreateSession")) {
            sessionHandle = at.arg("session") + options.value("session_handle_token").toString();
            results.insert("session_handle", sessionHandle);
        } else {
            const QDBusArgument shortcuts = message.arguments().at(1).value<QDBusArgument>();
            shortcuts.beginArray();
            for (std::pair<QString, QVariantMap> s; !shortcuts.atEnd(); shortcuts.endStructure()) {
                shortcuts.beginStructure();
                shortcuts >> s.first >> s.second;
                std::printf("%s|%s|%s\n", qPrintable(s.first), qPrintable(s.second["description"].toString()),
                            qPrintable(s.second["preferred_trigger"].toString()));
            }
        }
        auto response = QDBusMessage::createSignal(request, "org.freedesktop.portal.Request", "Response");
        return bus.send(response << uint(refuse && results.isEmpty() ? 2 : 0) << results);
    }
};

int runFakePortal(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    FakePortal portal;
    portal.refuse = argc > 2;
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.registerVirtualObject(portalPath, &portal);
    if (!bus.registerService("org.freedesktop.portal.Desktop"))
        return 1;
    QSocketNotifier input(0, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char id[64] = {};
        auto signal =
            QDBusMessage::createSignal(portalPath, "org.freedesktop.portal.GlobalShortcuts", "Activated");
        signal << QVariant::fromValue(QDBusObjectPath(portal.sessionHandle));
        bus.send(signal << QString(std::fgets(id, sizeof id, stdin)).trimmed() << qulonglong(0)
                        << QVariantMap());
    });
    std::printf("ready\n");
    return app.exec();
}

QProcess *startFakePortal(const QStringList &arguments)
{
    QProcess *portal = session->startClient(QCoreApplication::applicationFilePath(),
                                            QStringList{"--fake-portal"} + arguments);
    return portal && portal->waitForReadyRead(10000) && portal->readLine() == "ready\n" ? portal : nullptr;
}

}  // namespace

class SessionTest : public QObject
{
    Q_OBJECT
    ollavan::testsupport::PrivateCups cups;
    QTemporaryDir files;

private slots:
    void initTestCase();
    void secondStartsHandOver();
    void startWithTheSessionAndXGrabs();
    void portalShortcuts();
};

void SessionTest::initTestCase()
{
    startPanelTest();
    QSettings().setValue(QLatin1String(SettingsKeys::Language), QStringLiteral("de"));
    QVERIFY(cups.start());
    QList<PrintPreset> presets;
    for (const QString name : {"Office", "Lab"}) {
        QVERIFY(cups.addQueue(name.toLower()));
        presets << panelPreset(name, name.toLower());
        presets.last().hotkey = QStringLiteral("Ctrl+Alt+%1").arg(presets.size());
    }
    QVERIFY(storePresets(presets));
    QImage image(300, 200, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    for (const char *name : {"a.png", "b.png", "c.png", "d.png", "poster.png"})
        QVERIFY(image.save(files.filePath(QLatin1String(name))));
}

void SessionTest::secondStartsHandOver()
{
    QProcess *first = session->startClient(panel, {});
    const quint32 window = session->waitForWindow(QStringLiteral("^Ollavan Quick$"));
    QString socket, lock, error;
    QVERIFY(first && window && platform::instanceChannelAddress(&socket, &lock, &error));

    // Another user's process cannot reach the channel, and where it reaches a socket, the peer check tells.
    const auto connectAsNobody = [](const QString &path) {
        return run("setpriv",
                   {"--reuid=65534", "--regid=65534", "--clear-groups", "/usr/bin/python3", "-c",
                    "import socket,sys; socket.socket(socket.AF_UNIX).connect(sys.argv[1])", path});
    };
    QCOMPARE(connectAsNobody(socket), 1);
    QLocalServer probe;
    probe.setSocketOptions(QLocalServer::WorldAccessOption);
    QVERIFY(probe.listen(QStringLiteral("/tmp/ollavan-probe-%1").arg(QCoreApplication::applicationPid())));
    QCOMPARE(connectAsNobody(probe.fullServerName()), 0);
    QVERIFY(probe.waitForNewConnection(5000));
    QVERIFY(!platform::isSameUserPeer(probe.nextPendingConnection()->socketDescriptor()));

    // Hidden to the tray, the panel comes back, in front, for a second start, which ends with 0.
    session->run("xdotool", {"windowactivate", "--sync", QString::number(window)});
    session->run("xdotool", {"key", "alt+F4"});
    QTRY_VERIFY(session->run("xdotool", {"search", "--onlyvisible", "--name", "^Ollavan Quick$"}).isEmpty());
    QCOMPARE(run(panel, {}), 0);
    QTRY_COMPARE(session->run("xdotool", {"getactivewindow"}).toUInt(), window);

    // Files named relative to the start's folder print with the preset named, one after the other.
    QVERIFY(QDir::setCurrent(files.path()));
    QCOMPARE(run(panel, {"--preset", "Lab", "a.png", "--", "b.png"}), 0);
    QVERIFY(cups.waitForJobs("lab", 2));
    QTRY_COMPARE(historyRows(), QStringList({"lab b.png", "lab a.png"}));
    // Without a preset the panel asks, in its language; Enter takes the first.
    QCOMPARE(run(panel, {files.filePath("c.png")}), 0);
    session->run("xdotool", {"windowactivate", "--sync",
                             QString::number(session->waitForWindow("^Mit Vorgabe drucken$"))});
    session->run("xdotool", {"key", "Return"});
    QVERIFY(cups.waitForJobs("office", 1));
    QTRY_COMPARE(historyRows().value(0), QStringLiteral("office c.png"));

    // A crashed panel leaves its socket; the next start takes the channel and prints what it was given.
    first->kill();
    QVERIFY(first->waitForFinished(10000) && QFileInfo::exists(socket));
    QProcess *second = session->startClient(panel, {"--preset", "Office", files.filePath("d.png")});
    QVERIFY(cups.waitForJobs("office", 2));
    QTRY_COMPARE(historyRows().value(0), QStringLiteral("office d.png"));
    QCOMPARE(run(panel, {}), 0);
    second->terminate();
    QVERIFY(second->waitForFinished(10000));
}

void SessionTest::startWithTheSessionAndXGrabs()
{
    QTRY_VERIFY(QSystemTrayIcon::isSystemTrayAvailable());
    MainWindow window;
    QVERIFY(!session->grabKey('1', ctrlAlt) && !session->grabKey('2', ctrlAlt));  // no portal: X grabs
    QMenu *menu = window.findChild<HotkeysAndTray *>()->trayMenu();
    QAction *action = menu->findChild<QAction *>("sessionStartAction");
    const QString entry = qEnvironmentVariable("XDG_CONFIG_HOME") + "/autostart/ollavan-quick.desktop";
    for (bool enabled : {true, false}) {
        action->trigger();
        emit menu->aboutToShow();
        QCOMPARE(action->isChecked(), enabled);
        QCOMPARE(QSettings(entry, QSettings::IniFormat).value("Desktop Entry/Exec").toString(),
                 enabled ? QCoreApplication::applicationFilePath() : QString());
        QCOMPARE(run("desktop-file-validate", {entry}), enabled ? 0 : 1);
    }
}

void SessionTest::portalShortcuts()
{
    QProcess *portal = startFakePortal({});
    QVERIFY(portal && session->startClient("eog", {files.filePath("poster.png")}));
    QProcess *shortcutsPanel = session->startClient(panel, {});
    QByteArray bound;
    QTRY_COMPARE_WITH_TIMEOUT(bound += portal->readAll(),
                              QByteArray("CTRL+ALT+1|Office|CTRL+ALT+1\nCTRL+ALT+2|Lab|CTRL+ALT+2\n"), 20000);
    QVERIFY(session->grabKey('2', ctrlAlt));                             // the panel holds no X grab
    QVERIFY(session->waitForWindow(QStringLiteral("^Ollavan Quick$")));  // up and polling the foreground

    // The viewer in front, Lab's shortcut prints its picture on Lab's printer.
    session->run("xdotool", {"windowactivate", "--sync", QString::number(session->waitForWindow("poster"))});
    QTest::qWait(1000);
    QVERIFY(portal->write("CTRL+ALT+2\n") && portal->waitForBytesWritten(5000));
    QVERIFY(cups.waitForJobs("lab", 3));
    QTRY_COMPARE(historyRows().value(0), QStringLiteral("lab poster.png"));
    shortcutsPanel->terminate();
    portal->terminate();
    QVERIFY(shortcutsPanel->waitForFinished(10000) && portal->waitForFinished(10000));

    // A portal that declines leaves the panel with X grabs.
    QVERIFY(portal = startFakePortal({"refuse"}));
    session->startClient(panel, {});
    QVERIFY(session->waitForWindow(QStringLiteral("^Ollavan Quick$")) && portal->waitForReadyRead(10000));
    QTest::qWait(1000);
    QVERIFY(!session->grabKey('1', ctrlAlt));
}

int main(int argc, char **argv)
{
    if (argc >= 2 && qstrcmp(argv[1], "--fake-portal") == 0)
        return runFakePortal(argc, argv);
    return runTestInXSession<SessionTest>(argc, argv, &session);
}

#include "tst_session.moc"
