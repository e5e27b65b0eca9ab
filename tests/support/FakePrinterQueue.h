#pragma once

#include "platform/PrinterQueue.h"

#include <QHash>
#include <QStringList>

// A print spooler of the test's making: queues with status bits and ports, port hosts. Installed for the
// object's lifetime.
class FakePrinterQueue final : public platform::PrinterQueue
{
public:
    FakePrinterQueue();
    ~FakePrinterQueue() override;

    void addQueue(const QString &name, quint32 status, const QString &portName);
    void setPortHost(const QString &portName, const QString &host);

    platform::PrinterQueueInfo queueInfo(const QString &printerName) override;
    QString portHost(const QString &portName) override;
    // The queues added, in order.
    QStringList printerNames() const;

    QStringList queried;  // printer names asked for, in order

private:
    QStringList names;
    QHash<QString, platform::PrinterQueueInfo> queues;
    QHash<QString, QString> hosts;
};
