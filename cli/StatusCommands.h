#pragma once

#include "cli/CommandLine.h"

// `ollavan status [PRINTER...]`: the present condition of each named printer (every installed printer when
// none is named), as the panel's status badges get it: from the print queue and, for a printer on a
// TCP/IP port, from its SNMP agent.
namespace cli {

Verb statusVerb();

}  // namespace cli
