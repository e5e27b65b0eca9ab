// The printer status refresh of the panel: every distinct printer of the presets is checked on one pool
// thread, and the snapshots go to the cards of that printer. A printer whose agent stays silent is retried
// after 2 seconds, twice at most, and meanwhile shows its last valid status or "Retrying".
#include "base/I18n.h"
#include "printers/PrinterStatusMonitor.h"
#include "ui/MainWindow.h"
#include "ui/PresetCard.h"

#include <QFutureWatcher>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

namespace {

using StatusResults = QHash<QString, PrinterStatusSnapshot>;

constexpr int retryDelayMs = 2000;
constexpr int failuresBeforeGivingUp = 3;

QString printerKeyOf(const PrintPreset &preset)
{
    return preset.printerName.trimmed().toCaseFolded();
}

// Worker: each printer once, in the order of the presets, with the name as the first preset writes it.
StatusResults checkPrinters(const QList<PrintPreset> &presets)
{
    StatusResults results;
    for (const PrintPreset &preset : presets) {
        const QString key = printerKeyOf(preset);
        if (results.contains(key))
            continue;
        results.insert(key, PrinterStatusMonitor::check(preset.printerName));
    }
    return results;
}

}  // namespace

void MainWindow::refreshPrinterStatuses()
{
    if (statusRefreshRunning)
        return;
    const QList<PrintPreset> presets = repository.presets();
    if (presets.isEmpty())
        return;
    statusRefreshRunning = true;

    auto *watcher = new QFutureWatcher<StatusResults>(this);
    connect(watcher, &QFutureWatcher<StatusResults>::finished, this, [this, watcher] {
        const StatusResults results = watcher->result();
        watcher->deleteLater();
        statusRefreshRunning = false;
        bool retry = false;

        for (auto it = results.constBegin(); it != results.constEnd(); ++it) {
            const QString &key = it.key();
            PrinterStatusSnapshot snapshot = it.value();
            if (snapshot.level == int(PrinterStatusLevel::Unknown)) {
                const int failures = statusFailureCounts.value(key, 0) + 1;
                statusFailureCounts.insert(key, failures);
                if (failures < failuresBeforeGivingUp) {
                    retry = true;
                    const auto cached = lastValidStatuses.constFind(key);
                    if (cached != lastValidStatuses.constEnd()) {
                        snapshot = cached.value();
                        const QString notice =
                            I18n::text("This status refresh failed; showing the last valid status.");
                        snapshot.detail =
                            snapshot.detail.isEmpty() ? notice : snapshot.detail + QLatin1Char('\n') + notice;
                    } else {
                        snapshot.level = int(PrinterStatusLevel::Checking);
                        snapshot.text = I18n::text("Retrying");
                        snapshot.detail = I18n::text("SNMP did not respond. Retrying in 2 seconds.");
                    }
                }
            } else {
                statusFailureCounts.remove(key);
                lastValidStatuses.insert(key, snapshot);
            }
            for (PresetCard *card : std::as_const(cards)) {
                if (card->printerKey() == key)
                    card->setPrinterStatus(snapshot);
            }
        }

        if (retry)
            QTimer::singleShot(retryDelayMs, this, [this] { refreshPrinterStatuses(); });
    });
    watcher->setFuture(QtConcurrent::run(checkPrinters, presets));
}
