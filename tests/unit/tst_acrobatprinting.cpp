#include "platform/DevMode.h"
#include "platform/SystemTexts.h"
#include "printing/AcrobatPrinting.h"
#include "printing/PrintService.h"
#include "support/FakeAutomation.h"
#include "support/FakeOfficeApplications.h"
#include "support/FakeWindowSystem.h"
#include "support/FakeWinspool.h"
#include "support/TestDocuments.h"

#include <QtTest>

using namespace ollavan::testsupport;
using platform::DispatchPtr;
using platform::Variant;

namespace {

constexpr quintptr acrobatWindow = 0xA001;
constexpr quint32 acrobatProcess = 3131;

const QStringList printParamsWrites = {"printerName",   "firstPage",     "lastPage",
                                       "pageHandling",  "nUpNumPagesH",  "nUpNumPagesV",
                                       "nUpAutoRotate", "nUpPageBorder", "interactive"};

PrintPreset officePreset(int copies = 3)
{
    PrintPreset preset;
    preset.title = "Office colour";
    preset.printerName = "Office";
    preset.colorMode = ColorMode::Color;
    preset.duplexMode = DuplexMode::Simplex;
    preset.paperSize = "A4";
    preset.copies = copies;
    return preset;
}

// Acrobat on the fake registry, a spooler with the preset's printer, and a real PDF on disk.
struct Desk
{
    explicit Desk(bool running = false)
        : registry(&log), acrobat(&log, &windows, acrobatWindow, acrobatProcess), installation(&spooler)
    {
        acrobat.registerOn(registry, running);
        windows.setForegroundWindow(acrobatWindow);
        spooler.addPrinter("Office");
        spooler.addPrinter("Previous");
        spooler.defaultPrinterName = "Previous";
        originalUserDevMode = spooler.userDevModes.value("Office");
        pdfPath = folder.filePath("Quarterly.pdf");
        writeFile(pdfPath, makeMixedOrientationPdf(4));
        // Distinct kinds, so the test sees each constant reach its own member unchanged.
        acrobat.handling.setProperty("shrink", platform::intVariant(2));
        acrobat.interactionLevel.setProperty("silent", unsignedVariant(9));
        acrobat.javaScript.setMethod("print", [this](const QList<Variant> &, Variant *) {
            printed = true;
            defaultAtPrint = spooler.defaultPrinterName;
            copiesAtPrint = platform::DevMode(spooler.userDevModes.value("Office")).copies();
            return !failPrint;
        });
    }

    bool allReleased() const
    {
        const FakeAutomationObject *objects[] = {
            &acrobat.application, &acrobat.view,      &acrobat.document, &acrobat.javaScript,
            &acrobat.printParams, &acrobat.constants, &acrobat.handling, &acrobat.interactionLevel};
        for (const FakeAutomationObject *object : objects) {
            if (object->references() != 0)
                return false;
        }
        return true;
    }

    QStringList calls(const QString &member) const
    {
        QStringList found;
        for (const QString &line : log.entries()) {
            if (line.contains(member))
                found.append(line);
        }
        return found;
    }

    QTemporaryDir folder;
    QString pdfPath;
    FakeAutomationLog log;
    FakeWindowSystem windows;
    FakeAutomationRegistry registry;
    FakeAcrobat acrobat;
    FakeWinspool spooler;
    FakeWinspool::Installation installation;
    QByteArray originalUserDevMode;
    bool printed = false;
    bool failPrint = false;
    QString defaultAtPrint;
    int copiesAtPrint = -1;
};

QStringList independentPrintCalls(const QString &printer, int lastPage)
{
    return {
        "pddoc.call GetJSObject()",
        "js.call getPrintParams()",
        "printparams.get constants",
        "constants.get handling",
        "constants.get interactionLevel",
        "handling.get shrink",
        "interactionlevel.get silent",
        "printparams.put printerName = \"" + printer + "\"",
        "printparams.put firstPage = i4:0",
        QString("printparams.put lastPage = i4:%1").arg(lastPage),
        "printparams.put pageHandling = i4:2",
        "printparams.put nUpNumPagesH = i4:1",
        "printparams.put nUpNumPagesV = i4:1",
        "printparams.put nUpAutoRotate = false",
        "printparams.put nUpPageBorder = false",
        "printparams.put interactive = ui4:9",
    };
}

const QStringList independentPrintReleases = {"interactionlevel.release", "handling.release",
                                              "constants.release", "printparams.release", "js.release"};

}  // namespace

