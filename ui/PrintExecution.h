#pragma once

#include "base/Records.h"
#include "printing/ForegroundWindowContext.h"

#include <QObject>
#include <QString>

class PresetRepository;
class QTimer;
class QWidget;

// Printing from the panel. Every 75 ms it remembers the supported application in front (the panel's own
// window in front keeps the memory, so a click on a card still knows the document) and, when the system's
// table of programs names what a click would print, says so in the status line as soon as it changes and
// announces the document's name for the cards' tool tips. A request prints the remembered document, or a
// dropped file, on a worker thread through PrintService, one job at a time; the outcome goes to the status
// line, a failure also to a warning box, a success to the print history. A file dropped on the window outside
// the cards prints with the first preset.
class PrintExecution : public QObject
{
    Q_OBJECT

public:
    // `window` receives the drops outside the cards and parents the message boxes; the repository must
    // outlive this object.
    PrintExecution(PresetRepository &repository, QWidget *window);

    // True from a request's start until its outcome has been handled.
    bool isBusy() const { return busy; }
    // The supported application last seen in front; empty when the last foreign window was not supported.
    const ForegroundWindowContext &foregroundMemory() const { return foreground; }

public slots:
    // Prints `droppedFile` with the preset, or with an empty path the remembered foreground document.
    void execute(const PrintPreset &preset, const QString &droppedFile = QString());
    // Reads the foreground window once.
    void pollForeground();
    // While a job runs, shows a line about its progress in the status line (a worker reports through a
    // queued call, for example while it waits for another job's printer settings); ignored otherwise.
    void showJobStatus(const QString &message);

signals:
    // A job started (true) or its outcome was handled (false): the printing controls follow.
    void busyChanged(bool busy);
    void statusChanged(const QString &message, bool error);
    // The document a click would print changed: its name, or empty when none is known.
    void foregroundDocumentChanged(const QString &name);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    PresetRepository &repository;
    QWidget *window;
    QTimer *foregroundTimer;
    ForegroundWindowContext foreground;
    bool busy = false;
};
