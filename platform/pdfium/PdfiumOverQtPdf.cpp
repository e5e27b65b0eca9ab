// The PDFium entry points used by the built-in PDF engine, with PDFium's own C signatures
// (public/fpdfview.h), implemented over QtPdf. QtPdf runs PDFium inside but keeps its symbols to itself; this
// library gives the engine the same functions it resolves from pdfium.dll on Windows.
//
// Documents are read from the caller's memory without a copy, or block by block through the caller's file
// access (the caller keeps the buffer or the file alive until FPDF_CloseDocument, as PDFium requires).
// Bitmaps are 32-bit BGRA, top line first, 4 * width bytes a line.

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QPainter>
#include <QPdfDocument>
#include <QPdfDocumentRenderOptions>
#include <QSizeF>

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <malloc.h>
#include <memory>
#include <mutex>
#include <new>

#define OLLAVAN_PDFIUM_EXPORT extern "C" __attribute__((visibility("default")))

typedef struct fpdf_document_t__ *FPDF_DOCUMENT;
typedef struct fpdf_page_t__ *FPDF_PAGE;
typedef struct fpdf_bitmap_t__ *FPDF_BITMAP;
typedef const char *FPDF_BYTESTRING;
typedef int FPDF_BOOL;
typedef unsigned long FPDF_DWORD;

typedef struct FPDF_FILEACCESS_
{
    unsigned long m_FileLen;
    int (*m_GetBlock)(void *param, unsigned long position, unsigned char *pBuf, unsigned long size);
    void *m_Param;
} FPDF_FILEACCESS;

namespace {

// PDFium's error codes (FPDF_ERR_*).
enum : unsigned long {
    ErrSuccess = 0,
    ErrUnknown = 1,
    ErrFile = 2,
    ErrFormat = 3,
    ErrPassword = 4,
    ErrSecurity = 5,
    ErrPage = 6
};

// PDFium's rendering flags that have a QtPdf counterpart.
enum : int {
    FlagAnnot = 0x01,
    FlagLcdText = 0x02,
    FlagGrayscale = 0x08,
    FlagReverseByteOrder = 0x10,
    FlagForceHalftone = 0x400,
    FlagNoSmoothText = 0x1000,
    FlagNoSmoothImage = 0x2000,
    FlagNoSmoothPath = 0x4000
};

std::atomic<unsigned long> lastError{ErrSuccess};

// Bytes of one rendered band (see FPDF_RenderPageBitmap): a whole A4 page at 300 dpi is one band, since every
// band loads the page again (images are decoded again); only the largest bitmaps are split.
constexpr size_t BandBytes = 48 * 1024 * 1024;

// QtPdf renders each page into a fresh image of tens of megabytes. Served by mmap, every page would map and
// fault in new memory, which costs more than rendering a page of text; while a page renders, allocations come
// from the heap instead, where the previous page's image is reused. Outside rendering, large allocations
// (the print engine's image copies) are mapped and returned at once, as usual.
constexpr int RenderingMappedAllocationBytes = 512 * 1024 * 1024;
constexpr int MappedAllocationBytes = 4 * 1024 * 1024;
constexpr int RetainedHeapBytes = 256 * 1024 * 1024;

class HeapServedScope
{
public:
    HeapServedScope() { mallopt(M_MMAP_THRESHOLD, RenderingMappedAllocationBytes); }
    ~HeapServedScope() { mallopt(M_MMAP_THRESHOLD, MappedAllocationBytes); }
    HeapServedScope(const HeapServedScope &) = delete;
    HeapServedScope &operator=(const HeapServedScope &) = delete;
};

// The caller's file access as a random-access device: every read asks the caller for the block.
class FileAccessDevice final : public QIODevice
{
public:
    explicit FileAccessDevice(const FPDF_FILEACCESS &access) : access(access) {}
    bool isSequential() const override { return false; }
    qint64 size() const override { return qint64(access.m_FileLen); }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        const qint64 length = qMin(maxSize, size() - pos());
        if (length <= 0)
            return 0;
        if (!access.m_GetBlock(access.m_Param, static_cast<unsigned long>(pos()),
                               reinterpret_cast<unsigned char *>(data), static_cast<unsigned long>(length)))
            return -1;
        return length;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    const FPDF_FILEACCESS access;
};

struct Document
{
    QByteArray bytes;  // shares the caller's memory (fromRawData), when the document is in memory
    std::unique_ptr<QIODevice> device;
    QPdfDocument pdf;
};

struct Page
{
    Document *document = nullptr;
    int index = 0;
    QSizeF size;  // points, with the page's rotation applied
};

// One page-sized buffer kept after its bitmap is destroyed, so that rendering page after page does not map
// and fault in fresh memory for every page. Released when a document is closed.
class SpareBuffer
{
public:
    uchar *take(size_t bytes)
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (!data || size < bytes || size > bytes + bytes / 4)
            return nullptr;
        uchar *taken = data;
        data = nullptr;
        size = 0;
        return taken;
    }
    void give(uchar *buffer, size_t bytes)
    {
        uchar *dropped = buffer;
        {
            std::lock_guard<std::mutex> lock(mutex);
            if (!data && bytes >= MinimumBytes) {
                data = buffer;
                size = bytes;
                dropped = nullptr;
            }
        }
        std::free(dropped);
    }
    void release()
    {
        std::lock_guard<std::mutex> lock(mutex);
        std::free(data);
        data = nullptr;
        size = 0;
    }

private:
    static constexpr size_t MinimumBytes = 1 << 20;
    std::mutex mutex;
    uchar *data = nullptr;
    size_t size = 0;
};

