// The built-in PDF engine and the libpdfium it loads: the library's exports and behaviour through its C
// interface, the engine's bitmap sizes and flags, its document errors, and the library search with its sticky
// failures (run in copies of this executable placed where the library is missing or incomplete).

#include "base/PrintOptions.h"
#include "printing/pdf/PdfiumFallback.h"
#include "support/TestDocuments.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLibrary>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

using namespace ollavan::testsupport;

namespace {

const char *const exportedNames[] = {
    "FPDF_InitLibrary",     "FPDF_DestroyLibrary",  "FPDF_LoadMemDocument64", "FPDF_GetLastError",
    "FPDF_GetPageCount",    "FPDF_LoadPage",        "FPDF_GetPageWidthF",     "FPDF_GetPageHeightF",
    "FPDF_ClosePage",       "FPDF_CloseDocument",   "FPDFBitmap_Create",      "FPDFBitmap_FillRect",
    "FPDFBitmap_GetBuffer", "FPDFBitmap_GetStride", "FPDFBitmap_Destroy",     "FPDF_RenderPageBitmap"};

QString builtLibrary()
{
    return QStringLiteral(OLLAVAN_BIN_DIR "/libpdfium.so");
}

QString libraryWithoutGetStride()
{
    return QStringLiteral(OLLAVAN_BINARY_DIR "/pdfium-test/without-getstride/libpdfium.so");
}

// The library's C interface, resolved from the built file.
struct Pdfium
{
    void (*init)() = nullptr;
    void *(*loadMemDocument64)(const void *, size_t, const char *) = nullptr;
    unsigned long (*getLastError)() = nullptr;
    int (*getPageCount)(void *) = nullptr;
    void *(*loadPage)(void *, int) = nullptr;
    float (*pageWidth)(void *) = nullptr;
    float (*pageHeight)(void *) = nullptr;
    void (*closePage)(void *) = nullptr;
    void (*closeDocument)(void *) = nullptr;
    void *(*bitmapCreate)(int, int, int) = nullptr;
    int (*fillRect)(void *, int, int, int, int, unsigned long) = nullptr;
    void *(*buffer)(void *) = nullptr;
    int (*stride)(void *) = nullptr;
    void (*bitmapDestroy)(void *) = nullptr;
    void (*render)(void *, void *, int, int, int, int, int, int) = nullptr;

    bool resolve(QLibrary &library)
    {
        const auto get = [&library](auto &pointer, const char *name) {
            pointer = reinterpret_cast<std::remove_reference_t<decltype(pointer)>>(library.resolve(name));
            return pointer != nullptr;
        };
        return get(init, "FPDF_InitLibrary") && get(loadMemDocument64, "FPDF_LoadMemDocument64") &&
               get(getLastError, "FPDF_GetLastError") && get(getPageCount, "FPDF_GetPageCount") &&
               get(loadPage, "FPDF_LoadPage") && get(pageWidth, "FPDF_GetPageWidthF") &&
               get(pageHeight, "FPDF_GetPageHeightF") && get(closePage, "FPDF_ClosePage") &&
               get(closeDocument, "FPDF_CloseDocument") && get(bitmapCreate, "FPDFBitmap_Create") &&
               get(fillRect, "FPDFBitmap_FillRect") && get(buffer, "FPDFBitmap_GetBuffer") &&
               get(stride, "FPDFBitmap_GetStride") && get(bitmapDestroy, "FPDFBitmap_Destroy") &&
               get(render, "FPDF_RenderPageBitmap");
    }
};

// The pixel at (x, y) of a BGRA bitmap as 0xAARRGGBB.
quint32 pixelAt(Pdfium &pdfium, void *bitmap, int x, int y)
{
    const auto *bytes = static_cast<const uchar *>(pdfium.buffer(bitmap)) + y * pdfium.stride(bitmap) + x * 4;
    return quint32(bytes[3]) << 24 | quint32(bytes[2]) << 16 | quint32(bytes[1]) << 8 | bytes[0];
}

// Half red (left), half white page of 200 x 100 points.
QByteArray halfRedPdf()
{
    return makePdf({PdfPageSpec{QSizeF(200, 100), 0, "1 0 0 rg 0 0 100 100 re f"}});
}

// Probe mode: what a fresh process gets from the engine's library search, twice, with a working library put
// beside the executable between the two calls (a retry would find it).
int runProbe(const QStringList &arguments)
{
    QString first;
    QString second;
    const bool firstResult = PdfiumFallback::isAvailable(&first);
    bool stillMapped = false;
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (maps.open(QIODevice::ReadOnly))
        stillMapped = maps.readAll().contains("libpdfium");
    if (arguments.size() > 2) {
        const QString target = QCoreApplication::applicationDirPath() + QStringLiteral("/libpdfium.so");
        QFile::remove(target);
        QFile::copy(arguments.at(2), target);
    }
    const bool secondResult = PdfiumFallback::isAvailable(&second);
    std::printf("first=%d %s\nsecond=%d %s\nmapped=%d\n", int(firstResult), qPrintable(first),
                int(secondResult), qPrintable(second), int(stillMapped));
    return 0;
}

}  // namespace

