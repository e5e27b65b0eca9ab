#include "XSession.h"

#include <QDeadlineTimer>
#include <QProcessEnvironment>
#include <QThread>

#include <xcb/xcb.h>

#include <signal.h>
#include <sys/prctl.h>

#include <cstdlib>
#include <memory>

namespace {

struct ConnectionDeleter
{
    void operator()(xcb_connection_t *connection) const { xcb_disconnect(connection); }
};
using Connection = std::unique_ptr<xcb_connection_t, ConnectionDeleter>;

Connection connectTo(const QString &display)
{
    Connection connection(xcb_connect(display.toLocal8Bit().constData(), nullptr));
    if (connection && xcb_connection_has_error(connection.get()))
        connection.reset();
    return connection;
}

xcb_atom_t internAtom(xcb_connection_t *connection, const char *name)
{
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, uint16_t(qstrlen(name)), name),
                              nullptr),
        &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

}  // namespace

XSession::~XSession()
{
    stop();
}

bool XSession::startProcess(const QString &program, const QStringList &arguments, QString *error)
{
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), displayName);
    process->setProcessEnvironment(environment);
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->setStandardOutputFile(QProcess::nullDevice());
    // A test that crashes or is killed by its time-out takes its X session with it.
    process->setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
    process->start(program, arguments);
    if (!process->waitForStarted(10000)) {
        if (error)
            *error = QStringLiteral("%1 did not start: %2").arg(program, process->errorString());
        return false;
    }
    processes.push_back(std::move(process));
    return true;
}

bool XSession::start(bool withTray, QString *error)
{
    if (isRunning())
        return true;
    // Xvfb picks a free display number itself (taking its lock file atomically) and writes it to its standard
    // output once it accepts connections, so two tests starting at the same moment never share a server.
    auto server = std::make_unique<QProcess>();
    server->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    server->setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
    server->start(QStringLiteral("Xvfb"),
                  {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-noreset"),
                   QStringLiteral("-nolisten"), QStringLiteral("tcp"), QStringLiteral("-screen"),
                   QStringLiteral("0"), QStringLiteral("1280x1024x24")});
    if (!server->waitForStarted(10000)) {
        if (error)
            *error = QStringLiteral("Xvfb did not start: %1").arg(server->errorString());
        return false;
    }
    QByteArray announced;
    QDeadlineTimer deadline(20000);
    while (!announced.contains('\n') && !deadline.hasExpired() && server->state() == QProcess::Running) {
        server->waitForReadyRead(100);
        announced += server->readAllStandardOutput();
    }
    bool numbered = false;
    const int number = announced.trimmed().toInt(&numbered);
    processes.push_back(std::move(server));
    if (!numbered) {
        if (error)
            *error = QStringLiteral("Xvfb did not announce its display");
        stop();
        return false;
    }
    displayName = QStringLiteral(":%1").arg(number);
    if (!connectTo(displayName)) {
        if (error)
            *error = QStringLiteral("Xvfb on %1 does not accept connections").arg(displayName);
        stop();
        return false;
    }
    if (!startProcess(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")}, error) ||
        !waitForWindowManager(15000)) {
        if (error && error->isEmpty())
            *error = QStringLiteral("openbox did not take over the display");
        stop();
        return false;
    }
    if (withTray) {
        if (!startProcess(QStringLiteral("trayer"),
                          {QStringLiteral("--edge"), QStringLiteral("bottom"), QStringLiteral("--align"),
                           QStringLiteral("right"), QStringLiteral("--widthtype"), QStringLiteral("pixel"),
                           QStringLiteral("--width"), QStringLiteral("120")},
                          error) ||
            !waitForTray(15000)) {
            if (error && error->isEmpty())
                *error = QStringLiteral("trayer did not provide a notification area");
            stop();
            return false;
        }
    }
    return true;
}

void XSession::stop()
{
    // Clients and window manager first, the server last.
    for (auto it = processes.rbegin(); it != processes.rend(); ++it) {
        QProcess *process = it->get();
        if (process->state() == QProcess::NotRunning)
            continue;
        process->terminate();
        if (!process->waitForFinished(5000)) {
            process->kill();
            process->waitForFinished(5000);
        }
    }
    processes.clear();
    displayName.clear();
}

bool XSession::waitForWindowManager(int timeoutMs) const
{
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        if (Connection connection = connectTo(displayName)) {
            xcb_connection_t *c = connection.get();
            const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
            const xcb_atom_t check = internAtom(c, "_NET_SUPPORTING_WM_CHECK");
            std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
                xcb_get_property_reply(c, xcb_get_property(c, 0, root, check, XCB_ATOM_WINDOW, 0, 1),
                                       nullptr),
                &std::free);
            if (reply && xcb_get_property_value_length(reply.get()) >= 4)
                return true;
        }
        QThread::msleep(100);
    }
    return false;
}

bool XSession::waitForTray(int timeoutMs) const
{
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        if (Connection connection = connectTo(displayName)) {
            xcb_connection_t *c = connection.get();
            const xcb_atom_t selection = internAtom(c, "_NET_SYSTEM_TRAY_S0");
            std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&std::free)> owner(
                xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, selection), nullptr), &std::free);
            if (owner && owner->owner != XCB_WINDOW_NONE)
                return true;
        }
        QThread::msleep(100);
    }
    return false;
}

QString XSession::run(const QString &program, const QStringList &arguments, int *exitCode,
                      int timeoutMs) const
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), displayName);
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    const bool finished = process.waitForStarted(10000) && process.waitForFinished(timeoutMs);
    if (!finished) {
        process.kill();
        process.waitForFinished(5000);
    }
    if (exitCode)
        *exitCode = finished && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
}

QString XSession::xdotool(const QStringList &arguments, int *exitCode) const
{
    return run(QStringLiteral("xdotool"), arguments, exitCode);
}

QProcess *XSession::startClient(const QString &program, const QStringList &arguments)
{
    QString ignored;
    if (!startProcess(program, arguments, &ignored))
        return nullptr;
    return processes.back().get();
}

quint32 XSession::waitForWindow(const QString &namePattern, int timeoutMs) const
{
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        int code = 0;
        const QString found = xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                       QStringLiteral("--name"), namePattern},
                                      &code);
        if (code == 0 && !found.isEmpty())
            return found.split(QLatin1Char('\n')).first().trimmed().toUInt();
        QThread::msleep(100);
    }
    return 0;
}

void XSession::exportToEnvironment() const
{
    qputenv("DISPLAY", displayName.toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "xcb");
}
