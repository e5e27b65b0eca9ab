#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <memory>

class QWidget;

namespace platform {

// An open printer (HANDLE from OpenPrinterW on Windows, a connection to the queue on Linux); 0 means none.
using PrinterHandle = quintptr;

// GetPrinterW / SetPrinterW levels that carry a DEVMODE.
constexpr quint32 PrinterInfoGlobalDevMode = 8;  // PRINTER_INFO_8: the printer's global defaults
constexpr quint32 PrinterInfoUserDevMode = 9;    // PRINTER_INFO_9: the current user's defaults

// DocumentPropertiesW modes.
constexpr quint32 DocumentPropertiesSize = 0;       // no buffers: answers the DEVMODE size in bytes
constexpr quint32 DocumentPropertiesOutBuffer = 2;  // DM_OUT_BUFFER
constexpr quint32 DocumentPropertiesInPrompt = 4;   // DM_IN_PROMPT
constexpr quint32 DocumentPropertiesInBuffer = 8;   // DM_IN_BUFFER
constexpr quint32 DocumentPropertiesMerge = DocumentPropertiesInBuffer | DocumentPropertiesOutBuffer;  // 10
constexpr quint32 DocumentPropertiesDialog =
    DocumentPropertiesInBuffer | DocumentPropertiesInPrompt | DocumentPropertiesOutBuffer;  // 14

// DocumentPropertiesW answers.
constexpr int DocumentPropertiesOk = 1;      // IDOK
constexpr int DocumentPropertiesCancel = 2;  // IDCANCEL

// The print spooler as the settings switch, the driver-properties code and the self-check use it, in the
// vocabulary of winspool. Windows: winspool itself. Linux: CUPS, where the default printer is the user's
// default destination, the per-user DEVMODE is the user's saved options for the queue (~/.cups/lpoptions),
// the global DEVMODE is the queue's defaults on the server and the driver is the queue's supported values.
// Every method may be called from any thread; the caller serialises changes (printerSettingsMutex).
class Spooler
{
public:
    virtual ~Spooler() = default;

    // GetDefaultPrinterW with no buffer: the length of the default printer's name in characters including the
    // terminating NUL; 0 when there is no default printer or it cannot be read.
    virtual quint32 defaultPrinterNameLength() = 0;
    // GetDefaultPrinterW into a buffer of `length` characters; false when that fails (for example because
    // the name no longer fits).
    virtual bool defaultPrinter(quint32 length, QString *name) = 0;
    // SetDefaultPrinterW.
    virtual bool setDefaultPrinter(const QString &printerName) = 0;

    // OpenPrinterW with no printer defaults. On failure *printer is 0 and lastError() says why.
    virtual bool openPrinter(const QString &printerName, PrinterHandle *printer) = 0;
    // ClosePrinter.
    virtual void closePrinter(PrinterHandle printer) = 0;

    // GetPrinterW at `level` (8 or 9) with no buffer: the bytes needed; 0 on failure.
    virtual quint32 printerInfoSize(PrinterHandle printer, quint32 level) = 0;
    // GetPrinterW at `level` into a zeroed buffer of `bufferSize` bytes. False when the call fails. On
    // success *devMode receives a copy of the structure's pDevMode (exactly dmSize plus dmDriverExtra bytes),
    // or a null byte array when pDevMode is null.
    virtual bool printerDevMode(PrinterHandle printer, quint32 level, quint32 bufferSize,
                                QByteArray *devMode) = 0;
    // SetPrinterW at level 9 with a PRINTER_INFO_9 pointing at `devMode`, command 0.
    virtual bool setPrinterDevMode(PrinterHandle printer, quint32 level, const QByteArray &devMode) = 0;

    // DocumentPropertiesW(parent's window, printer, printerName, output, input, mode). `output` must be at
    // least the size answered by mode 0; `output` and `input` may be the same array. Answers the size for
    // mode 0, 1 (IDOK) on success, 2 (IDCANCEL) when the user cancelled a dialog, a negative value on
    // failure.
    virtual int documentProperties(QWidget *parent, PrinterHandle printer, const QString &printerName,
                                   QByteArray *output, const QByteArray *input, quint32 mode) = 0;

    // GetLastError of the calling thread after a failed call of this interface.
    virtual quint32 lastError() = 0;

    // The installed printers, in the print system's order (EnumPrintersW local and connections / the CUPS
    // queues). lastError() is 0 afterwards unless the list could not be read.
    virtual QStringList printerNames() = 0;
};

// The process's spooler: the platform's own unless a test installed another.
Spooler &spooler();
// Installs a replacement (tests); nullptr goes back to the platform's own. Not owned.
void setSpoolerForTesting(Spooler *replacement);
// Defined once per platform (platform/win, platform/linux).
std::unique_ptr<Spooler> createSystemSpooler();

}  // namespace platform