// The Acrobat routes: the file route's own instance, its document and its independent print parameters;
// the foreground route with its fallback to the built-in engine; the file behind an open document; the
// self-check.
class AcrobatPrintingTest : public QObject
{
    Q_OBJECT

private slots:
    void fileRouteCallsAndReleasesInOrder_data();
    void fileRouteCallsAndReleasesInOrder();
    void fileRouteGivesUpAtTheFirstFailingStep_data();
    void fileRouteGivesUpAtTheFirstFailingStep();
    void printParamsWritesStopAtTheFirstFailure_data();
    void printParamsWritesStopAtTheFirstFailure();
    void pageRangeAndPreparingWithoutSubmitting();
    void documentPathFromAcrobat_data();
    void documentPathFromAcrobat();
    void foregroundRoutePrintsTheActiveDocument();
    void foregroundRouteAnswersNoDocument_data();
    void foregroundRouteAnswersNoDocument();
    void foregroundRouteFailures();
    void selfCheck();
    void withoutAutomationServers();
};

void AcrobatPrintingTest::fileRouteCallsAndReleasesInOrder_data()
{
    QTest::addColumn<bool>("running");
    QTest::newRow("Acrobat closed") << false;
    QTest::newRow("Acrobat open") << true;
}

void AcrobatPrintingTest::fileRouteCallsAndReleasesInOrder()
{
    QFETCH(bool, running);
    Desk desk(running);

    int pageCount = 0;
    QVERIFY(executeAcrobatPdfPrint(desk.pdfPath, "Office", &pageCount, true));
    QCOMPARE(pageCount, 4);

    QStringList expected = {"CLSIDFromProgID AcroExch.App", "CLSIDFromProgID AcroExch.AVDoc",
                            "GetActiveObject AcroExch.App"};
    if (running)
        expected << "acrobat-unknown.release";  // only looked at
    expected << "CoCreateInstance AcroExch.App";
    if (!running)
        expected << "acrobat.call Hide()";
    expected << "CoCreateInstance AcroExch.AVDoc"
             << "avdoc.call Open(\"" + QDir::toNativeSeparators(desk.pdfPath) + "\", \"Quarterly.pdf\")"
             << "avdoc.call GetPDDoc()"
             << "pddoc.call GetNumPages()";
    expected << independentPrintCalls("Office", 3);
    expected << "js.call print(object:printparams)";
    expected << independentPrintReleases;
    expected << "pddoc.release"
             << "avdoc.call Close(true)"
             << "avdoc.release";
    if (!running)
        expected << "acrobat.call Exit()";
    expected << "acrobat.release";
    QCOMPARE(desk.log.entries(), expected);
    QVERIFY(desk.allReleased());
}

void AcrobatPrintingTest::fileRouteGivesUpAtTheFirstFailingStep_data()
{
    QTest::addColumn<QString>("step");
    QTest::addColumn<bool>("opened");  // whether the view was open and must be closed

    QTest::newRow("no document view class") << "AVDoc class" << false;
    QTest::newRow("application not created") << "create App" << false;
    QTest::newRow("view not created") << "create AVDoc" << false;
    QTest::newRow("Open fails") << "Open fails" << false;
    QTest::newRow("Open answers false") << "Open false" << false;
    QTest::newRow("Open answers a number") << "Open number" << false;
    QTest::newRow("no PDDoc") << "GetPDDoc" << true;
    QTest::newRow("page count unreadable") << "GetNumPages" << true;
    QTest::newRow("no pages") << "zero pages" << true;
    QTest::newRow("no JavaScript object") << "GetJSObject" << true;
    QTest::newRow("no PrintParams") << "getPrintParams" << true;
    QTest::newRow("no constants") << "constants" << true;
    QTest::newRow("no handling constants") << "handling" << true;
    QTest::newRow("no interaction constants") << "interactionLevel" << true;
    QTest::newRow("shrink unreadable") << "shrink" << true;
    QTest::newRow("silent unreadable") << "silent" << true;
    QTest::newRow("print refused") << "print" << true;
}

