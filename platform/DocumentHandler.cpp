#include "platform/DocumentHandler.h"

#include <atomic>

namespace platform {
namespace {
std::atomic<DocumentHandler *> replacementHandler{nullptr};
}  // namespace

DocumentHandler &documentHandler()
{
    if (DocumentHandler *replacement = replacementHandler.load())
        return *replacement;
    static const std::unique_ptr<DocumentHandler> system = createSystemDocumentHandler();
    return *system;
}

void setDocumentHandlerForTesting(DocumentHandler *replacement)
{
    replacementHandler.store(replacement);
}

}  // namespace platform
