#include "printing/pdf/PdfEngine.h"

#include "platform/PdfiumLibrary.h"
#include "platform/PrintJobOptions.h"
#include "printing/PresetPrinter.h"
#include "printing/PrinterSettingsScope.h"

#include <QCoreApplication>
#include <QIODevice>
#include <QImage>
#include <QLibrary>
#include <QMutexLocker>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QRect>
#include <QStringList>

#include <cmath>
#include <cstddef>
#include <limits>

namespace {

// Serialises all PDFium use in the process.
QMutex pdfiumMutex;

// PDFium's opaque handles and the C signatures of the entry points used (public/fpdfview.h).
using FpdfDocument = void *;
using FpdfPage = void *;
using FpdfBitmap = void *;

using InitLibraryFn = void (*)();
using DestroyLibraryFn = void (*)();
using GetBlockFn = int (*)(void *, unsigned long, unsigned char *, unsigned long);
// FPDF_FILEACCESS: the file's length and how to read a block of it.
struct FpdfFileAccess
{
    unsigned long fileLength;
    GetBlockFn getBlock;
    void *param;
};
using LoadCustomDocumentFn = FpdfDocument (*)(FpdfFileAccess *, const char *);
using GetLastErrorFn = unsigned long (*)();
using GetPageCountFn = int (*)(FpdfDocument);
using LoadPageFn = FpdfPage (*)(FpdfDocument, int);
using GetPageSizeFn = float (*)(FpdfPage);
using ClosePageFn = void (*)(FpdfPage);
using CloseDocumentFn = void (*)(FpdfDocument);
using BitmapCreateFn = FpdfBitmap (*)(int, int, int);
using BitmapFillRectFn = int (*)(FpdfBitmap, int, int, int, int, unsigned long);
using BitmapGetBufferFn = void *(*)(FpdfBitmap);
using BitmapGetStrideFn = int (*)(FpdfBitmap);
using BitmapDestroyFn = void (*)(FpdfBitmap);
using RenderPageBitmapFn = void (*)(FpdfBitmap, FpdfPage, int, int, int, int, int, int);

constexpr int RenderAnnotations = 0x01;
constexpr int RenderGrayscale = 0x08;
constexpr int RenderPrinting = 0x800;
constexpr unsigned long OpaqueWhite = 0xFFFFFFFFul;

}  // namespace

// The library's entry points, resolved once per process.
class PdfiumApi
{
public:
    InitLibraryFn initLibrary = nullptr;
    DestroyLibraryFn destroyLibrary = nullptr;
    LoadCustomDocumentFn loadCustomDocument = nullptr;
    GetLastErrorFn getLastError = nullptr;
    GetPageCountFn getPageCount = nullptr;
    LoadPageFn loadPage = nullptr;
    GetPageSizeFn getPageWidthF = nullptr;
    GetPageSizeFn getPageHeightF = nullptr;
    ClosePageFn closePage = nullptr;
    CloseDocumentFn closeDocument = nullptr;
    BitmapCreateFn bitmapCreate = nullptr;
    BitmapFillRectFn bitmapFillRect = nullptr;
    BitmapGetBufferFn bitmapGetBuffer = nullptr;
    BitmapGetStrideFn bitmapGetStride = nullptr;
    BitmapDestroyFn bitmapDestroy = nullptr;
    RenderPageBitmapFn renderPageBitmap = nullptr;

    static PdfiumApi &instance()
    {
        static PdfiumApi api;
        return api;
    }

    ~PdfiumApi()
    {
        if (ready && destroyLibrary)
            destroyLibrary();
    }

