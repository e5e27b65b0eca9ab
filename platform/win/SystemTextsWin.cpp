#include "platform/SystemTexts.h"

namespace platform {

const char *systemText(const char *windowsWording)
{
    return windowsWording;
}

}  // namespace platform
