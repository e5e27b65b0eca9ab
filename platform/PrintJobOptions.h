#pragma once

#include <memory>

class QPrinter;

namespace platform {

// What a job printed by the program itself (images, the PDF engine) needs from the print system so that it
// carries the settings a job of another application would get from the printer's per-user defaults, which the
// settings switch has made the preset's. Windows: nothing, the driver starts every job from the per-user
// DEVMODE. Linux: Qt's CUPS path sends only its own options (page size, sides, copies, orientation) and no
// colour, so the queue's saved per-user options are handed to the job explicitly.
class PrintJobOptions
{
public:
    virtual ~PrintJobOptions() = default;

    // Called once the route has set up `printer` (printer name, copies and, unless `useDriverSettings`,
    // colour, duplex, paper and orientation) and before the job begins. With `useDriverSettings` the
    // printer's paper, colour and duplex are taken from the saved options as well. The copy count stays the
    // route's.
    virtual void prepare(QPrinter &printer, bool useDriverSettings) = 0;
};

// The process's instance: the platform's own unless a test installed another.
PrintJobOptions &printJobOptions();
// Installs a replacement (tests); nullptr goes back to the platform's own. Not owned.
void setPrintJobOptionsForTesting(PrintJobOptions *replacement);
// Defined once per platform (platform/win, platform/linux).
std::unique_ptr<PrintJobOptions> createSystemPrintJobOptions();

}  // namespace platform
