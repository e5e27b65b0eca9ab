#pragma once

#include "cli/CommandLine.h"

// `ollavan choose-and-print FILE...`: asks for the preset in a small window, then prints like `print`.
namespace cli {

Verb chooseAndPrintVerb();

}  // namespace cli
