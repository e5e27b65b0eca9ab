#pragma once

#include "platform/Spooler.h"

#include <QByteArray>
#include <QMap>
#include <QMutex>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>

namespace ollavan::testsupport {

// A spooler that keeps its printers in memory, records every call with its arguments and can be told to fail
// any call. Install it with platform::setSpoolerForTesting(&fake) (FakeSpooler::Installation does it for a
// scope). Thread-safe.
//
// Calls are recorded as text, e.g. "defaultPrinterNameLength()", "defaultPrinter(12)" (length),
// "openPrinter(Office)", "setDefaultPrinter(Office)", "printerInfoSize(Office,9)",
// "printerDevMode(Office,9)", "setPrinterDevMode(Office,9)", "documentProperties(Office,10)",
// "closePrinter(Office)", "lastError()", "printerNames()". A failure is armed by the call's text up to its
// first '(' (all calls of the method) or by the whole text (only calls with those arguments).
class FakeSpooler : public platform::Spooler
{
public:
    FakeSpooler();

    // --- the simulated print system ---
    // Installed printers; each has a per-user and a global DEVMODE (a valid record by default).
    void addPrinter(const QString &name);
    QString defaultPrinterName;  // empty: no default printer
    QMap<QString, QByteArray> userDevModes;
    QMap<QString, QByteArray> globalDevModes;
    quint32 errorCode = 5;  // what lastError() answers after an armed failure (ERROR_ACCESS_DENIED)
    // What documentProperties answers in mode 10 (the record is passed through unchanged) and in mode 14 when
    // no dialog handler is set.
    int mergeAnswer = platform::DocumentPropertiesOk;
    // Called for mode 14 with the record the dialog starts from; its answer is the dialog's.
    std::function<int(QByteArray *record)> dialogHandler;

    // --- failures ---
    // Makes the matching calls fail (false, 0, a negative answer or an empty default, as the method fails).
    void fail(const QString &call);
    // Makes printerDevMode succeed with a null pDevMode for the matching calls.
    void answerNullDevMode(const QString &call);
    void clearFailures();

    // --- the record ---
    QStringList calls() const;
    void clearCalls();
    // Open handles (a test can check every opened printer was closed).
    int openHandles() const;

    // A valid DEVMODE record for tests: the given fields with a form name and `extra` driver bytes.
    static QByteArray devMode(const QString &deviceName, qint16 copies, qint16 color, qint16 duplex,
                              qint16 paper, const QByteArray &extra = QByteArray("driver-private"));

    // Installs the fake for the lifetime of this object.
    class Installation
    {
    public:
        explicit Installation(FakeSpooler *fake) { platform::setSpoolerForTesting(fake); }
        ~Installation() { platform::setSpoolerForTesting(nullptr); }
        Installation(const Installation &) = delete;
        Installation &operator=(const Installation &) = delete;
    };

    quint32 defaultPrinterNameLength() override;
    bool defaultPrinter(quint32 length, QString *name) override;
    bool setDefaultPrinter(const QString &printerName) override;
    bool openPrinter(const QString &printerName, platform::PrinterHandle *printer) override;
    void closePrinter(platform::PrinterHandle printer) override;
    quint32 printerInfoSize(platform::PrinterHandle printer, quint32 level) override;
    bool printerDevMode(platform::PrinterHandle printer, quint32 level, quint32 bufferSize,
                        QByteArray *devMode) override;
    bool setPrinterDevMode(platform::PrinterHandle printer, quint32 level,
                           const QByteArray &devMode) override;
    int documentProperties(QWidget *parent, platform::PrinterHandle printer, const QString &printerName,
                           QByteArray *output, const QByteArray *input, quint32 mode) override;
    quint32 lastError() override;
    QStringList printerNames() override;

private:
    // Records the call; true when it is to fail (and sets the thread's last error).
    bool record(const QString &call);
    bool matches(const QSet<QString> &armed, const QString &call) const;
    QString nameOf(platform::PrinterHandle printer) const;

    mutable QMutex mutex;
    QStringList printers;
    QStringList recorded;
    QSet<QString> failures;
    QSet<QString> nullDevModes;
    QMap<platform::PrinterHandle, QString> handles;
    platform::PrinterHandle nextHandle = 0x1000;
};

}  // namespace ollavan::testsupport
