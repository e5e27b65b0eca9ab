#include "printing/ActiveOfficeRoute.h"

#include "base/I18n.h"
#include "platform/Automation.h"
#include "platform/WindowSystem.h"
#include "printing/PresetSettings.h"

using platform::DispatchPtr;
using platform::UnknownPtr;
using platform::Variant;

namespace {

// The page statistic of ComputeStatistics (wdStatisticPages).
constexpr qint32 pageStatistic = 2;

bool isInteger32(const Variant &value)
{
    return value.type == Variant::Type::Int32 || value.type == Variant::Type::Int ||
           value.type == Variant::Type::UInt32 || value.type == Variant::Type::UInt;
}

}  // namespace

bool ActiveOfficeRoute::available() const
{
    return platform::automation().hasServers();
}

RouteAnswer ActiveOfficeRoute::print(const PrintPreset &preset, const QList<Kind> &)
{
    RouteAnswer answer;
    PrintOutcome &outcome = answer.outcome;
    outcome.result = PrintResult::NoDocument;

    platform::Automation &automation = platform::automation();
    QUuid classId;
    if (!automation.classIdFromProgId(progId, &classId))
        return answer;
    // Declared in acquisition order: the way out releases the document, restores the settings, unlocks, then
    // releases the application object and the running object, in that order.
    const UnknownPtr runningObject = automation.activeObject(classId);
    if (!runningObject)
        return answer;
    const DispatchPtr application = DispatchPtr::adopt(runningObject->queryDispatch());
    if (!application)
        return answer;

    qint64 window = platform::invokeIntegerProperty(application, QStringLiteral("Hwnd"));
    if (window == 0) {
        const DispatchPtr activeWindow =
            platform::dispatchProperty(application, QStringLiteral("ActiveWindow"));
        window = platform::invokeIntegerProperty(activeWindow, QStringLiteral("Hwnd"));
    }
    // Only the instance that owns the foreground window is printed from.
    if (window == 0 || platform::windowSystem().windowProcessId(quintptr(window)) != processId)
        return answer;

    PresetSettings settings;
    const QString error = settings.apply(preset, CopiesFrom::Job);
    if (!error.isEmpty()) {
        outcome.result = PrintResult::Failed;
        outcome.message = error;
        return answer;
    }

    platform::setStringProperty(application, QStringLiteral("ActivePrinter"), preset.printerName);

    const DispatchPtr document = platform::dispatchProperty(application, QStringLiteral("ActiveDocument"));
    if (!document)
        return answer;

    outcome.details.jobName = platform::invokeStringProperty(document, QStringLiteral("Name"));
    Variant pages;
    if (platform::invokeMethod(document, QStringLiteral("ComputeStatistics"),
                               {platform::intVariant(pageStatistic)}, &pages) &&
        isInteger32(pages))
        outcome.details.pageCount = int(pages.integer);

    outcome.result = PrintResult::Failed;
    if (!platform::invokePrintOut(document, preset.copies)) {
        outcome.message = I18n::text("Unable to invoke the active document's print command.");
        return answer;
    }
    outcome.result = PrintResult::Sent;
    outcome.message = I18n::text("Active document sent to %1").arg(preset.printerName);
    return answer;
}
