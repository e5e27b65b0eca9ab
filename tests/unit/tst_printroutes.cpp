// The print routes against fakes: the route a file takes by its content and the copies each leaves in the
// printer's settings, Acrobat falling back to the built-in engine, Word documents through the Windows shell
// sequence; the automation routes' calls in order with their failure points; the engine's bitmap sizes, flags
// and document errors; the history row of a job and the picture found from a viewer's title.

#include "platform/DevMode.h"
#include "platform/ShellVerbHandler.h"
#include "printing/ImageViewerPicture.h"
#include "printing/JobHistory.h"
#include "printing/PrintService.h"
#include "printing/pdf/PdfEngine.h"
#include "support/FakeAutomation.h"
#include "support/FakeWinspool.h"
#include "support/FakeWindowSystem.h"
#include "support/TestDocuments.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace ollavan::testsupport;
using platform::HandlerAnswer;

namespace {

const QString none;
const QString bothFailed = "Adobe Acrobat failed and the built-in PDF engine could not print the document: "
                           "printer unavailable: Office";
const QString advice =
    "Bring a supported document to the foreground, or drag the file onto a printer preset.";
const QString printOut =
    "doc.call PrintOut(false, missing, missing, missing, missing, missing, missing, i4:4)";

// Acrobat's objects (the application, its document view, a document of 4 pages with its JavaScript object and
// print parameters) and Word's (the running application owning window 0x5000, its active window, document).
const QStringList acrobatModel =
    QString(
        "acrobat.Hide=true acrobat.Exit=true acrobat.GetActiveDoc=@avdoc avdoc.Open=true avdoc.Close=true "
        "avdoc.GetTitle=\"Quarterly.pdf\" avdoc.GetPDDoc=@pddoc pddoc.GetNumPages=i4:4 pddoc.GetJSObject=@js "
        "js.getPrintParams=@params js.print= params.constants=@constants constants.handling=@handling "
        "constants.interactionLevel=@level handling.shrink=i4:2 level.silent=ui4:9")
        .split(' ');
const QStringList wordModel =
    QString(
        "word.Hwnd=i4:20480 word.ActiveWindow=@wordwin word.ActivePrinter=\"Other\" word.ActiveDocument=@doc "
        "wordwin.Hwnd=i4:20480 doc.Name=\"Report.docx\" doc.ComputeStatistics=i4:3 doc.PrintOut=")
        .split(' ');
// Acrobat printing a 4-page document on "Office", then letting its objects go.
const QStringList independentPrint =
    QString("pddoc.call GetJSObject();js.call getPrintParams();params.get constants;constants.get handling;"
            "constants.get interactionLevel;handling.get shrink;level.get silent;params.put printerName = "
            "\"Office\";"
            "params.put firstPage = i4:0;params.put lastPage = i4:3;params.put pageHandling = i4:2;"
            "params.put nUpNumPagesH = i4:1;params.put nUpNumPagesV = i4:1;params.put nUpAutoRotate = false;"
            "params.put nUpPageBorder = false;params.put interactive = ui4:9;js.call "
            "print(@params);level.release;"
            "handling.release;constants.release;params.release;js.release;pddoc.release")
        .split(';');

PrintPreset preset(const QString &printer = "Office", int copies = 4)
{
    PrintPreset preset;
    preset.title = preset.printerName = printer;
    preset.colorMode = ColorMode::Color;
    preset.copies = copies;
    return preset;
}

// The made-up desktop: a spooler noting the copies of every per-user settings record written (a switch, then
// its restore to the user's own 2), the Windows shell under the handler of Word and WPS documents, automation
// servers (none without a model) and windows. No print server answers: the engine and the image route find
// no printer.
class Desk : public FakeWinspool, public platform::Shell
{
public:
    explicit Desk(const QStringList &model = {})
    {
        addPrinter("Office");
        addPrinter("Previous");
        defaultPrinterName = "Previous";
        userDevModes["Office"] = devMode("Office", 2, 1, 1, 9);
        automation.servers = !model.isEmpty();
        automation.define(model);
        automation.registerClass("AcroExch.AVDoc", none, "avdoc");
        automation.registerClass("Word.Application", "word", none);
        windows.addWindow(0x5000, 4242);
        windows.addWindow(0xA001, 3131);
    }
    bool setPrinter(Handle printer, quint32 level, const QByteArray &record, quint32 command) override
    {
        copies << platform::DevMode(record).copies();
        return FakeWinspool::setPrinter(printer, level, record, command);
    }
    bool execute(const platform::ShellExecuteRequest &request, platform::ProcessHandle *process,
                 quint32 *error) override
    {
        calls << "execute " + request.verb + ' ' + request.file + ' ' + request.parameters + ' ' +
                     QString::number(request.show);
        QFile copy(request.file);
        handedBytes = copy.open(QIODevice::ReadOnly) ? copy.readAll() : "unreadable";
        *process = handlerProcess;
        *error = errorCode;
        return errorCode == 0;
    }
    void waitForInputIdle(platform::ProcessHandle process, quint32 ms) override { note("idle", process, ms); }
    bool waitForExit(platform::ProcessHandle process, quint32 ms) override
    {
        return note("exit", process, ms);
    }
    void closeProcess(platform::ProcessHandle process) override { note("close", process, 0); }
    bool documentPageCount(const QString &, quint32 *pages) override { return (*pages = 12) && !errorCode; }
    bool note(const char *call, quint64 process, quint32 ms)
    {
        calls << QString("%1 %2 %3").arg(call).arg(process).arg(ms);
        return handlerEnds;
    }

