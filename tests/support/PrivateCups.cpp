#include "PrivateCups.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QHostAddress>
#include <QProcess>
#include <QTcpServer>
#include <QThread>

#include <cups/cups.h>

#include <algorithm>

namespace ollavan::testsupport {
namespace {

quint16 freePort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

QString readText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

const char *const environmentNames[] = {"CUPS_SERVER", "CUPS_SERVERROOT", "HOME", "PRINTER", "LPDEST"};

}  // namespace

QString cupsScriptFolder()
{
    return QStringLiteral(OLLAVAN_SOURCE_DIR "/tests/support/cups");
}

PrivateCups::PrivateCups() = default;

PrivateCups::~PrivateCups()
{
    stop();
}

bool PrivateCups::start(QString *error)
{
    if (running)
        return true;
    QString reason;
    // A port found free may be taken before cupsd binds it: try a few.
    for (int attempt = 0; attempt < 4; ++attempt) {
        folder = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/ollavan-cups-XXXXXX"));
        if (!folder->isValid()) {
            reason = QStringLiteral("cannot create a folder for the print server");
            continue;
        }
        serverPort = freePort();
        if (serverPort == 0) {
            reason = QStringLiteral("no free port on 127.0.0.1");
            continue;
        }
        const QString pid = QString::number(QCoreApplication::applicationPid());
        if (script(QStringLiteral("cupsd-start"), {folder->path(), QString::number(serverPort), pid},
                   &reason)) {
            running = true;
            QDir(folder->path()).mkpath(QStringLiteral("home"));
            setEnvironment();
            return true;
        }
        script(QStringLiteral("cupsd-stop"), {folder->path()}, nullptr);
        folder.reset();
    }
    if (error)
        *error = reason;
    return false;
}

void PrivateCups::stop()
{
    if (!folder)
        return;
    script(QStringLiteral("cupsd-stop"), {folder->path()}, nullptr);
    if (running)
        restoreEnvironment();
    running = false;
    if (qEnvironmentVariableIsSet("OLLAVAN_KEEP_CUPS"))
        folder->setAutoRemove(false);
    folder.reset();
}

bool PrivateCups::isRunning() const
{
    return running;
}

QString PrivateCups::server() const
{
    return QStringLiteral("127.0.0.1:%1").arg(serverPort);
}

QString PrivateCups::directory() const
{
    return folder ? folder->path() : QString();
}

QString PrivateCups::home() const
{
    return folder && !keepHome ? folder->path() + QStringLiteral("/home") : QString();
}

QString PrivateCups::userOptionsPath() const
{
    return QDir::homePath() + QStringLiteral("/.cups/lpoptions");
}

void PrivateCups::setEnvironment()
{
    savedEnvironment.clear();
    unsetEnvironment.clear();
    for (const char *name : environmentNames) {
        if (qEnvironmentVariableIsSet(name))
            savedEnvironment.insert(name, qgetenv(name));
        else
            unsetEnvironment.append(name);
    }
    qputenv("CUPS_SERVER", server().toUtf8());
    qputenv("CUPS_SERVERROOT", (folder->path() + QStringLiteral("/client")).toUtf8());
    if (!keepHome)
        qputenv("HOME", home().toUtf8());
    qunsetenv("PRINTER");
    qunsetenv("LPDEST");
    // libcups keeps the server per thread once asked: make this thread read the environment again.
    cupsSetServer(nullptr);
}

void PrivateCups::restoreEnvironment()
{
    for (auto it = savedEnvironment.cbegin(); it != savedEnvironment.cend(); ++it)
        qputenv(it.key().constData(), it.value());
    for (const QByteArray &name : unsetEnvironment)
        qunsetenv(name.constData());
    cupsSetServer(nullptr);
}

bool PrivateCups::script(const QString &name, const QStringList &arguments, QString *error) const
{
    QString output;
    const int code = run(cupsScriptFolder() + QLatin1Char('/') + name, arguments, &output, 90000);
    if (code == 0)
        return true;
    if (error)
        *error = QStringLiteral("%1 failed (%2): %3").arg(name).arg(code).arg(output.trimmed());
    return false;
}

int PrivateCups::run(const QString &program, const QStringList &arguments, QString *output,
                     int timeoutMs) const
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (running) {
        environment.insert(QStringLiteral("CUPS_SERVER"), server());
        environment.insert(QStringLiteral("CUPS_SERVERROOT"), folder->path() + QStringLiteral("/client"));
        environment.remove(QStringLiteral("PRINTER"));
        environment.remove(QStringLiteral("LPDEST"));
    }
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    if (!process.waitForStarted(30000)) {
        if (output)
            *output = process.errorString();
        return -1;
    }
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(5000);
        if (output)
            *output = QStringLiteral("timed out: ") + QString::fromUtf8(process.readAll());
        return -1;
    }
    if (output)
        *output = QString::fromUtf8(process.readAll());
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

