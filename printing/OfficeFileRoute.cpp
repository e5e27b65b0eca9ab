#include "printing/OfficeFileRoute.h"

#include "base/I18n.h"
#include "platform/DocumentHandler.h"
#include "printing/DocumentFile.h"
#include "printing/PresetSettings.h"
#include "printing/PrivateCopy.h"

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

    PresetSettings settings;
    const QString error = settings.apply(preset, CopiesFrom::Settings);
    if (!error.isEmpty()) {
        outcome.message = error;
        return answer;
    }
    const platform::HandlerAnswer handed = handler.print(copy.path(), preset.printerName);
    if (handed.fileStillInUse)
        copy.keep();
    if (handed.status != platform::HandlerAnswer::Status::Sent) {
        outcome.message = handed.description;
        return answer;
    }
    outcome.result = PrintResult::Sent;
    outcome.message = I18n::text("Sent: %1").arg(document.fileName());
    return answer;
}
