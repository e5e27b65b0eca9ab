#include "platform/WindowSystem.h"

#include <atomic>

namespace platform {
namespace {
std::atomic<WindowSystem *> replacementWindowSystem{nullptr};
}  // namespace

WindowSystem &windowSystem()
{
    if (WindowSystem *replacement = replacementWindowSystem.load())
        return *replacement;
    static const std::unique_ptr<WindowSystem> system = createSystemWindowSystem();
    return *system;
}

void setWindowSystemForTesting(WindowSystem *replacement)
{
    replacementWindowSystem.store(replacement);
}

}  // namespace platform
