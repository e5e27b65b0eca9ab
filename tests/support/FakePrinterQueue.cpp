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

QStringList FakePrinterQueue::printerNames() const
{
    return names;
}
