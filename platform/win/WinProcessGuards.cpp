// Console control events and the end of the session, LockFileEx, process creation times and write-through
// renames.
#include "platform/ProcessGuards.h"

#include "base/I18n.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <windows.h>

#include <io.h>

#include <csignal>
#include <string>
#include <utility>

namespace platform {
namespace {

constexpr int hangUpSignal = 1;  // SIGHUP, which Windows does not define

std::function<void(int)> &terminationHandler()
{
    static std::function<void(int)> handler;
    return handler;
}

BOOL WINAPI consoleControl(DWORD event)
{
    const std::function<void(int)> &handler = terminationHandler();
    if (!handler)
        return FALSE;
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
        handler(SIGINT);
        return TRUE;
    case CTRL_CLOSE_EVENT:
        handler(hangUpSignal);
        return TRUE;
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
        handler(SIGTERM);
        return TRUE;
    default:
        return FALSE;
    }
}

// The panel's windows hear that the session ends.
class SessionEndFilter final : public QAbstractNativeEventFilter
{
public:
    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *) override
    {
        if (eventType != "windows_generic_MSG")
            return false;
        const MSG *msg = static_cast<const MSG *>(message);
        if (msg->message == WM_ENDSESSION && msg->wParam && terminationHandler())
            terminationHandler()(SIGTERM);
        return false;
    }
};

QString describe(const char *what, const QString &path, DWORD error)
{
    return I18n::text(what).arg(QDir::toNativeSeparators(path), qt_error_string(int(error)));
}

std::wstring nativePath(const QString &path)
{
    return QDir::toNativeSeparators(path).toStdWString();
}

quint64 creationTime(HANDLE process)
{
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user))
        return 0;
    return (quint64(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

bool makeFolder(const QString &folder, QString *failure)
{
    if (QFileInfo(folder).isDir() || QDir().mkpath(folder))
        return true;
    if (failure)
        *failure = describe("The file %1 could not be written: %2", folder, GetLastError());
    return false;
}

}  // namespace

void holdTerminationRequests() {}

void handleTerminationRequests(std::function<void(int signal)> handler)
{
    terminationHandler() = std::move(handler);
    SetConsoleCtrlHandler(&consoleControl, TRUE);
    if (QCoreApplication *application = QCoreApplication::instance())
        application->installNativeEventFilter(new SessionEndFilter);
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
    const std::wstring name = nativePath(path);
    HANDLE file = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        if (failure)
            *failure = describe("The file %1 could not be opened: %2", path, GetLastError());
        return false;
    }
    OVERLAPPED whole = {};
    if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &whole)) {
        CloseHandle(file);
        return false;
    }
    handle = reinterpret_cast<qintptr>(file);
    return true;
}

void FileLock::unlock()
{
    if (!isLocked())
        return;
    CloseHandle(reinterpret_cast<HANDLE>(handle));  // closing the handle releases the lock
    handle = invalidHandle;
}

ProcessIdentity currentProcess()
{
    ProcessIdentity process;
    process.id = qint64(GetCurrentProcessId());
    process.started = creationTime(GetCurrentProcess());
    return process;
}

bool isRunning(const ProcessIdentity &process)
{
    HANDLE handle = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, DWORD(process.id));
    if (!handle)
        return false;
    DWORD exitCode = 0;
    const bool running = GetExitCodeProcess(handle, &exitCode) && exitCode == STILL_ACTIVE &&
                         creationTime(handle) == process.started;
    CloseHandle(handle);
    return running;
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
    return name.size() == 4 && idRead && startRead && owner.id > 0 && owner.started > 0 && !isRunning(owner);
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
    if (!QDir().mkdir(folder))
        return;  // the system's folder serves
    ownTemporaryFolder = folder;
    const QByteArray native = QDir::toNativeSeparators(folder).toLocal8Bit();
    qputenv("TMP", native);
    qputenv("TEMP", native);
}

void OwnTemporaryFolder::remove()
{
    if (!ownTemporaryFolder.isEmpty())
        QDir(ownTemporaryFolder).removeRecursively();
}

bool writeFileDurably(const QString &path, const QByteArray &content, QString *failure,
                      QFileDevice::Permissions newFilePermissions)
{
    const QFileInfo target(path);
    if (!makeFolder(target.absolutePath(), failure))
        return false;
    const QString temporary =
        target.absolutePath() + QStringLiteral("/.") + target.fileName() + QStringLiteral(".new");
    const bool existed = target.exists();
    QFile file(temporary);
    bool written = file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                   file.write(content) == content.size() && file.flush() &&
                   FlushFileBuffers(reinterpret_cast<HANDLE>(_get_osfhandle(file.handle())));
    file.close();
    const std::wstring from = nativePath(temporary);
    const std::wstring to = nativePath(path);
    written =
        written && MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!written) {
        const DWORD error = GetLastError();
        QFile::remove(temporary);
        if (failure)
            *failure = describe("The file %1 could not be written: %2", path, error);
        return false;
    }
    if (!existed)
        QFile::setPermissions(path, newFilePermissions);
    return true;
}

bool removeFileDurably(const QString &path, QString *failure)
{
    const std::wstring name = nativePath(path);
    if (DeleteFileW(name.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND)
        return true;
    if (failure)
        *failure = describe("The file %1 could not be removed: %2", path, GetLastError());
    return false;
}

}  // namespace platform
