#include "printing/ActiveAcrobatRoute.h"

#include "base/I18n.h"
#include "printing/AcrobatDocument.h"
#include "printing/PresetSettings.h"

bool ActiveAcrobatRoute::available() const
{
    return platform::automation().hasServers();
}

RouteAnswer ActiveAcrobatRoute::print(const PrintPreset &preset, const QList<Kind> &)
{
    RouteAnswer answer;
    answer.outcome.details = {document.title, document.pageCount};
    PresetSettings settings;
    const QString error = settings.apply(preset, CopiesFrom::Settings);
    if (!error.isEmpty()) {
        answer.outcome.message = error;
        return answer;
    }
    if (!printWithIndependentParams(document.document, preset.printerName, document.pageCount - 1, true)) {
        answer.outcome.message =
            I18n::text("Adobe Acrobat could not submit the PDF with independent print settings.");
        answer.passOn = true;
        return answer;
    }
    answer.outcome.result = PrintResult::Sent;
    answer.outcome.message = I18n::text("PDF sent to %1").arg(preset.printerName);
    return answer;
}