SpareBuffer spareBuffer;

// A bitmap's pixels come into being when they are first needed. A fill of the whole bitmap is only noted
// until then; a page rendered over such a fill with one band takes QtPdf's own page image as the bitmap's
// pixels and lays the fill under it there, so that the page is not copied once more.
struct Bitmap
{
    int width = 0;
    int height = 0;
    int stride = 0;
    bool alpha = false;
    uchar *buffer = nullptr;  // the pixels, when they exist: owned (spare buffer, malloc) or the page's image
    size_t bytes = 0;
    QImage page;  // QtPdf's page image, when it became the pixels
    bool filled = false;
    quint32 fill = 0;  // the noted fill of the whole bitmap, while there are no pixels
    ~Bitmap()
    {
        if (buffer && page.isNull())
            spareBuffer.give(buffer, bytes);
    }
    // Makes the pixels, with the noted fill; false when there is no memory for them.
    bool materialize()
    {
        if (buffer)
            return true;
        buffer = spareBuffer.take(bytes);
        if (!buffer)
            buffer = static_cast<uchar *>(std::malloc(bytes));
        if (!buffer)
            return false;
        if (filled)
            std::fill_n(reinterpret_cast<quint32 *>(buffer), bytes / 4, fill);
        return true;
    }
};

// Lays an opaque colour under one pixel of straight (not premultiplied) alpha.
inline quint32 laidUnder(quint32 value, quint32 colour)
{
    const quint32 a = value >> 24, under = 0xFF - a;
    const auto mix = [&](int shift) {
        return (((value >> shift) & 0xFF) * a + ((colour >> shift) & 0xFF) * under + 127) / 255 << shift;
    };
    return 0xFF000000u | mix(16) | mix(8) | mix(0);
}

// Lays an opaque colour under an image of straight alpha, in place. Pages are mostly clear or opaque: two
// pixels at a time, clear ones take the colour and opaque ones stay.
void layUnder(QImage &image, quint32 colour)
{
    const quint64 pair = quint64(colour) << 32 | colour;
    const quint64 opaque = 0xFF000000FF000000ull;
    for (int y = 0; y < image.height(); ++y) {
        auto *pixels = reinterpret_cast<quint32 *>(image.scanLine(y));
        const int width = image.width();
        int x = 0;
        for (; x + 1 < width; x += 2) {
            quint64 two;
            std::memcpy(&two, pixels + x, sizeof two);
            if (two == 0) {
                std::memcpy(pixels + x, &pair, sizeof pair);
            } else if ((two & opaque) != opaque) {
                pixels[x] = laidUnder(pixels[x], colour);
                pixels[x + 1] = laidUnder(pixels[x + 1], colour);
            }
        }
        if (x < width)
            pixels[x] = laidUnder(pixels[x], colour);
    }
}