    // The log without releases and clean-up calls: its last line is where the route stopped.
    QString lastStep() const
    {
        QStringList steps = automation.log;
        steps.removeIf(
            [](const QString &line) { return line.contains(QRegularExpression("release$|Close|Exit")); });
        return steps.value(steps.size() - 1);
    }

    Installation settings{this};
    FakeAutomation automation;
    FakeWindowSystem windows;
    QList<int> copies;
    QByteArray handedBytes;
    QStringList calls;
    platform::ProcessHandle handlerProcess = 0;
    quint32 errorCode = 0;
    bool handlerEnds = true;
};

}  // namespace

class TestPrintRoutes : public QObject
{
    Q_OBJECT

    QString path(const QString &name) const { return scratch.filePath(name); }
    QTemporaryDir scratch;

private slots:
    void initTestCase()
    {
        // Copies kept for a handler still running stay in the test's own temporary folder. Acrobat's
        // "/X/three.pdf" is X:/three.pdf, relative to the working folder on this system.
        qputenv("TMPDIR", qgetenv("OLLAVAN_TEST_HOME") + "/tmp");
        QVERIFY(QDir().mkpath(qgetenv("OLLAVAN_TEST_HOME") + "/tmp"));
        QVERIFY(writeFile(path("three.pdf"), makeMixedOrientationPdf(3)) &&
                QDir::setCurrent(scratch.path()) &&
                writeFile(path("X:/three.pdf"), makeMixedOrientationPdf(3)));
    }

