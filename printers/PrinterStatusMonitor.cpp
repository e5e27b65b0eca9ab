#include "printers/PrinterStatusMonitor.h"

#include "base/I18n.h"
#include "platform/PrinterQueue.h"
#include "platform/SystemTexts.h"
#include "printers/SnmpClient.h"

#include <QByteArray>
#include <QHostAddress>
#include <QRegularExpression>
#include <QStringList>

#include <atomic>
#include <climits>
#include <cmath>

namespace {

namespace bits = platform::printer_status;

PrinterStatusSnapshot makeSnapshot(PrinterStatusLevel level, const char *text, const QString &detail)
{
    PrinterStatusSnapshot snapshot;
    snapshot.level = int(level);
    snapshot.text = I18n::text(text);
    snapshot.detail = detail;
    return snapshot;
}

PrinterStatusSnapshot fromQueueStatus(const platform::PrinterQueueInfo &info)
{
    const QString queueStatus = I18n::text(platform::systemText("Windows print queue status"));
    const quint32 status = info.status;
    if (!info.found)
        return makeSnapshot(PrinterStatusLevel::Offline, "Not installed",
                            I18n::text(platform::systemText("Windows could not find this printer.")));
    if (status & (bits::Offline | bits::NotAvailable | bits::ServerUnknown))
        return makeSnapshot(PrinterStatusLevel::Offline, "Offline",
                            I18n::text(platform::systemText("Windows reports that the printer is offline.")));
    if (status & bits::PaperJam)
        return makeSnapshot(PrinterStatusLevel::Critical, "Paper jam", queueStatus);
    if (status & (bits::PaperOut | bits::PaperProblem))
        return makeSnapshot(PrinterStatusLevel::Critical, "Out of paper", queueStatus);
    if (status & bits::DoorOpen)
        return makeSnapshot(PrinterStatusLevel::Attention, "Cover open", queueStatus);
    if (status & bits::NoToner)
        return makeSnapshot(PrinterStatusLevel::Critical, "Out of toner", queueStatus);
    if (status & bits::TonerLow)
        return makeSnapshot(PrinterStatusLevel::Attention, "Low toner", queueStatus);
    if (status & (bits::Error | bits::UserIntervention | bits::OutOfMemory))
        return makeSnapshot(PrinterStatusLevel::Critical, "Error", queueStatus);
    if (status & bits::Paused)
        return makeSnapshot(PrinterStatusLevel::Attention, "Paused", queueStatus);
    if (status & (bits::Busy | bits::Printing | bits::Processing))
        return makeSnapshot(PrinterStatusLevel::Printing, "Printing", queueStatus);
    return makeSnapshot(PrinterStatusLevel::Ready, "Ready", queueStatus);
}

}  // namespace

QString PrinterStatusMonitor::hostOfPort(const QString &portName, const QString &recordedHost)
{
    if (!recordedHost.isEmpty())
        return recordedHost;

    static const QRegularExpression ipv4(QStringLiteral("(\\d{1,3}(?:\\.\\d{1,3}){3})"));
    QString name = portName.trimmed();
    if (name.startsWith(QLatin1String("IP_"), Qt::CaseInsensitive))
        name.remove(0, 3);
    const QRegularExpressionMatch match = ipv4.match(name);
    if (!match.hasMatch())
        return {};
    const QString captured = match.captured(1);
    return QHostAddress().setAddress(captured) ? captured : QString();
}

namespace {

std::atomic<PrinterStatusMonitor::CheckFunction> replacementCheck{nullptr};

int number(const snmp::ValueMap &values, const QString &oid, int fallback)
{
    const auto found = values.constFind(oid);
    if (found == values.constEnd())
        return fallback;
    bool ok = false;
    const qlonglong value = found.value().toLongLong(&ok);
    if (!ok || value < INT_MIN || value > INT_MAX)
        return fallback;
    return int(value);
}

// The status objects asked of a printer's agent: the device's status (Host Resources), the printer's state
// and its detected-error bits, the first toner's level and its capacity (Printer MIB).
const QString hrStatus = QStringLiteral("1.3.6.1.2.1.25.3.2.1.5.1");
const QString printerStatus = QStringLiteral("1.3.6.1.2.1.25.3.5.1.1.1");
const QString errorsOid = QStringLiteral("1.3.6.1.2.1.25.3.5.1.2.1");
const QString tonerLevel = QStringLiteral("1.3.6.1.2.1.43.11.1.1.9.1.1");
const QString tonerMax = QStringLiteral("1.3.6.1.2.1.43.11.1.1.8.1.1");

}  // namespace

