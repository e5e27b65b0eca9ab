#pragma once

#include "base/Records.h"

#include <QString>

// The settings summary shown for a preset and stored with each history entry, in the current language,
// for example "Mono · Double-sided (long edge) · A4", with " · Driver settings" appended when the preset
// prints with the driver's own settings. Translated at the moment it is called.
QString presetParameters(const PrintPreset &preset);
