#pragma once

#include "platform/WinspoolPrinterSettings.h"

#include <QMap>
#include <QMutex>
#include <QSet>
#include <QStringList>

#include <functional>

namespace ollavan::testsupport {

// winspool in memory: printers with a per-user and a global DEVMODE, a default printer, every call recorded
// by method name with its arguments ("getDefaultPrinterLength()", "getDefaultPrinter(9)",
// "openPrinter(Office)", "getPrinterSize(Office,9)", "getPrinter(Office,8)", "setPrinter(Office,9)",
// "documentProperties(Office,10)", "closePrinter(Office)", ...). An Installation puts the Windows printer
// settings over it in place of the system's own. Thread-safe; a failing call leaves GetLastError 5.
class FakeWinspool : public platform::Winspool
{
public:
    void addPrinter(const QString &name);
    QString defaultPrinterName;  // empty: none
    QMap<QString, QByteArray> userDevModes, globalDevModes;
    std::function<int(QByteArray *record)> dialogHandler;  // mode 14: changes the record, answers (else IDOK)
    QByteArray lastMergeInput;                             // what mode 10 was given last
    quintptr lastDialogWindow = 0;

    // Arms a failure by a call's name (all its calls) or its whole text. With `nullDevMode` getPrinter
    // succeeds but hands out no DEVMODE.
    void fail(const QString &call, bool nullDevMode = false);
    QStringList calls() const
    {
        const QMutexLocker lock(&mutex);
        return recorded;
    }
    void clearCalls()
    {
        const QMutexLocker lock(&mutex);
        recorded.clear();
    }
    int openHandles() const
    {
        const QMutexLocker lock(&mutex);
        return int(handles.size());
    }
    // A valid DEVMODE with these fields set and marked, and `extra` driver bytes.
    static QByteArray devMode(const QString &deviceName, qint16 copies, qint16 color, qint16 duplex,
                              qint16 paper, const QByteArray &extra = QByteArray("driver-private"));

    struct Installation
    {
        explicit Installation(FakeWinspool *fake) : settings(*fake)
        {
            platform::setPrinterSettingsSystemForTesting(&settings);
        }
        ~Installation() { platform::setPrinterSettingsSystemForTesting(nullptr); }
        platform::WinspoolPrinterSettings settings;
    };

    quint32 getDefaultPrinterLength() override;
    bool getDefaultPrinter(quint32 length, QString *name) override;
    bool setDefaultPrinter(const QString &printerName) override;
    bool openPrinter(const QString &printerName, Handle *printer) override;
    bool closePrinter(Handle printer) override;
    quint32 getPrinterSize(Handle printer, quint32 level) override;
    bool getPrinter(Handle printer, quint32 level, quint32 bufferSize, QByteArray *devMode) override;
    bool setPrinter(Handle printer, quint32 level, const QByteArray &devMode, quint32 command) override;
    int documentProperties(quintptr window, Handle printer, const QString &printerName, QByteArray *output,
                           const QByteArray *input, quint32 mode) override;
    quint32 getLastError() override;
    bool enumPrinters(QStringList *names) override;

private:
    // Records the call; true when it is armed to fail.
    bool record(const QString &call);
    QByteArray &stored(Handle printer, quint32 level);

    mutable QMutex mutex;
    QStringList printers, recorded;
    QSet<QString> failures, nullDevModes;
    QMap<Handle, QString> handles;
    Handle nextHandle = 0x1000;
};

}  // namespace ollavan::testsupport