bool PrivateCups::addQueue(const QString &name, QueueKind kind, QString *error)
{
    return running && script(QStringLiteral("cupsd-add-queue"),
                             {folder->path(), QString::number(serverPort), name,
                              kind == Raw ? QStringLiteral("raw") : QStringLiteral("ppd")},
                             error);
}

bool PrivateCups::setServerDefault(const QString &name, QString *error)
{
    QString output;
    if (running && !name.isEmpty() &&
        run(QStringLiteral("lpadmin"), {QStringLiteral("-d"), name}, &output) == 0)
        return true;
    if (error)
        *error = output;
    return false;
}

bool PrivateCups::setUserDefault(const QString &name, QString *error)
{
    QString output;
    if (running && !name.isEmpty() &&
        run(QStringLiteral("lpoptions"), {QStringLiteral("-d"), name}, &output) == 0)
        return true;
    if (error)
        *error = output;
    return false;
}

bool PrivateCups::setQueueDefault(const QString &name, const QString &option, const QString &value,
                                  QString *error)
{
    QString output;
    const QStringList arguments = {QStringLiteral("-p"), name, QStringLiteral("-o"),
                                   QStringLiteral("%1-default=%2").arg(option, value)};
    if (running && run(QStringLiteral("lpadmin"), arguments, &output) == 0)
        return true;
    if (error)
        *error = output;
    return false;
}

bool PrivateCups::setReasons(const QString &name, const QStringList &reasons, QString *error)
{
    return running && script(QStringLiteral("cupsd-set-reasons"),
                             QStringList{folder->path(), QString::number(serverPort), name} + reasons, error);
}

bool PrivateCups::disableQueue(const QString &name, const QString &reason, QString *error)
{
    QStringList arguments;
    if (!reason.isEmpty())
        arguments << QStringLiteral("-r") << reason;
    arguments << name;
    QString output;
    if (running && run(QStringLiteral("cupsdisable"), arguments, &output) == 0)
        return true;
    if (error)
        *error = output;
    return false;
}

bool PrivateCups::enableQueue(const QString &name, QString *error)
{
    QString output;
    if (running && run(QStringLiteral("cupsenable"), {name}, &output) == 0)
        return true;
    if (error)
        *error = output;
    return false;
}

bool PrivateCups::removeQueue(const QString &name, QString *error)
{
    QString output;
    if (running && run(QStringLiteral("lpadmin"), {QStringLiteral("-x"), name}, &output) == 0)
        return true;
    if (error)
        *error = output;
    return false;
}

QList<CapturedJob> PrivateCups::jobs(const QString &queue) const
{
    QList<CapturedJob> result;
    if (!folder)
        return result;
    const QDir queueFolder(folder->path() + QStringLiteral("/jobs/") + queue);
    for (const QString &entry : queueFolder.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString jobFolder = queueFolder.filePath(entry);
        if (!QFile::exists(jobFolder + QStringLiteral("/complete")))
            continue;
        CapturedJob job;
        job.id = entry.toInt();
        job.queue = queue;
        job.copies = readText(jobFolder + QStringLiteral("/copies")).toInt();
        job.optionText = readText(jobFolder + QStringLiteral("/options"));
        job.title = readText(jobFolder + QStringLiteral("/title"));
        job.user = readText(jobFolder + QStringLiteral("/user"));
        job.dataPath = jobFolder + QStringLiteral("/data");
        cups_option_t *options = nullptr;
        const QByteArray text = job.optionText.toUtf8();
        const int count = cupsParseOptions(text.constData(), 0, &options);
        for (int i = 0; i < count; ++i)
            job.options.insert(QString::fromUtf8(options[i].name), QString::fromUtf8(options[i].value));
        cupsFreeOptions(count, options);
        result.append(job);
    }
    std::sort(result.begin(), result.end(),
              [](const CapturedJob &a, const CapturedJob &b) { return a.id < b.id; });
    return result;
}

bool PrivateCups::waitForJobs(const QString &queue, int count, int timeoutMs) const
{
    QDeadlineTimer deadline(timeoutMs);
    while (jobs(queue).size() < count) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(100);
    }
    return true;
}

}  // namespace ollavan::testsupport
