#include "FakePrinterQueue.h"

FakePrinterQueue::FakePrinterQueue()
{
    platform::setPrinterQueueForTesting(this);
}

FakePrinterQueue::~FakePrinterQueue()
{
    platform::setPrinterQueueForTesting(nullptr);
}

void FakePrinterQueue::addQueue(const QString &name, quint32 status, const QString &portName)
{
    if (!queues.contains(name))
        names.append(name);
    queues.insert(name, platform::PrinterQueueInfo{true, status, portName});
}

void FakePrinterQueue::setPortHost(const QString &portName, const QString &host)
{
    hosts.insert(portName, host);
}

platform::PrinterQueueInfo FakePrinterQueue::queueInfo(const QString &printerName)
{
    queried.append(printerName);
    return queues.value(printerName);
}

QString FakePrinterQueue::portHost(const QString &portName)
{
    return hosts.value(portName);
}

QStringList FakePrinterQueue::printerNames()
{
    return names;
}

const char *FakePrinterQueue::wording(platform::QueueWording which) const
{
    switch (which) {
    case platform::QueueWording::NotInstalled:
        return "Windows could not find this printer.";
    case platform::QueueWording::Offline:
        return "Windows reports that the printer is offline.";
    case platform::QueueWording::QueueStatus:
        return "Windows print queue status";
    case platform::QueueWording::SnmpSilent:
        return "SNMP did not respond; Windows queue reports no error · %1";
    }
    return "";
}
