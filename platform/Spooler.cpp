#include "platform/Spooler.h"

#include <atomic>

namespace platform {
namespace {
std::atomic<Spooler *> replacementSpooler{nullptr};
}  // namespace

Spooler &spooler()
{
    if (Spooler *replacement = replacementSpooler.load())
        return *replacement;
    static const std::unique_ptr<Spooler> system = createSystemSpooler();
    return *system;
}

void setSpoolerForTesting(Spooler *replacement)
{
    replacementSpooler.store(replacement);
}

}  // namespace platform
