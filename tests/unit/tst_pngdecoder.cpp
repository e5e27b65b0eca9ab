#include "base/PngDecoder.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

// The program's own PNG reader (used for the window icon at start-up) against Qt's image reader, which
// serves as the reference: every image the reader accepts must come out pixel for pixel as Qt reads it, and
// every image it does not handle must be refused with a reason, never misread.
class TestPngDecoder : public QObject
{
    Q_OBJECT

private slots:
    void readsLikeQt_data();
    void readsLikeQt();
    void undoesEveryRowFilter_data();
    void undoesEveryRowFilter();
    void applicationIconReadsLikeQt();
    void refusesWhatItCannotRead_data();
    void refusesWhatItCannotRead();
    void missingFileIsReported();
};

namespace {

quint32 crc32(const QByteArray &bytes)
{
    quint32 crc = 0xffffffffu;
    for (const char byte : bytes) {
        crc ^= uchar(byte);
        for (int k = 0; k < 8; ++k)
            crc = (crc & 1) ? 0xedb88320u ^ (crc >> 1) : crc >> 1;
    }
    return crc ^ 0xffffffffu;
}

QByteArray bigEndian(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToBigEndian(value, bytes.data());
    return bytes;
}

QByteArray chunk(const QByteArray &type, const QByteArray &body)
{
    return bigEndian(quint32(body.size())) + type + body + bigEndian(crc32(type + body));
}

QByteArray header(int width, int height, int bitDepth, int colorType, int interlace = 0)
{
    QByteArray body = bigEndian(quint32(width)) + bigEndian(quint32(height));
    body += char(bitDepth);
    body += char(colorType);
    body += char(0);
    body += char(0);
    body += char(interlace);
    return chunk("IHDR", body);
}

// The zlib stream of the rows (qCompress puts a four-byte size in front of it).
QByteArray deflated(const QByteArray &rows)
{
    return qCompress(rows).mid(4);
}

QByteArray png(const QByteArray &headerChunk, const QByteArray &middle, const QByteArray &rows)
{
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + headerChunk + middle + chunk("IDAT", deflated(rows)) +
           chunk("IEND", QByteArray());
}

// A picture with gradients, hard edges and partial transparency.
QImage picture(QImage::Format format, int width = 37, int height = 23)
{
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgba((x * 7) & 0xff, (y * 11) & 0xff, (x * y) & 0xff, (x + y) * 5 & 0xff));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(255, 138, 0, 200));
    painter.drawEllipse(QRect(3, 2, width / 2, height - 5));
    painter.end();
    return image.convertToFormat(format);
}

QByteArray savedByQt(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QImage readByQt(const QByteArray &bytes)
{
    return QImage::fromData(bytes, "PNG");
}

void compareImages(const QImage &actual, const QImage &expected)
{
    QVERIFY(!expected.isNull());
    QVERIFY(!actual.isNull());
    QCOMPARE(actual.size(), expected.size());
    QCOMPARE(actual.hasAlphaChannel(), expected.hasAlphaChannel());
    const QImage a = actual.convertToFormat(QImage::Format_ARGB32);
    const QImage b = expected.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                QFAIL(qPrintable(QStringLiteral("pixel %1,%2: %3 instead of %4")
                                     .arg(x)
                                     .arg(y)
                                     .arg(a.pixel(x, y), 8, 16, QLatin1Char('0'))
                                     .arg(b.pixel(x, y), 8, 16, QLatin1Char('0'))));
}

}  // namespace

