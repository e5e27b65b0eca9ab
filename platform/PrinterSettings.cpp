#include "platform/PrinterSettings.h"

#include <atomic>

namespace platform {
namespace {
std::atomic<PrinterSettingsSystem *> replacementSystem{nullptr};
}  // namespace

PrinterSettingsSystem &printerSettingsSystem()
{
    if (PrinterSettingsSystem *replacement = replacementSystem.load())
        return *replacement;
    static const std::unique_ptr<PrinterSettingsSystem> system = createSystemPrinterSettings();
    return *system;
}

void setPrinterSettingsSystemForTesting(PrinterSettingsSystem *replacement)
{
    replacementSystem.store(replacement);
}

}  // namespace platform
