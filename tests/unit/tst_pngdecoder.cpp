#include "base/PngDecoder.h"

#include <QBuffer>
#include <QRandomGenerator>
#include <QtEndian>
#include <QtTest>

// The program's own PNG reader against Qt's, the reference: what it accepts comes out pixel for pixel as Qt
// reads it; what it does not handle is refused with the reason, never misread.
namespace {

QByteArray bigEndian(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToBigEndian(value, bytes.data());
    return bytes;
}

QByteArray chunk(const QByteArray &type, const QByteArray &body)
{
    quint32 crc = 0xffffffffu;
    for (const char byte : type + body) {
        crc ^= uchar(byte);
        for (int k = 0; k < 8; ++k)
            crc = (crc & 1) ? 0xedb88320u ^ (crc >> 1) : crc >> 1;
    }
    return bigEndian(quint32(body.size())) + type + body + bigEndian(~crc);
}

const QByteArray signature("\x89PNG\r\n\x1a\n", 8);

QByteArray header(int width, int height, int depth, int colorType, int interlace = 0)
{
    return chunk("IHDR", bigEndian(width) + bigEndian(height) + char(depth) + char(colorType) + '\0' + '\0' +
                             char(interlace));
}

// `rows`: each row's filter byte and samples; `extra`: chunks between the header and the image data.
QByteArray png(const QByteArray &head, const QByteArray &rows, const QByteArray &extra = {})
{
    return signature + head + extra + chunk("IDAT", qCompress(rows).mid(4)) + chunk("IEND", {});
}

// Random samples under every row filter, each filter after every other (Paeth and average look up and left).
QByteArray filteredRows(int bytesPerRow)
{
    QRandomGenerator random(20261205);
    QByteArray rows;
    for (const int filter : {0, 1, 2, 3, 4, 4, 3, 2, 1, 0, 2, 4, 1, 3, 0, 4, 2, 3, 1, 1, 2, 2, 3, 3, 0}) {
        rows += char(filter);
        for (int i = 0; i < bytesPerRow; ++i)
            rows += char(random.bounded(256));
    }
    return rows;
}

QByteArray savedByQt(QImage::Format format, int width = 37, int height = 23)
{
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgba(x * 7, y * 11, x * y, (x + y) * 5 + (x % 3 == 0 ? 255 : 0)));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.convertToFormat(format).save(&buffer, "PNG");
    return bytes;
}

}  // namespace

class TestPngDecoder : public QObject
{
    Q_OBJECT

private slots:
    void readsLikeQt_data();
    void readsLikeQt();
    void refusesWhatItCannotRead_data();
    void refusesWhatItCannotRead();
};

void TestPngDecoder::readsLikeQt_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::newRow("rgba") << savedByQt(QImage::Format_ARGB32);
    QTest::newRow("rgb") << savedByQt(QImage::Format_RGB32);
    QTest::newRow("grey") << savedByQt(QImage::Format_Grayscale8);
    QTest::newRow("palette") << savedByQt(QImage::Format_Indexed8);
    QTest::newRow("one pixel") << savedByQt(QImage::Format_ARGB32, 1, 1);
    QTest::newRow("large") << savedByQt(QImage::Format_ARGB32, 512, 384);
    for (const auto &[name, colorType, channels] : {std::tuple{"filters, grey", 0, 1},
                                                    {"filters, grey alpha", 4, 2},
                                                    {"filters, rgb", 2, 3},
                                                    {"filters, rgba", 6, 4}})
        QTest::newRow(name) << png(header(19, 25, 8, colorType), filteredRows(19 * channels));
    const QByteArray stream = qCompress(filteredRows(19 * 4)).mid(4);
    QTest::newRow("data in three chunks, text around")
        << signature + header(19, 25, 8, 6) + chunk("tEXt", QByteArray("a\0b", 3)) +
               chunk("IDAT", stream.left(3)) + chunk("IDAT", stream.mid(3, 5)) +
               chunk("IDAT", stream.mid(8)) + chunk("tEXt", QByteArray("c\0d", 3)) + chunk("IEND", {});
    QFile icon(":/icons/assets/vantap-icon.png");
    QVERIFY(icon.open(QIODevice::ReadOnly));
    QTest::newRow("window icon") << icon.readAll();
}

void TestPngDecoder::readsLikeQt()
{
    QFETCH(QByteArray, file);
    QString error;
    const QImage image = PngDecoder::decode(file, &error);
    QVERIFY2(!image.isNull(), qPrintable(error));
    const QImage expected = QImage::fromData(file, "PNG");
    QCOMPARE(image.hasAlphaChannel(), expected.hasAlphaChannel());
    QCOMPARE(image.convertToFormat(QImage::Format_ARGB32), expected.convertToFormat(QImage::Format_ARGB32));
}

void TestPngDecoder::refusesWhatItCannotRead_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("reason");
    const QByteArray rows = QByteArray(17, '\0').repeated(3);  // 4 x 3 RGBA pixels
    const QByteArray good = png(header(4, 3, 8, 6), rows);
    QByteArray badCrc = good;
    badCrc[19] = char(badCrc[19] ^ 1);  // the width's last byte, inside IHDR
    QByteArray badFilter = rows;
    badFilter[17] = 5;
    const QByteArray paletteRows = QByteArray("\0\0\1\2\1", 5).repeated(3);
    const auto row = [](const char *name, const QByteArray &file, const char *reason) {
        QTest::newRow(name) << file << QString(reason);
    };
    row("not png", "GIF89a and more bytes", "not PNG data");
    row("cut short", good.chopped(20), "ends early");
    row("header crc", badCrc, "chunk IHDR is damaged");
    row("data first", signature + chunk("IDAT", {}) + header(4, 3, 8, 6), "does not start with a header");
    row("16 bits", png(header(4, 3, 16, 6), rows), "16 bits per sample");
    row("interlaced", png(header(4, 3, 8, 6, 1), rows), "interlaced");
    row("colour type 5", png(header(4, 3, 8, 5), rows), "header is damaged");
    row("zero width", png(header(0, 3, 8, 6), rows), "empty");
    row("huge", png(header(100000, 3, 8, 6), rows), "too large");
    row("too few rows", png(header(4, 4, 8, 6), rows), "wrong size");
    row("row filter 5", png(header(4, 3, 8, 6), badFilter), "row filter 5");
    row("no image data", signature + header(4, 3, 8, 6) + chunk("IEND", {}), "no image data");
    row("no palette", png(header(4, 3, 8, 3), paletteRows), "no palette");
    row("outside the palette", png(header(4, 3, 8, 3), paletteRows, chunk("PLTE", "abcdef")),
        "palette does not have");
    row("unknown critical chunk", png(header(4, 3, 8, 6), rows, chunk("ZZZZ", "x")),
        "chunk ZZZZ is not supported");
}

void TestPngDecoder::refusesWhatItCannotRead()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, reason);
    QString error;
    QVERIFY(PngDecoder::decode(file, &error).isNull());
    QVERIFY2(error.contains(reason), qPrintable(error));
}

QTEST_MAIN(TestPngDecoder)
#include "tst_pngdecoder.moc"
