#pragma once

#include "base/Records.h"
#include "printing/PrinterSettingsScope.h"

#include <QString>

// Where a job takes the preset's number of copies from.
enum class CopiesFrom {
    Settings,  // the printer's settings carry them: another program prints with those settings
    Job        // the job asks for them itself, so the printer's settings carry one copy
};

// The preset's printer made the user's default printer with the preset's settings for as long as the object
// lives, and both put back when it goes: a PrinterSettingsScope, which takes the user's settings lock itself.
class PresetSettings
{
public:
    // Makes the switch; empty when it is made, else the translated reason (whatever was already switched is
    // put back when the object goes).
    QString apply(const PrintPreset &preset, CopiesFrom copies);

private:
    PrinterSettingsScope scope;
};
