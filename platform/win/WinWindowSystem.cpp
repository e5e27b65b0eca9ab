// The foreground window and its process through user32 and kernel32.
#include "platform/WindowSystem.h"

#include <windows.h>

#include <memory>
#include <vector>

namespace platform {
namespace {

struct HandleCloser
{
    void operator()(HANDLE handle) const
    {
        if (handle)
            CloseHandle(handle);
    }
};

using ProcessHandle = std::unique_ptr<void, HandleCloser>;

ProcessHandle openForQuery(quint32 processId)
{
    return ProcessHandle(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, DWORD(processId)));
}

class WinWindowSystem final : public WindowSystem
{
public:
    quintptr foregroundWindow() override { return reinterpret_cast<quintptr>(GetForegroundWindow()); }

    quint32 windowProcessId(quintptr window) override
    {
        DWORD processId = 0;
        if (window)
            GetWindowThreadProcessId(reinterpret_cast<HWND>(window), &processId);
        return quint32(processId);
    }

    QString windowTitle(quintptr window, int maxLength) override
    {
        if (!window || maxLength <= 0)
            return QString();
        std::vector<wchar_t> buffer(size_t(maxLength) + 1, L'\0');
        const int length = GetWindowTextW(reinterpret_cast<HWND>(window), buffer.data(), int(buffer.size()));
        if (length <= 0)
            return QString();
        return QString::fromWCharArray(buffer.data(), length);
    }

    bool isWindowVisible(quintptr window) override
    {
        return window && IsWindowVisible(reinterpret_cast<HWND>(window));
    }

    bool isWindowMinimized(quintptr window) override
    {
        return window && IsIconic(reinterpret_cast<HWND>(window));
    }

    bool processExists(quint32 processId) override { return bool(openForQuery(processId)); }

    bool processImagePath(quint32 processId, QString *path) override
    {
        const ProcessHandle process = openForQuery(processId);
        if (!process)
            return false;
        std::vector<wchar_t> buffer(32768, L'\0');
        DWORD length = DWORD(buffer.size());
        if (!QueryFullProcessImageNameW(process.get(), 0, buffer.data(), &length))
            return false;
        if (path)
            *path = QString::fromWCharArray(buffer.data(), int(length));
        return true;
    }

    // Windows programs are told apart by their automation ProgIDs (ForegroundWindowContext).
    ShownDocument shownDocument(quint32, const QString &) override { return ShownDocument(); }

    quint32 currentProcessId() override { return quint32(GetCurrentProcessId()); }
};

}  // namespace

std::unique_ptr<WindowSystem> createSystemWindowSystem()
{
    return std::make_unique<WinWindowSystem>();
}

}  // namespace platform
