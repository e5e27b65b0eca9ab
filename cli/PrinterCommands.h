#pragma once

#include "cli/CommandLine.h"

// `ollavan printers` (the installed printers, the default marked) and `ollavan settings PRINTER` (a printer
// driver's current settings for this user, in the preset vocabulary).
namespace cli {

Verb printersVerb();
Verb settingsVerb();

}  // namespace cli