    bool load(QString *error)
    {
        if (ready)
            return true;
        if (attempted) {
            if (error)
                *error = storedError;
            return false;
        }
        attempted = true;

        const QString fileName = platform::pdfiumLibraryFileName();
        const QString dir = QCoreApplication::applicationDirPath();
        // Beside the executable (the build folder, Windows), the private folder of an installed copy, the
        // folder the tests are given, and last the loader's own search path.
        const QStringList candidates = {
            dir + QLatin1Char('/') + fileName,
            dir + QLatin1Char('/') + platform::installedPdfiumFolder() + QLatin1Char('/') + fileName,
            dir + QStringLiteral("/../third_party/pdfium/bin/") + fileName, QStringLiteral("pdfium")};
        for (const QString &candidate : candidates) {
            library.setFileName(candidate);
            if (library.load())
                break;
        }
        if (!library.isLoaded()) {
            storedError = QStringLiteral("%1 was not found beside the application").arg(fileName);
            if (error)
                *error = storedError;
            return false;
        }

        const auto resolve = [this](auto &pointer, const char *name) {
            pointer = reinterpret_cast<std::remove_reference_t<decltype(pointer)>>(library.resolve(name));
            return pointer != nullptr;
        };
        const char *missing = nullptr;
        if (!resolve(initLibrary, "FPDF_InitLibrary"))
            missing = "FPDF_InitLibrary";
        else if (!resolve(destroyLibrary, "FPDF_DestroyLibrary"))
            missing = "FPDF_DestroyLibrary";
        else if (!resolve(loadCustomDocument, "FPDF_LoadCustomDocument"))
            missing = "FPDF_LoadCustomDocument";
        else if (!resolve(getLastError, "FPDF_GetLastError"))
            missing = "FPDF_GetLastError";
        else if (!resolve(getPageCount, "FPDF_GetPageCount"))
            missing = "FPDF_GetPageCount";
        else if (!resolve(loadPage, "FPDF_LoadPage"))
            missing = "FPDF_LoadPage";
        else if (!resolve(getPageWidthF, "FPDF_GetPageWidthF"))
            missing = "FPDF_GetPageWidthF";
        else if (!resolve(getPageHeightF, "FPDF_GetPageHeightF"))
            missing = "FPDF_GetPageHeightF";
        else if (!resolve(closePage, "FPDF_ClosePage"))
            missing = "FPDF_ClosePage";
        else if (!resolve(closeDocument, "FPDF_CloseDocument"))
            missing = "FPDF_CloseDocument";
        else if (!resolve(bitmapCreate, "FPDFBitmap_Create"))
            missing = "FPDFBitmap_Create";
        else if (!resolve(bitmapFillRect, "FPDFBitmap_FillRect"))
            missing = "FPDFBitmap_FillRect";
        else if (!resolve(bitmapGetBuffer, "FPDFBitmap_GetBuffer"))
            missing = "FPDFBitmap_GetBuffer";
        else if (!resolve(bitmapGetStride, "FPDFBitmap_GetStride"))
            missing = "FPDFBitmap_GetStride";
        else if (!resolve(bitmapDestroy, "FPDFBitmap_Destroy"))
            missing = "FPDFBitmap_Destroy";
        else if (!resolve(renderPageBitmap, "FPDF_RenderPageBitmap"))
            missing = "FPDF_RenderPageBitmap";
        if (missing)
            return fail(QStringLiteral("%1 does not export %2").arg(fileName, QLatin1String(missing)), error);

        initLibrary();
        ready = true;
        return true;
    }

private:
    PdfiumApi() = default;

    bool fail(const QString &message, QString *error)
    {
        storedError = message;
        initLibrary = nullptr;
        destroyLibrary = nullptr;
        library.unload();
        if (error)
            *error = storedError;
        return false;
    }

    QLibrary library;
    bool attempted = false;
    bool ready = false;
    QString storedError;
};

namespace {

// Closes a page or a bitmap on every way out of the block that obtained it.
template <typename Handle, typename Release> class HandleGuard
{
public:
    HandleGuard(Handle handle, Release release) : handle(handle), release(release) {}
    ~HandleGuard()
    {
        if (handle)
            release(handle);
    }
    HandleGuard(const HandleGuard &) = delete;
    HandleGuard &operator=(const HandleGuard &) = delete;
    Handle get() const { return handle; }

private:
    Handle handle;
    Release release;
};

QString pdfiumError(unsigned long code)
{
    switch (code) {
    case 0:
        return QStringLiteral("no error");
    case 1:
        return QStringLiteral("unknown PDFium error");
    case 2:
        return QStringLiteral("the PDF file could not be read");
    case 3:
        return QStringLiteral("the PDF format is invalid or corrupt");
    case 4:
        return QStringLiteral("the PDF is password protected");
    case 5:
        return QStringLiteral("the PDF security settings are unsupported");
    case 6:
        return QStringLiteral("a PDF page could not be loaded");
    default:
        return QStringLiteral("PDFium error %1").arg(code);
    }
}

void configurePrinterPage(QPrinter &printer, const PrintPreset &preset, float widthPoints, float heightPoints)
{
    if (preset.useDriverSettings)
        return;
    printer.setPageSize(pageSizeForName(preset.paperSize));
    printer.setPageOrientation(widthPoints > heightPoints ? QPageLayout::Landscape : QPageLayout::Portrait);
}

// The page is drawn on the whole area the printer can print on (its paper's printable area), where a print
// system that places a PDF's pages itself fits them too.
void usePrintableArea(QPrinter &printer)
{
    const QPageLayout layout = printer.pageLayout();
    printer.setPageMargins(layout.minimumMargins(), layout.units());
}

}  // namespace

QSize PdfEngineDocument::renderSize(float widthPoints, float heightPoints, int printerDpi)
{
    const float dpi = float(qBound(144, printerDpi, 300));
    const int width = qMax(1, int(std::ceil(dpi * widthPoints / 72.0f)));
    const int height = qMax(1, int(std::ceil(dpi * heightPoints / 72.0f)));
    QSize size(width, height);
    if (size.width() > 5000 || size.height() > 5000)
        size = size.scaled(5000, 5000, Qt::KeepAspectRatio);
    return size;
}

int PdfEngineDocument::renderFlags(const PrintPreset &preset)
{
    int flags = RenderAnnotations | RenderPrinting;
    if (preset.colorMode != ColorMode::Color)
        flags |= RenderGrayscale;
    return flags;
}

