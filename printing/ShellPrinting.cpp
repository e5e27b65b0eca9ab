#include "printing/ShellPrinting.h"

#include "platform/Shell.h"

#include <QDir>

#include <climits>

namespace {

constexpr quint32 inputIdleWaitMs = 10000;
constexpr quint32 exitWaitMs = 30000;

// Closes the handler's process handle on every way out; the process itself keeps running.
class ProcessGuard
{
public:
    explicit ProcessGuard(platform::ProcessHandle process) : process(process) {}
    ~ProcessGuard()
    {
        if (process)
            platform::shell().closeProcess(process);
    }
    ProcessGuard(const ProcessGuard &) = delete;
    ProcessGuard &operator=(const ProcessGuard &) = delete;

private:
    platform::ProcessHandle process;
};

}  // namespace

bool executeShellPrint(const QString &filePath, const QString &printerName, quint32 *windowsError)
{
    platform::ShellExecuteRequest request;
    request.verb = QStringLiteral("printto");
    request.file = QDir::toNativeSeparators(filePath);
    request.parameters = QStringLiteral("\"%1\"").arg(printerName);
    request.show = 0;

    platform::Shell &shell = platform::shell();
    platform::ProcessHandle process = 0;
    quint32 error = 0;
    if (!shell.execute(request, &process, &error)) {
        if (windowsError)
            *windowsError = error;
        return false;
    }
    if (process) {
        const ProcessGuard guard(process);
        shell.waitForInputIdle(process, inputIdleWaitMs);
        shell.waitForExit(process, exitWaitMs);
    }
    return true;
}

int shellDocumentPageCount(const QString &path)
{
    quint32 pages = 0;
    if (!platform::shell().documentPageCount(path, &pages))
        return 0;
    return int(qMin<quint32>(pages, quint32(INT_MAX)));
}
