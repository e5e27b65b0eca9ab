#pragma once

#include "base/Records.h"

#include <QString>

#include <memory>

class QIODevice;

namespace platform {

// How handing a PDF file to the print system went.
struct PdfJobAnswer
{
    enum class Status {
        Sent,       // the whole document is in one job on the queue
        Refused,    // nothing is printed: the server refused the job
        ReadFailed  // the document could not be read to its end; nothing is printed
    };
    Status status = Status::Refused;
};

// The print system's own way of printing a PDF file as it is, with the settings the built-in engine's job
// would carry. Linux: one CUPS job on the preset's queue, the file streamed to the server, its pages placed
// by the server's filters as the engine places them (fitted to the printable area and centred, each page in
// its own orientation; with the driver's settings in the paper's orientation). Windows: none (Acrobat and the
// built-in engine print PDFs there).
class PdfJobSubmission
{
public:
    virtual ~PdfJobSubmission() = default;

    // False when this system has no such way.
    virtual bool available() const = 0;
    // Whether the printer ("queue" or "queue/instance") takes PDF documents that the print system formats for
    // it; false when it cannot be asked.
    virtual bool takesPdf(const QString &printerName) = 0;
    // Submits the document read from `pdf` (from its current position to its end, in chunks) as one job named
    // `title` on the preset's printer. The caller holds the printer settings scope for the preset (with one
    // copy in the saved settings): the job takes the queue's saved options as that scope has made them, with
    // the preset's copies.
    virtual PdfJobAnswer submit(QIODevice &pdf, const QString &title, const PrintPreset &preset) = 0;
};

// The process's instance, the system's own.
PdfJobSubmission &pdfJobSubmission();
// Defined once per platform (platform/win, platform/linux).
std::unique_ptr<PdfJobSubmission> createSystemPdfJobSubmission();

}  // namespace platform
