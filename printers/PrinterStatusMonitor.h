#pragma once

#include "platform/PrinterQueue.h"
#include "printers/SnmpClient.h"

#include <QString>

// Severity class of a printer's condition. The cards group Attention, Critical and Offline and show every
// other value as normal.
enum class PrinterStatusLevel : int {
    Checking = 0,   // before the first result, or while a silent printer is retried
    Ready = 1,      // idle and fine
    Printing = 2,   // busy printing or processing
    Attention = 3,  // cover open, low paper, maintenance, paused
    Critical = 4,   // paper jam, out of paper or toner, error, stopped
    Offline = 5,    // offline or not installed
    Unknown = 6,    // nothing reliable is known
};

// One printer's condition at one moment.
struct PrinterStatusSnapshot
{
    int level = int(PrinterStatusLevel::Unknown);
    QString text = QStringLiteral("Unknown");  // short state word, translated when set by the monitor
    QString detail;                            // where the information came from, or an explanation
    QString host;                              // host name or IPv4 address used for SNMP, or empty
    int tonerPercent = -1;                     // 0 to 100, or -1 when no level was reported
};

// Works out a printer's condition from its print queue and, for a printer on a standard TCP/IP port,
// from its own SNMP agent, which then decides.
class PrinterStatusMonitor
{
public:
    // Never fails; blocks for the SNMP exchange (up to about 5.3 s for a silent network printer), so it is
    // called from a worker thread only.
    static PrinterStatusSnapshot check(const QString &printerName);

    // What check() makes of what it found: the print queue (not found: "Not installed"), the host its port
    // names (empty: no agent to ask, the queue decides) and the values that host's agent answered for the
    // status objects (empty: a silent agent, which turns an idle queue's "Ready" into "Unknown").
    static PrinterStatusSnapshot interpret(const platform::PrinterQueueInfo &queue, const QString &host,
                                           const snmp::ValueMap &agentValues);
    // The host to ask over SNMP for a queue's port: the host recorded for the port when there is one, else an
    // IPv4 address in the port's name (as in "IP_10.0.0.7"); empty when neither gives one.
    static QString hostOfPort(const QString &portName, const QString &recordedHost);

    // Makes check() answer through `replacement` (tests of its callers); nullptr restores the real check.
    using CheckFunction = PrinterStatusSnapshot (*)(const QString &printerName);
    static void setCheckForTesting(CheckFunction replacement);
};
