#pragma once

#include <QString>

// Where the preset and history database lives: the per-user application data folder of the platform
// (below the organization and application names of AppIdentity, so apply those first) and the file
// name "vantap.sqlite". Linux: ~/.local/share/Ollavan/OllavanQuick/vantap.sqlite (XDG_DATA_HOME honoured);
// Windows: %APPDATA%\Ollavan\OllavanQuick\vantap.sqlite.
namespace DatabaseLocation {

inline constexpr char FileName[] = "vantap.sqlite";

// Full path of the database file for the current application identity.
QString databasePath();

// Creates the folder that holds `databasePath`, with every missing parent. True when the folder exists
// afterwards. A failure needs no message of its own: opening the store then fails with the driver's text.
bool createDatabaseFolder(const QString &databasePath);

}  // namespace DatabaseLocation
