// winspool itself: each method is the one Win32 call it is named after, and the printer settings of Windows
// over it.
#include "platform/DevMode.h"
#include "platform/Winspool.h"
#include "platform/WinspoolPrinterSettings.h"

#include <windows.h>
#include <winspool.h>

#include <cstddef>
#include <string>
#include <vector>

namespace platform {
namespace {

// The portable DEVMODE accessors read the real DEVMODEW by these offsets.
static_assert(offsetof(DEVMODEW, dmDeviceName) == devmode::OffsetDeviceName, "dmDeviceName");
static_assert(offsetof(DEVMODEW, dmSpecVersion) == devmode::OffsetSpecVersion, "dmSpecVersion");
static_assert(offsetof(DEVMODEW, dmDriverVersion) == devmode::OffsetDriverVersion, "dmDriverVersion");
static_assert(offsetof(DEVMODEW, dmSize) == devmode::OffsetSize, "dmSize");
static_assert(offsetof(DEVMODEW, dmDriverExtra) == devmode::OffsetDriverExtra, "dmDriverExtra");
static_assert(offsetof(DEVMODEW, dmFields) == devmode::OffsetFields, "dmFields");
static_assert(offsetof(DEVMODEW, dmOrientation) == devmode::OffsetOrientation, "dmOrientation");
static_assert(offsetof(DEVMODEW, dmPaperSize) == devmode::OffsetPaperSize, "dmPaperSize");
static_assert(offsetof(DEVMODEW, dmPaperLength) == devmode::OffsetPaperLength, "dmPaperLength");
static_assert(offsetof(DEVMODEW, dmPaperWidth) == devmode::OffsetPaperWidth, "dmPaperWidth");
static_assert(offsetof(DEVMODEW, dmScale) == devmode::OffsetScale, "dmScale");
static_assert(offsetof(DEVMODEW, dmCopies) == devmode::OffsetCopies, "dmCopies");
static_assert(offsetof(DEVMODEW, dmDefaultSource) == devmode::OffsetDefaultSource, "dmDefaultSource");
static_assert(offsetof(DEVMODEW, dmPrintQuality) == devmode::OffsetPrintQuality, "dmPrintQuality");
static_assert(offsetof(DEVMODEW, dmColor) == devmode::OffsetColor, "dmColor");
static_assert(offsetof(DEVMODEW, dmDuplex) == devmode::OffsetDuplex, "dmDuplex");
static_assert(offsetof(DEVMODEW, dmFormName) == devmode::OffsetFormName, "dmFormName");
static_assert(sizeof(DEVMODEW) == devmode::Size, "DEVMODEW");
static_assert(DM_PAPERSIZE == devmode::FieldPaperSize && DM_PAPERLENGTH == devmode::FieldPaperLength &&
                  DM_PAPERWIDTH == devmode::FieldPaperWidth && DM_COPIES == devmode::FieldCopies &&
                  DM_COLOR == devmode::FieldColor && DM_DUPLEX == devmode::FieldDuplex &&
                  DM_FORMNAME == devmode::FieldFormName,
              "dmFields bits");
static_assert(DM_IN_BUFFER == DocumentPropertiesInBuffer && DM_OUT_BUFFER == DocumentPropertiesOutBuffer &&
                  DM_IN_PROMPT == DocumentPropertiesInPrompt && IDOK == DocumentPropertiesOk &&
                  IDCANCEL == DocumentPropertiesCancel,
              "DocumentPropertiesW modes");

HANDLE handleOf(Winspool::Handle printer)
{
    return reinterpret_cast<HANDLE>(printer);
}

class WinWinspool final : public Winspool
{
public:
    quint32 getDefaultPrinterLength() override
    {
        DWORD needed = 0;
        GetDefaultPrinterW(nullptr, &needed);
        return needed;
    }

    bool getDefaultPrinter(quint32 length, QString *name) override
    {
        std::vector<wchar_t> buffer(length + 1, L'\0');
        DWORD size = length;
        if (!GetDefaultPrinterW(buffer.data(), &size))
            return false;
        *name = QString::fromWCharArray(buffer.data());
        return true;
    }

