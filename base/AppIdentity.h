#pragma once

// The program's identity as the toolkit knows it. The organization and application names select the
// per-user settings store and the per-user application data folder (and with it the database), so the
// panel and the command-line companion both apply this identity before touching either.
namespace AppIdentity {

inline constexpr char ApplicationName[] = "OllavanQuick";
inline constexpr char DisplayName[] = "Ollavan Quick";
inline constexpr char Version[] = "0.2.1";
inline constexpr char OrganizationName[] = "Ollavan";
inline constexpr char OrganizationDomain[] = "ollavan.app";
inline constexpr char WindowIconResource[] = ":/icons/assets/vantap-icon.png";
// The id of the installed desktop entry (its file name without ".desktop"), of the icon in the desktop's
// icon theme and of the AppStream component.
inline constexpr char DesktopEntryId[] = "app.ollavan.OllavanQuick";

// Sets application name, version, organization name and domain, and the display name and desktop entry when
// a GUI application object exists (so call it after constructing the application). Calling it again changes
// nothing.
void apply();

}  // namespace AppIdentity
