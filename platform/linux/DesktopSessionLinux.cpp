#include "platform/DesktopSession.h"

#include <QGuiApplication>
#include <QString>

namespace platform {
namespace {

bool isWaylandDesktop()
{
    return !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           qEnvironmentVariable("XDG_SESSION_TYPE") == QLatin1String("wayland");
}

}  // namespace

void preferXWayland()
{
    if (isWaylandDesktop() && !qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");
}

DesktopSession desktopSession()
{
    const QString platform = QGuiApplication::platformName();
    if (!isWaylandDesktop() || platform == QLatin1String("offscreen") || platform == QLatin1String("minimal"))
        return DesktopSession::Native;
    return platform == QLatin1String("xcb") ? DesktopSession::XWayland : DesktopSession::WaylandOnly;
}

}  // namespace platform
