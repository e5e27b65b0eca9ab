#pragma once

#include <QString>
#include <QtGlobal>

namespace platform {

// A process started by the shell (a HANDLE); 0 means none.
using ProcessHandle = quintptr;

// The request of ShellExecuteExW, as far as the program fills it.
struct ShellExecuteRequest
{
    QString verb;        // lpVerb, e.g. "printto"
    QString file;        // lpFile, native separators
    QString parameters;  // lpParameters, as on a command line
    int show = 0;        // nShow (SW_HIDE)
};

// The few calls of the Windows shell that printing through a document's registered handler makes
// (ShellVerbHandler drives them; platform/win implements them over Win32, tests over a fake).
class Shell
{
public:
    virtual ~Shell() = default;

    // ShellExecuteExW with SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI. On failure returns false with the
    // Windows error code in *error (1155 when no handler is registered for the file type). On success
    // *process is the handler's process (0 when the shell returned none).
    virtual bool execute(const ShellExecuteRequest &request, ProcessHandle *process, quint32 *error) = 0;
    // WaitForInputIdle; the outcome is not reported.
    virtual void waitForInputIdle(ProcessHandle process, quint32 milliseconds) = 0;
    // WaitForSingleObject on the process: true when it ended in time. Never ends the process.
    virtual bool waitForExit(ProcessHandle process, quint32 milliseconds) = 0;
    // CloseHandle; the process keeps running.
    virtual void closeProcess(ProcessHandle process) = 0;
    // The document's page count from the shell's property system; false when it has none.
    virtual bool documentPageCount(const QString &path, quint32 *pages) = 0;
};

}  // namespace platform
