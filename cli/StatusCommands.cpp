#include "cli/StatusCommands.h"

#include "platform/PrinterSettings.h"
#include "printers/PrinterStatusMonitor.h"

#include <QJsonArray>
#include <QJsonObject>

namespace cli {
namespace {

const char *levelName(int level)
{
    switch (PrinterStatusLevel(level)) {
    case PrinterStatusLevel::Checking:
        return "checking";
    case PrinterStatusLevel::Ready:
        return "ready";
    case PrinterStatusLevel::Printing:
        return "printing";
    case PrinterStatusLevel::Attention:
        return "attention";
    case PrinterStatusLevel::Critical:
        return "critical";
    case PrinterStatusLevel::Offline:
        return "offline";
    case PrinterStatusLevel::Unknown:
        return "unknown";
    }
    return "unknown";
}

int runStatus(const Invocation &invocation)
{
    QStringList printers = invocation.arguments;
    const bool named = !printers.isEmpty();
    for (const QString &printer : printers) {
        if (printer.trimmed().isEmpty()) {
            printError(QStringLiteral("status: a printer name may not be empty (see ollavan status --help)"));
            return ExitUsage;
        }
    }
    const QStringList installed = platform::printerSettingsSystem().printerNames();
    if (!named)
        printers = installed;

    // One printer after another, as the panel's refresh does; a silent network printer takes a few seconds.
    QList<QPair<QString, PrinterStatusSnapshot>> results;
    bool missing = false;
    for (const QString &printer : printers) {
        const PrinterStatusSnapshot snapshot = PrinterStatusMonitor::check(printer);
        results.append({printer, snapshot});
        if (!installed.contains(printer, Qt::CaseInsensitive))
            missing = true;
    }

    if (invocation.json) {
        QJsonArray array;
        for (const auto &result : results) {
            const PrinterStatusSnapshot &snapshot = result.second;
            array.append(QJsonObject{{QStringLiteral("printer"), result.first},
                                     {QStringLiteral("level"), snapshot.level},
                                     {QStringLiteral("levelName"), QLatin1String(levelName(snapshot.level))},
                                     {QStringLiteral("text"), snapshot.text},
                                     {QStringLiteral("detail"), snapshot.detail},
                                     {QStringLiteral("host"), snapshot.host},
                                     {QStringLiteral("tonerPercent"), snapshot.tonerPercent}});
        }
        printJson(array);
    } else {
        QList<QStringList> rows;
        for (const auto &result : results) {
            const PrinterStatusSnapshot &snapshot = result.second;
            rows.append({result.first, QString::number(snapshot.level), snapshot.text, snapshot.detail,
                         snapshot.host.isEmpty() ? QStringLiteral("-") : snapshot.host,
                         snapshot.tonerPercent < 0 ? QStringLiteral("-")
                                                   : QStringLiteral("%1%").arg(snapshot.tonerPercent)});
        }
        printTable({QStringLiteral("PRINTER"), QStringLiteral("LEVEL"), QStringLiteral("STATUS"),
                    QStringLiteral("DETAIL"), QStringLiteral("HOST"), QStringLiteral("TONER")},
                   rows);
    }
    if (missing) {
        printError(QStringLiteral("status: a named printer is not installed (see ollavan printers)"));
        return ExitFailure;
    }
    return ExitSuccess;
}

}  // namespace

Verb statusVerb()
{
    return {
        "status",
        "status [PRINTER...]",
        "the present condition of each named printer, or of every installed printer",
        "PRINTER: a printer's name as `ollavan printers` lists it; several are checked one after another.\n"
        "Each printer gets its level (0 checking, 1 ready, 2 printing, 3 attention, 4 critical, 5 offline,\n"
        "6 unknown), a short status text, where the status came from, the host asked over SNMP (printers on\n"
        "a TCP/IP port) and the toner level. A silent network printer takes a few seconds.\n"
        "Fails (exit 2) when a named printer is not installed; its row still says so.\n"
        "--json: an array of {printer, level, levelName, text, detail, host, tonerPercent}\n"
        "(host empty and tonerPercent -1 when there is none).",
        &runStatus,
        false};
}

}  // namespace cli
