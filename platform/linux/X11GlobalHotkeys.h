#pragma once

#include "platform/GlobalHotkeys.h"

#include <memory>

namespace platform {

// Hotkeys as passive key grabs on the X server's root window, on the toolkit's own X connection; every
// registration fails without one.
std::unique_ptr<GlobalHotkeys> createX11GlobalHotkeys();

}  // namespace platform
