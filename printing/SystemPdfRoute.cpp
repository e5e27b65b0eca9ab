#include "printing/SystemPdfRoute.h"

#include "base/I18n.h"
#include "platform/PdfJobSubmission.h"
#include "printing/DocumentFile.h"
#include "printing/PdfEngineRoute.h"
#include "printing/PresetSettings.h"

#include <optional>

bool SystemPdfRoute::available() const
{
    return platform::pdfJobSubmission().available();
}

RouteAnswer SystemPdfRoute::print(const PrintPreset &preset, const QList<Kind> &passedOn)
{
    return send(preset, passedOn, true);
}

RouteAnswer SystemPdfRoute::printWhileSwitched(const PrintPreset &preset, const QList<Kind> &passedOn)
{
    return send(preset, passedOn, false);
}

RouteAnswer SystemPdfRoute::send(const PrintPreset &preset, const QList<Kind> &passedOn, bool switchSettings)
{
    RouteAnswer answer;
    PrintOutcome &outcome = answer.outcome;
    outcome.details.jobName = document.fileName();
    platform::PdfJobSubmission &submission = platform::pdfJobSubmission();
    if (!submission.takesPdf(preset.printerName)) {
        answer.passOn = true;
        return answer;
    }
    const std::optional<int> pages = checkedPageCount(document, passedOn, &outcome);
    if (!pages)
        return answer;
    outcome.details.pageCount = *pages;

    std::optional<PresetSettings> settings;
    if (switchSettings) {
        const QString error = settings.emplace().apply(preset, CopiesFrom::Job);
        if (!error.isEmpty()) {
            outcome.message = error;
            return answer;
        }
    }
    const platform::PdfJobAnswer submitted =
        submission.submit(document.rewound(), document.fileName(), preset);
    switch (submitted.status) {
    case platform::PdfJobAnswer::Status::Sent:
        outcome.result = PrintResult::Sent;
        outcome.message = sentMessage.isEmpty()
                              ? I18n::text("Sent to CUPS as PDF: %1").arg(document.fileName())
                              : sentMessage;
        break;
    case platform::PdfJobAnswer::Status::ReadFailed:
        outcome.message = document.readFailure();
        break;
    case platform::PdfJobAnswer::Status::Refused:
        answer.passOn = true;
        break;
    }
    return answer;
}
