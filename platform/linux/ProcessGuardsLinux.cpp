// Termination requests on a sigwait thread, flock, the start time in /proc and POSIX durable writes.
#include "platform/ProcessGuards.h"

#include "base/I18n.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <thread>

#include <fcntl.h>
#include <pthread.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

sigset_t terminationSignals()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGHUP);
    return set;
}

void releaseTerminationSignalsInChild()
{
    const sigset_t set = terminationSignals();
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

QString describe(const char *what, const QString &path, int error)
{
    return I18n::text(what).arg(QDir::toNativeSeparators(path), systemError(error));
}

// Closes a descriptor on every way out.
struct Descriptor
{
    int fd;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

bool makeFolder(const QString &folder, QString *failure)
{
    if (QFileInfo(folder).isDir())
        return true;
    const QString parent = QFileInfo(folder).absolutePath();
    if (parent != folder && !makeFolder(parent, failure))
        return false;
    if (::mkdir(QFile::encodeName(folder).constData(), 0700) == 0 || errno == EEXIST)
        return true;
    if (failure)
        *failure = describe("The file %1 could not be written: %2", folder, errno);
    return false;
}

bool writeAll(int fd, const QByteArray &content)
{
    qsizetype written = 0;
    while (written < content.size()) {
        const ssize_t n = ::write(fd, content.constData() + written, size_t(content.size() - written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        written += n;
    }
    return true;
}

bool syncFolder(const QString &folder)
{
    const Descriptor directory{
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
    return directory.fd >= 0 && ::fsync(directory.fd) == 0;
}

mode_t modeOf(QFileDevice::Permissions permissions)
{
    mode_t mode = 0;
    if (permissions & QFileDevice::ReadOwner)
        mode |= S_IRUSR;
    if (permissions & QFileDevice::WriteOwner)
        mode |= S_IWUSR;
    if (permissions & QFileDevice::ReadGroup)
        mode |= S_IRGRP;
    if (permissions & QFileDevice::WriteGroup)
        mode |= S_IWGRP;
    if (permissions & QFileDevice::ReadOther)
        mode |= S_IROTH;
    if (permissions & QFileDevice::WriteOther)
        mode |= S_IWOTH;
    return mode;
}

// The start time of a process in clock ticks after boot (field 22 of /proc/PID/stat); 0 when it is not
// running (or is a zombie).
quint64 startTimeOf(qint64 id)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(id));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray line = stat.readAll();
    // The command name (field 2) may hold anything: the fields after it start behind its last ')'.
    const int end = line.lastIndexOf(')');
    if (end < 0)
        return 0;
    const QList<QByteArray> fields = line.mid(end + 2).split(' ');
    // fields[0] is field 3 (the state), so field 22 is fields[19].
    if (fields.size() < 20 || fields.at(0) == "Z" || fields.at(0) == "X")
        return 0;
    return fields.at(19).toULongLong();
}

}  // namespace

void holdTerminationRequests()
{
    const sigset_t set = terminationSignals();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    // Programs started with fork() get the signals back; the settings of this process are none of theirs.
    pthread_atfork(nullptr, nullptr, &releaseTerminationSignalsInChild);
}

void handleTerminationRequests(std::function<void(int signal)> handler)
{
    std::thread([handler = std::move(handler)] {
        const sigset_t set = terminationSignals();
        for (;;) {
            int signal = 0;
            if (sigwait(&set, &signal) == 0)
                handler(signal);
        }
    }).detach();
}

FileLock::FileLock(const QString &path) : path(path) {}

FileLock::~FileLock()
{
    unlock();
}

bool FileLock::tryLock(QString *failure)
{
    if (isLocked())
        return true;
    if (!makeFolder(QFileInfo(path).absolutePath(), failure))
        return false;
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        if (failure)
            *failure = describe("The file %1 could not be opened: %2", path, errno);
        return false;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    handle = fd;
    return true;
}

void FileLock::unlock()
{
    if (!isLocked())
        return;
    ::close(int(handle));  // closing the only descriptor releases the lock
    handle = invalidHandle;
}

ProcessIdentity currentProcess()
{
    ProcessIdentity process;
    process.id = ::getpid();
    process.started = startTimeOf(process.id);
    return process;
}

bool isRunning(const ProcessIdentity &process)
{
    return process.id > 0 && process.started != 0 && startTimeOf(process.id) == process.started;
}

namespace {
QString ownTemporaryFolder;

// A folder "ollavan-temporary-PID-START" of this user whose process is gone.
bool isLeftOver(const QFileInfo &folder)
{
    const QStringList name = folder.fileName().split(QLatin1Char('-'));
    bool idRead = false;
    bool startRead = false;
    const ProcessIdentity owner{name.value(2).toLongLong(&idRead), name.value(3).toULongLong(&startRead)};
    return name.size() == 4 && idRead && startRead && owner.id > 0 && owner.started > 0 &&
           folder.ownerId() == ::getuid() && !isRunning(owner);
}
}  // namespace

OwnTemporaryFolder::OwnTemporaryFolder()
{
    const QString system = QDir::tempPath();
    const QFileInfoList folders = QDir(system).entryInfoList(
        {QStringLiteral("ollavan-temporary-*-*")}, QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QFileInfo &folder : folders) {
        if (isLeftOver(folder))
            QDir(folder.absoluteFilePath()).removeRecursively();
    }
    const ProcessIdentity self = currentProcess();
    const QString folder = system + QStringLiteral("/ollavan-temporary-%1-%2").arg(self.id).arg(self.started);
    if (::mkdir(QFile::encodeName(folder).constData(), 0700) != 0)
        return;  // the system's folder serves
    ownTemporaryFolder = folder;
    qputenv("TMPDIR", QFile::encodeName(folder));
}

void OwnTemporaryFolder::remove()
{
    if (!ownTemporaryFolder.isEmpty())
        QDir(ownTemporaryFolder).removeRecursively();
}

bool writeFileDurably(const QString &link, const QByteArray &content, QString *failure,
                      QFileDevice::Permissions newFilePermissions)
{
    // A file that is a symbolic link is written where the link points; the link stays.
    const QString path = QFileInfo(link).isSymLink() ? QFileInfo(link).symLinkTarget() : link;
    const QFileInfo target(path);
    const QString folder = target.absolutePath();
    if (!makeFolder(folder, failure))
        return false;
    const QString temporary = folder + QStringLiteral("/.") + target.fileName() + QStringLiteral(".new");
    const QByteArray temporaryName = QFile::encodeName(temporary);
    struct stat existing = {};
    const mode_t mode = ::stat(QFile::encodeName(path).constData(), &existing) == 0
                            ? (existing.st_mode & 07777)
                            : modeOf(newFilePermissions);
    int error = 0;
    errno = 0;
    {
        const Descriptor file{
            ::open(temporaryName.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600)};
        if (file.fd < 0 || ::fchmod(file.fd, mode) != 0 || !writeAll(file.fd, content) ||
            ::fsync(file.fd) != 0)
            error = errno ? errno : EIO;
    }
    if (error == 0 && ::rename(temporaryName.constData(), QFile::encodeName(path).constData()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(temporaryName.constData());
        if (failure)
            *failure = describe("The file %1 could not be written: %2", path, error);
        return false;
    }
    syncFolder(folder);
    return true;
}

bool removeFileDurably(const QString &path, QString *failure)
{
    if (::unlink(QFile::encodeName(path).constData()) != 0 && errno != ENOENT) {
        if (failure)
            *failure = describe("The file %1 could not be removed: %2", path, errno);
        return false;
    }
    syncFolder(QFileInfo(path).absolutePath());
    return true;
}

}  // namespace platform
