#pragma once

#include "platform/DevMode.h"
#include "platform/linux/CupsQueue.h"

class QWidget;

namespace platform {

// The properties dialog of a CUPS queue, standing in for a printer driver's own: duplex, colour, paper and
// copies, limited to what the queue supports and starting from `mode`. Modal. On Save the choices are written
// into *mode and the answer is 1 (IDOK); Cancel answers 2 (IDCANCEL). Needs a running QApplication.
int runQueueOptionsDialog(QWidget *parent, const CupsQueueInfo &queue, DevMode *mode);

}  // namespace platform
