#include "platform/Shell.h"

#include <atomic>

namespace platform {
namespace {
std::atomic<Shell *> replacementShell{nullptr};
}  // namespace

Shell &shell()
{
    if (Shell *replacement = replacementShell.load())
        return *replacement;
    static const std::unique_ptr<Shell> system = createSystemShell();
    return *system;
}

void setShellForTesting(Shell *replacement)
{
    replacementShell.store(replacement);
}

}  // namespace platform
