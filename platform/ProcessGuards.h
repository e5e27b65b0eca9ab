#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>
#include <QtGlobal>

#include <functional>

namespace platform {

// What a process that changes the user's settings for a while needs from the system to never leave them
// half changed: termination requests it can answer in its own time, a lock shared by the user's processes,
// the identity of a process that survives pid reuse, a temporary folder that a killed process does not
// litter, and files replaced durably.

// --- Termination requests ---------------------------------------------------------------------------------
// Linux: SIGTERM, SIGINT and SIGHUP, taken on a thread of their own (sigwait), never handled inside an
// asynchronous signal handler. Windows: the console's control events (the command line) and the end of the
// session (the panel).

// Call first in main(), before the process starts any thread: keeps the requests for the handler (Linux:
// blocks the three signals in every thread to come; programs the process starts get them back).
void holdTerminationRequests();
// From now on `handler` receives each request with its signal number (Windows: SIGINT for Ctrl+C and
// Ctrl+Break, SIGHUP for a closed console, SIGTERM for the end of the session): Linux on a thread of its
// own, Windows on the console's handler thread or, for the end of the session, on the main thread (the
// application object must exist already). Call once.
void handleTerminationRequests(std::function<void(int signal)> handler);

// --- A lock shared by the user's processes ---------------------------------------------------------------
// An exclusive lock on a file (Linux: flock; Windows: LockFileEx). Two objects exclude each other also in
// one process. The lock goes with the object, and with the process when it ends in any way.
class FileLock
{
public:
    explicit FileLock(const QString &path);
    ~FileLock();
    FileLock(const FileLock &) = delete;
    FileLock &operator=(const FileLock &) = delete;

    // Takes the lock if it is free, without waiting; the file (and its folder) is created when missing.
    // False while another holder has it, or with a description in *failure when the file cannot be opened.
    bool tryLock(QString *failure = nullptr);
    bool isLocked() const { return handle != invalidHandle; }
    void unlock();

private:
    static constexpr qintptr invalidHandle = -1;
    QString path;
    qintptr handle = invalidHandle;
};

// --- The identity of a process ---------------------------------------------------------------------------
// Its id and its start time (Linux: the start time in /proc; Windows: the creation time), so that another
// process that got the same id later is not taken for it.
struct ProcessIdentity
{
    qint64 id = 0;
    quint64 started = 0;
};

ProcessIdentity currentProcess();
// True while that very process runs (an ended one that was not yet reaped does not count).
bool isRunning(const ProcessIdentity &process);

// --- A temporary folder of the process's own ------------------------------------------------------------
// While it lives, the process's temporary files (Linux: TMPDIR; Windows: TMP and TEMP) go to a folder of its
// own inside the system's ("ollavan-temporary-PID-START"); it is removed when the object goes, and the
// folders of processes that are gone (killed while the print system spooled a job, say) are removed when
// the next one is made. Make it first in main(), before any thread exists; a process that ends on a
// termination request calls remove() itself.
class OwnTemporaryFolder
{
public:
    OwnTemporaryFolder();
    ~OwnTemporaryFolder() { remove(); }
    OwnTemporaryFolder(const OwnTemporaryFolder &) = delete;
    OwnTemporaryFolder &operator=(const OwnTemporaryFolder &) = delete;

    static void remove();
};

// --- Durable files ---------------------------------------------------------------------------------------
// Replaces the file's content so that a crash at any moment leaves either the old or the new content: the
// bytes go to a temporary file beside it (always of the same name, so that one left by a crash is reused),
// are flushed to disk, and the temporary file is renamed over the file (the folder is flushed too). Missing
// folders are created for the owner only. A new file gets `newFilePermissions`; an existing one keeps its
// own, and a symbolic link stays one (its target is written). False with a description in *failure.
bool writeFileDurably(const QString &path, const QByteArray &content, QString *failure = nullptr,
                      QFileDevice::Permissions newFilePermissions = QFileDevice::ReadOwner |
                                                                    QFileDevice::WriteOwner);
// Removes the file durably; true when it is gone (or was not there).
bool removeFileDurably(const QString &path, QString *failure = nullptr);

}  // namespace platform
