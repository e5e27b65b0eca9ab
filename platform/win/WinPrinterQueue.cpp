#include "platform/PrinterQueue.h"

#include <windows.h>
#include <winspool.h>

#include <vector>

namespace platform {
namespace {

const wchar_t *const portsKey =
    L"SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\Standard TCP/IP Port\\Ports\\";

// Closes an opened printer on every way out.
class PrinterHandle
{
public:
    PrinterHandle() = default;
    ~PrinterHandle()
    {
        if (handle)
            ClosePrinter(handle);
    }
    PrinterHandle(const PrinterHandle &) = delete;
    PrinterHandle &operator=(const PrinterHandle &) = delete;
    HANDLE handle = nullptr;
};

// Closes an opened registry key on every way out.
class RegistryKey
{
public:
    RegistryKey() = default;
    ~RegistryKey()
    {
        if (key)
            RegCloseKey(key);
    }
    RegistryKey(const RegistryKey &) = delete;
    RegistryKey &operator=(const RegistryKey &) = delete;
    HKEY key = nullptr;
};

// A REG_SZ or REG_EXPAND_SZ value (not expanded) up to its first null, trimmed; empty on any failure.
QString registryString(HKEY key, const wchar_t *valueName)
{
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key, valueName, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return {};
    if ((type != REG_SZ && type != REG_EXPAND_SZ) || size < 2)
        return {};
    std::vector<BYTE> buffer(size);
    DWORD readSize = size;
    if (RegQueryValueExW(key, valueName, nullptr, &type, buffer.data(), &readSize) != ERROR_SUCCESS)
        return {};
    const size_t units = qMin<DWORD>(readSize, size) / sizeof(wchar_t);
    const auto *text = reinterpret_cast<const wchar_t *>(buffer.data());
    size_t length = 0;
    while (length < units && text[length] != L'\0')
        ++length;
    return QString::fromWCharArray(text, int(length)).trimmed();
}

class WindowsPrinterQueue final : public PrinterQueue
{
public:
    PrinterQueueInfo queueInfo(const QString &printerName) override
    {
        PrinterQueueInfo info;
        std::wstring name = printerName.toStdWString();
        PrinterHandle printer;
        if (!OpenPrinterW(name.data(), &printer.handle, nullptr))
            return info;
        DWORD needed = 0;
        GetPrinterW(printer.handle, 2, nullptr, 0, &needed);
        if (needed == 0)
            return info;
        std::vector<BYTE> buffer(needed);
        if (!GetPrinterW(printer.handle, 2, buffer.data(), needed, &needed))
            return info;
        const auto *level2 = reinterpret_cast<const PRINTER_INFO_2W *>(buffer.data());
        info.found = true;
        info.status = quint32(level2->Status);
        if (level2->pPortName)
            info.portName = QString::fromWCharArray(level2->pPortName);
        return info;
    }

    QString portHost(const QString &portName) override
    {
        const std::wstring path = std::wstring(portsKey) + portName.toStdWString();
        RegistryKey key;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, 0x20019 /* KEY_READ */, &key.key) !=
            ERROR_SUCCESS)
            return {};
        QString host = registryString(key.key, L"HostName");
        if (host.isEmpty())
            host = registryString(key.key, L"IPAddress");
        return host;
    }
};

}  // namespace

std::unique_ptr<PrinterQueue> createSystemPrinterQueue()
{
    return std::make_unique<WindowsPrinterQueue>();
}

}  // namespace platform