    void filesTakeTheRouteOfTheirContent_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("content");
        // Where Acrobat fails ("none": not on this system), or how the shell answers for a Word document: its
        // error number, or the handler's process (77: ends in time, 78: still running, 0: none came back).
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("printer");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QList<int>>("copies");  // of each settings record written: switches and restores
        QTest::addColumn<int>("pages");
        QByteArray png;
        QBuffer buffer(&png);
        QVERIFY(buffer.open(QIODevice::WriteOnly) &&
                QImage(30, 20, QImage::Format_RGB32).save(&buffer, "PNG"));
        const QByteArray pdf = makeMixedOrientationPdf(3), docx = "PK\x03\x04 docx";
        const QString office = "Office", engine = "The built-in PDF engine could not print three.pdf: ";
        QTest::newRow("pdf through Acrobat")
            << "three.pdf" << pdf << none << office << 0 << "Sent: three.pdf" << QList<int>{4, 2} << 4;
        QTest::newRow("Acrobat refuses, then the engine") << "three.pdf" << pdf << "js.call print" << office
                                                          << 3 << bothFailed << QList<int>{4, 2, 1, 2} << 3;
        QTest::newRow("no Acrobat here: the engine alone")
            << "three.pdf" << pdf << "none" << office << 3 << engine + "printer unavailable: Office"
            << QList<int>{1, 2} << 3;
        QTest::newRow("switch fails: no fallback")
            << "three.pdf" << pdf << none << "Gone" << 3 << "Printer not found: Gone" << QList<int>{} << 0;
        QTest::newRow("picture named like a pdf") << "photo.pdf" << png << none << office << 3
                                                  << "Printer unavailable: Office" << QList<int>{1, 2} << 1;
        QTest::newRow("docx, handler ends")
            << "report.docx" << docx << "77" << office << 0 << "Sent: report.docx" << QList<int>{4, 2} << 12;
        QTest::newRow("doc, handler still running")
            << "letter.doc" << QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1") << "78" << office << 0
            << "Sent: letter.doc" << QList<int>{4, 2} << 12;
        QTest::newRow("docx, no handler process")
            << "report.docx" << docx << "0" << office << 0 << "Sent: report.docx" << QList<int>{4, 2} << 12;
        QTest::newRow("wps, no handler")
            << "notes.wps" << docx << "error 1155" << office << 3
            << "Windows has no print handler for this document (error 1155)." << QList<int>{4, 2} << 0;
        QTest::newRow("suffix not printed")
            << "scan.txt" << pdf << none << office << 2
            << "Supported files: PDF, Word documents, WPS documents, and common image formats."
            << QList<int>{} << 0;
    }

    void filesTakeTheRouteOfTheirContent()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, content);
        QFETCH(QString, fault);
        QFETCH(QString, printer);
        auto shell = std::make_unique<Desk>(fault == "none" || !content.startsWith("%PDF") ? QStringList()
                                                                                           : acrobatModel);
        Desk &desk = *shell;
        desk.automation.registerClass("AcroExch.App", none, "acrobat");
        desk.automation.failing << fault;
        desk.handlerProcess = fault.toUInt();
        desk.handlerEnds = fault != "78";
        desk.errorCode = fault.startsWith("error") ? fault.mid(6).toUInt() : 0;
        platform::ShellVerbHandler handler(std::move(shell));
        platform::setDocumentHandlerForTesting(&handler);
        QTemporaryDir folder;
        const QString original = folder.filePath(file);
        QVERIFY(writeFile(original, content));
        const PrintOutcome outcome = PrintService().printFile(original, preset(printer));
        platform::setDocumentHandlerForTesting(nullptr);
        QTEST(int(outcome.result), "result");
        QTEST(outcome.message, "message");
        QTEST(outcome.details.pageCount, "pages");
        QTEST(desk.copies, "copies");
        // Outside programs get a private copy of the checked bytes under the document's name; it goes once
        // they are done with it.
        const QString opened = desk.automation.log.filter("avdoc.call Open(").value(0).section('"', 1, 1);
        const QString copy = desk.calls.value(0).section(' ', 2, 2) + opened;
        if (copy.isEmpty())
            return;
        QCOMPARE(QFileInfo(copy).fileName(), file);
        QVERIFY(copy != original);
        QCOMPARE(QFile::exists(copy), desk.handlerProcess != 77 && !desk.errorCode && opened.isEmpty());
        QCOMPARE(desk.handedBytes, opened.isEmpty() ? content : QByteArray());
        QStringList calls = {"execute printto " + copy + " \"Office\" 0"};
        if (desk.handlerProcess)
            calls << QString("idle %1 10000").arg(fault) << "exit " + fault + " 30000"
                  << "close " + fault + " 0";
        QCOMPARE(desk.calls, opened.isEmpty() ? calls : QStringList());
    }

    void acrobatFileRouteCallsInOrder_data()
    {
        QTest::addColumn<bool>("running");
        QTest::addColumn<QString>("failing");
        QTest::addColumn<bool>("closed");  // the document view was opened, so it is closed again
        QTest::newRow("prints, Acrobat closed") << false << none << true;
        QTest::newRow("prints, Acrobat open") << true << none << true;
        QTest::newRow("no document view class") << false << "CLSIDFromProgID AcroExch.AVDoc" << false;
        QTest::newRow("application not created") << false << "CoCreateInstance AcroExch.App" << false;
        QTest::newRow("document not opened") << false << "avdoc.call Open" << false;
        QTest::newRow("open Acrobat, silent level unreadable") << true << "level.get silent" << true;
        QTest::newRow("a parameter refused") << false << "params.put nUpAutoRotate" << true;
    }

    void acrobatFileRouteCallsInOrder()
    {
        QFETCH(bool, running);
        QFETCH(QString, failing);
        Desk desk(acrobatModel);
        desk.automation.registerClass("AcroExch.App", running ? "acrobat" : "", "acrobat");
        desk.automation.failing << failing;
        const PrintOutcome outcome = PrintService().printFile(path("three.pdf"), preset());
        QVERIFY(desk.automation.allReleased());
        QTEST(desk.automation.log.contains("avdoc.call Close(true)"), "closed");
        // An instance the route started is hidden, and ended on every way out once it exists.
        const bool started = desk.automation.log.contains("acrobat.call Hide()");
        QCOMPARE(started, !running && !failing.contains("AVDoc") && !failing.startsWith("CoCreate"));
        QCOMPARE(desk.automation.log.contains("acrobat.call Exit()"), started);
        QCOMPARE(outcome.message, failing.isEmpty() ? "Sent: three.pdf" : bothFailed);
        if (!failing.isEmpty()) {
            QVERIFY2(desk.lastStep().startsWith(failing), qPrintable(desk.lastStep()));
            return;
        }
        QStringList log = desk.automation.log;
        QVERIFY2(log.takeAt(6).endsWith("/three.pdf\", \"three.pdf\")"),
                 "Acrobat opens a copy named like it");
        QStringList expected = {"CLSIDFromProgID AcroExch.App", "CLSIDFromProgID AcroExch.AVDoc",
                                "GetActiveObject AcroExch.App"};
        expected += running ? QStringList{"acrobat-unknown.release", "CoCreateInstance AcroExch.App"}
                            : QStringList{"CoCreateInstance AcroExch.App", "acrobat.call Hide()"};
        expected += {"CoCreateInstance AcroExch.AVDoc", "avdoc.call GetPDDoc()", "pddoc.call GetNumPages()"};
        expected += independentPrint + QStringList{"avdoc.call Close(true)", "avdoc.release"};
        QCOMPARE(log, expected + (running ? QStringList() : QStringList{"acrobat.call Exit()"})
                          << "acrobat.release");
    }

    void activeAcrobatRouteCallsInOrder_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("failing");
        QTest::addColumn<QString>("file");  // as Acrobat names it; {dir}: the scratch folder
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QList<int>>("copies");
        QTest::addColumn<int>("pages");
        const QString refused = "js.call print",
                      noFile = "Adobe Acrobat could not submit the PDF with independent "
                               "print settings.";
        QTest::newRow("prints") << "Quarterly.pdf" << none << none << 0 << "PDF sent to Office"
                                << QList<int>{4, 2} << 4;
        QTest::newRow("not registered")
            << none << "CLSIDFromProgID" << none << 1 << advice << QList<int>{} << 0;
        QTest::newRow("another document in front")
            << "Other.pdf" << none << none << 1 << advice << QList<int>{} << 0;
        QTest::newRow("refused, no file behind it")
            << none << refused << "{dir}/gone.pdf" << 3 << noFile << QList<int>{4, 2} << 4;
        QTest::newRow("refused, the engine tries its file URL")
            << none << refused << "file://{dir}/three.pdf" << 3 << bothFailed << QList<int>{4, 2, 1, 2} << 3;
        QTest::newRow("refused, the engine tries its drive path")
            << none << refused << "/X/three.pdf" << 3 << bothFailed << QList<int>{4, 2, 1, 2} << 3;
    }

    void activeAcrobatRouteCallsInOrder()
    {
        QFETCH(QString, title);
        QFETCH(QString, failing);
        QFETCH(QString, file);
        QFETCH(int, result);
        Desk desk(acrobatModel + QStringList("js.path=\"" + file.replace("{dir}", scratch.path()) + '"'));
        desk.automation.registerClass("AcroExch.App", "acrobat", "acrobat");
        desk.automation.failing << failing;
        const ForegroundWindowContext front{false, "AcroExch.App", title, 3131, {}};
        const PrintOutcome outcome = PrintService().printActiveDocument(preset(), front);
        QCOMPARE(int(outcome.result), result);
        QTEST(outcome.message, "message");
        QTEST(outcome.details.pageCount, "pages");
        QCOMPARE(outcome.details.jobName, result == 1 ? "" : "Quarterly.pdf");
        QTEST(desk.copies, "copies");
        QVERIFY(desk.automation.allReleased());
        // The user's own Acrobat is neither hidden, ended nor asked to close anything.
        QVERIFY(!desk.automation.log.join(' ').contains(QRegularExpression("Hide|Exit|Close")));
        const QStringList finding =
            QString("CLSIDFromProgID AcroExch.App;CoCreateInstance AcroExch.App;acrobat.call "
                    "GetActiveDoc();avdoc.call GetTitle();avdoc.call GetPDDoc();pddoc.call "
                    "GetNumPages();pddoc.call GetJSObject();js.get path;js.release")
                .split(';');
        if (result == 0)
            QCOMPARE(desk.automation.log,
                     finding + independentPrint + (QStringList{"avdoc.release", "acrobat.release"}));
    }

    void activeWordRouteCallsInOrder_data()
    {
        QTest::addColumn<QString>("failing");
        QTest::addColumn<quint32>("front");  // the process in front
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("lastStep");
        QTest::newRow("prints") << none << 4242u << 0 << printOut;
        QTest::newRow("not registered")
            << "CLSIDFromProgID" << 4242u << 1 << "CLSIDFromProgID Word.Application";
        QTest::newRow("another instance in front") << none << 77u << 1 << "word.get Hwnd";
        QTest::newRow("window through the active window") << "word.get Hwnd" << 4242u << 0 << printOut;
        QTest::newRow("no active document")
            << "word.get ActiveDocument" << 4242u << 1 << "word.get ActiveDocument";
        QTest::newRow("PrintOut refused") << "doc.call PrintOut" << 4242u << 3 << printOut;
    }

    void activeWordRouteCallsInOrder()
    {
        QFETCH(QString, failing);
        QFETCH(quint32, front);
        QFETCH(int, result);
        Desk desk(wordModel);
        desk.automation.failing << failing;
        const ForegroundWindowContext context{false, "Word.Application", none, front, {}};
        const PrintOutcome outcome = PrintService().printActiveDocument(preset(), context);
        QCOMPARE(int(outcome.result), result);
        const QStringList messages = {"Active document sent to Office", advice, none,
                                      "Unable to invoke the active document's print command."};
        QCOMPARE(outcome.message, messages.at(result));
        QTEST(desk.lastStep(), "lastStep");
        const bool switched = desk.automation.log.contains("word.get ActiveDocument");
        QCOMPARE(desk.copies, switched ? QList<int>({1, 2}) : QList<int>());
        QVERIFY(desk.automation.allReleased());
        if (failing.isEmpty() && result == 0) {
            QCOMPARE(outcome.details.jobName, "Report.docx");
            QCOMPARE(outcome.details.pageCount, 3);
            QCOMPARE(desk.automation.log,
                     QStringList({"CLSIDFromProgID Word.Application", "GetActiveObject Word.Application",
                                  "word-unknown.QueryInterface", "word.get Hwnd",
                                  "word.put ActivePrinter = \"Office\"", "word.get ActiveDocument",
                                  "doc.get Name", "doc.call ComputeStatistics(i4:2)", printOut, "doc.release",
                                  "word.release", "word-unknown.release"}));
        }
    }

    void engineSizesFlagsAndErrors_data()
    {
        QTest::addColumn<QSizeF>("page");  // points
        QTest::addColumn<int>("dpi");
        QTest::addColumn<QSize>("bitmap");
        QTest::addColumn<QByteArray>("document");
        QTest::addColumn<QString>("error");
        const QByteArray good = makeMixedOrientationPdf(3), locked = encryptPdf(good, "secret");
        QTest::newRow("600 dpi renders at 300")
            << QSizeF(612, 792) << 600 << QSize(2550, 3300) << good << none;
        QTest::newRow("96 dpi at 144, locked")
            << QSizeF(612, 792) << 96 << QSize(1224, 1584) << locked << "the PDF is password protected";
        QTest::newRow("fractions round up, truncated")
            << QSizeF(595.3, 841.9) << 300 << QSize(2481, 3508) << good.left(40)
            << "the PDF format is invalid or corrupt";
        QTest::newRow("tall strip fits 5000, empty")
            << QSizeF(100, 36000) << 200 << QSize(13, 5000) << QByteArray() << "the PDF file is empty";
    }

    void engineSizesFlagsAndErrors()
    {
        QFETCH(QSizeF, page);
        QFETCH(int, dpi);
        QFETCH(QByteArray, document);
        QFETCH(QString, error);
        QTEST(PdfEngineDocument::renderSize(float(page.width()), float(page.height()), dpi), "bitmap");
        const PdfEngineDocument pdf(document);
        QCOMPARE(pdf.error(), error);
        QCOMPARE(pdf.pageCount(), error.isEmpty() ? 3 : 0);
        // Annotations and printing always; grayscale unless the preset is in colour, driver settings or not.
        PrintPreset flagged = preset();
        flagged.useDriverSettings = dpi > 200;
        QCOMPARE(PdfEngineDocument::renderFlags(flagged), 0x801);
        flagged.colorMode = ColorMode::Mono;
        QCOMPARE(PdfEngineDocument::renderFlags(flagged), 0x809);
    }

    void historyRowsAndViewerPictures_data()
    {
        QTest::addColumn<QString>("routeName");
        QTest::addColumn<int>("routePages");
        QTest::addColumn<QString>("droppedFile");
        QTest::addColumn<QString>("windowTitle");  // also a viewer's title
        QTest::addColumn<QString>("jobName");      // of a preset of 2 copies
        QTest::addColumn<int>("total");
        QTest::addColumn<QString>("picture");  // the viewer's picture, relative to HOME; empty: none found
        QTest::newRow("route's name trimmed")
            << " Minutes.docx " << 3 << none << "beach.jpg [3 / 12] — IrfanView"
            << "Minutes.docx" << 6 << "Pictures/beach.jpg";
        QTest::newRow("foreground without a name") << none << 0 << none << "twin.png - nomacs"
                                                   << "twin.png - nomacs" << 0 << "Desktop/twin.png";
        QTest::newRow("file without a name") << " " << 5 << "/tmp/in/scan.pdf"
                                             << "{album} > twin.png - Honeyview"
                                             << "scan.pdf" << 10 << "{album}/twin.png";
        QTest::newRow("nothing names it") << none << -4 << none << none << "Unnamed job" << 0 << none;
    }

    void historyRowsAndViewerPictures()
    {
        QFETCH(QString, routeName);
        QFETCH(int, routePages);
        QFETCH(QString, droppedFile);
        QFETCH(QString, windowTitle);
        QFETCH(QString, picture);
        const PrintHistoryEntry entry =
            historyEntryForJob(preset("Office", 2), {routeName, routePages}, droppedFile, windowTitle);
        QTEST(entry.jobName, "jobName");
        QTEST(entry.totalPages, "total");

        // The viewer's picture: a full path or the folder in the title first, then the user's own folders.
        const QDir home = QDir::home();
        for (const char *file :
             {"Pictures/beach.jpg", "Desktop/twin.png", "Pictures/twin.png", "Documents/a/b/deep.bmp"})
            QVERIFY(writeFile(home.filePath(file), "x"));
        QVERIFY(writeFile(path("album/twin.png"), "x"));
        picture.replace("{album}", path("album"));
        QCOMPARE(resolveImageFromWindowTitle(windowTitle.replace("{album}", path("album"))),
                 picture.isEmpty() ? none : home.filePath(picture));
    }
};

QTEST_MAIN(TestPrintRoutes)
#include "tst_printroutes.moc"
