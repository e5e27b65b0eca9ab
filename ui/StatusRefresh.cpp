#include "ui/StatusRefresh.h"

#include "base/I18n.h"
#include "model/PresetRepository.h"

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

StatusRefresh::StatusRefresh(PresetRepository &repository, QObject *parent)
    : QObject(parent), repository(repository), timer(new QTimer(this))
{
    timer->setInterval(30000);
    connect(timer, &QTimer::timeout, this, &StatusRefresh::refresh);
    timer->start();
}

void StatusRefresh::refreshSoon()
{
    QTimer::singleShot(100, this, &StatusRefresh::refresh);
}

void StatusRefresh::refresh()
{
    if (running)
        return;
    const QList<PrintPreset> presets = repository.presets();
    if (presets.isEmpty())
        return;
    running = true;

    auto *watcher = new QFutureWatcher<StatusResults>(this);
    connect(watcher, &QFutureWatcher<StatusResults>::finished, this, [this, watcher] {
        const StatusResults results = watcher->result();
        watcher->deleteLater();
        running = false;
        bool retry = false;

        for (auto it = results.constBegin(); it != results.constEnd(); ++it) {
            const QString &key = it.key();
            PrinterStatusSnapshot snapshot = it.value();
            if (snapshot.level == int(PrinterStatusLevel::Unknown)) {
                const int failed = failures.value(key, 0) + 1;
                failures.insert(key, failed);
                if (failed < failuresBeforeGivingUp) {
                    retry = true;
                    const auto cached = lastValid.constFind(key);
                    if (cached != lastValid.constEnd()) {
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
                failures.remove(key);
                lastValid.insert(key, snapshot);
            }
            emit statusChecked(key, snapshot);
        }

        if (retry)
            QTimer::singleShot(retryDelayMs, this, &StatusRefresh::refresh);
    });
    watcher->setFuture(QtConcurrent::run(checkPrinters, presets));
}
