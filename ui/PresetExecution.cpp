// The execution of a preset: the foreground memory, the print worker and its completion, copies changes
// from the cards and drops outside the cards.
#include "ui/MainWindow.h"

#include "base/I18n.h"
#include "printing/ForegroundWindowContext.h"
#include "printing/JobHistory.h"
#include "printing/PrintService.h"
#include "ui/PresetCard.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFutureWatcher>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>
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

void MainWindow::updateForegroundOfficeContext()
{
    const ForegroundWindowContext context = foregroundWindowContext();
    if (context.ownWindow)
        return;
    lastProgId = context.progId;
    const bool known = !context.progId.isEmpty();
    lastWindowTitle = known ? context.windowTitle : QString();
    lastProcessId = known ? context.processId : 0;
}

void MainWindow::executePreset(const PrintPreset &preset, const QString &droppedFile)
{
    if (printing) {
        setStatus(I18n::text("A print job is already being submitted. Please wait…"), true);
        return;
    }
    if (droppedFile.isEmpty() && lastProgId.isEmpty()) {
        QMessageBox box(
            QMessageBox::Information, I18n::text("Foreground app not supported"),
            I18n::text("Ollavan Quick cannot identify the active document in this application.\n\n"
                       "Drag the PDF, Word document, or image onto a printer preset to print it."),
            QMessageBox::Ok, this);
        box.exec();
        setStatus(I18n::text("Use drag-and-drop for this application."), true);
        return;
    }

    ForegroundWindowContext foreground;
    foreground.progId = lastProgId;
    foreground.windowTitle = lastWindowTitle;
    foreground.processId = lastProcessId;
    const QString windowTitle = foreground.windowTitle;
    printing = true;

    setStatus(I18n::text("Sending to %1…").arg(preset.printerName), false);
    setCursor(Qt::BusyCursor);
    setPrintingControlsEnabled(false);

    auto *watcher = new QFutureWatcher<PrintOutcome>(this);
    connect(watcher, &QFutureWatcher<PrintOutcome>::finished, this,
            [this, watcher, preset, droppedFile, windowTitle] {
                const PrintOutcome outcome = watcher->result();
                watcher->deleteLater();

                printing = false;
                unsetCursor();
                setPrintingControlsEnabled(true);
                setStatus(outcome.message, !outcome.sent());

                if (!outcome.sent()) {
                    QMessageBox box(QMessageBox::Warning, QStringLiteral("Ollavan Quick"),
                                    jobFailureText(outcome.message, droppedFile.isEmpty()), QMessageBox::Ok,
                                    this);
                    box.exec();
                    return;
                }

                const PrintHistoryEntry entry =
                    historyEntryForJob(preset, outcome.details, droppedFile, windowTitle);
                QString error;
                if (!repository.addPrintHistory(entry, &error))
                    setStatus(I18n::text("Print submitted, but history could not be saved: %1").arg(error),
                              true);
            });

    watcher->setFuture(QtConcurrent::run([preset, droppedFile, foreground] {
        const PrintService service;
        return droppedFile.isEmpty() ? service.printActiveDocument(preset, foreground)
                                     : service.printFile(droppedFile, preset);
    }));
}

void MainWindow::setPrintingControlsEnabled(bool enabled)
{
    for (PresetCard *card : std::as_const(cards))
        card->setEnabled(enabled);
    addPrinterButton->setEnabled(enabled);
}

void MainWindow::updateCopies(const PrintPreset &preset, int copies)
{
    PrintPreset changed = preset;
    changed.copies = copies;
    QString error;
    if (repository.updatePreset(changed, &error))
        setStatus(I18n::text("Copies set to %1").arg(copies), false);
    else
        setStatus(error, true);
}

void MainWindow::dragEnterEvent(QDragEnterEvent *event)
{
    if (!event->mimeData()->hasUrls() || cards.isEmpty())
        return;
    if (!firstSupportedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent *event)
{
    const QList<PrintPreset> presets = repository.presets();
    if (presets.isEmpty())
        return;
    const QString path = firstSupportedFile(event->mimeData());
    if (path.isEmpty())
        return;
    const auto first =
        std::min_element(presets.cbegin(), presets.cend(), [](const PrintPreset &a, const PrintPreset &b) {
            return a.sortOrder < b.sortOrder;
        });
    executePreset(*first, path);
    event->acceptProposedAction();
}