class TestPdfEngine : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void libraryExportsExactlyTheSixteenFunctions();
    void libraryReadsPagesWithRotation();
    void libraryRendersBgraWithFillAndFlags();
    void libraryReportsLoadErrors();
    void renderSizeClampsResolutionAndSide_data();
    void renderSizeClampsResolutionAndSide();
    void renderFlagsFollowColourMode_data();
    void renderFlagsFollowColourMode();
    void inspectDocumentReportsDocumentErrors_data();
    void inspectDocumentReportsDocumentErrors();
    void printDocumentHandsOutPageCountBeforeFailing();
    void libraryLoadFailuresAreStickyAndNamed_data();
    void libraryLoadFailuresAreStickyAndNamed();

private:
    QTemporaryDir scratch;
    QByteArray encrypted;
};

void TestPdfEngine::initTestCase()
{
    QVERIFY(scratch.isValid());
    QVERIFY2(QFile::exists(builtLibrary()), "libpdfium.so is built beside the programs");
    QString error;
    encrypted = encryptPdf(makeMixedOrientationPdf(2), QStringLiteral("secret"), &error);
    QVERIFY2(!encrypted.isEmpty(), qPrintable(error));
}

void TestPdfEngine::libraryExportsExactlyTheSixteenFunctions()
{
    QProcess nm;
    nm.start(QStringLiteral("nm"), {QStringLiteral("-D"), QStringLiteral("--defined-only"), builtLibrary()});
    QVERIFY(nm.waitForFinished(30000));
    QCOMPARE(nm.exitCode(), 0);
    QStringList defined;
    const QStringList lines = QString::fromLatin1(nm.readAllStandardOutput()).split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        const QStringList fields = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (!fields.isEmpty())
            defined << fields.last();
    }
    QStringList expected;
    for (const char *name : exportedNames)
        expected << QString::fromLatin1(name);
    defined.sort();
    expected.sort();
    QCOMPARE(defined, expected);
}

void TestPdfEngine::libraryReadsPagesWithRotation()
{
    QLibrary library(builtLibrary());
    QVERIFY2(library.load(), qPrintable(library.errorString()));
    Pdfium pdfium;
    QVERIFY(pdfium.resolve(library));
    pdfium.init();

    const QByteArray pdf =
        makePdf({PdfPageSpec{QSizeF(612, 792), 0, "0 g"}, PdfPageSpec{QSizeF(612, 792), 90, "0 g"},
                 PdfPageSpec{QSizeF(300, 200), 270, "0 g"}});
    void *document = pdfium.loadMemDocument64(pdf.constData(), size_t(pdf.size()), nullptr);
    QVERIFY(document);
    QCOMPARE(pdfium.getPageCount(document), 3);
    const QList<QSizeF> expected = {QSizeF(612, 792), QSizeF(792, 612), QSizeF(200, 300)};
    for (int i = 0; i < 3; ++i) {
        void *page = pdfium.loadPage(document, i);
        QVERIFY(page);
        QCOMPARE(QSizeF(pdfium.pageWidth(page), pdfium.pageHeight(page)), expected.at(i));
        pdfium.closePage(page);
    }
    QVERIFY(!pdfium.loadPage(document, 3));
    QCOMPARE(pdfium.getLastError(), 6ul);
    pdfium.closeDocument(document);
}

