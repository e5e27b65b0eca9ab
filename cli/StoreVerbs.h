#pragma once

#include "cli/CommandLine.h"

// `ollavan presets` and `ollavan history [N]`: what the store holds.
namespace cli {

Verb presetsVerb();
Verb historyVerb();

}  // namespace cli
