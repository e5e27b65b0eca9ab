#include "base/I18n.h"
#include "platform/Automation.h"
#include "platform/WindowSystem.h"
#include "printing/PrintService.h"
#include "printing/PrinterSettingsScope.h"

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

int PrintService::printActiveComDocument(const QString &progId, quint32 processId, const PrintPreset &preset,
                                         QString *message, JobDetails *details) const
{
    platform::Automation &automation = platform::automation();
    QUuid classId;
    if (!automation.classIdFromProgId(progId, &classId))
        return NoDocument;
    // Declared in acquisition order: the way out releases the document, restores the settings, unlocks,
    // then releases the application object and the running object, in that order.
    const UnknownPtr runningObject = automation.activeObject(classId);
    if (!runningObject)
        return NoDocument;
    const DispatchPtr application = DispatchPtr::adopt(runningObject->queryDispatch());
    if (!application)
        return NoDocument;

    qint64 window = platform::invokeIntegerProperty(application, QStringLiteral("Hwnd"));
    if (window == 0) {
        const DispatchPtr activeWindow =
            platform::dispatchProperty(application, QStringLiteral("ActiveWindow"));
        window = platform::invokeIntegerProperty(activeWindow, QStringLiteral("Hwnd"));
    }
    // Only the instance that owns the foreground window is printed from.
    if (window == 0 || platform::windowSystem().windowProcessId(quintptr(window)) != processId)
        return NoDocument;

    PrintPreset singleCopy = preset;
    singleCopy.copies = 1;  // the copies go to PrintOut
    PrinterSettingsScope scope;
    QString scopeError;
    if (!scope.apply(singleCopy, &scopeError)) {
        if (message)
            *message = scopeError;
        return Failed;
    }

    platform::setStringProperty(application, QStringLiteral("ActivePrinter"), preset.printerName);

    const DispatchPtr document = platform::dispatchProperty(application, QStringLiteral("ActiveDocument"));
    if (!document)
        return NoDocument;

    if (details) {
        details->jobName = platform::invokeStringProperty(document, QStringLiteral("Name"));
        Variant pages;
        if (platform::invokeMethod(document, QStringLiteral("ComputeStatistics"),
                                   {platform::intVariant(pageStatistic)}, &pages) &&
            isInteger32(pages))
            details->pageCount = int(pages.integer);
    }

    if (!platform::invokePrintOut(document, preset.copies)) {
        if (message)
            *message = I18n::text("Unable to invoke the active document's print command.");
        return Failed;
    }
    if (message)
        *message = I18n::text("Active document sent to %1").arg(preset.printerName);
    return Sent;
}