void AcrobatPrintingTest::fileRouteGivesUpAtTheFirstFailingStep()
{
    QFETCH(QString, step);
    QFETCH(bool, opened);
    Desk desk;

    if (step == "AVDoc class")
        desk.registry.unregisterClass("AcroExch.AVDoc");
    else if (step == "create App")
        desk.registry.registerClass("AcroExch.App");
    else if (step == "create AVDoc")
        desk.registry.registerClass("AcroExch.AVDoc");
    else if (step == "Open fails")
        desk.acrobat.view.failMember("Open");
    else if (step == "Open false")
        desk.acrobat.view.setMethod("Open", platform::boolVariant(false));
    else if (step == "Open number")
        desk.acrobat.view.setMethod("Open", platform::intVariant(1));
    else if (step == "GetPDDoc")
        desk.acrobat.view.failMember("GetPDDoc");
    else if (step == "GetNumPages")
        desk.acrobat.document.failMember("GetNumPages");
    else if (step == "zero pages")
        desk.acrobat.document.setMethod("GetNumPages", platform::intVariant(0));
    else if (step == "GetJSObject")
        desk.acrobat.document.failMember("GetJSObject");
    else if (step == "getPrintParams")
        desk.acrobat.javaScript.failMember("getPrintParams");
    else if (step == "constants")
        desk.acrobat.printParams.failMember("constants");
    else if (step == "handling")
        desk.acrobat.constants.failMember("handling");
    else if (step == "interactionLevel")
        desk.acrobat.constants.failMember("interactionLevel");
    else if (step == "shrink")
        desk.acrobat.handling.failMember("shrink");
    else if (step == "silent")
        desk.acrobat.interactionLevel.failMember("silent");
    else if (step == "print")
        desk.failPrint = true;

    int pageCount = 77;
    QVERIFY(!executeAcrobatPdfPrint(desk.pdfPath, "Office", &pageCount, true));
    QCOMPARE(pageCount, 77);
    QCOMPARE(desk.calls("avdoc.call Close").size(), opened ? 1 : 0);
    if (opened)
        QCOMPARE(desk.calls("avdoc.call Close").first(), QString("avdoc.call Close(true)"));
    // The instance the route started is ended on every way out, as soon as it exists.
    const bool started = step != "AVDoc class" && step != "create App";
    QCOMPARE(desk.calls("acrobat.call Exit()").size(), started ? 1 : 0);
    if (started)
        QCOMPARE(desk.log.entries().last(), QString("acrobat.release"));
    QCOMPARE(desk.printed, step == "print");
    if (step != "print")
        QVERIFY(desk.calls("printparams.put").isEmpty());
    QVERIFY(desk.allReleased());
}

void AcrobatPrintingTest::printParamsWritesStopAtTheFirstFailure_data()
{
    QTest::addColumn<int>("failing");
    for (int index = 0; index < printParamsWrites.size(); ++index)
        QTest::newRow(qPrintable(printParamsWrites.at(index))) << index;
}

void AcrobatPrintingTest::printParamsWritesStopAtTheFirstFailure()
{
    QFETCH(int, failing);
    Desk desk;
    desk.acrobat.printParams.failMember(printParamsWrites.at(failing));

    QVERIFY(!invokePdfPrintIndependent(DispatchPtr::share(&desk.acrobat.document), "Office", 3, true));

    QStringList written;
    for (const QString &line : desk.calls("printparams.put"))
        written.append(line.section(' ', 1, 1));
    QCOMPARE(written, printParamsWrites.mid(0, failing + 1));
    QVERIFY(!desk.printed);
    QVERIFY(desk.allReleased());
}

