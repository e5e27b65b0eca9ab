// Print dispatch against a recording spooler and a made-up desktop: which route a file or a foreground
// application takes, the copies each route leaves in the printer's settings, the messages and job details of
// failures, the image viewer's file found from its title, and the history entry of a finished job.

#include "base/I18n.h"
#include "model/PresetParameters.h"
#include "platform/DevMode.h"
#include "printing/ImagePrinting.h"
#include "printing/JobHistory.h"
#include "printing/PrintService.h"
#include "support/FakeWindowSystem.h"
#include "support/FakeWinspool.h"
#include "support/TestDocuments.h"

#include <QApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace ollavan::testsupport;

namespace {

const QString unsupportedMessage =
    QStringLiteral("Supported files: PDF, Word documents, WPS documents, and common image formats.");
const QString foregroundMessage =
    QStringLiteral("Bring a supported document to the foreground, or drag the file onto a printer preset.");

PrintPreset preset(int copies = 4)
{
    PrintPreset preset;
    preset.title = QStringLiteral("Office");
    preset.printerName = QStringLiteral("Office");
    preset.colorMode = ColorMode::Color;
    preset.duplexMode = DuplexMode::Simplex;
    preset.paperSize = QStringLiteral("A4");
    preset.copies = copies;
    return preset;
}

// Remembers the copies of every per-user DEVMODE written, in order.
class CopiesRecordingSpooler : public FakeWinspool
{
public:
    bool setPrinter(Handle printer, quint32 level, const QByteArray &devMode, quint32 command) override
    {
        writtenCopies << platform::DevMode(devMode).copies();
        return FakeWinspool::setPrinter(printer, level, devMode, command);
    }
    QList<qint16> writtenCopies;
};

}  // namespace

class TestPrintService : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void supportedFilesAreKnownBySuffixAlone_data();
    void supportedFilesAreKnownBySuffixAlone();
    void missingOrUnsupportedFilesSwitchNothing_data();
    void missingOrUnsupportedFilesSwitchNothing();
    void pdfFallsBackToTheEngineWithOneCopyInTheSettings();
    void failedSwitchStopsThePdfRouteWithoutFallback();
    void wordFileGoesToTheShellVerbWithThePresetsCopies();
    void imageRouteSwitchesWithOneCopyAndReportsUnreadableImages();
    void foregroundApplicationsWithoutDocumentsGetTheAdvice();
    void viewerTitlesResolveToFiles_data();
    void viewerTitlesResolveToFiles();
    void historyEntryFollowsTheCompletionRules_data();
    void historyEntryFollowsTheCompletionRules();
    void failureTextAddsAdviceForForegroundJobs();

private:
    QTemporaryDir scratch;
};

void TestPrintService::initTestCase()
{
    QVERIFY(scratch.isValid());
    I18n::setLanguage(QStringLiteral("en"));
    QVERIFY(writeFile(scratch.filePath(QStringLiteral("three.PDF")), makeMixedOrientationPdf(3)));
    QVERIFY(
        writeFile(scratch.filePath(QStringLiteral("report.docx")), QByteArray("PK\x03\x04 not a real docx")));
    QVERIFY(writeFile(scratch.filePath(QStringLiteral("noext")), QByteArray("%PDF-1.4")));
    QVERIFY(writeFile(scratch.filePath(QStringLiteral("notes.txt")), QByteArray("text")));
    QVERIFY(writeFile(scratch.filePath(QStringLiteral("broken.jpg")), QByteArray("not a jpeg")));
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(Qt::red);
    QVERIFY(image.save(scratch.filePath(QStringLiteral("red.png"))));
}

void TestPrintService::supportedFilesAreKnownBySuffixAlone_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("supported");
    QTest::addColumn<bool>("image");
    QTest::newRow("pdf upper case") << "/x/Scan.PDF" << true << false;
    QTest::newRow("doc") << "a.doc" << true << false;
    QTest::newRow("docx") << "a.DocX" << true << false;
    QTest::newRow("wps") << "a.wps" << true << false;
    QTest::newRow("jpeg") << "a.JPEG" << true << true;
    QTest::newRow("tif") << "a.tif" << true << true;
    QTest::newRow("webp") << "a.webp" << true << true;
    QTest::newRow("gif") << "a.gif" << true << true;
    QTest::newRow("no suffix") << "/x/pdf" << false << false;
    QTest::newRow("text") << "a.txt" << false << false;
    QTest::newRow("only the last suffix counts") << "a.pdf.zip" << false << false;
    QTest::newRow("xlsx") << "a.xlsx" << false << false;
    QTest::newRow("heic") << "a.heic" << false << false;
}

