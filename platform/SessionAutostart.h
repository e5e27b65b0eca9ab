#pragma once

#include <QString>

namespace platform {

// Starting the panel with the user's desktop session. Linux: an XDG autostart entry,
// $XDG_CONFIG_HOME/autostart/ollavan-quick.desktop; Windows: a value of the current user's Run key. Either
// starts the program at the path it runs from now.
// Whether the entry exists.
bool isStartedWithSession();
// Writes the entry (enabled) or removes it; false with the reason in *error.
bool setStartedWithSession(bool enabled, QString *error);

}  // namespace platform
