// Word, WPS, OpenDocument and RTF documents on Linux: LibreOffice makes a PDF of them ("soffice
// --convert-to pdf"), with a profile of its own in the process's temporary folder, so that a LibreOffice the
// user runs does not take the request over and nothing of it stays behind.
#include "platform/DocumentHandler.h"

#include "base/I18n.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include <csignal>
#include <unistd.h>

namespace platform {
namespace {

constexpr int conversionLimitSeconds = 180;

// LibreOffice runs as a process group of its own (a launcher and the office program), ended as a whole when
// the conversion takes too long.
class OfficeProcess
{
public:
    OfficeProcess()
    {
        process.setChildProcessModifier([] { ::setpgid(0, 0); });
        process.setProcessChannelMode(QProcess::MergedChannels);
    }
    ~OfficeProcess()
    {
        if (process.state() != QProcess::NotRunning) {
            ::kill(-pid_t(process.processId()), SIGKILL);
            process.waitForFinished(-1);
        }
    }
    OfficeProcess(const OfficeProcess &) = delete;
    OfficeProcess &operator=(const OfficeProcess &) = delete;

    QProcess process;
};

class LibreOfficeHandler final : public DocumentHandler
{
public:
    HandlerAnswer print(const QString &filePath, const QString &) override
    {
        HandlerAnswer answer;
        const QFileInfo document(filePath);
        const QString name = document.fileName();
        const QString program = QStandardPaths::findExecutable(QStringLiteral("soffice"));
        if (program.isEmpty()) {
            answer.status = HandlerAnswer::Status::NoHandler;
            answer.description = I18n::text("Cannot print %1: LibreOffice is needed to print Word and WPS "
                                            "documents. Install the libreoffice-writer package.")
                                     .arg(name);
            return answer;
        }
        const QString output = document.absoluteDir().filePath(QStringLiteral("pdf"));
        const QTemporaryDir profile(QDir::temp().filePath(QStringLiteral("office-profile-XXXXXX")));
        if (!profile.isValid() || !QDir().mkpath(output)) {
            answer.description = I18n::text("LibreOffice could not be started to print %1.").arg(name);
            return answer;
        }
        {
            OfficeProcess office;
            office.process.start(
                program,
                {QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(profile.path()).toString(),
                 QStringLiteral("--headless"), QStringLiteral("--norestore"), QStringLiteral("--convert-to"),
                 QStringLiteral("pdf"), QStringLiteral("--outdir"), output, filePath});
            if (!office.process.waitForStarted()) {
                answer.description = I18n::text("LibreOffice could not be started to print %1.").arg(name);
                return answer;
            }
            if (!office.process.waitForFinished(conversionLimitSeconds * 1000)) {
                answer.description = I18n::text("LibreOffice did not make a PDF of %1 within %2 seconds.")
                                         .arg(name)
                                         .arg(conversionLimitSeconds);
                return answer;
            }
        }
        const QFileInfo pdf(QDir(output).filePath(document.completeBaseName() + QStringLiteral(".pdf")));
        if (!pdf.isFile() || pdf.size() == 0) {
            answer.description = I18n::text("LibreOffice could not make a PDF of %1.").arg(name);
            return answer;
        }
        answer.status = HandlerAnswer::Status::MadePdf;
        answer.pdfPath = pdf.absoluteFilePath();
        return answer;
    }

    // The page count comes from the PDF.
    int pageCount(const QString &) override { return 0; }
};

}  // namespace

std::unique_ptr<DocumentHandler> createSystemDocumentHandler()
{
    return std::make_unique<LibreOfficeHandler>();
}

}  // namespace platform
