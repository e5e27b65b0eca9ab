#pragma once

#include <QString>

namespace platform {

// A message for the user that does not need a window of the program: a desktop notification on Linux
// (org.freedesktop.Notifications on the session bus), a message box on Windows.
struct DesktopNotification
{
    QString applicationName;  // "Ollavan Quick"
    QString desktopEntry;     // the desktop entry's id without ".desktop", also the name of the icon
    QString summary;          // one line
    QString body;             // plain text
};

// Shows the notification. False with the reason in *error when no notification could be shown (no session
// bus, no notification service, the service refused it).
bool showDesktopNotification(const DesktopNotification &notification, QString *error = nullptr);

}  // namespace platform
