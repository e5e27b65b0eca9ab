#include "platform/SystemTexts.h"

#include <cstring>

namespace platform {
namespace {

struct TextVariant
{
    const char *windows;
    const char *linux;
};

// Each Linux wording is a key of the translation table.
constexpr TextVariant variants[] = {
    // The Linux wordings take a description of the failure (the file that could not be written and why, or
    // CUPS's own text) where Windows gives its error number.
    {"Unable to apply printer settings (Windows error %1)", "Unable to apply printer settings: %1"},
    {"Unable to open printer \"%1\" (Windows error %2)", "Unable to open printer \"%1\": %2"},
    {"Unable to save printer driver properties (Windows error %1)",
     "Unable to save printer driver properties: %1"},
    {"No Windows default printer is configured.", "No CUPS default printer is configured."},
    {"The Windows default printer could not be read.", "The CUPS default printer could not be read."},
    {"Windows could not find this printer.", "CUPS could not find this printer."},
    {"Windows reports that the printer is offline.", "CUPS reports that the printer is offline."},
    {"Windows print queue status", "CUPS print queue status"},
    {"SNMP did not respond; Windows queue reports no error · %1",
     "SNMP did not respond; CUPS queue reports no error · %1"},
};

}  // namespace

const char *systemText(const char *windowsWording)
{
    if (!windowsWording)
        return windowsWording;
    for (const TextVariant &variant : variants) {
        if (std::strcmp(variant.windows, windowsWording) == 0)
            return variant.linux;
    }
    return windowsWording;
}

}  // namespace platform
