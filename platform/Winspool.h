#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace platform {

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

// winspool, one method per Win32 call and in its shape. The real calls are in platform/win; the printer
// settings of Windows (platform/WinspoolPrinterSettings) are written over this interface, so that they can
// be run against a fake one anywhere. Every method may be called from any thread.
class Winspool
{
public:
    // An open printer (the HANDLE of OpenPrinterW); 0 is none.
    using Handle = quintptr;

    virtual ~Winspool() = default;

    // GetDefaultPrinterW(nullptr, &length): the length of the default printer's name in characters with its
    // terminating NUL; 0 when there is none or it cannot be read.
    virtual quint32 getDefaultPrinterLength() = 0;
    // GetDefaultPrinterW into a buffer of `length` characters; false when the call fails.
    virtual bool getDefaultPrinter(quint32 length, QString *name) = 0;
    // SetDefaultPrinterW.
    virtual bool setDefaultPrinter(const QString &printerName) = 0;
    // OpenPrinterW(name, &handle, no defaults). On failure *printer is 0.
    virtual bool openPrinter(const QString &printerName, Handle *printer) = 0;
    // ClosePrinter.
    virtual bool closePrinter(Handle printer) = 0;
    // GetPrinterW(printer, level, nullptr, 0, &needed): the bytes needed; 0 when the call fails otherwise.
    virtual quint32 getPrinterSize(Handle printer, quint32 level) = 0;
    // GetPrinterW(printer, level, a zeroed buffer of bufferSize bytes, bufferSize, &needed) at level 8 or 9.
    // On success *devMode is a copy of the structure's pDevMode (dmSize + dmDriverExtra bytes), or a null
    // byte array when pDevMode is null.
    virtual bool getPrinter(Handle printer, quint32 level, quint32 bufferSize, QByteArray *devMode) = 0;
    // SetPrinterW(printer, level 9, a PRINTER_INFO_9 pointing at a copy of devMode, command).
    virtual bool setPrinter(Handle printer, quint32 level, const QByteArray &devMode, quint32 command) = 0;
    // DocumentPropertiesW(window, printer, name, output, input, mode): `output` holds at least the size mode
    // 0 answers and may be the same array as `input`. Answers the size for mode 0, IDOK, IDCANCEL, or a
    // negative value on failure.
    virtual int documentProperties(quintptr window, Handle printer, const QString &printerName,
                                   QByteArray *output, const QByteArray *input, quint32 mode) = 0;
    // GetLastError of the calling thread.
    virtual quint32 getLastError() = 0;
    // EnumPrintersW(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, level 4): the printers' names; false when
    // they cannot be listed.
    virtual bool enumPrinters(QStringList *names) = 0;
};

}  // namespace platform