void TestPrintService::supportedFilesAreKnownBySuffixAlone()
{
    QFETCH(QString, path);
    QFETCH(bool, supported);
    QFETCH(bool, image);
    QCOMPARE(PrintService::isSupportedFile(path), supported);
    QCOMPARE(isImageSuffix(QFileInfo(path).suffix()), image);
}

void TestPrintService::missingOrUnsupportedFilesSwitchNothing_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("missing pdf") << "gone.pdf";
    QTest::newRow("no suffix") << "noext";
    QTest::newRow("text file") << "notes.txt";
}

void TestPrintService::missingOrUnsupportedFilesSwitchNothing()
{
    QFETCH(QString, file);
    FakeWinspool spooler;
    spooler.addPrinter(QStringLiteral("Office"));
    FakeWinspool::Installation installed(&spooler);
    QString message;
    PrintService::JobDetails details;
    QCOMPARE(PrintService().printFile(scratch.filePath(file), preset(), &message, &details), 2);
    QCOMPARE(message, unsupportedMessage);
    QCOMPARE(details.jobName, file);
    QCOMPARE(details.pageCount, 0);
    QCOMPARE(spooler.calls(), QStringList());
}

void TestPrintService::pdfFallsBackToTheEngineWithOneCopyInTheSettings()
{
    CopiesRecordingSpooler spooler;
    spooler.addPrinter(QStringLiteral("Office"));
    spooler.userDevModes[QStringLiteral("Office")] =
        FakeWinspool::devMode(QStringLiteral("Office"), 2, 1, 1, 9);
    spooler.defaultPrinterName = QStringLiteral("Other");
    spooler.addPrinter(QStringLiteral("Other"));
    FakeWinspool::Installation installed(&spooler);

    // No automation server answers (Acrobat is absent), and no print server knows "Office": the engine loads
    // the document, then finds no printer.
    QString message;
    PrintService::JobDetails details;
    QCOMPARE(PrintService().printFile(scratch.filePath(QStringLiteral("three.PDF")), preset(4), &message,
                                      &details),
             3);
    QCOMPARE(message, QStringLiteral("Adobe Acrobat failed and the built-in PDF engine could not print the "
                                     "document: printer unavailable: Office"));
    QCOMPARE(details.jobName, QStringLiteral("three.PDF"));
    QCOMPARE(details.pageCount, 3);  // the file's own count, taken before printing

    // Acrobat's attempt with the preset's copies, restored; the engine's switch with one copy, restored.
    QCOMPARE(spooler.writtenCopies, (QList<qint16>{4, 2, 1, 2}));
    QCOMPARE(spooler.defaultPrinterName, QStringLiteral("Other"));
    QCOMPARE(spooler.openHandles(), 0);
}

void TestPrintService::failedSwitchStopsThePdfRouteWithoutFallback()
{
    FakeWinspool spooler;  // no printer called "Office"
    FakeWinspool::Installation installed(&spooler);
    QString message;
    QCOMPARE(PrintService().printFile(scratch.filePath(QStringLiteral("three.PDF")), preset(), &message), 3);
    QCOMPARE(message, QStringLiteral("Printer not found: Office"));
    QCOMPARE(spooler.calls().filter(QStringLiteral("openPrinter(")).size(), 1);
}

void TestPrintService::wordFileGoesToTheShellVerbWithThePresetsCopies()
{
    CopiesRecordingSpooler spooler;
    spooler.addPrinter(QStringLiteral("Office"));
    spooler.userDevModes[QStringLiteral("Office")] =
        FakeWinspool::devMode(QStringLiteral("Office"), 1, 1, 1, 9);
    FakeWinspool::Installation installed(&spooler);
    QString message;
    PrintService::JobDetails details;
    const int result = PrintService().printFile(scratch.filePath(QStringLiteral("report.docx")), preset(6),
                                                &message, &details);
    QCOMPARE(details.jobName, QStringLiteral("report.docx"));
    // The shell's handler prints with the switched settings: the preset's copies, never one.
    QCOMPARE(spooler.writtenCopies.value(0), qint16(6));
    if (result == 0) {
        QCOMPARE(message, QStringLiteral("Sent: report.docx"));
    } else {
        QCOMPARE(result, 3);
        QVERIFY2(message.startsWith(QLatin1String("Windows has no print handler for this document (error ")),
                 qPrintable(message));
    }
    QCOMPARE(spooler.openHandles(), 0);
}

