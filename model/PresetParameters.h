#pragma once

#include "base/Records.h"

#include <QString>

// Readers of the print-option vocabulary of a preset. Every reader treats an unexpected word the same way:
// anything but "color" is monochrome, anything but "simplex" is double-sided, and only "short" binds on the
// short edge.
bool printsInColor(const PrintPreset &preset);
bool printsDoubleSided(const PrintPreset &preset);
// The binding edge setting alone; it has an effect only when the preset prints double-sided.
bool bindsOnShortEdge(const PrintPreset &preset);

// The settings summary shown for a preset and stored with each history entry, in the current language,
// for example "Mono · Double-sided (long edge) · A4", with " · Driver settings" appended when the preset
// prints with the driver's own settings. Translated at the moment it is called.
QString presetParameters(const PrintPreset &preset);