void TestPdfEngine::libraryRendersBgraWithFillAndFlags()
{
    QLibrary library(builtLibrary());
    QVERIFY(library.load());
    Pdfium pdfium;
    QVERIFY(pdfium.resolve(library));
    pdfium.init();

    const QByteArray pdf = halfRedPdf();
    void *document = pdfium.loadMemDocument64(pdf.constData(), size_t(pdf.size()), nullptr);
    QVERIFY(document);
    void *page = pdfium.loadPage(document, 0);
    QVERIFY(page);

    void *bitmap = pdfium.bitmapCreate(200, 100, 1);
    QVERIFY(bitmap);
    QCOMPARE(pdfium.stride(bitmap), 800);
    // The fill stores ARGB as B, G, R, A bytes, alpha included.
    QVERIFY(pdfium.fillRect(bitmap, 0, 0, 200, 100, 0x80112233ul));
    const auto *bytes = static_cast<const uchar *>(pdfium.buffer(bitmap));
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(bytes), 4), QByteArray("\x33\x22\x11\x80", 4));

    pdfium.fillRect(bitmap, 0, 0, 200, 100, 0xFFFFFFFFul);
    pdfium.render(bitmap, page, 0, 0, 200, 100, 0, 0x801);
    QCOMPARE(pixelAt(pdfium, bitmap, 50, 50), 0xFFFF0000u);   // red half
    QCOMPARE(pixelAt(pdfium, bitmap, 150, 50), 0xFFFFFFFFu);  // the white fill shows through

    pdfium.fillRect(bitmap, 0, 0, 200, 100, 0xFFFFFFFFul);
    pdfium.render(bitmap, page, 0, 0, 200, 100, 0, 0x809);
    const quint32 gray = pixelAt(pdfium, bitmap, 50, 50);
    QVERIFY2(qRed(gray) == qGreen(gray) && qGreen(gray) == qBlue(gray) && qRed(gray) < 200,
             qPrintable(QString::number(gray, 16)));

    // A bitmap larger than one render band (the largest the engine makes is 5000 pixels on a side): the
    // page's top three quarters are red, across the seam between the bands, the rest white.
    const QByteArray tall = makePdf({PdfPageSpec{QSizeF(200, 400), 0, "1 0 0 rg 0 100 200 300 re f"}});
    void *tallDocument = pdfium.loadMemDocument64(tall.constData(), size_t(tall.size()), nullptr);
    QVERIFY(tallDocument);
    void *tallPage = pdfium.loadPage(tallDocument, 0);
    void *big = pdfium.bitmapCreate(3000, 6040, 1);
    QVERIFY(big);
    pdfium.fillRect(big, 0, 0, 3000, 6040, 0xFFFFFFFFul);
    pdfium.render(big, tallPage, 0, 20, 3000, 6000, 0, 0x801);  // 20 white rows above the page
    QCOMPARE(pixelAt(pdfium, big, 1500, 10), 0xFFFFFFFFu);
    for (int y : {25, 2000, 4190, 4240, 4515})
        QCOMPARE(pixelAt(pdfium, big, 1500, y), 0xFFFF0000u);
    for (int y : {4525, 5000, 6035})
        QCOMPARE(pixelAt(pdfium, big, 1500, y), 0xFFFFFFFFu);
    pdfium.bitmapDestroy(big);
    pdfium.closePage(tallPage);
    pdfium.closeDocument(tallDocument);

    // A bitmap without alpha is opaque whatever the fill says.
    void *opaque = pdfium.bitmapCreate(4, 4, 0);
    QVERIFY(opaque);
    pdfium.fillRect(opaque, 0, 0, 4, 4, 0x00000000ul);
    QCOMPARE(pixelAt(pdfium, opaque, 3, 3), 0xFF000000u);
    QVERIFY(!pdfium.bitmapCreate(0, 10, 1));

    pdfium.bitmapDestroy(opaque);
    pdfium.bitmapDestroy(bitmap);
    pdfium.closePage(page);
    pdfium.closeDocument(document);
}