struct PdfEngineDocument::FileAccess
{
    QIODevice &file;
    FpdfFileAccess access;

    explicit FileAccess(QIODevice &file) : file(file), access{0, &FileAccess::getBlock, this} {}

    static int getBlock(void *param, unsigned long position, unsigned char *buffer, unsigned long size)
    {
        QIODevice &file = static_cast<FileAccess *>(param)->file;
        return file.seek(qint64(position)) &&
               file.read(reinterpret_cast<char *>(buffer), qint64(size)) == qint64(size);
    }
};

PdfEngineDocument::PdfEngineDocument(QIODevice &file)
    : lock(&pdfiumMutex), api(PdfiumApi::instance()), access(std::make_unique<FileAccess>(file))
{
    if (!api.load(&failure))
        return;
    const qint64 size = file.size();
    if (size <= 0) {
        failure = QStringLiteral("the PDF file is empty");
        return;
    }
    if (quint64(size) > std::numeric_limits<unsigned long>::max()) {
        failure = pdfiumError(2);
        return;
    }
    access->access.fileLength = static_cast<unsigned long>(size);
    document = api.loadCustomDocument(&access->access, nullptr);
    if (!document) {
        failure = pdfiumError(api.getLastError());
        return;
    }
    pages = api.getPageCount(document);
    if (pages <= 0) {
        pages = 0;
        failure = QStringLiteral("the PDF contains no printable pages");
    }
}

PdfEngineDocument::~PdfEngineDocument()
{
    if (document)
        api.closeDocument(document);
}

QString PdfEngineDocument::print(const PrintPreset &preset)
{
    if (!failure.isEmpty())
        return failure;

    float firstWidth = 0;
    float firstHeight = 0;
    {
        HandleGuard firstPage(api.loadPage(document, 0), api.closePage);
        if (!firstPage.get())
            return pdfiumError(api.getLastError());
        firstWidth = api.getPageWidthF(firstPage.get());
        firstHeight = api.getPageHeightF(firstPage.get());
    }
    if (firstWidth <= 0 || firstHeight <= 0)
        return QStringLiteral("the first PDF page has an invalid size");

    QPrinter printer(QPrinter::HighResolution);
    applyPresetToPrinter(printer, preset);
    configurePrinterPage(printer, preset, firstWidth, firstHeight);
    // Qt turns a printer it does not know into a PDF writer without a file: that is no printer either.
    if (!printer.isValid() || printer.outputFormat() != QPrinter::NativeFormat)
        return QStringLiteral("printer unavailable: %1").arg(preset.printerName);
    platform::printJobOptions().prepare(printer, preset.useDriverSettings);
    usePrintableArea(printer);

    QPainter painter;
    if (!painter.begin(&printer))
        return QStringLiteral("the PDF print job could not be created");
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const int flags = renderFlags(preset);

    // Ends the job with the pages drawn so far when a page fails.
    const auto failPage = [&painter](const QString &text) {
        painter.end();
        return text;
    };

    for (int index = 0; index < pages; ++index) {
        const int number = index + 1;
        HandleGuard page(api.loadPage(document, index), api.closePage);
        if (!page.get())
            return failPage(QStringLiteral("page %1: %2").arg(number).arg(pdfiumError(api.getLastError())));
        const float width = api.getPageWidthF(page.get());
        const float height = api.getPageHeightF(page.get());
        if (width <= 0 || height <= 0)
            return failPage(QStringLiteral("page %1 has an invalid size").arg(number));
        if (index > 0) {
            configurePrinterPage(printer, preset, width, height);
            usePrintableArea(printer);
            if (!printer.newPage())
                return failPage(QStringLiteral("the printer rejected page %1").arg(number));
        }

        const QSize size = renderSize(width, height, printer.resolution());
        HandleGuard bitmap(api.bitmapCreate(size.width(), size.height(), 1), api.bitmapDestroy);
        if (!bitmap.get())
            return failPage(QStringLiteral("PDFium could not allocate page %1").arg(number));
        api.bitmapFillRect(bitmap.get(), 0, 0, size.width(), size.height(), OpaqueWhite);
        api.renderPageBitmap(bitmap.get(), page.get(), 0, 0, size.width(), size.height(), 0, flags);

        auto *buffer = static_cast<uchar *>(api.bitmapGetBuffer(bitmap.get()));
        const int stride = api.bitmapGetStride(bitmap.get());
        if (!buffer || stride < 4 * size.width())
            return failPage(QStringLiteral("PDFium returned an invalid bitmap for page %1").arg(number));
        const QImage image(buffer, size.width(), size.height(), stride, QImage::Format_ARGB32);

        const QRect paintRect = printer.pageLayout().paintRectPixels(printer.resolution());
        painter.drawImage(centredTarget(paintRect, image.size()), image);
    }
    return painter.end() ? QString() : QStringLiteral("the PDF print job could not be finished");
}
