#pragma once

#include <QString>
#include <QtGlobal>

#include <memory>

namespace platform {

// A process started by the shell (HANDLE on Windows, a process id on Linux); 0 means none.
using ProcessHandle = quintptr;

// The request of ShellExecuteExW, as far as the program fills it.
struct ShellExecuteRequest
{
    QString verb;        // lpVerb, e.g. "printto"
    QString file;        // lpFile, native separators
    QString parameters;  // lpParameters, as on a command line
    int show = 0;        // nShow (SW_HIDE)
};

// The desktop shell: documents handed to their registered handlers and document properties.
// Windows: ShellExecuteExW and the property system (IShellItem2). Linux: LibreOffice's soffice prints Word
// and WPS documents; PDF page counts come from the file.
class Shell
{
public:
    virtual ~Shell() = default;

    // ShellExecuteExW with SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI. On failure returns false with the
    // Windows error code in *error (1155 when no handler is registered for the file type, 2 when the file is
    // missing). On success *process is the handler's process (0 when the shell returned none).
    virtual bool execute(const ShellExecuteRequest &request, ProcessHandle *process, quint32 *error) = 0;
    // WaitForInputIdle; the outcome is not reported.
    virtual void waitForInputIdle(ProcessHandle process, quint32 milliseconds) = 0;
    // WaitForSingleObject on the process; the outcome is not reported. Never ends the process.
    virtual void waitForExit(ProcessHandle process, quint32 milliseconds) = 0;
    // CloseHandle; the process keeps running.
    virtual void closeProcess(ProcessHandle process) = 0;

    // The document's page count from the shell's property system; false when it has none.
    virtual bool documentPageCount(const QString &path, quint32 *pages) = 0;
};

// The process's shell: the platform's own unless a test installed another.
Shell &shell();
// Installs a replacement (tests); nullptr goes back to the platform's own. Not owned.
void setShellForTesting(Shell *replacement);
// Defined once per platform (platform/win, platform/linux).
std::unique_ptr<Shell> createSystemShell();

}  // namespace platform
