#include "base/PngDecoder.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>
#include <QtEndian>

#include <array>
#include <cstdlib>
#include <cstring>

namespace {

constexpr char Signature[] = "\x89PNG\r\n\x1a\n";
constexpr int SignatureSize = 8;
constexpr quint32 MaxSide = 16384;
// The size of the inflated, filtered image data; larger images are left to Qt's reader.
constexpr qint64 MaxImageBytes = qint64(256) * 1024 * 1024;

enum ColorType { Grey = 0, Rgb = 2, Palette = 3, GreyAlpha = 4, RgbAlpha = 6 };

bool fail(QString *errorText, const QString &text)
{
    if (errorText)
        *errorText = text;
    return false;
}

quint32 crc32(const char *data, qsizetype size)
{
    static const std::array<quint32, 256> table = [] {
        std::array<quint32, 256> entries{};
        for (quint32 n = 0; n < 256; ++n) {
            quint32 c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xedb88320u ^ (c >> 1) : c >> 1;
            entries[n] = c;
        }
        return entries;
    }();
    quint32 crc = 0xffffffffu;
    for (qsizetype i = 0; i < size; ++i)
        crc = table[(crc ^ uchar(data[i])) & 0xff] ^ (crc >> 8);
    return crc ^ 0xffffffffu;
}

struct Header
{
    quint32 width = 0;
    quint32 height = 0;
    int bitDepth = 0;
    int colorType = 0;
    int interlace = 0;
};

int channelCount(int colorType)
{
    switch (colorType) {
    case Grey:
    case Palette:
        return 1;
    case GreyAlpha:
        return 2;
    case Rgb:
        return 3;
    case RgbAlpha:
        return 4;
    default:
        return 0;
    }
}

struct Chunks
{
    Header header;
    QByteArray imageData;  // the IDAT chunks joined: one zlib stream
    QList<QRgb> palette;
    QByteArray transparency;
};

bool readHeader(const uchar *body, quint32 length, Header *header, QString *errorText)
{
    if (length != 13)
        return fail(errorText, QStringLiteral("PNG header has the wrong length"));
    header->width = qFromBigEndian<quint32>(body);
    header->height = qFromBigEndian<quint32>(body + 4);
    header->bitDepth = body[8];
    header->colorType = body[9];
    header->interlace = body[12];
    if (header->width == 0 || header->height == 0)
        return fail(errorText, QStringLiteral("PNG image is empty"));
    if (header->width > MaxSide || header->height > MaxSide)
        return fail(errorText, QStringLiteral("PNG image is too large"));
    if (channelCount(header->colorType) == 0 || body[10] != 0 || body[11] != 0)
        return fail(errorText, QStringLiteral("PNG header is damaged"));
    if (header->bitDepth != 8)
        return fail(
            errorText,
            QStringLiteral("PNG images with %1 bits per sample are not supported").arg(header->bitDepth));
    if (header->interlace != 0)
        return fail(errorText, QStringLiteral("interlaced PNG images are not supported"));
    return true;
}

bool readChunks(const QByteArray &data, Chunks *chunks, QString *errorText)
{
    if (data.size() < SignatureSize || std::memcmp(data.constData(), Signature, SignatureSize) != 0)
        return fail(errorText, QStringLiteral("not PNG data"));
    qsizetype position = SignatureSize;
    bool haveHeader = false;
    bool inImageData = false;
    bool imageDataEnded = false;
    for (;;) {
        if (data.size() - position < 12)
            return fail(errorText, QStringLiteral("PNG data ends early"));
        const auto *chunk = reinterpret_cast<const uchar *>(data.constData() + position);
        const quint32 length = qFromBigEndian<quint32>(chunk);
        if (length > quint32(data.size() - position - 12))
            return fail(errorText, QStringLiteral("PNG data ends early"));
        const QByteArray type(reinterpret_cast<const char *>(chunk + 4), 4);
        const uchar *body = chunk + 8;
        if (crc32(reinterpret_cast<const char *>(chunk + 4), qsizetype(length) + 4) !=
            qFromBigEndian<quint32>(body + length))
            return fail(errorText, QStringLiteral("PNG chunk %1 is damaged").arg(QString::fromLatin1(type)));
        position += qsizetype(length) + 12;
        if (inImageData && type != "IDAT") {
            inImageData = false;
            imageDataEnded = true;
        }

        if (!haveHeader && type != "IHDR")
            return fail(errorText, QStringLiteral("PNG data does not start with a header"));
        if (type == "IHDR") {
            if (haveHeader || !readHeader(body, length, &chunks->header, errorText))
                return haveHeader ? fail(errorText, QStringLiteral("PNG data has two headers")) : false;
            haveHeader = true;
        } else if (type == "PLTE") {
            if (length % 3 != 0 || length / 3 > 256 || length == 0)
                return fail(errorText, QStringLiteral("PNG palette is damaged"));
            for (quint32 i = 0; i < length; i += 3)
                chunks->palette.append(qRgb(body[i], body[i + 1], body[i + 2]));
        } else if (type == "tRNS") {
            chunks->transparency = QByteArray(reinterpret_cast<const char *>(body), qsizetype(length));
        } else if (type == "IDAT") {
            if (imageDataEnded)
                return fail(errorText, QStringLiteral("PNG image data chunks are not consecutive"));
            chunks->imageData.append(reinterpret_cast<const char *>(body), qsizetype(length));
            inImageData = true;
        } else if (type == "IEND") {
            return true;
        } else if (!(chunk[4] & 0x20)) {
            // An upper-case first letter marks a chunk the image cannot be shown without.
            return fail(errorText,
                        QStringLiteral("PNG chunk %1 is not supported").arg(QString::fromLatin1(type)));
        }
    }
}

int paeth(int left, int up, int upLeft)
{
    const int estimate = left + up - upLeft;
    const int toLeft = std::abs(estimate - left);
    const int toUp = std::abs(estimate - up);
    const int toUpLeft = std::abs(estimate - upLeft);
    if (toLeft <= toUp && toLeft <= toUpLeft)
        return left;
    return toUp <= toUpLeft ? up : upLeft;
}

// Undoes the per-row filters of the inflated data in place; the filter bytes stay where they are.
bool unfilter(QByteArray *rows, int rowBytes, int pixelBytes, int height, QString *errorText)
{
    uchar *data = reinterpret_cast<uchar *>(rows->data());
    const QByteArray zeroRow(rowBytes, '\0');
    const auto *zero = reinterpret_cast<const uchar *>(zeroRow.constData());
    for (int y = 0; y < height; ++y) {
        uchar *row = data + qsizetype(y) * (rowBytes + 1);
        const int filter = row[0];
        uchar *current = row + 1;
        const uchar *previous = y == 0 ? zero : row - rowBytes;
        switch (filter) {
        case 0:
            break;
        case 1:
            for (int i = pixelBytes; i < rowBytes; ++i)
                current[i] = uchar(current[i] + current[i - pixelBytes]);
            break;
        case 2:
            for (int i = 0; i < rowBytes; ++i)
                current[i] = uchar(current[i] + previous[i]);
            break;
        case 3:
            for (int i = 0; i < rowBytes; ++i) {
                const int left = i >= pixelBytes ? current[i - pixelBytes] : 0;
                current[i] = uchar(current[i] + ((left + previous[i]) >> 1));
            }
            break;
        case 4:
            for (int i = 0; i < rowBytes; ++i) {
                const int left = i >= pixelBytes ? current[i - pixelBytes] : 0;
                const int upLeft = i >= pixelBytes ? previous[i - pixelBytes] : 0;
                current[i] = uchar(current[i] + paeth(left, previous[i], upLeft));
            }
            break;
        default:
            return fail(errorText,
                        QStringLiteral("PNG image data is damaged (unknown row filter %1)").arg(filter));
        }
    }
    return true;
}

}  // namespace

