#include "platform/DesktopNotification.h"

#include <windows.h>

#include <string>

namespace platform {

bool showDesktopNotification(const DesktopNotification &notification, QString *error)
{
    const std::wstring title = notification.summary.toStdWString();
    const std::wstring text = notification.body.toStdWString();
    if (MessageBoxW(nullptr, text.c_str(), title.c_str(), MB_OK | MB_ICONWARNING | MB_SETFOREGROUND) == 0) {
        if (error)
            *error =
                QStringLiteral("the message box could not be shown (Windows error %1)").arg(GetLastError());
        return false;
    }
    return true;
}

}  // namespace platform
