// Word, WPS, OpenDocument and RTF documents on Linux: LibreOffice lays them out as a PDF, which goes to the
// print queue with the user's options for the printer, as lp sends a file. (LibreOffice's own printing,
// "soffice --pt", leaves the user's copies, sides and colour out of the job.)
#include "platform/DocumentHandler.h"

#include "base/I18n.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include <cups/cups.h>

#include <memory>

namespace platform {
namespace {

constexpr int layoutWaitMs = 120000;

struct DestinationDeleter
{
    void operator()(cups_dest_t *destination) const { cupsFreeDests(1, destination); }
};

// Options as libcups keeps them, freed on every way out.
struct JobOptions
{
    int count = 0;
    cups_option_t *options = nullptr;
    JobOptions() = default;
    JobOptions(const JobOptions &) = delete;
    JobOptions &operator=(const JobOptions &) = delete;
    ~JobOptions() { cupsFreeOptions(count, options); }
};

class LibreOfficeHandler final : public DocumentHandler
{
public:
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
        // A profile of its own, so that a LibreOffice the user has open is neither used nor disturbed.
        const QString profile =
            QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + QStringLiteral("/libreoffice");
        const QTemporaryDir output(QFileInfo(filePath).path() + QStringLiteral("/pdf-XXXXXX"));
        QProcess layout;
        layout.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        layout.start(office,
                     {QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(profile).toString(),
                      QStringLiteral("--headless"), QStringLiteral("--norestore"),
                      QStringLiteral("--convert-to"), QStringLiteral("pdf"), QStringLiteral("--outdir"),
                      output.path(), filePath});
        if (!layout.waitForFinished(layoutWaitMs)) {
            layout.kill();
            layout.waitForFinished();
        }
        const QString pdf = QDir(output.path()).filePath(QFileInfo(filePath).completeBaseName() + ".pdf");
        if (!output.isValid() || layout.exitStatus() != QProcess::NormalExit || !QFileInfo(pdf).isFile()) {
            answer.description = I18n::text("LibreOffice could not be started to print %1.").arg(name);
            return answer;
        }

        const QByteArray printer = printerName.toUtf8();
        const std::unique_ptr<cups_dest_t, DestinationDeleter> destination(
            cupsGetNamedDest(CUPS_HTTP_DEFAULT, printer.constData(), nullptr));
        JobOptions job;
        for (int i = 0; destination && i < destination->num_options; ++i)
            job.count = cupsAddOption(destination->options[i].name, destination->options[i].value, job.count,
                                      &job.options);
        if (cupsPrintFile(printer.constData(), QFile::encodeName(pdf).constData(), name.toUtf8().constData(),
                          job.count, job.options) == 0) {
            answer.description = I18n::text("The print queue refused %1: %2")
                                     .arg(name, QString::fromUtf8(cupsLastErrorString()));
            return answer;
        }
        answer.status = HandlerAnswer::Status::Sent;
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