namespace PngDecoder {

QImage decode(const QByteArray &data, QString *errorText)
{
    Chunks chunks;
    if (!readChunks(data, &chunks, errorText))
        return QImage();
    const Header &header = chunks.header;
    const int width = int(header.width);
    const int height = int(header.height);
    const int pixelBytes = channelCount(header.colorType);
    const int rowBytes = width * pixelBytes;
    const qint64 expectedBytes = qint64(height) * (rowBytes + 1);
    if (expectedBytes > MaxImageBytes) {
        fail(errorText, QStringLiteral("PNG image is too large"));
        return QImage();
    }
    if (header.colorType == Palette && chunks.palette.isEmpty()) {
        fail(errorText, QStringLiteral("PNG palette image has no palette"));
        return QImage();
    }
    if (!chunks.transparency.isEmpty() &&
        (header.colorType != Palette || chunks.transparency.size() > chunks.palette.size())) {
        fail(errorText, QStringLiteral("PNG transparency chunk is not supported for this image"));
        return QImage();
    }
    if (chunks.imageData.isEmpty()) {
        fail(errorText, QStringLiteral("PNG data has no image data"));
        return QImage();
    }

    // qUncompress takes the expected size as a big-endian prefix in front of the zlib stream.
    QByteArray stream(4, '\0');
    qToBigEndian<quint32>(quint32(expectedBytes), stream.data());
    stream += chunks.imageData;
    QByteArray rows = qUncompress(stream);
    if (rows.size() != expectedBytes) {
        fail(errorText, QStringLiteral("PNG image data is damaged or has the wrong size"));
        return QImage();
    }
    if (!unfilter(&rows, rowBytes, pixelBytes, height, errorText))
        return QImage();

    const bool alpha = header.colorType == GreyAlpha || header.colorType == RgbAlpha ||
                       (header.colorType == Palette && !chunks.transparency.isEmpty());
    QImage image(width, height, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (image.isNull()) {
        fail(errorText, QStringLiteral("PNG image is too large"));
        return QImage();
    }
    QList<QRgb> palette = chunks.palette;
    for (qsizetype i = 0; i < chunks.transparency.size(); ++i)
        palette[i] =
            qRgba(qRed(palette[i]), qGreen(palette[i]), qBlue(palette[i]), uchar(chunks.transparency[i]));

    for (int y = 0; y < height; ++y) {
        const auto *in =
            reinterpret_cast<const uchar *>(rows.constData()) + qsizetype(y) * (rowBytes + 1) + 1;
        auto *out = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x, in += pixelBytes) {
            switch (header.colorType) {
            case Grey:
                out[x] = qRgb(in[0], in[0], in[0]);
                break;
            case GreyAlpha:
                out[x] = qRgba(in[0], in[0], in[0], in[1]);
                break;
            case Rgb:
                out[x] = qRgb(in[0], in[1], in[2]);
                break;
            case RgbAlpha:
                out[x] = qRgba(in[0], in[1], in[2], in[3]);
                break;
            case Palette:
                if (in[0] >= palette.size()) {
                    fail(errorText, QStringLiteral("PNG image uses a colour its palette does not have"));
                    return QImage();
                }
                out[x] = palette[in[0]];
                break;
            }
        }
    }
    return image;
}

QImage load(const QString &path, QString *errorText)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        fail(errorText, QStringLiteral("cannot open %1: %2").arg(path, file.errorString()));
        return QImage();
    }
    return decode(file.readAll(), errorText);
}

}  // namespace PngDecoder