unsigned long errorCodeFor(QPdfDocument::Error error)
{
    switch (error) {
    case QPdfDocument::Error::None:
        return ErrSuccess;
    case QPdfDocument::Error::FileNotFound:
        return ErrFile;
    case QPdfDocument::Error::InvalidFileFormat:
    case QPdfDocument::Error::DataNotYetAvailable:  // all bytes are there: the file ends too early
        return ErrFormat;
    case QPdfDocument::Error::IncorrectPassword:
        return ErrPassword;
    case QPdfDocument::Error::UnsupportedSecurityScheme:
        return ErrSecurity;
    case QPdfDocument::Error::Unknown:
        break;
    }
    return ErrUnknown;
}

QPdfDocumentRenderOptions renderOptions(int rotate, int flags)
{
    QPdfDocumentRenderOptions options;
    switch (rotate) {
    case 1:
        options.setRotation(QPdfDocumentRenderOptions::Rotation::Clockwise90);
        break;
    case 2:
        options.setRotation(QPdfDocumentRenderOptions::Rotation::Clockwise180);
        break;
    case 3:
        options.setRotation(QPdfDocumentRenderOptions::Rotation::Clockwise270);
        break;
    default:
        options.setRotation(QPdfDocumentRenderOptions::Rotation::None);
        break;
    }
    QPdfDocumentRenderOptions::RenderFlags renderFlags;
    if (flags & FlagAnnot)
        renderFlags |= QPdfDocumentRenderOptions::RenderFlag::Annotations;
    if (flags & FlagLcdText)
        renderFlags |= QPdfDocumentRenderOptions::RenderFlag::OptimizedForLcd;
    if (flags & FlagGrayscale)
        renderFlags |= QPdfDocumentRenderOptions::RenderFlag::Grayscale;
    if (flags & FlagForceHalftone)
        renderFlags |= QPdfDocumentRenderOptions::RenderFlag::ForceHalftone;
    if (flags & FlagNoSmoothText)
        renderFlags |= QPdfDocumentRenderOptions::RenderFlag::TextAliased;
    if (flags & FlagNoSmoothImage)
        renderFlags |= QPdfDocumentRenderOptions::RenderFlag::ImageAliased;
    if (flags & FlagNoSmoothPath)
        renderFlags |= QPdfDocumentRenderOptions::RenderFlag::PathAliased;
    options.setRenderFlags(renderFlags);
    return options;
}

// A view of the bitmap's own memory as a QImage (BGRA in memory is ARGB32 on little-endian machines). Pages
// are painted over an opaque fill, where premultiplied and plain ARGB are the same bytes; the premultiplied
// view lets the painter blend without converting every pixel.
QImage imageOver(Bitmap *bitmap)
{
    return QImage(bitmap->buffer, bitmap->width, bitmap->height, bitmap->stride,
                  bitmap->alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
}

}  // namespace

OLLAVAN_PDFIUM_EXPORT void FPDF_InitLibrary(void)
{
    // Freed page images stay in the heap for the next page until the document is closed.
    mallopt(M_TRIM_THRESHOLD, RetainedHeapBytes);
    mallopt(M_MMAP_THRESHOLD, MappedAllocationBytes);
    // QtPdf initialises its PDFium on first use and keeps it for the life of the process.
    lastError = ErrSuccess;
}

OLLAVAN_PDFIUM_EXPORT void FPDF_DestroyLibrary(void)
{
    spareBuffer.release();
}

namespace {

// Loads the document from its device.
FPDF_DOCUMENT loadDocument(std::unique_ptr<Document> document, FPDF_BYTESTRING password)
{
    // Unbuffered, so that a read starts where the device stands (the caller's blocks are read as asked).
    if (!document->device->open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        lastError = ErrFile;
        return nullptr;
    }
    if (password)
        document->pdf.setPassword(QString::fromUtf8(password));
    document->pdf.load(document->device.get());
    // A random-access device with every byte present loads synchronously; a document still "loading"
    // afterwards is one whose structure ends before the data does.
    if (document->pdf.status() != QPdfDocument::Status::Ready) {
        const QPdfDocument::Error error = document->pdf.error();
        lastError = error == QPdfDocument::Error::None ? ErrFormat : errorCodeFor(error);
        return nullptr;
    }
    lastError = ErrSuccess;
    return reinterpret_cast<FPDF_DOCUMENT>(document.release());
}

}  // namespace

