#pragma once

#include "base/Records.h"

#include <QList>
#include <QString>

// The preset a command line names: by its id (a whole decimal number that is some preset's id) or else by
// its exact title. Null when no preset fits; the pointer is into `presets`.
const PrintPreset *presetByReference(const QList<PrintPreset> &presets, const QString &reference);
