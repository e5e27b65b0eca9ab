#pragma once

#include "base/Records.h"
#include "platform/PaperNames.h"

#include <QString>

#include <memory>

// The temporary switch that makes other applications print with a preset: for the lifetime of the scope the
// preset's printer is the user's default printer and its user settings are built from the preset (the
// printer's clean defaults with the preset's colour, sides, paper and copies, or the user's own settings
// with the preset's copies). `apply` makes the switch (at most once); the destructor puts back what `apply`
// changed, first the user's settings, then the previous default printer, whether `apply` succeeded or not.
//
//     PrinterSettingsScope scope;
//     if (!scope.apply(preset, &error)) return failed(error);
//     ... print ...
//
// One switch at a time for the user: `apply` first waits for the user's turn (SettingsSwitchLock, across
// processes) and the scope keeps it until it ends. Before it changes anything, `apply` writes what it will
// put back to the restore journal (RestoreJournal), and adds the user's settings once it has read them; the
// destructor puts everything back and removes the journal. A program killed meanwhile leaves the journal for
// the next start to put back.
class PrinterSettingsScope
{
public:
    PrinterSettingsScope();
    ~PrinterSettingsScope();
    PrinterSettingsScope(const PrinterSettingsScope &) = delete;
    PrinterSettingsScope &operator=(const PrinterSettingsScope &) = delete;

    // Switches the default printer and its user settings to the preset. On failure returns false and stores
    // a translated message in *error (when given); the destructor undoes whatever was already switched.
    bool apply(const PrintPreset &preset, QString *error = nullptr);

    // For a termination request or the end of the session: waits until a switch step of this process in
    // progress is done, puts back what a switch of this process changed (from its journal) and lets no
    // switch step run any more in this process. True when there was a switch to put back.
    static bool restoreBeforeExit();

private:
    struct State;
    const std::unique_ptr<State> state;
};

// The preset's paper names, for the print routes (platform/PaperNames.h).
using platform::pageSizeForName;
using platform::paperCodeForName;
