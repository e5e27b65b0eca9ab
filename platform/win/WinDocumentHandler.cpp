// Word and WPS documents on Windows: the shell's "printto" verb (ShellVerbHandler) over ShellExecuteExW and
// the property system's page count.
#include "platform/ShellVerbHandler.h"

#include <QFileInfo>

#include <windows.h>

#include <propsys.h>
#include <shellapi.h>
#include <shobjidl.h>

#include <string>

namespace platform {
namespace {

// PKEY_Document_PageCount.
const PROPERTYKEY documentPageCount = {
    {0xF6272D18, 0xCECC, 0x40B1, {0xB2, 0x6A, 0x39, 0x11, 0x71, 0x7A, 0xA7, 0xBD}}, 4};

// Releases a COM interface on every way out.
template <typename Interface> class ComReference
{
public:
    ComReference() = default;
    ~ComReference()
    {
        if (pointer)
            pointer->Release();
    }
    ComReference(const ComReference &) = delete;
    ComReference &operator=(const ComReference &) = delete;
    Interface *pointer = nullptr;
};

class WinShell final : public Shell
{
public:
    bool execute(const ShellExecuteRequest &request, ProcessHandle *process, quint32 *error) override
    {
        const std::wstring verb = request.verb.toStdWString();
        const std::wstring file = request.file.toStdWString();
        const std::wstring parameters = request.parameters.toStdWString();
        SHELLEXECUTEINFOW info = {};
        info.cbSize = sizeof(info);
        info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
        info.hwnd = nullptr;
        info.lpVerb = verb.c_str();
        info.lpFile = file.c_str();
        info.lpParameters = parameters.c_str();
        info.lpDirectory = nullptr;
        info.nShow = request.show;
        if (process)
            *process = 0;
        if (!ShellExecuteExW(&info)) {
            if (error)
                *error = GetLastError();
            return false;
        }
        if (process)
            *process = reinterpret_cast<ProcessHandle>(info.hProcess);
        else if (info.hProcess)
            CloseHandle(info.hProcess);
        return true;
    }

    void waitForInputIdle(ProcessHandle process, quint32 milliseconds) override
    {
        WaitForInputIdle(reinterpret_cast<HANDLE>(process), milliseconds);
    }

    bool waitForExit(ProcessHandle process, quint32 milliseconds) override
    {
        return WaitForSingleObject(reinterpret_cast<HANDLE>(process), milliseconds) == WAIT_OBJECT_0;
    }

    void closeProcess(ProcessHandle process) override
    {
        if (process)
            CloseHandle(reinterpret_cast<HANDLE>(process));
    }

    bool documentPageCount(const QString &path, quint32 *pages) override
    {
        const std::wstring name = path.toStdWString();
        ComReference<IShellItem2> item;
        if (FAILED(SHCreateItemFromParsingName(name.c_str(), nullptr, IID_IShellItem2,
                                               reinterpret_cast<void **>(&item.pointer))) ||
            !item.pointer)
            return false;
        ULONG value = 0;
        if (FAILED(item.pointer->GetUInt32(platform::documentPageCount, &value)))
            return false;
        if (pages)
            *pages = quint32(value);
        return true;
    }
};

}  // namespace

std::unique_ptr<DocumentHandler> createSystemDocumentHandler()
{
    return std::make_unique<ShellVerbHandler>(std::make_unique<WinShell>());
}

}  // namespace platform