void AcrobatPrintingTest::pageRangeAndPreparingWithoutSubmitting()
{
    {
        // A one-page document prints page 0 to page 0.
        Desk desk;
        desk.acrobat.document.setMethod("GetNumPages", platform::intVariant(1));
        int pageCount = 0;
        QVERIFY(executeAcrobatPdfPrint(desk.pdfPath, "Office", &pageCount, true));
        QCOMPARE(pageCount, 1);
        QCOMPARE(desk.calls("Page ="),
                 QStringList({"printparams.put firstPage = i4:0", "printparams.put lastPage = i4:0"}));
        QCOMPARE(desk.acrobat.printParams.property("lastPage").integer, 0);
    }
    {
        // Without submit everything is prepared and nothing is printed; the view is still closed and the
        // instance ended.
        Desk desk;
        int pageCount = 0;
        QVERIFY(executeAcrobatPdfPrint(desk.pdfPath, "Office", &pageCount, false));
        QCOMPARE(pageCount, 4);
        QVERIFY(!desk.printed);
        QVERIFY(desk.calls("js.call print").isEmpty());
        QCOMPARE(desk.calls("printparams.put").size(), 9);
        QCOMPARE(desk.calls("avdoc.call Close(true)").size(), 1);
        QCOMPARE(desk.calls("acrobat.call Exit()").size(), 1);
        QVERIFY(desk.allReleased());
    }
}

void AcrobatPrintingTest::documentPathFromAcrobat_data()
{
    QTest::addColumn<QString>("reported");  // {dir} is the test folder
    QTest::addColumn<QString>("expected");  // relative to the test folder; empty: no file

    QTest::newRow("plain path") << "{dir}/Quarterly.pdf"
                                << "Quarterly.pdf";
    QTest::newRow("surrounding blanks") << "  {dir}/Quarterly.pdf \n"
                                        << "Quarterly.pdf";
    QTest::newRow("file URL") << "file://{dir}/Quarterly.pdf"
                              << "Quarterly.pdf";
    QTest::newRow("file URL in capitals, escaped blank") << "FILE://{dir}/With%20Blank.pdf"
                                                         << "With Blank.pdf";
    // Acrobat's device-independent form: a slash, the drive letter, a slash. On Linux the resulting
    // "X:/..." is a relative path, so the test runs in a folder holding "X:".
    QTest::newRow("slash drive slash") << "/X/Reports/Annual.pdf"
                                       << "X:/Reports/Annual.pdf";
    QTest::newRow("lower-case drive") << "/x/Notes.pdf"
                                      << "x:/Notes.pdf";
    QTest::newRow("missing file") << "{dir}/Missing.pdf"
                                  << "";
    QTest::newRow("a folder") << "{dir}/X:"
                              << "";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("two-letter drive is no drive") << "/XY/Reports/Annual.pdf"
                                                  << "";
}

void AcrobatPrintingTest::documentPathFromAcrobat()
{
    QFETCH(QString, reported);
    QFETCH(QString, expected);

    Desk desk;
    const QString dir = QFileInfo(desk.folder.path()).canonicalFilePath();
    writeFile(dir + "/With Blank.pdf", makeMixedOrientationPdf(1));
    writeFile(dir + "/X:/Reports/Annual.pdf", makeMixedOrientationPdf(1));
    writeFile(dir + "/x:/Notes.pdf", makeMixedOrientationPdf(1));
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir));

    desk.acrobat.javaScript.setProperty("path",
                                        platform::stringVariant(QString(reported).replace("{dir}", dir)));
    const QString found = pdfPathFromAcrobat(DispatchPtr::share(&desk.acrobat.document));
    QDir::setCurrent(previous);
    QCOMPARE(found, expected.isEmpty() ? QString() : dir + "/" + expected);
    QVERIFY(desk.allReleased());

    // No JavaScript object, or a path that is not a string: no file.
    desk.acrobat.javaScript.setProperty("path", platform::intVariant(1));
    QCOMPARE(pdfPathFromAcrobat(DispatchPtr::share(&desk.acrobat.document)), QString());
    desk.acrobat.document.failMember("GetJSObject");
    QCOMPARE(pdfPathFromAcrobat(DispatchPtr::share(&desk.acrobat.document)), QString());
    QCOMPARE(pdfPathFromAcrobat(DispatchPtr()), QString());
}

