#pragma once

#include "platform/Winspool.h"
#include "platform/WinspoolPrinterSettings.h"

#include <QByteArray>
#include <QMap>
#include <QMutex>
#include <QSet>
#include <QStringList>

#include <functional>
#include <memory>

namespace ollavan::testsupport {

// winspool in memory: printers with a per-user and a global DEVMODE, a default printer, every call recorded
// with its arguments, any call made to fail. An Installation puts the Windows printer settings over it in
// place of the system's own. Thread-safe.
//
// Calls are recorded by method name: "getDefaultPrinterLength()", "getDefaultPrinter(9)" (the length),
// "openPrinter(Office)", "setDefaultPrinter(Office)", "getPrinterSize(Office,9)", "getPrinter(Office,9)",
// "setPrinter(Office,9)", "documentProperties(Office,10)", "closePrinter(Office)", "enumPrinters()". A
// failure is armed by a call's name (all its calls) or by its whole text.
class FakeWinspool : public platform::Winspool
{
public:
    void addPrinter(const QString &name);
    QString defaultPrinterName;  // empty: none
    QMap<QString, QByteArray> userDevModes;
    QMap<QString, QByteArray> globalDevModes;
    quint32 errorCode = 5;  // GetLastError after an armed failure (ERROR_ACCESS_DENIED)
    // The driver's answer to mode 10 and, without a dialog handler, to mode 14.
    int driverAnswer = platform::DocumentPropertiesOk;
    // The dialog (mode 14): gets the record it starts from; its answer is the dialog's.
    std::function<int(QByteArray *record)> dialogHandler;
    QByteArray lastMergeInput;  // the DEVMODE mode 10 was given last
    quintptr lastDialogWindow = 0;

    void fail(const QString &call);
    // Makes getPrinter answer a null pDevMode for the matching calls.
    void answerNullDevMode(const QString &call);
    QStringList calls() const;
    void clearCalls();
    int openHandles() const;

    // A valid DEVMODE with the fields set and marked, and `extra` driver bytes.
    static QByteArray devMode(const QString &deviceName, qint16 copies, qint16 color, qint16 duplex,
                              qint16 paper, const QByteArray &extra = QByteArray("driver-private"));

    // The Windows printer settings over the fake, installed for the lifetime of this object.
    class Installation
    {
    public:
        explicit Installation(FakeWinspool *fake);
        ~Installation();

    private:
        std::unique_ptr<platform::WinspoolPrinterSettings> settings;
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
    QStringList printers;
    QStringList recorded;
    QSet<QString> failures;
    QSet<QString> nullDevModes;
    QMap<Handle, QString> handles;
    Handle nextHandle = 0x1000;
};

}  // namespace ollavan::testsupport
