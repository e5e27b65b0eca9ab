#include "printing/AcrobatFileRoute.h"

#include "base/I18n.h"
#include "platform/Automation.h"
#include "printing/AcrobatDocument.h"
#include "printing/DocumentFile.h"
#include "printing/PresetSettings.h"
#include "printing/PrivateCopy.h"

bool AcrobatFileRoute::available() const
{
    return platform::automation().hasServers();
}

RouteAnswer AcrobatFileRoute::print(const PrintPreset &preset, const QList<Kind> &)
{
    RouteAnswer answer;
    answer.outcome.details.jobName = document.fileName();
    PrivateCopy copy(document);
    if (!copy.isValid()) {
        answer.outcome.message = copy.failure();
        answer.passOn = true;
        return answer;
    }
    PresetSettings settings;
    const QString error = settings.apply(preset, CopiesFrom::Settings);
    if (!error.isEmpty()) {
        answer.outcome.message = error;
        return answer;
    }
    const std::optional<int> pages = printFileInAcrobat(copy.path(), preset.printerName, true);
    if (!pages) {
        answer.outcome.message =
            I18n::text("Adobe Acrobat could not submit the PDF with independent print settings.");
        answer.passOn = true;
        return answer;
    }
    answer.outcome.result = PrintResult::Sent;
    answer.outcome.message = I18n::text("Sent: %1").arg(document.fileName());
    answer.outcome.details.pageCount = *pages;
    return answer;
}
