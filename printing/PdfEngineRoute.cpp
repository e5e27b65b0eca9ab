#include "printing/PdfEngineRoute.h"

#include "base/I18n.h"
#include "printing/DocumentFile.h"
#include "printing/PresetSettings.h"
#include "printing/pdf/PdfEngine.h"

namespace {

// The engine's failure, after Acrobat's when Acrobat tried first.
QString engineFailure(const QList<PrintRoute::Kind> &passedOn, const QString &fileName, const QString &reason)
{
    if (passedOn.contains(PrintRoute::Kind::Acrobat) || passedOn.contains(PrintRoute::Kind::ActiveAcrobat))
        return I18n::text("Adobe Acrobat failed and the built-in PDF engine could not print the document: %1")
            .arg(reason);
    return I18n::text("The built-in PDF engine could not print %1: %2").arg(fileName, reason);
}

}  // namespace

std::optional<int> checkedPageCount(DocumentFile &document, const QList<PrintRoute::Kind> &passedOn,
                                    PrintOutcome *refusal)
{
    const PdfEngineDocument pdf(document.rewound());
    if (!pdf.error().isEmpty()) {
        refusal->message = engineFailure(passedOn, document.fileName(), pdf.error());
        return std::nullopt;
    }
    return pdf.pageCount();
}

RouteAnswer PdfEngineRoute::print(const PrintPreset &preset, const QList<Kind> &passedOn)
{
    RouteAnswer answer;
    PrintOutcome &outcome = answer.outcome;
    outcome.details.jobName = document.fileName();
    PdfEngineDocument pdf(document.rewound());
    if (!pdf.error().isEmpty()) {
        outcome.message = engineFailure(passedOn, document.fileName(), pdf.error());
        return answer;
    }
    outcome.details.pageCount = pdf.pageCount();

    PresetSettings settings;
    const QString error = settings.apply(preset, CopiesFrom::Job);
    if (!error.isEmpty()) {
        outcome.message = error;
        return answer;
    }
    const QString failure = pdf.print(preset);
    if (!failure.isEmpty()) {
        outcome.message = engineFailure(passedOn, document.fileName(), failure);
        return answer;
    }
    outcome.result = PrintResult::Sent;
    outcome.message = I18n::text("Sent with built-in PDF engine: %1").arg(document.fileName());
    return answer;
}