    bool setDefaultPrinter(const QString &printerName) override
    {
        const std::wstring name = printerName.toStdWString();
        return SetDefaultPrinterW(name.c_str()) != FALSE;
    }

    bool openPrinter(const QString &printerName, Handle *printer) override
    {
        std::wstring name = printerName.toStdWString();
        HANDLE handle = nullptr;
        const bool opened = OpenPrinterW(name.data(), &handle, nullptr) != FALSE && handle;
        *printer = opened ? reinterpret_cast<Handle>(handle) : 0;
        return opened;
    }

    bool closePrinter(Handle printer) override { return ClosePrinter(handleOf(printer)) != FALSE; }

    quint32 getPrinterSize(Handle printer, quint32 level) override
    {
        DWORD needed = 0;
        GetPrinterW(handleOf(printer), level, nullptr, 0, &needed);
        return needed;
    }

    bool getPrinter(Handle printer, quint32 level, quint32 bufferSize, QByteArray *devMode) override
    {
        std::vector<BYTE> buffer(bufferSize, 0);
        DWORD needed = 0;
        if (!GetPrinterW(handleOf(printer), level, buffer.data(), bufferSize, &needed))
            return false;
        const DEVMODEW *mode = nullptr;
        if (level == PrinterInfoGlobalDevMode)
            mode = reinterpret_cast<const PRINTER_INFO_8W *>(buffer.data())->pDevMode;
        else if (level == PrinterInfoUserDevMode)
            mode = reinterpret_cast<const PRINTER_INFO_9W *>(buffer.data())->pDevMode;
        *devMode =
            mode ? QByteArray(reinterpret_cast<const char *>(mode), int(mode->dmSize) + mode->dmDriverExtra)
                 : QByteArray();
        return true;
    }

    bool setPrinter(Handle printer, quint32 level, const QByteArray &devMode, quint32 command) override
    {
        QByteArray copy = devMode;
        PRINTER_INFO_9W info = {};
        info.pDevMode = reinterpret_cast<DEVMODEW *>(copy.data());
        return SetPrinterW(handleOf(printer), level, reinterpret_cast<BYTE *>(&info), command) != FALSE;
    }

    int documentProperties(quintptr window, Handle printer, const QString &printerName, QByteArray *output,
                           const QByteArray *input, quint32 mode) override
    {
        std::wstring name = printerName.toStdWString();
        // The driver may read the input while it writes the output: give it its own copy of the input.
        QByteArray inputCopy = input ? *input : QByteArray();
        DEVMODEW *out = output && !output->isEmpty() ? reinterpret_cast<DEVMODEW *>(output->data()) : nullptr;
        DEVMODEW *in =
            input && !inputCopy.isEmpty() ? reinterpret_cast<DEVMODEW *>(inputCopy.data()) : nullptr;
        return int(DocumentPropertiesW(reinterpret_cast<HWND>(window), handleOf(printer), name.data(), out,
                                       in, DWORD(mode)));
    }

    quint32 getLastError() override { return GetLastError(); }

    bool enumPrinters(QStringList *names) override
    {
        names->clear();
        const DWORD flags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
        DWORD needed = 0;
        DWORD count = 0;
        SetLastError(ERROR_SUCCESS);
        if (!EnumPrintersW(flags, nullptr, 4, nullptr, 0, &needed, &count) && needed == 0)
            return GetLastError() == ERROR_SUCCESS;
        if (needed == 0)
            return true;
        std::vector<BYTE> buffer(needed, 0);
        if (!EnumPrintersW(flags, nullptr, 4, buffer.data(), needed, &needed, &count))
            return false;
        const auto *printers = reinterpret_cast<const PRINTER_INFO_4W *>(buffer.data());
        for (DWORD i = 0; i < count; ++i) {
            if (printers[i].pPrinterName)
                names->append(QString::fromWCharArray(printers[i].pPrinterName));
        }
        return true;
    }
};

}  // namespace

std::unique_ptr<PrinterSettingsSystem> createSystemPrinterSettings()
{
    static WinWinspool winspool;
    return std::make_unique<WinspoolPrinterSettings>(winspool);
}

}  // namespace platform
