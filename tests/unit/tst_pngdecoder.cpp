#include "base/PngDecoder.h"

#include <QBuffer>
#include <QRandomGenerator>
#include <QtEndian>
#include <QtTest>

// The program's own PNG reader against Qt's, the reference: what it accepts comes out pixel for pixel as Qt
// reads it; what it does not handle is refused with the reason, never misread.
namespace {

QByteArray be(quint32 value)
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
    return be(quint32(body.size())) + type + body + be(~crc);
}

const QByteArray signature("\x89PNG\r\n\x1a\n", 8);

QByteArray header(int width, int height, int depth, int colorType, int interlace = 0)
{
    return chunk("IHDR",
                 be(width) + be(height) + char(depth) + char(colorType) + '\0' + '\0' + char(interlace));
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
    for (const char filter : QByteArray::fromHex("00010203040403020100020401030004020301010202030300")) {
        rows += filter;
        for (int i = 0; i < bytesPerRow; ++i)
            rows += char(random.bounded(256));
    }
    return rows;
}

// Random RGBA pixels as Qt's writer saves them in the given format.
QByteArray savedByQt(QImage::Format format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImage::fromData(png(header(20, 25, 8, 6), filteredRows(80)))
        .convertToFormat(format)
        .save(&buffer, "PNG");
    return bytes;
}

}  // namespace

class TestPngDecoder : public QObject
{
    Q_OBJECT

private slots:
    void readsLikeQt_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("rgba") << savedByQt(QImage::Format_ARGB32);
        QTest::newRow("rgb") << savedByQt(QImage::Format_RGB32);
        QTest::newRow("grey") << savedByQt(QImage::Format_Grayscale8);
        QTest::newRow("palette with alpha") << savedByQt(QImage::Format_Indexed8);
        QTest::newRow("filters, grey") << png(header(20, 25, 8, 0), filteredRows(20));
        QTest::newRow("filters, grey alpha") << png(header(20, 25, 8, 4), filteredRows(40));
        QTest::newRow("filters, rgb") << png(header(20, 25, 8, 2), filteredRows(60));
        QTest::newRow("filters, rgba") << png(header(20, 25, 8, 6), filteredRows(80));
        const QByteArray stream = qCompress(filteredRows(80)).mid(4);
        QTest::newRow("data in three chunks, text around")
            << signature + header(20, 25, 8, 6) + chunk("tEXt", QByteArray("a\0b", 3)) +
                   chunk("IDAT", stream.left(3)) + chunk("IDAT", stream.mid(3, 5)) +
                   chunk("IDAT", stream.mid(8)) + chunk("tEXt", QByteArray("c\0d", 3)) + chunk("IEND", {});
        QFile icon(":/icons/assets/vantap-icon.png");
        QVERIFY(icon.open(QIODevice::ReadOnly));
        QTest::newRow("window icon") << icon.readAll();
    }
    void readsLikeQt()
    {
        QFETCH(QByteArray, file);
        QString error;
        const QImage image = PngDecoder::decode(file, &error);
        const QImage expected = QImage::fromData(file, "PNG");
        QVERIFY2(!image.isNull() && image.hasAlphaChannel() == expected.hasAlphaChannel(), qPrintable(error));
        QCOMPARE(image.convertToFormat(QImage::Format_ARGB32),
                 expected.convertToFormat(QImage::Format_ARGB32));
    }

    void refusesWhatItCannotRead_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("reason");
        const QByteArray rows = QByteArray(17, '\0').repeated(3);  // 4 x 3 RGBA pixels
        const QByteArray good = png(header(4, 3, 8, 6), rows);
        const QByteArray palette = QByteArray("\0\0\1\2\1", 5).repeated(3);
        const auto row = [](const char *reason, const QByteArray &file) {
            QTest::newRow(reason) << file << reason;
        };
        row("not PNG data", "GIF89a and more bytes");
        row("ends early", good.chopped(20));
        row("chunk IHDR is damaged", QByteArray(good).replace(19, 1, "\x05"));  // the width, but not the CRC
        row("interlaced", png(header(4, 3, 8, 6, 1), rows));
        row("header is damaged", png(header(4, 3, 8, 5), rows));  // colour type 5
        row("too large", png(header(100000, 3, 8, 6), rows));
        row("wrong size", png(header(4, 4, 8, 6), rows));
        row("row filter 5", png(header(4, 3, 8, 6), QByteArray(rows).replace(17, 1, "\x05")));
        row("no image data", signature + header(4, 3, 8, 6) + chunk("IEND", {}));
        row("has no palette", png(header(4, 3, 8, 3), palette));
        row("palette does not have", png(header(4, 3, 8, 3), palette, chunk("PLTE", "abcdef")));
        row("chunk ZZZZ is not supported", png(header(4, 3, 8, 6), rows, chunk("ZZZZ", "x")));
    }
    void refusesWhatItCannotRead()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, reason);
        QString error;
        QVERIFY(PngDecoder::decode(file, &error).isNull());
        QVERIFY2(error.contains(reason), qPrintable(error));
    }
};

QTEST_MAIN(TestPngDecoder)
#include "tst_pngdecoder.moc"
