#include "platform/PrintJobOptions.h"

#include <atomic>

namespace platform {
namespace {
std::atomic<PrintJobOptions *> replacementPrintJobOptions{nullptr};
}  // namespace

PrintJobOptions &printJobOptions()
{
    if (PrintJobOptions *replacement = replacementPrintJobOptions.load())
        return *replacement;
    static const std::unique_ptr<PrintJobOptions> options = createSystemPrintJobOptions();
    return *options;
}

void setPrintJobOptionsForTesting(PrintJobOptions *replacement)
{
    replacementPrintJobOptions.store(replacement);
}

}  // namespace platform
