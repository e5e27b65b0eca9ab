#include "platform/PrinterQueue.h"

#include <atomic>

namespace platform {
namespace {
std::atomic<PrinterQueue *> replacementPrinterQueue{nullptr};
}  // namespace

PrinterQueue &printerQueue()
{
    if (PrinterQueue *replacement = replacementPrinterQueue.load())
        return *replacement;
    static const std::unique_ptr<PrinterQueue> queue = createSystemPrinterQueue();
    return *queue;
}

void setPrinterQueueForTesting(PrinterQueue *replacement)
{
    replacementPrinterQueue.store(replacement);
}

}  // namespace platform
