#pragma once

// Every key the program reads or writes in the per-user settings store (a default-constructed QSettings,
// selected by the organization and application names of AppIdentity). There are no others.
namespace SettingsKeys {

// string, a language code; "en" when absent
inline constexpr char Language[] = "ui/language";
// bool; false when absent
inline constexpr char DarkMode[] = "appearance/darkMode";
// string, "none", "right" or "top"; "none" when absent, and any other text reads as "none"
inline constexpr char DockEdge[] = "dock/edge";
// point, the window position while floating; the current position when absent
inline constexpr char FloatingPosition[] = "dock/floatingPosition";
// bool; false when absent
inline constexpr char CompatibilityNoticeShown[] = "compatibilityNotice/pdfiumShown";

}  // namespace SettingsKeys
