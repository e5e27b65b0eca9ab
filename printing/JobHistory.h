#pragma once

#include "base/Records.h"
#include "printing/PrintService.h"

#include <QDateTime>
#include <QString>

// What the program records and shows once the print service has answered, shared by the panel and the
// command line so that a job leaves the same trace wherever it was started.

// The history entry of a job the print service handed over (result 0). The job's name is the route's name
// for it, trimmed; failing that the dropped file's name (a file job) or the foreground window's title (a
// foreground job); failing that "Unnamed job". The settings summary is taken in the current language.
PrintHistoryEntry historyEntryForJob(const PrintPreset &preset, const PrintService::JobDetails &details,
                                     const QString &droppedFile, const QString &windowTitle,
                                     const QDateTime &createdAt = QDateTime::currentDateTime());

// The text of the warning shown for a job that was not handed over: the route's message trimmed, or a
// generic line when it has none; a foreground job (no dropped file) adds the drag-and-drop advice.
QString jobFailureText(const QString &routeMessage, bool foregroundJob);
