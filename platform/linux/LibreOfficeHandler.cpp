// Word and WPS documents on Linux: LibreOffice prints them ("soffice --headless --pt PRINTER FILE").
#include "platform/DocumentHandler.h"

#include "base/I18n.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <cerrno>
#include <csignal>
#include <sys/types.h>

namespace platform {
namespace {

constexpr int exitWaitMs = 30000;

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

class LibreOfficeHandler final : public DocumentHandler
{
public:
    // LibreOffice prints in the background; it is waited for at most 30 s and left running after that.
    HandlerAnswer print(const QString &filePath, const QString &printerName) override
    {
        HandlerAnswer answer;
        const QString name = QFileInfo(filePath).fileName();
        const QString office = QStandardPaths::findExecutable(QStringLiteral("soffice"));
        if (office.isEmpty()) {
            answer.status = HandlerAnswer::Status::NoHandler;
            answer.description = I18n::text("Cannot print %1: LibreOffice is needed to print Word and WPS "
                                            "documents. Install the libreoffice-writer package.")
                                     .arg(name);
            return answer;
        }
        qint64 pid = 0;
        const QStringList arguments = {QStringLiteral("--headless"), QStringLiteral("--pt"), printerName,
                                       filePath};
        if (!QProcess::startDetached(office, arguments, QString(), &pid)) {
            answer.description = I18n::text("LibreOffice could not be started to print %1.").arg(name);
            return answer;
        }
        const QDeadlineTimer deadline(exitWaitMs);
        while (!hasEnded(pid) && !deadline.hasExpired())
            QThread::msleep(50);
        answer.status = HandlerAnswer::Status::Sent;
        answer.fileStillInUse = !hasEnded(pid);
        return answer;
    }

    // LibreOffice does not tell.
    int pageCount(const QString &) override { return 0; }
};

}  // namespace

std::unique_ptr<DocumentHandler> createSystemDocumentHandler()
{
    return std::make_unique<LibreOfficeHandler>();
}

}  // namespace platform
