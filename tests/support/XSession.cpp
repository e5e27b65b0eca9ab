#include "XSession.h"

#include <QDeadlineTimer>
#include <QThread>

#include <xcb/xcb_keysyms.h>

#include <signal.h>
#include <sys/prctl.h>

#include <cstdlib>

XSession::~XSession()
{
    xcb_disconnect(connection);  // nothing happens without a connection
    // Clients and window manager first, the server last.
    for (auto it = processes.rbegin(); it != processes.rend(); ++it) {
        (*it)->terminate();
        if (!(*it)->waitForFinished(5000))
            (*it)->kill();
        (*it)->waitForFinished(5000);
    }
}

QProcess *XSession::startClient(const QString &program, const QStringList &arguments,
                                const QString &workingFolder)
{
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), displayName);
    if (!busAddress.isEmpty())
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), busAddress);
    process->setProcessEnvironment(environment);
    process->setWorkingDirectory(workingFolder);
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
    process->start(program, arguments);
    if (!process->waitForStarted(10000))
        return nullptr;
    processes.push_back(std::move(process));
    return processes.back().get();
}

bool XSession::start(QString *error)
{
    // Xvfb takes a free display number (locking it atomically) and writes it out once it accepts clients.
    QProcess *server = startClient(QStringLiteral("Xvfb"), {"-displayfd", "1", "-noreset", "-nolisten", "tcp",
                                                            "-screen", "0", "1280x1024x24"});
    QByteArray announced;
    while (server && !announced.contains('\n') && server->waitForReadyRead(20000))
        announced += server->readAllStandardOutput();
    bool numbered = false;
    displayName = QStringLiteral(":%1").arg(announced.trimmed().toInt(&numbered));
    *error = QStringLiteral("Xvfb did not announce its display");
    if (!numbered || !startClient(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")}))
        return false;
    *error = QStringLiteral("openbox did not take over the display");
    if (!waitForWindow(QStringLiteral("openbox"), {QStringLiteral("--classname")}))
        return false;
    connection = xcb_connect(displayName.toLocal8Bit().constData(), nullptr);
    root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    QProcess *bus =
        startClient(QStringLiteral("dbus-daemon"), {"--session", "--nofork", "--print-address=1"});
    *error = QStringLiteral("the session bus did not start");
    if (!bus || !bus->waitForReadyRead(20000))
        return false;
    busAddress = QString::fromUtf8(bus->readLine()).trimmed();
    *error = QStringLiteral("trayer did not start");
    return startClient(QStringLiteral("trayer"),
                       {"--edge", "bottom", "--align", "right", "--widthtype", "pixel", "--width", "120"}) &&
           waitForWindow(QStringLiteral("trayer"), {QStringLiteral("--classname")});
}

QString XSession::run(const QString &program, const QStringList &arguments) const
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), displayName);
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    if (!process.waitForFinished(15000))
        process.kill();
    process.waitForFinished(5000);
    return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
}

quint32 XSession::waitForWindow(const QString &pattern, const QStringList &options) const
{
    for (const QDeadlineTimer deadline(20000); !deadline.hasExpired(); QThread::msleep(100)) {
        const QString found =
            run(QStringLiteral("xdotool"), QStringList{"search"} + options + QStringList{pattern});
        if (!found.isEmpty())
            return found.section(QLatin1Char('\n'), 0, 0).toUInt();
    }
    return 0;
}

xcb_keycode_t XSession::keycode(char key) const
{
    xcb_key_symbols_t *symbols = xcb_key_symbols_alloc(connection);
    xcb_keycode_t *codes = xcb_key_symbols_get_keycode(symbols, xcb_keysym_t(key));
    const xcb_keycode_t code = codes ? codes[0] : 0;
    std::free(codes);
    xcb_key_symbols_free(symbols);
    return code;
}

bool XSession::grabKey(char key, uint16_t modifiers)
{
    xcb_generic_error_t *error =
        xcb_request_check(connection, xcb_grab_key_checked(connection, 0, root, modifiers, keycode(key),
                                                           XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    const bool granted = !error;
    std::free(error);
    return granted;
}

uint16_t XSession::modifierState() const
{
    xcb_query_pointer_reply_t *reply =
        xcb_query_pointer_reply(connection, xcb_query_pointer(connection, root), nullptr);
    const uint16_t state = reply ? reply->mask : 0;
    std::free(reply);
    return state;
}
