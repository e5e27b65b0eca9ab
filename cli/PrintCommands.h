#pragma once

#include "cli/CommandLine.h"

// `ollavan print --preset ID|TITLE FILE...`: prints files exactly as a drop on the preset's card does.
namespace cli {

Verb printVerb();

}  // namespace cli