PrinterStatusSnapshot PrinterStatusMonitor::check(const QString &printerName)
{
    if (const CheckFunction replacement = replacementCheck.load())
        return replacement(printerName);

    platform::PrinterQueue &queues = platform::printerQueue();
    const platform::PrinterQueueInfo queue = queues.queueInfo(printerName);
    const QString host =
        queue.found ? hostOfPort(queue.portName, queues.portHost(queue.portName)) : QString();
    if (host.isEmpty())
        return interpret(queue, host, {});
    return interpret(
        queue, host,
        snmp::queryPrinterOids(host, {hrStatus, printerStatus, errorsOid, tonerLevel, tonerMax}));
}

PrinterStatusSnapshot PrinterStatusMonitor::interpret(const platform::PrinterQueueInfo &queue,
                                                      const QString &host, const snmp::ValueMap &values)
{
    PrinterStatusSnapshot snapshot = fromQueueStatus(queue);
    if (!queue.found || host.isEmpty())
        return snapshot;

    snapshot.host = host;
    if (values.isEmpty()) {
        if (snapshot.level == int(PrinterStatusLevel::Ready)) {
            snapshot.level = int(PrinterStatusLevel::Unknown);
            snapshot.text = I18n::text("Unknown");
            snapshot.detail =
                I18n::text(platform::systemText("SNMP did not respond; Windows queue reports no error · %1"))
                    .arg(host);
        }
        return snapshot;
    }

    const QByteArray errorBytes = values.value(errorsOid).toByteArray();
    const quint8 errors = errorBytes.isEmpty() ? 0 : quint8(errorBytes.at(0));
    const int deviceStatus = number(values, hrStatus, -1);
    const int printerState = number(values, printerStatus, -1);
    const int level = number(values, tonerLevel, -1);
    const int maximum = number(values, tonerMax, -1);

    snapshot.tonerPercent = -1;
    if (level >= 0) {
        if (maximum >= 1)
            snapshot.tonerPercent =
                qBound(0, int(std::floor(double(level) / double(maximum) * 100.0 + 0.5)), 100);
        else
            snapshot.tonerPercent = qMin(level, 100);
    }
    snapshot.detail = I18n::text("Live SNMP status · %1").arg(host);
    if (snapshot.tonerPercent >= 0)
        snapshot.detail += QStringLiteral(" · Toner %1%").arg(snapshot.tonerPercent);

    struct Row
    {
        bool matches;
        PrinterStatusLevel level;
        const char *text;
    };
    const Row rows[] = {
        {bool(errors & 0x04), PrinterStatusLevel::Critical, "Paper jam"},
        {bool(errors & 0x40), PrinterStatusLevel::Critical, "Out of paper"},
        {bool(errors & 0x10), PrinterStatusLevel::Critical, "Out of toner"},
        {bool(errors & 0x08), PrinterStatusLevel::Attention, "Cover open"},
        {bool(errors & 0x01), PrinterStatusLevel::Attention, "Maintenance required"},
        {bool(errors & 0x80), PrinterStatusLevel::Attention, "Low paper"},
        {deviceStatus == 5, PrinterStatusLevel::Critical, "Stopped"},
        {printerState != 4, PrinterStatusLevel::Ready, "Ready"},
        {true, PrinterStatusLevel::Printing, "Printing"},
    };
    for (const Row &row : rows) {
        if (row.matches) {
            snapshot.level = int(row.level);
            snapshot.text = I18n::text(row.text);
            break;
        }
    }
    return snapshot;
}

void PrinterStatusMonitor::setCheckForTesting(CheckFunction replacement)
{
    replacementCheck.store(replacement);
}
