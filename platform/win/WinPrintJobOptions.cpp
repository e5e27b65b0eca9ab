#include "platform/PrintJobOptions.h"

namespace platform {
namespace {

// The Windows driver starts every job from the printer's per-user DEVMODE, which the settings switch has
// already made the preset's (or left as the user's own for driver settings): nothing to add.
class WinPrintJobOptions final : public PrintJobOptions
{
public:
    void prepare(QPrinter &, bool) override {}
};

}  // namespace

std::unique_ptr<PrintJobOptions> createSystemPrintJobOptions()
{
    return std::make_unique<WinPrintJobOptions>();
}

}  // namespace platform