void TestPngDecoder::readsLikeQt_data()
{
    QTest::addColumn<QByteArray>("file");

    // What Qt's writer makes of each kind of image: RGBA, RGB, grey and palette (opaque and with alpha).
    QTest::newRow("rgba") << savedByQt(picture(QImage::Format_ARGB32));
    QTest::newRow("rgb") << savedByQt(picture(QImage::Format_RGB32));
    QTest::newRow("grey") << savedByQt(picture(QImage::Format_Grayscale8));
    QImage opaquePalette = picture(QImage::Format_RGB32).convertToFormat(QImage::Format_Indexed8);
    QTest::newRow("palette") << savedByQt(opaquePalette);
    QTest::newRow("palette with alpha")
        << savedByQt(picture(QImage::Format_ARGB32).convertToFormat(QImage::Format_Indexed8));
    QTest::newRow("one pixel") << savedByQt(picture(QImage::Format_ARGB32, 1, 1));
    QTest::newRow("one row") << savedByQt(picture(QImage::Format_ARGB32, 300, 1));
    QTest::newRow("large") << savedByQt(picture(QImage::Format_ARGB32, 512, 384));

    // Grey with alpha, which Qt's writer does not produce, and the image split over several IDAT chunks.
    QByteArray greyAlphaRows;
    for (int y = 0; y < 5; ++y) {
        greyAlphaRows += char(0);
        for (int x = 0; x < 6; ++x) {
            greyAlphaRows += char(x * 40 + y);
            greyAlphaRows += char(255 - x * 30 - y * 7);
        }
    }
    QTest::newRow("grey with alpha") << png(header(6, 5, 8, 4), QByteArray(), greyAlphaRows);
    const QByteArray stream = deflated(greyAlphaRows);
    QTest::newRow("several data chunks")
        << QByteArray("\x89PNG\r\n\x1a\n", 8) + header(6, 5, 8, 4) +
               chunk("tEXt", QByteArray("Comment\0before", 14)) + chunk("IDAT", stream.left(3)) +
               chunk("IDAT", stream.mid(3, 5)) + chunk("IDAT", stream.mid(8)) +
               chunk("tEXt", QByteArray("Comment\0after", 13)) + chunk("IEND", QByteArray());
}

void TestPngDecoder::readsLikeQt()
{
    QFETCH(QByteArray, file);
    QString error;
    const QImage image = PngDecoder::decode(file, &error);
    QVERIFY2(!image.isNull(), qPrintable(error));
    compareImages(image, readByQt(file));
}

void TestPngDecoder::undoesEveryRowFilter_data()
{
    QTest::addColumn<int>("colorType");
    QTest::addColumn<int>("channels");

    QTest::newRow("rgba") << 6 << 4;
    QTest::newRow("rgb") << 2 << 3;
    QTest::newRow("grey") << 0 << 1;
    QTest::newRow("grey with alpha") << 4 << 2;
}

void TestPngDecoder::undoesEveryRowFilter()
{
    QFETCH(int, colorType);
    QFETCH(int, channels);

    // Any bytes are valid filtered data: random rows, each filter type on several rows in a row and after
    // every other one (the Paeth and average filters depend on the row above and the pixel to the left).
    const int width = 19;
    const QList<int> filters = {0, 1, 2, 3, 4, 4, 3, 2, 1, 0, 2, 4, 1, 3, 0, 4, 2, 3, 1, 1, 2, 2, 3, 3, 0};
    QRandomGenerator random(20261205);
    QByteArray rows;
    for (const int filter : filters) {
        rows += char(filter);
        for (int i = 0; i < width * channels; ++i)
            rows += char(random.bounded(256));
    }
    const QByteArray file = png(header(width, int(filters.size()), 8, colorType), QByteArray(), rows);
    QString error;
    const QImage image = PngDecoder::decode(file, &error);
    QVERIFY2(!image.isNull(), qPrintable(error));
    compareImages(image, readByQt(file));
}

void TestPngDecoder::applicationIconReadsLikeQt()
{
    const QString path = QStringLiteral(":/icons/assets/vantap-icon.png");
    QFile file(path);
    QVERIFY2(file.open(QIODevice::ReadOnly), "the application icon is compiled into the resources");
    QString error;
    const QImage image = PngDecoder::load(path, &error);
    QVERIFY2(!image.isNull(), qPrintable(error));
    QCOMPARE(image.size(), QSize(256, 256));
    compareImages(image, readByQt(file.readAll()));
}