void AcrobatPrintingTest::foregroundRoutePrintsTheActiveDocument()
{
    Desk desk(true);
    desk.acrobat.javaScript.setProperty("path", platform::stringVariant(desk.pdfPath));

    QString message;
    PrintService::JobDetails details;
    QCOMPARE(PrintService().printActivePdfDocument(acrobatProcess, "Quarterly.pdf", officePreset(3), &message,
                                                   &details),
             int(PrintService::Sent));
    QCOMPARE(message, QString("PDF sent to Office"));
    QCOMPARE(details.jobName, QString("Quarterly.pdf"));
    QCOMPARE(details.pageCount, 4);

    QStringList expected = {"CLSIDFromProgID AcroExch.App",
                            "CoCreateInstance AcroExch.App",
                            "acrobat.call GetActiveDoc()",
                            "avdoc.call GetTitle()",
                            "avdoc.call GetPDDoc()",
                            "pddoc.call GetNumPages()",
                            "pddoc.call GetJSObject()",
                            "js.get path",
                            "js.release"};
    expected << independentPrintCalls("Office", 3) << "js.call print(object:printparams)"
             << independentPrintReleases << "pddoc.release"
             << "avdoc.release"
             << "acrobat.release";
    QCOMPARE(desk.log.entries(), expected);
    // The user's Acrobat is neither hidden, ended nor asked to close anything.
    QVERIFY(desk.calls("Hide").isEmpty());
    QVERIFY(desk.calls("Exit").isEmpty());
    QVERIFY(desk.calls("Close").isEmpty());
    QCOMPARE(desk.windows.calls().first(), QString("processExists %1").arg(acrobatProcess));

    // Acrobat printed to the preset's printer, with the preset's copies in the per-user settings.
    QCOMPARE(desk.defaultAtPrint, QString("Office"));
    QCOMPARE(desk.copiesAtPrint, 3);
    QCOMPARE(desk.spooler.defaultPrinterName, QString("Previous"));
    QCOMPARE(desk.spooler.userDevModes.value("Office"), desk.originalUserDevMode);
    QVERIFY(desk.allReleased());

    // The file route carries the preset's copies the same way (the dispatch applies the scope around it).
    Desk fileDesk;
    QCOMPARE(PrintService().printFile(fileDesk.pdfPath, officePreset(7), &message, &details),
             int(PrintService::Sent));
    QCOMPARE(fileDesk.copiesAtPrint, 7);
    QCOMPARE(fileDesk.defaultAtPrint, QString("Office"));
}

void AcrobatPrintingTest::foregroundRouteAnswersNoDocument_data()
{
    QTest::addColumn<QString>("situation");
    QTest::addColumn<QString>("windowTitle");
    QTest::newRow("Acrobat process gone") << "gone"
                                          << "Quarterly.pdf";
    QTest::newRow("Acrobat not installed") << "not installed"
                                           << "Quarterly.pdf";
    QTest::newRow("application not created") << "no application"
                                             << "Quarterly.pdf";
    QTest::newRow("no active document") << "no active doc"
                                        << "Quarterly.pdf";
    QTest::newRow("untitled document") << "no title"
                                       << "";
    QTest::newRow("title of another window") << ""
                                             << "Other.pdf";
    QTest::newRow("title differs in case") << ""
                                           << "quarterly.pdf";
    QTest::newRow("no PDDoc") << "no pddoc"
                              << "Quarterly.pdf";
    QTest::newRow("no pages") << "no pages"
                              << "Quarterly.pdf";
}

void AcrobatPrintingTest::foregroundRouteAnswersNoDocument()
{
    QFETCH(QString, situation);
    QFETCH(QString, windowTitle);
    Desk desk(true);

    if (situation == "gone")
        desk.windows.endProcess(acrobatProcess);
    else if (situation == "not installed")
        desk.registry.unregisterClass("AcroExch.App");
    else if (situation == "no application")
        desk.registry.registerClass("AcroExch.App");
    else if (situation == "no active doc")
        desk.acrobat.application.setMethod("GetActiveDoc", Variant());
    else if (situation == "no title")
        desk.acrobat.view.setMethod("GetTitle", platform::stringVariant(QString()));
    else if (situation == "no pddoc")
        desk.acrobat.view.failMember("GetPDDoc");
    else if (situation == "no pages")
        desk.acrobat.document.setMethod("GetNumPages", platform::intVariant(0));

    QString message;
    PrintService::JobDetails details;
    QCOMPARE(PrintService().printActivePdfDocument(acrobatProcess, windowTitle, officePreset(), &message,
                                                   &details),
             int(PrintService::NoDocument));
    QVERIFY(message.isEmpty());
    QVERIFY(details.jobName.isEmpty());
    QVERIFY(desk.spooler.calls().isEmpty());
    QVERIFY(!desk.printed);
    if (situation == "gone")
        QVERIFY(desk.log.entries().isEmpty());
    QVERIFY(desk.allReleased());

    // Through the dispatch the same situation reads as the default message.
    if (situation != "gone") {
        QCOMPARE(PrintService().printActiveDocument(officePreset(), "AcroExch.App", acrobatProcess,
                                                    windowTitle, &message, nullptr),
                 int(PrintService::NoDocument));
        QCOMPARE(
            message,
            QString("Bring a supported document to the foreground, or drag the file onto a printer preset."));
    }
}

