#include "printing/OfficeFileRoute.h"

#include "base/I18n.h"
#include "platform/DocumentHandler.h"
#include "printing/DocumentFile.h"
#include "printing/PdfEngineRoute.h"
#include "printing/PresetSettings.h"
#include "printing/PrivateCopy.h"
#include "printing/SystemPdfRoute.h"

#include <optional>

RouteAnswer OfficeFileRoute::print(const PrintPreset &preset, const QList<Kind> &)
{
    RouteAnswer answer;
    PrintOutcome &outcome = answer.outcome;
    outcome.details.jobName = document.fileName();
    PrivateCopy copy(document);
    if (!copy.isValid()) {
        outcome.message = copy.failure();
        return answer;
    }
    platform::DocumentHandler &handler = platform::documentHandler();
    outcome.details.pageCount = handler.pageCount(copy.path());

    std::optional<PresetSettings> settings(std::in_place);
    const QString error = settings->apply(preset, CopiesFrom::Settings);
    if (!error.isEmpty()) {
        outcome.message = error;
        return answer;
    }
    const platform::HandlerAnswer handed = handler.print(copy.path(), preset.printerName);
    if (handed.fileStillInUse)
        copy.keep();
    if (handed.status == platform::HandlerAnswer::Status::MadePdf) {
        DocumentFile pdf(handed.pdfPath, document.fileName());
        if (!pdf.isOpen())
            return RouteAnswer{pdf.refusal(), false};
        if (pdf.kind() != DocumentKind::Pdf) {
            outcome.message = I18n::text("LibreOffice could not make a PDF of %1.").arg(document.fileName());
            return answer;
        }
        if (!builtInEngine) {
            SystemPdfRoute system(
                pdf, I18n::text("Sent to CUPS as a PDF made by LibreOffice: %1").arg(document.fileName()));
            answer = system.printWhileSwitched(preset, {});
            if (!answer.passOn)
                return answer;
        }
        settings.reset();
        PdfEngineRoute engine(pdf);
        return engine.print(preset, builtInEngine ? QList<Kind>() : QList<Kind>{Kind::SystemPdf});
    }
    if (handed.status != platform::HandlerAnswer::Status::Sent) {
        outcome.message = handed.description;
        return answer;
    }
    outcome.result = PrintResult::Sent;
    outcome.message = I18n::text("Sent: %1").arg(document.fileName());
    return answer;
}