OLLAVAN_PDFIUM_EXPORT FPDF_DOCUMENT FPDF_LoadMemDocument64(const void *data_buf, size_t size,
                                                           FPDF_BYTESTRING password)
{
    if (!data_buf || size == 0 || size > size_t(std::numeric_limits<qsizetype>::max())) {
        lastError = ErrFormat;
        return nullptr;
    }
    auto document = std::unique_ptr<Document>(new (std::nothrow) Document);
    auto *buffer = new (std::nothrow) QBuffer;
    if (!document || !buffer) {
        delete buffer;
        lastError = ErrUnknown;
        return nullptr;
    }
    document->bytes = QByteArray::fromRawData(static_cast<const char *>(data_buf), qsizetype(size));
    buffer->setBuffer(&document->bytes);
    document->device.reset(buffer);
    return loadDocument(std::move(document), password);
}

OLLAVAN_PDFIUM_EXPORT FPDF_DOCUMENT FPDF_LoadCustomDocument(FPDF_FILEACCESS *pFileAccess,
                                                            FPDF_BYTESTRING password)
{
    if (!pFileAccess || !pFileAccess->m_GetBlock || pFileAccess->m_FileLen == 0) {
        lastError = ErrFormat;
        return nullptr;
    }
    auto document = std::unique_ptr<Document>(new (std::nothrow) Document);
    if (!document) {
        lastError = ErrUnknown;
        return nullptr;
    }
    document->device = std::make_unique<FileAccessDevice>(*pFileAccess);
    return loadDocument(std::move(document), password);
}

OLLAVAN_PDFIUM_EXPORT unsigned long FPDF_GetLastError(void)
{
    return lastError;
}

OLLAVAN_PDFIUM_EXPORT int FPDF_GetPageCount(FPDF_DOCUMENT document)
{
    if (!document)
        return 0;
    return reinterpret_cast<Document *>(document)->pdf.pageCount();
}

OLLAVAN_PDFIUM_EXPORT FPDF_PAGE FPDF_LoadPage(FPDF_DOCUMENT document, int page_index)
{
    if (!document) {
        lastError = ErrUnknown;
        return nullptr;
    }
    auto *doc = reinterpret_cast<Document *>(document);
    if (page_index < 0 || page_index >= doc->pdf.pageCount()) {
        lastError = ErrPage;
        return nullptr;
    }
    const QSizeF size = doc->pdf.pagePointSize(page_index);
    if (!size.isValid()) {
        lastError = ErrPage;
        return nullptr;
    }
    auto *page = new (std::nothrow) Page;
    if (!page) {
        lastError = ErrUnknown;
        return nullptr;
    }
    page->document = doc;
    page->index = page_index;
    page->size = size;
    return reinterpret_cast<FPDF_PAGE>(page);
}

OLLAVAN_PDFIUM_EXPORT float FPDF_GetPageWidthF(FPDF_PAGE page)
{
    return page ? float(reinterpret_cast<Page *>(page)->size.width()) : 0.0f;
}

OLLAVAN_PDFIUM_EXPORT float FPDF_GetPageHeightF(FPDF_PAGE page)
{
    return page ? float(reinterpret_cast<Page *>(page)->size.height()) : 0.0f;
}

OLLAVAN_PDFIUM_EXPORT void FPDF_ClosePage(FPDF_PAGE page)
{
    delete reinterpret_cast<Page *>(page);
}

OLLAVAN_PDFIUM_EXPORT void FPDF_CloseDocument(FPDF_DOCUMENT document)
{
    delete reinterpret_cast<Document *>(document);
    spareBuffer.release();
    malloc_trim(0);
}

OLLAVAN_PDFIUM_EXPORT FPDF_BITMAP FPDFBitmap_Create(int width, int height, int alpha)
{
    if (width <= 0 || height <= 0 || width > (std::numeric_limits<int>::max() / 4))
        return nullptr;
    const size_t stride = size_t(width) * 4;
    auto *bitmap = new (std::nothrow) Bitmap;
    if (!bitmap)
        return nullptr;
    bitmap->bytes = stride * size_t(height);
    bitmap->width = width;
    bitmap->height = height;
    bitmap->stride = int(stride);
    bitmap->alpha = alpha != 0;
    return reinterpret_cast<FPDF_BITMAP>(bitmap);
}

