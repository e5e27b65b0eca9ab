#pragma once

namespace platform {

// What the desktop lets the panel see of other programs' windows.
enum class DesktopSession {
    Native,    // the system's own window system: the window in front and global hotkeys work (Windows, X11)
    XWayland,  // a Wayland desktop, reached through its X server: only X11 windows can be read in front
    WaylandOnly,  // a Wayland desktop without an X server: no window in front can be read, no X hotkeys
};

// Before the application object is made: on a Wayland desktop that also runs an X server, the panel goes
// through the X server (Linux: QT_QPA_PLATFORM=xcb, unless the user chose a platform). Nothing elsewhere.
void preferXWayland();
// Once the application object exists.
DesktopSession desktopSession();

}  // namespace platform
