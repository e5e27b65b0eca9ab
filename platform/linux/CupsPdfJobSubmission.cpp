// PDF files on Linux: one CUPS job (IPP Print-Job) with the document streamed to the server, whose filters
// (cups-filters' pdftopdf) place the pages on the paper.
#include "platform/PdfJobSubmission.h"

#include "platform/linux/CupsQueue.h"
#include "platform/linux/SavedJobOptions.h"

#include <QIODevice>
#include <QStringList>

#include <cups/cups.h>

#include <memory>

namespace platform {
namespace {

constexpr qint64 chunkSize = 64 * 1024;

// Saved options that the job sets itself: the copies, and whatever would place the pages otherwise than the
// built-in engine does (scaling, position, orientation).
bool setByTheJob(const QString &name)
{
    static const QStringList names = {
        QStringLiteral("copies"),        QStringLiteral("orientation-requested"), QStringLiteral("landscape"),
        QStringLiteral("print-scaling"), QStringLiteral("fit-to-page"),           QStringLiteral("fitplot"),
        QStringLiteral("scaling"),       QStringLiteral("natural-scaling"),       QStringLiteral("position"),
        QStringLiteral("pdfAutoRotate"), QStringLiteral("nopdfAutoRotate")};
    return names.contains(name, Qt::CaseInsensitive);
}

class JobOptions
{
public:
    JobOptions() = default;
    ~JobOptions() { cupsFreeOptions(count, options); }
    JobOptions(const JobOptions &) = delete;
    JobOptions &operator=(const JobOptions &) = delete;

    void add(const QString &name, const QString &value)
    {
        count = cupsAddOption(name.toUtf8().constData(), value.toUtf8().constData(), count, &options);
    }
    bool has(const char *name) const { return cupsGetOption(name, count, options) != nullptr; }
    void encodeInto(ipp_t *request) const
    {
        cupsEncodeOptions2(request, count, options, IPP_TAG_OPERATION);
        cupsEncodeOptions2(request, count, options, IPP_TAG_JOB);
    }

private:
    int count = 0;
    cups_option_t *options = nullptr;
};

struct IppDeleter
{
    void operator()(ipp_t *ipp) const { ippDelete(ipp); }
};

// The job's options: the queue's saved options as the settings switch has made them (the preset's paper,
// sides and colour, or the user's own settings), the preset's copies, and the engine's placement: each page
// fitted to the printable area and centred, turned to the paper's orientation when it is the other way round
// (with the driver's settings the engine keeps every page upright on the paper, and so does the job).
void buildOptions(JobOptions &job, const PrintPreset &preset)
{
    for (const CupsOption &saved : savedJobOptions(preset.printerName)) {
        if (!setByTheJob(saved.first))
            job.add(saved.first, saved.second);
    }
    const int copies = qBound(1, preset.copies, 9999);
    job.add(QStringLiteral("copies"), QString::number(copies));
    if (copies > 1 && !job.has("collate"))
        job.add(QStringLiteral("collate"), QStringLiteral("true"));
    job.add(QStringLiteral("print-scaling"), QStringLiteral("fit"));
    if (preset.useDriverSettings)
        job.add(QStringLiteral("pdfAutoRotate"), QStringLiteral("false"));
}

class CupsPdfJobSubmission final : public PdfJobSubmission
{
public:
    bool available() const override { return true; }

    bool takesPdf(const QString &printerName) override
    {
        CupsQueueInfo info;
        return cupsQueueInfo(printerName.section(QLatin1Char('/'), 0, 0), &info, nullptr) &&
               info.formatsPdf();
    }

    PdfJobAnswer submit(QIODevice &pdf, const QString &title, const PrintPreset &preset) override
    {
        PdfJobAnswer answer;
        const QString queue = preset.printerName.section(QLatin1Char('/'), 0, 0);
        JobOptions options;
        buildOptions(options, preset);
        ipp_t *request = ippNewRequest(IPP_OP_PRINT_JOB);
        const std::unique_ptr<ipp_t, IppDeleter> owned(request);
        ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
                     cupsPrinterUri(queue).constData());
        ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
        ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "job-name", nullptr,
                     title.toUtf8().constData());
        ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_MIMETYPE, "document-format", nullptr,
                     CUPS_FORMAT_PDF);
        options.encodeInto(request);

        // A request that ends before its last chunk is dropped by the server: a document that cannot be read
        // to its end makes no job.
        CupsConnection connection;
        if (!connection.isOpen())
            return answer;
        const QByteArray resource = "/printers/" + queue.toUtf8();
        http_status_t status =
            cupsSendRequest(connection.http(), request, resource.constData(), CUPS_LENGTH_VARIABLE);
        // No more bytes than the file held when the job began.
        const qint64 expected = pdf.size() - pdf.pos();
        qint64 sent = 0;
        QByteArray chunk(int(chunkSize), Qt::Uninitialized);
        while (status == HTTP_STATUS_CONTINUE && sent < expected) {
            const qint64 read = pdf.read(chunk.data(), qMin(chunkSize, expected - sent));
            if (read <= 0) {
                answer.status = PdfJobAnswer::Status::ReadFailed;
                return answer;
            }
            sent += read;
            status = cupsWriteRequestData(connection.http(), chunk.constData(), size_t(read));
        }
        if (status != HTTP_STATUS_CONTINUE)
            return answer;
        const std::unique_ptr<ipp_t, IppDeleter> response(
            cupsGetResponse(connection.http(), resource.constData()));
        if (!response || cupsLastError() > IPP_STATUS_OK_EVENTS_COMPLETE)
            return answer;
        answer.status = PdfJobAnswer::Status::Sent;
        return answer;
    }
};

}  // namespace

std::unique_ptr<PdfJobSubmission> createSystemPdfJobSubmission()
{
    return std::make_unique<CupsPdfJobSubmission>();
}

}  // namespace platform
