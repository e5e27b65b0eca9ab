#include "platform/GlobalHotkeys.h"

#include <atomic>

namespace platform {
namespace {
std::atomic<GlobalHotkeys *> replacementGlobalHotkeys{nullptr};
}  // namespace

GlobalHotkeys &globalHotkeys()
{
    if (GlobalHotkeys *replacement = replacementGlobalHotkeys.load())
        return *replacement;
    static const std::unique_ptr<GlobalHotkeys> system = createSystemGlobalHotkeys();
    return *system;
}

void setGlobalHotkeysForTesting(GlobalHotkeys *replacement)
{
    replacementGlobalHotkeys.store(replacement);
}

}  // namespace platform