void TestPngDecoder::refusesWhatItCannotRead_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("reason");

    QByteArray rgbaRows;
    for (int y = 0; y < 3; ++y)
        rgbaRows += char(0) + QByteArray(4 * 4, char(y * 50));
    const QByteArray good = png(header(4, 3, 8, 6), QByteArray(), rgbaRows);
    QVERIFY(!PngDecoder::decode(good).isNull());

    QTest::newRow("not png") << QByteArray("GIF89a and more bytes") << "not PNG data";
    QTest::newRow("empty") << QByteArray() << "not PNG data";
    QTest::newRow("cut short") << good.left(good.size() - 20) << "ends early";
    QTest::newRow("no end chunk") << good.left(good.size() - 12) << "ends early";
    QByteArray badCrc = good;
    badCrc[8 + 8 + 3] = char(badCrc[8 + 8 + 3] ^ 1);  // the width's last byte, inside IHDR
    QTest::newRow("damaged header crc") << badCrc << "chunk IHDR is damaged";
    QTest::newRow("data before the header")
        << QByteArray("\x89PNG\r\n\x1a\n", 8) + chunk("IDAT", deflated(rgbaRows)) + header(4, 3, 8, 6) +
               chunk("IEND", QByteArray())
        << "does not start with a header";
    QTest::newRow("sixteen bits") << png(header(4, 3, 16, 6), QByteArray(), rgbaRows) << "16 bits per sample";
    QTest::newRow("one bit palette") << png(header(4, 3, 1, 3), chunk("PLTE", QByteArray(6, 'x')), rgbaRows)
                                     << "1 bits per sample";
    QTest::newRow("interlaced") << png(header(4, 3, 8, 6, 1), QByteArray(), rgbaRows) << "interlaced";
    QTest::newRow("unknown colour type")
        << png(header(4, 3, 8, 5), QByteArray(), rgbaRows) << "header is damaged";
    QTest::newRow("zero width") << png(header(0, 3, 8, 6), QByteArray(), rgbaRows) << "empty";
    QTest::newRow("huge") << png(header(100000, 3, 8, 6), QByteArray(), rgbaRows) << "too large";
    QTest::newRow("too few rows") << png(header(4, 4, 8, 6), QByteArray(), rgbaRows) << "wrong size";
    QTest::newRow("garbage stream") << QByteArray("\x89PNG\r\n\x1a\n", 8) + header(4, 3, 8, 6) +
                                           chunk("IDAT", QByteArray(40, 'z')) + chunk("IEND", QByteArray())
                                    << "wrong size";
    QByteArray badFilter = rgbaRows;
    badFilter[17] = char(5);  // the second row's filter byte
    QTest::newRow("unknown row filter") << png(header(4, 3, 8, 6), QByteArray(), badFilter) << "row filter 5";
    QTest::newRow("no image data") << QByteArray("\x89PNG\r\n\x1a\n", 8) + header(4, 3, 8, 6) +
                                          chunk("IEND", QByteArray())
                                   << "no image data";
    QByteArray paletteRows;
    for (int y = 0; y < 3; ++y)
        paletteRows += char(0) + QByteArray("\x00\x01\x02\x01", 4);
    QTest::newRow("palette missing") << png(header(4, 3, 8, 3), QByteArray(), paletteRows) << "no palette";
    QTest::newRow("colour outside the palette")
        << png(header(4, 3, 8, 3), chunk("PLTE", QByteArray(6, 'x')), paletteRows) << "palette does not have";
    QByteArray rgbRows;
    for (int y = 0; y < 3; ++y)
        rgbRows += char(0) + QByteArray(4 * 3, char(y * 50));
    QTest::newRow("transparent colour of an rgb image")
        << png(header(4, 3, 8, 2), chunk("tRNS", QByteArray(6, '\0')), rgbRows) << "transparency chunk";
    const QByteArray rgbaStream = deflated(rgbaRows);
    QTest::newRow("data chunks apart")
        << QByteArray("\x89PNG\r\n\x1a\n", 8) + header(4, 3, 8, 6) + chunk("IDAT", rgbaStream.left(4)) +
               chunk("tEXt", QByteArray("Comment\0between", 15)) + chunk("IDAT", rgbaStream.mid(4)) +
               chunk("IEND", QByteArray())
        << "not consecutive";
    QTest::newRow("unknown critical chunk")
        << png(header(4, 3, 8, 6), chunk("ZZZZ", QByteArray("x")), rgbaRows) << "chunk ZZZZ is not supported";
}

void TestPngDecoder::refusesWhatItCannotRead()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, reason);
    QString error;
    QVERIFY(PngDecoder::decode(file, &error).isNull());
    QVERIFY2(error.contains(reason), qPrintable(error));
}

void TestPngDecoder::missingFileIsReported()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("absent.png"));
    QString error;
    QVERIFY(PngDecoder::load(path, &error).isNull());
    QVERIFY2(error.contains(path), qPrintable(error));
}

QTEST_MAIN(TestPngDecoder)
#include "tst_pngdecoder.moc"
