#include "ui/PrintExecution.h"

#include "base/I18n.h"
#include "model/PresetRepository.h"
#include "printing/JobHistory.h"
#include "printing/PrintService.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFutureWatcher>
#include <QMessageBox>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>

namespace {

// The first URL of the drag that is a local file of a printable kind.
QString firstSupportedFile(const QMimeData *mime)
{
    if (!mime || !mime->hasUrls())
        return QString();
    const QList<QUrl> urls = mime->urls();
    for (const QUrl &url : urls) {
        if (url.isLocalFile() && PrintService::isSupportedFile(url.toLocalFile()))
            return url.toLocalFile();
    }
    return QString();
}

}  // namespace

PrintExecution::PrintExecution(PresetRepository &repository, QWidget *window)
    : QObject(window), repository(repository), window(window), foregroundTimer(new QTimer(this))
{
    window->installEventFilter(this);
    foregroundTimer->setInterval(75);
    connect(foregroundTimer, &QTimer::timeout, this, &PrintExecution::pollForeground);
    foregroundTimer->start();
}

void PrintExecution::pollForeground()
{
    const ForegroundWindowContext context = foregroundWindowContext();
    if (context.ownWindow)
        return;
    const platform::ShownDocument shown = foreground.document;
    foreground = context.isSupported() ? context : ForegroundWindowContext();
    if (foreground.document == shown)
        return;
    const bool found = foreground.document.status == platform::ShownDocument::Status::Found;
    emit foregroundDocumentChanged(found ? foreground.document.name : QString());
    // A document coming to the front is announced; the last job's outcome stays when none does.
    const QString status = PrintService::foregroundStatus(foreground);
    if (!busy && !status.isEmpty())
        emit statusChanged(status, false);
}

void PrintExecution::execute(const PrintPreset &preset, const QString &droppedFile)
{
    if (busy) {
        emit statusChanged(I18n::text("A print job is already being submitted. Please wait…"), true);
        return;
    }
    if (droppedFile.isEmpty() && !foreground.isSupported()) {
        QMessageBox box(
            QMessageBox::Information, I18n::text("Foreground app not supported"),
            I18n::text("Ollavan Quick cannot identify the active document in this application.\n\n"
                       "Drag the PDF, Word document, or image onto a printer preset to print it."),
            QMessageBox::Ok, window);
        box.exec();
        emit statusChanged(I18n::text("Use drag-and-drop for this application."), true);
        return;
    }

    // The job keeps what was in front at the click, whatever comes to the front while it runs.
    const ForegroundWindowContext front = foreground;
    busy = true;
    emit statusChanged(I18n::text("Sending to %1…").arg(preset.printerName), false);
    window->setCursor(Qt::BusyCursor);
    emit busyChanged(true);

    auto *watcher = new QFutureWatcher<PrintOutcome>(this);
    connect(watcher, &QFutureWatcher<PrintOutcome>::finished, this,
            [this, watcher, preset, droppedFile, front] {
                const PrintOutcome outcome = watcher->result();
                watcher->deleteLater();

                busy = false;
                window->unsetCursor();
                emit busyChanged(false);
                emit statusChanged(outcome.message, !outcome.sent());

                if (!outcome.sent()) {
                    // The messages about a document the system's table found need no advice on viewers.
                    const bool advise = droppedFile.isEmpty() &&
                                        front.document.status == platform::ShownDocument::Status::NoTable;
                    QMessageBox box(QMessageBox::Warning, QStringLiteral("Ollavan Quick"),
                                    jobFailureText(outcome.message, advise), QMessageBox::Ok, window);
                    box.exec();
                    return;
                }

                const PrintHistoryEntry entry =
                    historyEntryForJob(preset, outcome.details, droppedFile, front.windowTitle);
                QString error;
                if (!repository.addPrintHistory(entry, &error))
                    emit statusChanged(
                        I18n::text("Print submitted, but history could not be saved: %1").arg(error), true);
            });

    watcher->setFuture(QtConcurrent::run([preset, droppedFile, front] {
        const PrintService service;
        return droppedFile.isEmpty() ? service.printActiveDocument(preset, front)
                                     : service.printFile(droppedFile, preset);
    }));
}

void PrintExecution::showJobStatus(const QString &message)
{
    if (busy)
        emit statusChanged(message, false);
}

bool PrintExecution::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != window || (event->type() != QEvent::DragEnter && event->type() != QEvent::Drop))
        return QObject::eventFilter(watched, event);

    auto *drop = static_cast<QDropEvent *>(event);
    const QString path = firstSupportedFile(drop->mimeData());
    const QList<PrintPreset> presets = path.isEmpty() ? QList<PrintPreset>() : repository.presets();
    if (presets.isEmpty())
        return true;
    if (event->type() == QEvent::Drop) {
        const auto first = std::min_element(
            presets.cbegin(), presets.cend(),
            [](const PrintPreset &a, const PrintPreset &b) { return a.sortOrder < b.sortOrder; });
        execute(*first, path);
    }
    drop->acceptProposedAction();
    return true;
}
