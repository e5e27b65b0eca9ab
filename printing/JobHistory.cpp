#include "printing/JobHistory.h"

#include "base/I18n.h"
#include "model/PresetParameters.h"

#include <QFileInfo>

PrintHistoryEntry historyEntryForJob(const PrintPreset &preset, const PrintService::JobDetails &details,
                                     const QString &droppedFile, const QString &windowTitle,
                                     const QDateTime &createdAt)
{
    PrintHistoryEntry entry;
    entry.createdAt = createdAt;
    entry.jobName = details.jobName.trimmed();
    if (entry.jobName.isEmpty())
        entry.jobName = droppedFile.isEmpty() ? windowTitle : QFileInfo(droppedFile).fileName();
    if (entry.jobName.isEmpty())
        entry.jobName = I18n::text("Unnamed job");
    entry.printerName = preset.printerName;
    entry.parameters = presetParameters(preset);
    entry.copies = preset.copies;
    entry.pageCount = qMax(details.pageCount, 0);
    entry.totalPages = entry.pageCount > 0 ? entry.pageCount * qMax(preset.copies, 1) : 0;
    return entry;
}

QString jobFailureText(const QString &routeMessage, bool foregroundJob)
{
    QString text = routeMessage.trimmed();
    if (text.isEmpty())
        text = I18n::text("The print job could not be started.");
    if (foregroundJob)
        text += QStringLiteral("\n\n") +
                I18n::text(
                    "For images or documents in an unsupported viewer, drag the file onto a printer preset.");
    return text;
}
