// PDF files on Windows go to Acrobat, then the built-in engine: the spooler has no way of its own to print
// one.
#include "platform/PdfJobSubmission.h"

namespace platform {
namespace {

class WinPdfJobSubmission final : public PdfJobSubmission
{
public:
    bool available() const override { return false; }
    bool takesPdf(const QString &) override { return false; }
    PdfJobAnswer submit(QIODevice &, const QString &, const PrintPreset &) override { return PdfJobAnswer(); }
};

}  // namespace

std::unique_ptr<PdfJobSubmission> createSystemPdfJobSubmission()
{
    return std::make_unique<WinPdfJobSubmission>();
}

}  // namespace platform
