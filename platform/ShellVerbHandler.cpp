#include "platform/ShellVerbHandler.h"

#include "base/I18n.h"

#include <QDir>

#include <climits>

namespace platform {
namespace {

constexpr quint32 inputIdleWaitMs = 10000;
constexpr quint32 exitWaitMs = 30000;
constexpr quint32 errorNoAssociation = 1155;

// Closes the handler's process handle on every way out; the process itself keeps running.
class ProcessGuard
{
public:
    ProcessGuard(Shell &shell, ProcessHandle process) : shell(shell), process(process) {}
    ~ProcessGuard()
    {
        if (process)
            shell.closeProcess(process);
    }
    ProcessGuard(const ProcessGuard &) = delete;
    ProcessGuard &operator=(const ProcessGuard &) = delete;

private:
    Shell &shell;
    ProcessHandle process;
};

}  // namespace

ShellVerbHandler::ShellVerbHandler(std::unique_ptr<Shell> shell) : shell(std::move(shell)) {}

HandlerAnswer ShellVerbHandler::print(const QString &filePath, const QString &printerName)
{
    ShellExecuteRequest request;
    request.verb = QStringLiteral("printto");
    request.file = QDir::toNativeSeparators(filePath);
    request.parameters = QStringLiteral("\"%1\"").arg(printerName);
    request.show = 0;

    HandlerAnswer answer;
    ProcessHandle process = 0;
    quint32 error = 0;
    if (!shell->execute(request, &process, &error)) {
        answer.status =
            error == errorNoAssociation ? HandlerAnswer::Status::NoHandler : HandlerAnswer::Status::Failed;
        answer.description =
            I18n::text("Windows has no print handler for this document (error %1).").arg(error);
        return answer;
    }
    answer.status = HandlerAnswer::Status::Sent;
    // Without a process of its own the handler (a running instance) opens the file on its own time.
    answer.fileStillInUse = true;
    if (process) {
        const ProcessGuard guard(*shell, process);
        shell->waitForInputIdle(process, inputIdleWaitMs);
        answer.fileStillInUse = !shell->waitForExit(process, exitWaitMs);
    }
    return answer;
}

int ShellVerbHandler::pageCount(const QString &filePath)
{
    quint32 pages = 0;
    if (!shell->documentPageCount(filePath, &pages))
        return 0;
    return int(qMin<quint32>(pages, quint32(INT_MAX)));
}

}  // namespace platform