void TestPdfEngine::libraryReportsLoadErrors()
{
    QLibrary library(builtLibrary());
    QVERIFY(library.load());
    Pdfium pdfium;
    QVERIFY(pdfium.resolve(library));
    pdfium.init();

    const QByteArray garbage("this is not a PDF at all, just some words\n");
    QVERIFY(!pdfium.loadMemDocument64(garbage.constData(), size_t(garbage.size()), nullptr));
    QCOMPARE(pdfium.getLastError(), 3ul);
    QVERIFY(!pdfium.loadMemDocument64(encrypted.constData(), size_t(encrypted.size()), nullptr));
    QCOMPARE(pdfium.getLastError(), 4ul);
    void *unlocked = pdfium.loadMemDocument64(encrypted.constData(), size_t(encrypted.size()), "secret");
    QVERIFY(unlocked);
    QCOMPARE(pdfium.getLastError(), 0ul);
    QCOMPARE(pdfium.getPageCount(unlocked), 2);
    pdfium.closeDocument(unlocked);
}

void TestPdfEngine::renderSizeClampsResolutionAndSide_data()
{
    QTest::addColumn<float>("width");
    QTest::addColumn<float>("height");
    QTest::addColumn<int>("dpi");
    QTest::addColumn<QSize>("expected");
    QTest::newRow("letter at 600 dpi renders at 300") << 612.f << 792.f << 600 << QSize(2550, 3300);
    QTest::newRow("letter at 96 dpi renders at 144") << 612.f << 792.f << 96 << QSize(1224, 1584);
    QTest::newRow("letter at 200 dpi") << 612.f << 792.f << 200 << QSize(1700, 2200);
    QTest::newRow("fractions round up") << 595.3f << 841.9f << 300 << QSize(2481, 3508);
    QTest::newRow("huge page fits 5000") << 14400.f << 7200.f << 300 << QSize(5000, 2500);
    QTest::newRow("tall strip fits 5000") << 100.f << 36000.f << 300 << QSize(13, 5000);
    QTest::newRow("tiny page keeps one pixel") << 0.1f << 0.1f << 144 << QSize(1, 1);
}

void TestPdfEngine::renderSizeClampsResolutionAndSide()
{
    QFETCH(float, width);
    QFETCH(float, height);
    QFETCH(int, dpi);
    QFETCH(QSize, expected);
    QCOMPARE(PdfiumFallback::renderSize(width, height, dpi), expected);
}

void TestPdfEngine::renderFlagsFollowColourMode_data()
{
    QTest::addColumn<QString>("colorMode");
    QTest::addColumn<bool>("driverSettings");
    QTest::addColumn<int>("flags");
    QTest::newRow("colour") << "color" << false << 0x801;
    QTest::newRow("mono") << "mono" << false << 0x809;
    QTest::newRow("mono with driver settings") << "mono" << true << 0x809;
    QTest::newRow("colour with driver settings") << "color" << true << 0x801;
    QTest::newRow("capital Color is not colour") << "Color" << false << 0x809;
}

void TestPdfEngine::renderFlagsFollowColourMode()
{
    QFETCH(QString, colorMode);
    QFETCH(bool, driverSettings);
    QFETCH(int, flags);
    PrintPreset preset;
    preset.colorMode = colorModeFromText(colorMode);
    preset.useDriverSettings = driverSettings;
    QCOMPARE(PdfiumFallback::renderFlags(preset), flags);
}

