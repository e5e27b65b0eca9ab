#pragma once

#include "printers/PrinterStatusMonitor.h"

#include <QHash>
#include <QObject>
#include <QString>

class PresetRepository;
class QTimer;

// The printer statuses of the cards: every 30 seconds (and shortly after the cards are built) each distinct
// printer of the presets is checked once on a pool thread. A printer whose agent stays silent is retried
// after 2 seconds, twice at most, and meanwhile shows its last valid status or "Retrying".
class StatusRefresh : public QObject
{
    Q_OBJECT

public:
    // The repository must outlive this object.
    StatusRefresh(PresetRepository &repository, QObject *parent);

    bool isRunning() const { return running; }

public slots:
    // Checks now, unless a check is already running.
    void refresh();
    // Checks in 100 ms (after new cards were built).
    void refreshSoon();

signals:
    // The status to show for a printer, by its name trimmed and case-folded.
    void statusChecked(const QString &printerKey, const PrinterStatusSnapshot &snapshot);

private:
    PresetRepository &repository;
    QTimer *timer;
    QHash<QString, PrinterStatusSnapshot> lastValid;
    QHash<QString, int> failures;
    bool running = false;
};