void AcrobatPrintingTest::foregroundRouteFailures()
{
    {
        // An empty window title accepts whatever document Acrobat has in front; the settings switch fails.
        Desk desk(true);
        PrintPreset preset = officePreset();
        preset.printerName = "Gone";
        QString message;
        QCOMPARE(PrintService().printActivePdfDocument(acrobatProcess, QString(), preset, &message, nullptr),
                 int(PrintService::Failed));
        QCOMPARE(message, QString("Printer not found: Gone"));
        QVERIFY(!desk.printed);
        QVERIFY(desk.allReleased());
    }
    {
        // Acrobat refuses to print and its document names no file on disk: no fallback.
        Desk desk(true);
        desk.failPrint = true;
        desk.acrobat.javaScript.setProperty("path",
                                            platform::stringVariant(desk.folder.filePath("Gone.pdf")));
        QString message;
        QCOMPARE(PrintService().printActivePdfDocument(acrobatProcess, "Quarterly.pdf", officePreset(),
                                                       &message, nullptr),
                 int(PrintService::Failed));
        QCOMPARE(message, QString("Adobe Acrobat could not submit the PDF with independent print settings."));
        QCOMPARE(desk.spooler.calls().filter("openPrinter").size(), 1);
        QCOMPARE(desk.spooler.defaultPrinterName, QString("Previous"));
        QCOMPARE(desk.spooler.userDevModes.value("Office"), desk.originalUserDevMode);
        QVERIFY(desk.allReleased());
    }
    {
        // Acrobat refuses and the file exists: the first switch is undone, a second one with one copy is
        // made for the engine (which here has no print server to reach).
        Desk desk(true);
        desk.failPrint = true;
        desk.acrobat.javaScript.setProperty("path", platform::stringVariant(desk.pdfPath));
        QString message;
        QCOMPARE(PrintService().printActivePdfDocument(acrobatProcess, "Quarterly.pdf", officePreset(4),
                                                       &message, nullptr),
                 int(PrintService::Failed));
        QVERIFY2(message.startsWith(
                     "Adobe Acrobat failed and the built-in PDF engine could not print the document: "),
                 qPrintable(message));
        const QStringList calls = desk.spooler.calls();
        QCOMPARE(calls.filter("openPrinter(Office)").size(), 2);
        QCOMPARE(calls.filter("closePrinter(Office)").size(), 2);
        // The first scope is fully restored before the second is opened.
        QVERIFY(calls.indexOf("closePrinter(Office)") < calls.lastIndexOf("openPrinter(Office)"));
        QCOMPARE(desk.copiesAtPrint, 4);
        QCOMPARE(desk.spooler.defaultPrinterName, QString("Previous"));
        QCOMPARE(desk.spooler.userDevModes.value("Office"), desk.originalUserDevMode);
        QVERIFY(desk.allReleased());
    }
}

