#include "platform/PdfJobSubmission.h"

namespace platform {

PdfJobSubmission &pdfJobSubmission()
{
    static const std::unique_ptr<PdfJobSubmission> system = createSystemPdfJobSubmission();
    return *system;
}

}  // namespace platform