void TestPdfEngine::inspectDocumentReportsDocumentErrors_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("pageCount");
    QTest::addColumn<QString>("error");
    const QByteArray good = makeMixedOrientationPdf(3);
    QTest::newRow("three pages") << good << true << 3 << QString();
    QTest::newRow("empty") << QByteArray() << false << -1 << "the PDF file is empty";
    QTest::newRow("not a PDF") << QByteArray("GIF89a not a pdf\n") << false << -1
                               << "the PDF format is invalid or corrupt";
    QTest::newRow("password") << encrypted << false << -1 << "the PDF is password protected";
    QTest::newRow("truncated") << good.left(40) << false << -1 << "the PDF format is invalid or corrupt";
}

void TestPdfEngine::inspectDocumentReportsDocumentErrors()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, ok);
    QFETCH(int, pageCount);
    QFETCH(QString, error);
    const QString path =
        scratch.filePath(QString::fromLatin1(QTest::currentDataTag()) + QStringLiteral(".pdf"));
    QVERIFY(writeFile(path, content));
    int count = -1;
    QString text;
    QCOMPARE(PdfiumFallback::inspectDocument(path, &count, &text), ok);
    QCOMPARE(count, pageCount);
    QCOMPARE(text, error);
}

void TestPdfEngine::printDocumentHandsOutPageCountBeforeFailing()
{
    // No print server is reachable in unit tests: the printer is invalid after the document has loaded.
    const QString path = scratch.filePath(QStringLiteral("five.pdf"));
    QVERIFY(writeFile(path, makeMixedOrientationPdf(5)));
    PrintPreset preset;
    preset.printerName = QStringLiteral("no-such-printer");
    preset.colorMode = ColorMode::Mono;
    preset.duplexMode = DuplexMode::Simplex;
    preset.paperSize = QStringLiteral("A4");
    int pages = 0;
    QString error;
    QVERIFY(!PdfiumFallback::printDocument(path, preset, &pages, &error));
    QCOMPARE(pages, 5);
    QCOMPARE(error, QStringLiteral("printer unavailable: no-such-printer"));

    pages = -1;
    QVERIFY(!PdfiumFallback::printDocument(scratch.filePath(QStringLiteral("missing.pdf")), preset, &pages,
                                           &error));
    QCOMPARE(pages, -1);
    QVERIFY2(!error.isEmpty(), "a missing file reports the file's error");
}

void TestPdfEngine::libraryLoadFailuresAreStickyAndNamed_data()
{
    QTest::addColumn<QString>("placed");
    QTest::addColumn<QString>("expected");
    QTest::newRow("missing library") << QString() << "libpdfium.so was not found beside the application";
    QTest::newRow("missing export") << libraryWithoutGetStride()
                                    << "libpdfium.so does not export FPDFBitmap_GetStride";
}

void TestPdfEngine::libraryLoadFailuresAreStickyAndNamed()
{
    QFETCH(QString, placed);
    QFETCH(QString, expected);
    // A copy of this program in a folder of its own: its library search sees only what is put there.
    QTemporaryDir dir(QStringLiteral(OLLAVAN_BINARY_DIR "/pdfium-probe-XXXXXX"));
    QVERIFY(dir.isValid());
    const QString program = dir.filePath(QStringLiteral("bin/probe"));
    QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("bin"))));
    QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), program));
    QFile(program).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (!placed.isEmpty())
        QVERIFY(QFile::copy(placed, dir.filePath(QStringLiteral("bin/libpdfium.so"))));

    QProcess probe;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("LD_LIBRARY_PATH"));
    probe.setProcessEnvironment(environment);
    probe.start(program, {QStringLiteral("--probe-pdfium"), builtLibrary()});
    QVERIFY(probe.waitForFinished(60000));
    QCOMPARE(probe.exitCode(), 0);
    const QString output = QString::fromUtf8(probe.readAllStandardOutput());
    QCOMPARE(output, QStringLiteral("first=0 %1\nsecond=0 %1\nmapped=0\n").arg(expected));
}

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() > 1 && arguments.at(1) == QLatin1String("--probe-pdfium"))
        return runProbe(arguments);
    TestPdfEngine test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_pdfengine.moc"