void TestPrintService::imageRouteSwitchesWithOneCopyAndReportsUnreadableImages()
{
    CopiesRecordingSpooler spooler;
    spooler.addPrinter(QStringLiteral("Office"));
    spooler.userDevModes[QStringLiteral("Office")] =
        FakeWinspool::devMode(QStringLiteral("Office"), 3, 1, 1, 9);
    FakeWinspool::Installation installed(&spooler);

    QString message;
    PrintService::JobDetails details;
    QCOMPARE(
        PrintService().printFile(scratch.filePath(QStringLiteral("red.png")), preset(5), &message, &details),
        3);
    QCOMPARE(message, QStringLiteral("Printer unavailable: Office"));
    QCOMPARE(details.jobName, QStringLiteral("red.png"));
    QCOMPARE(details.pageCount, 1);
    QCOMPARE(spooler.writtenCopies, (QList<qint16>{1, 3}));

    spooler.writtenCopies.clear();
    spooler.clearCalls();
    details = PrintService::JobDetails();
    QCOMPARE(PrintService().printFile(scratch.filePath(QStringLiteral("broken.jpg")), preset(5), &message,
                                      &details),
             3);
    QVERIFY2(message.startsWith(QLatin1String("Unable to read image: ")) &&
                 message.size() > int(qstrlen("Unable to read image: ")),
             qPrintable(message));
    QCOMPARE(details.pageCount, 0);  // the shell knows no count and the image was never read
    QCOMPARE(spooler.calls(), QStringList());
}

void TestPrintService::foregroundApplicationsWithoutDocumentsGetTheAdvice()
{
    FakeWindowSystem desktop;
    desktop.addProcess(4242, QStringLiteral("/usr/bin/viewer"));
    FakeWinspool spooler;
    FakeWinspool::Installation installed(&spooler);
    const PrintService service;
    QString message;

    QCOMPARE(service.printActiveDocument(preset(), QString(), 0, QString(), &message), 1);
    QCOMPARE(message, foregroundMessage);

    message.clear();
    QCOMPARE(
        service.printActiveDocument(preset(), QStringLiteral("Word.Application"), 77, QString(), &message),
        1);
    QCOMPARE(message, foregroundMessage);

    // The viewer has gone: the default advice.
    message.clear();
    QCOMPARE(service.printActiveDocument(preset(), QStringLiteral("Ollavan.ImageViewer"), 999,
                                         QStringLiteral("red.png - IrfanView"), &message),
             1);
    QCOMPARE(message, foregroundMessage);

    // The viewer runs but its picture is nowhere to be found: the route's own message stays.
    message.clear();
    QCOMPARE(service.printActiveDocument(preset(), QStringLiteral("Ollavan.ImageViewer"), 4242,
                                         QStringLiteral("nowhere-4242.png - IrfanView"), &message),
             1);
    QCOMPARE(message,
             QStringLiteral("The active image could not be located. Drag the image onto a printer preset."));
    QCOMPARE(spooler.calls(), QStringList());
}

void TestPrintService::viewerTitlesResolveToFiles_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("expected");  // relative to HOME; empty: nothing found

    const QString hint = scratch.filePath(QStringLiteral("album"));
    QTest::newRow("irfanview with position and em dash")
        << QString::fromUtf8(u8"beach.jpg [3 / 12] — IrfanView") << "Pictures/beach.jpg";
    QTest::newRow("generic hyphen") << "beach.jpg - Photos"
                                    << "Pictures/beach.jpg";
    QTest::newRow("bare file name") << "beach.jpg"
                                    << "Pictures/beach.jpg";
    QTest::newRow("desktop before pictures") << "twin.png - nomacs"
                                             << "Desktop/twin.png";
    QTest::newRow("honeyview folder hint")
        << hint + QStringLiteral(" > twin.png - Honeyview") << "@album/twin.png";
    QTest::newRow("honeyview desktop hint") << "Desktop > only-here.gif [1/2] - BandiView"
                                            << "Desktop/only-here.gif";
    QTest::newRow("found deep in documents") << "deep.bmp - XnView"
                                             << "Documents/a/b/deep.bmp";
    QTest::newRow("full path in the title") << "@album/twin.png - ImageGlass"
                                            << "@album/twin.png";
    QTest::newRow("no image suffix") << "notes.txt - Notepad"
                                     << "";
    QTest::newRow("suffix not at the end") << "beach.jpg.txt"
                                           << "";
    QTest::newRow("unknown file") << "missing-everywhere.webp - qView"
                                  << "";
}

