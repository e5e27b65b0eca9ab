#pragma once

#include <QString>
#include <QtGlobal>

#include <memory>

namespace platform {

// The spooler's queue status bits (PRINTER_STATUS_ values of winspool), as the status monitor reads them.
namespace printer_status {
constexpr quint32 Paused = 0x1;
constexpr quint32 Error = 0x2;
constexpr quint32 PaperJam = 0x8;
constexpr quint32 PaperOut = 0x10;
constexpr quint32 PaperProblem = 0x40;
constexpr quint32 Offline = 0x80;
constexpr quint32 Busy = 0x200;
constexpr quint32 Printing = 0x400;
constexpr quint32 NotAvailable = 0x1000;
constexpr quint32 Processing = 0x4000;
constexpr quint32 TonerLow = 0x20000;
constexpr quint32 NoToner = 0x40000;
constexpr quint32 UserIntervention = 0x100000;
constexpr quint32 OutOfMemory = 0x200000;
constexpr quint32 DoorOpen = 0x400000;
constexpr quint32 ServerUnknown = 0x800000;
}  // namespace printer_status

// A print queue's level-2 information: whether it could be opened and read, its status bits and its port.
struct PrinterQueueInfo
{
    bool found = false;
    quint32 status = 0;
    QString portName;
};

// The print queues of the spooler, as the printer status monitor needs them.
class PrinterQueue
{
public:
    virtual ~PrinterQueue() = default;

    // Opens the printer and reads its level-2 information (GetPrinterW level 2: Status, pPortName).
    // `found` is false when the printer cannot be opened or read.
    virtual PrinterQueueInfo queueInfo(const QString &printerName) = 0;
    // The host recorded for a standard TCP/IP port (the port monitor's "HostName", else "IPAddress");
    // empty when the port has no such record.
    virtual QString portHost(const QString &portName) = 0;
};

// The process's print queues: the platform's own unless a test installed another.
PrinterQueue &printerQueue();
// Installs a replacement (tests); nullptr goes back to the platform's own. Not owned.
void setPrinterQueueForTesting(PrinterQueue *replacement);
// Defined once per platform (platform/win, platform/linux).
std::unique_ptr<PrinterQueue> createSystemPrinterQueue();

}  // namespace platform
