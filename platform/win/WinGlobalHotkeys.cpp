#include "platform/GlobalHotkeys.h"

#include <windows.h>

namespace platform {
namespace {

class WinGlobalHotkeys final : public GlobalHotkeys
{
public:
    bool registerHotKey(quintptr window, int id, quint32 modifiers, quint32 virtualKey,
                        const QString &) override
    {
        return RegisterHotKey(reinterpret_cast<HWND>(window), id, UINT(modifiers), UINT(virtualKey)) != FALSE;
    }

    bool unregisterHotKey(quintptr window, int id) override
    {
        return UnregisterHotKey(reinterpret_cast<HWND>(window), id) != FALSE;
    }

    bool hotkeyMessageId(const QByteArray &eventType, void *message, int *id) override
    {
        if (!message || eventType != "windows_generic_MSG")
            return false;
        const MSG *msg = static_cast<const MSG *>(message);
        if (msg->message != WM_HOTKEY)
            return false;
        if (id)
            *id = int(msg->wParam);
        return true;
    }
};

}  // namespace

std::unique_ptr<GlobalHotkeys> createSystemGlobalHotkeys()
{
    return std::make_unique<WinGlobalHotkeys>();
}

}  // namespace platform