void AcrobatPrintingTest::selfCheck()
{
    {
        Desk desk;
        QString message;
        QVERIFY(PrintService::verifyAcrobatIsolation(desk.pdfPath, &message));
        QCOMPARE(message,
                 QString("Acrobat independent PrintParams available; PDF opened with 4 page(s), no print "
                         "job submitted."));
        // Prepared with the default printer, nothing printed, nothing switched, the apartment left again.
        QCOMPARE(desk.acrobat.printParams.property("printerName").string, QString("Previous"));
        QVERIFY(!desk.printed);
        QVERIFY(desk.spooler.calls().filter(QRegularExpression("setDefaultPrinter|openPrinter")).isEmpty());
        QCOMPARE(desk.log.entries().first(), QString("CoInitializeEx"));
        QCOMPARE(desk.log.entries().last(), QString("CoUninitialize"));
        QCOMPARE(desk.registry.openApartments(), 0);
        QVERIFY(desk.allReleased());
    }
    {
        Desk desk;
        desk.failPrint = true;  // the check never calls print, so this does not matter
        desk.acrobat.printParams.failMember("interactive");
        QString message;
        QVERIFY(!PrintService::verifyAcrobatIsolation(desk.pdfPath, &message));
        QCOMPARE(message,
                 QString("Acrobat did not expose the independent PrintParams required for safe printing."));
    }

    // Files that cannot be the test file, and machines without a default printer.
    Desk desk;
    writeFile(desk.folder.filePath("notes.txt"), "text");
    writeFile(desk.folder.filePath("UPPER.PDF"), makeMixedOrientationPdf(2));
    QDir(desk.folder.path()).mkdir("folder.pdf");
    const QString required = "A readable PDF test file is required.";
    struct Case
    {
        QString path;
        QString message;
    };
    const Case cases[] = {
        {desk.folder.filePath("notes.txt"), required},
        {desk.folder.filePath("missing.pdf"), required},
        {desk.folder.filePath("folder.pdf"), required},
        {QString(), required},
    };
    for (const Case &check : cases) {
        desk.log.clear();
        QString message;
        QVERIFY(!PrintService::verifyAcrobatIsolation(check.path, &message));
        QCOMPARE(message, check.message);
        QVERIFY(desk.log.entries().isEmpty());
    }
    QString message;
    // The suffix is compared without regard to case.
    QVERIFY(PrintService::verifyAcrobatIsolation(desk.folder.filePath("UPPER.PDF"), &message));

    desk.spooler.defaultPrinterName.clear();
    QVERIFY(!PrintService::verifyAcrobatIsolation(desk.pdfPath, &message));
    // The machine's print system is named (Windows or CUPS).
    QCOMPARE(message, QString::fromUtf8(platform::systemText("No Windows default printer is configured.")));
    desk.spooler.defaultPrinterName = "Previous";
    desk.spooler.fail("getDefaultPrinter");
    QVERIFY(!PrintService::verifyAcrobatIsolation(desk.pdfPath, &message));
    QCOMPARE(message,
             QString::fromUtf8(platform::systemText("The Windows default printer could not be read.")));
    QCOMPARE(desk.registry.openApartments(), 0);
}

void AcrobatPrintingTest::withoutAutomationServers()
{
    // The platform's own automation: on Linux no class is registered, so the routes answer as on a
    // machine without Word, WPS or Acrobat.
    FakeWinspool spooler;
    FakeWinspool::Installation installation(&spooler);
    spooler.addPrinter("Office");
    spooler.defaultPrinterName = "Office";
    QTemporaryDir folder;
    const QString pdf = folder.filePath("Check.pdf");
    writeFile(pdf, makeMixedOrientationPdf(1));

    QString message;
    QVERIFY(!PrintService::verifyAcrobatIsolation(pdf, &message));
    QCOMPARE(message,
             QString("Acrobat did not expose the independent PrintParams required for safe printing."));
    QVERIFY(!executeAcrobatPdfPrint(pdf, "Office", nullptr, true));

    for (const QString progId : {"AcroExch.App", "Word.Application", "KWPS.Application"}) {
        message.clear();
        QCOMPARE(
            PrintService().printActiveDocument(officePreset(), progId, 4242, "Check.pdf", &message, nullptr),
            int(PrintService::NoDocument));
        QCOMPARE(
            message,
            QString("Bring a supported document to the foreground, or drag the file onto a printer preset."));
    }
    QVERIFY(spooler.calls().filter("openPrinter").isEmpty());
}

QTEST_GUILESS_MAIN(AcrobatPrintingTest)
#include "tst_acrobatprinting.moc"
