// The shell on Linux: LibreOffice prints Word and WPS documents ("soffice --headless --pt PRINTER FILE");
// PDF page counts come from the file itself.
#include "platform/Shell.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QPdfDocument>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <cerrno>
#include <csignal>
#include <sys/types.h>

namespace platform {
namespace {

constexpr quint32 errorFileNotFound = 2;
constexpr quint32 errorNoAssociation = 1155;  // no application is associated with the file for this operation

bool printableByOffice(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("doc") || suffix == QLatin1String("docx") ||
           suffix == QLatin1String("wps");
}

// Whether the process has ended: gone, or a zombie that nobody has reaped yet.
bool hasEnded(qint64 pid)
{
    if (::kill(pid_t(pid), 0) != 0 && errno == ESRCH)
        return true;
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return true;
    const QByteArray line = stat.readAll();
    const int close = line.lastIndexOf(')');
    return close >= 0 && close + 2 < line.size() && (line.at(close + 2) == 'Z' || line.at(close + 2) == 'X');
}

class LinuxShell final : public Shell
{
public:
    bool execute(const ShellExecuteRequest &request, ProcessHandle *process, quint32 *error) override
    {
        if (process)
            *process = 0;
        if (!QFileInfo(request.file).isFile())
            return fail(error, errorFileNotFound);
        if (request.verb != QLatin1String("printto") || !printableByOffice(request.file))
            return fail(error, errorNoAssociation);
        const QString office = QStandardPaths::findExecutable(QStringLiteral("soffice"));
        if (office.isEmpty())
            return fail(error, errorNoAssociation);
        const QStringList parameters = QProcess::splitCommand(request.parameters);
        if (parameters.size() != 1 || parameters.first().isEmpty())
            return fail(error, errorNoAssociation);
        qint64 pid = 0;
        const QStringList arguments = {QStringLiteral("--headless"), QStringLiteral("--pt"),
                                       parameters.first(), request.file};
        if (!QProcess::startDetached(office, arguments, QString(), &pid))
            return fail(error, errorFileNotFound);
        if (process)
            *process = ProcessHandle(pid);
        return true;
    }

    // A headless handler has no input queue to become idle: there is nothing to wait for.
    void waitForInputIdle(ProcessHandle, quint32) override {}

    void waitForExit(ProcessHandle process, quint32 milliseconds) override
    {
        if (!process)
            return;
        const QDeadlineTimer deadline(milliseconds);
        while (!hasEnded(qint64(process)) && !deadline.hasExpired())
            QThread::msleep(50);
    }

    // The process was started detached: there is no handle to give back.
    void closeProcess(ProcessHandle) override {}

    bool documentPageCount(const QString &path, quint32 *pages) override
    {
        if (QFileInfo(path).suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) != 0)
            return false;
        QPdfDocument document;
        if (document.load(path) != QPdfDocument::Error::None || document.pageCount() <= 0)
            return false;
        if (pages)
            *pages = quint32(document.pageCount());
        return true;
    }

private:
    static bool fail(quint32 *error, quint32 code)
    {
        if (error)
            *error = code;
        return false;
    }
};

}  // namespace

std::unique_ptr<Shell> createSystemShell()
{
    return std::make_unique<LinuxShell>();
}

}  // namespace platform