OLLAVAN_PDFIUM_EXPORT FPDF_BOOL FPDFBitmap_FillRect(FPDF_BITMAP bitmap, int left, int top, int width,
                                                    int height, FPDF_DWORD color)
{
    if (!bitmap)
        return 0;
    auto *b = reinterpret_cast<Bitmap *>(bitmap);
    const QRect area = QRect(left, top, width, height).intersected(QRect(0, 0, b->width, b->height));
    if (area.isEmpty())
        return 1;
    quint32 value = quint32(color);
    if (!b->alpha)
        value |= 0xFF000000u;
    if (area == QRect(0, 0, b->width, b->height) && (!b->buffer || !b->page.isNull())) {
        b->page = QImage();
        b->buffer = nullptr;
        b->filled = true;
        b->fill = value;
        return 1;
    }
    if (!b->materialize())
        return 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        auto *line = reinterpret_cast<quint32 *>(b->buffer + size_t(y) * size_t(b->stride));
        std::fill(line + area.left(), line + area.left() + area.width(), value);
    }
    return 1;
}

OLLAVAN_PDFIUM_EXPORT void *FPDFBitmap_GetBuffer(FPDF_BITMAP bitmap)
{
    auto *b = reinterpret_cast<Bitmap *>(bitmap);
    return b && b->materialize() ? b->buffer : nullptr;
}

#ifndef OLLAVAN_PDFIUM_OMIT_GETSTRIDE
OLLAVAN_PDFIUM_EXPORT int FPDFBitmap_GetStride(FPDF_BITMAP bitmap)
{
    return bitmap ? reinterpret_cast<Bitmap *>(bitmap)->stride : 0;
}
#endif

OLLAVAN_PDFIUM_EXPORT void FPDFBitmap_Destroy(FPDF_BITMAP bitmap)
{
    delete reinterpret_cast<Bitmap *>(bitmap);
}

OLLAVAN_PDFIUM_EXPORT void FPDF_RenderPageBitmap(FPDF_BITMAP bitmap, FPDF_PAGE page, int start_x, int start_y,
                                                 int size_x, int size_y, int rotate, int flags)
{
    if (!bitmap || !page || size_x <= 0 || size_y <= 0)
        return;
    auto *b = reinterpret_cast<Bitmap *>(bitmap);
    auto *p = reinterpret_cast<Page *>(page);

    // PDFium paints the page over what the bitmap holds (typically the caller's white fill). The page is
    // rendered in bands of the bitmap's visible part: each band's image is small enough to be reused from the
    // heap and to stay in the cache while it is drawn, where a whole-page image would be freshly mapped
    // memory.
    const QRect visible =
        QRect(start_x, start_y, size_x, size_y).intersected(QRect(0, 0, b->width, b->height));
    if (visible.isEmpty())
        return;
    const int bandHeight = qMax(16, int(BandBytes / (size_t(size_x) * 4)));
    HeapServedScope heapServed;
    // The whole bitmap in one band over an opaque fill that is only noted: the page image becomes the pixels.
    const bool whole = visible == QRect(0, 0, b->width, b->height) && visible.size() == QSize(size_x, size_y);
    if (whole && !b->buffer && b->filled && (b->fill >> 24) == 0xFF && visible.height() <= bandHeight) {
        QPdfDocumentRenderOptions options = renderOptions(rotate & 3, flags);
        options.setScaledSize(QSize(size_x, size_y));
        QImage rendered = p->document->pdf.render(p->index, visible.size(), options);
        if (rendered.format() != QImage::Format_ARGB32)
            rendered = std::move(rendered).convertToFormat(QImage::Format_ARGB32);
        if (rendered.size() != visible.size() || rendered.bytesPerLine() != b->stride)
            return;
        if (flags & FlagReverseByteOrder)
            rendered = std::move(rendered).rgbSwapped();
        layUnder(rendered, b->fill);
        b->page = std::move(rendered);
        b->buffer = b->page.bits();
        return;
    }
    if (!b->materialize())
        return;
    QImage target = imageOver(b);
    QPainter painter(&target);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    for (int top = visible.top(); top <= visible.bottom(); top += bandHeight) {
        const QRect band(visible.left(), top, visible.width(), qMin(bandHeight, visible.bottom() + 1 - top));
        QPdfDocumentRenderOptions options = renderOptions(rotate & 3, flags);
        options.setScaledSize(QSize(size_x, size_y));
        options.setScaledClipRect(band.translated(-start_x, -start_y));
        QImage rendered = p->document->pdf.render(p->index, band.size(), options);
        if (rendered.isNull())
            return;
        if (flags & FlagReverseByteOrder)
            rendered = std::move(rendered).rgbSwapped();
        painter.drawImage(band.topLeft(), rendered);
    }
}