void TestPrintService::viewerTitlesResolveToFiles()
{
    QFETCH(QString, title);
    QFETCH(QString, expected);
    const QString album = scratch.filePath(QStringLiteral("album"));
    const QString home = QDir::homePath();
    QVERIFY2(home.startsWith(QStringLiteral(OLLAVAN_BINARY_DIR)), "the test runs in its own HOME");
    const QStringList files = {QStringLiteral("Pictures/beach.jpg"), QStringLiteral("Desktop/twin.png"),
                               QStringLiteral("Pictures/twin.png"), QStringLiteral("Desktop/only-here.gif"),
                               QStringLiteral("Documents/a/b/deep.bmp")};
    for (const QString &file : files)
        QVERIFY(writeFile(QDir(home).filePath(file), QByteArray("x")));
    QVERIFY(writeFile(album + QStringLiteral("/twin.png"), QByteArray("x")));

    title.replace(QLatin1String("@album"), album);
    expected.replace(QLatin1String("@album"), album);
    const QString wanted = expected.isEmpty()               ? QString()
                           : QDir::isAbsolutePath(expected) ? expected
                                                            : QDir(home).filePath(expected);
    QCOMPARE(resolveImageFromWindowTitle(title), wanted);
}

void TestPrintService::historyEntryFollowsTheCompletionRules_data()
{
    QTest::addColumn<QString>("routeName");
    QTest::addColumn<int>("routePages");
    QTest::addColumn<QString>("droppedFile");
    QTest::addColumn<QString>("windowTitle");
    QTest::addColumn<int>("copies");
    QTest::addColumn<QString>("jobName");
    QTest::addColumn<int>("pages");
    QTest::addColumn<int>("total");
    QTest::newRow("route's name trimmed") << "  Minutes.docx " << 3 << ""
                                          << "Word" << 2 << "Minutes.docx" << 3 << 6;
    QTest::newRow("foreground without name") << "" << 0 << ""
                                             << "Report" << 2 << "Report" << 0 << 0;
    QTest::newRow("file without name") << " " << 5 << "/tmp/in/scan.pdf"
                                       << "" << 1 << "scan.pdf" << 5 << 5;
    QTest::newRow("nothing to name it") << "" << -4 << ""
                                        << "" << 3 << "Unnamed job" << 0 << 0;
    QTest::newRow("zero copies count once") << "a.pdf" << 4 << ""
                                            << "" << 0 << "a.pdf" << 4 << 4;
}

void TestPrintService::historyEntryFollowsTheCompletionRules()
{
    QFETCH(QString, routeName);
    QFETCH(int, routePages);
    QFETCH(QString, droppedFile);
    QFETCH(QString, windowTitle);
    QFETCH(int, copies);
    QFETCH(QString, jobName);
    QFETCH(int, pages);
    QFETCH(int, total);
    PrintPreset job = preset(copies);
    job.useDriverSettings = true;
    const QDateTime when(QDate(2026, 3, 4), QTime(5, 6, 7));
    const PrintHistoryEntry entry = historyEntryForJob(job, PrintService::JobDetails{routeName, routePages},
                                                       droppedFile, windowTitle, when);
    QCOMPARE(entry.createdAt, when);
    QCOMPARE(entry.jobName, jobName);
    QCOMPARE(entry.printerName, QStringLiteral("Office"));
    QCOMPARE(entry.parameters, presetParameters(job));
    QVERIFY(entry.parameters.endsWith(QLatin1String("Driver settings")));
    QCOMPARE(entry.copies, copies);
    QCOMPARE(entry.pageCount, pages);
    QCOMPARE(entry.totalPages, total);
}

void TestPrintService::failureTextAddsAdviceForForegroundJobs()
{
    const QString advice = QStringLiteral(
        "\n\nFor images or documents in an unsupported viewer, drag the file onto a printer preset.");
    QCOMPARE(jobFailureText(QStringLiteral("  Printer not found: X \n"), false),
             QStringLiteral("Printer not found: X"));
    QCOMPARE(jobFailureText(QStringLiteral(" "), false),
             QStringLiteral("The print job could not be started."));
    QCOMPARE(jobFailureText(QString(), true), QStringLiteral("The print job could not be started.") + advice);
}

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    TestPrintService test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_printservice.moc"
