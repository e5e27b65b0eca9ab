#include "platform/DesktopSession.h"

namespace platform {

void preferXWayland() {}

DesktopSession desktopSession()
{
    return DesktopSession::Native;
}

}  // namespace platform
