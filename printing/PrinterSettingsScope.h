#pragma once

#include "base/Records.h"
#include "platform/Spooler.h"

#include <QByteArray>
#include <QMutex>
#include <QPageSize>
#include <QString>

// The temporary switch that makes other applications print with a preset: for the lifetime of the scope the
// preset's printer is the user's default printer and its per-user DEVMODE is built from the preset. `apply`
// makes the switch (at most once), the destructor puts back what `apply` changed: first the per-user DEVMODE,
// then the previous default printer, whether `apply` succeeded or not.
//
// Hold printerSettingsMutex from before `apply` until after the scope is destroyed:
//     QMutexLocker lock(&printerSettingsMutex);
//     PrinterSettingsScope scope;
//     if (!scope.apply(preset, &error)) return failed(error);
class PrinterSettingsScope
{
public:
    PrinterSettingsScope() = default;
    ~PrinterSettingsScope();
    PrinterSettingsScope(const PrinterSettingsScope &) = delete;
    PrinterSettingsScope &operator=(const PrinterSettingsScope &) = delete;
    PrinterSettingsScope(PrinterSettingsScope &&) = delete;
    PrinterSettingsScope &operator=(PrinterSettingsScope &&) = delete;

    // Switches the default printer and its per-user settings to the preset. On failure returns false and
    // stores a translated message in *error (when given); the destructor undoes whatever was already
    // switched.
    bool apply(const PrintPreset &preset, QString *error = nullptr);

private:
    platform::PrinterHandle printerHandle = 0;
    QByteArray savedUserDevMode;
    QString previousDefaultPrinter;
};

// Serialises every switch of the default printer and its settings in the process.
extern QMutex printerSettingsMutex;

// Paper name to a Windows DMPAPER code: trimmed, upper case, first matching prefix of A3 A4 A5 A6 B4 B5
// LETTER LEGAL; anything else is A4 (9).
int paperCodeForName(const QString &name);
// Paper name to a page size with the same rules; anything unknown is A4.
QPageSize pageSizeForName(const QString &name);
