#pragma once

#include "platform/linux/LpOptions.h"

namespace platform {

// The options a job on a destination ("queue" or "queue/instance") takes from what the user saved for it (the
// lpoptions files, as libcups reads them for the destination), without the attributes that describe the queue
// itself. Empty when the destination is unknown or the server cannot be reached.
QList<CupsOption> savedJobOptions(const QString &destination);

}  // namespace platform
