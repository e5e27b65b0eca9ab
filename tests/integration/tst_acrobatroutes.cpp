// The Acrobat routes against a private CUPS server: Acrobat (a fake on the automation registry) prints with
// the preset's printer as the default and the preset's copies in the user's saved options; when it refuses,
// the built-in engine prints the file behind the document, found from Acrobat's path in its URL and drive
// forms. Without automation servers the self-check fails with its message and the foreground routes find
// no document.

#include "base/AppIdentity.h"
#include "platform/PrintJobOptions.h"
#include "printing/PrintService.h"
#include "support/FakeAutomation.h"
#include "support/FakeOfficeApplications.h"
#include "support/FakeWindowSystem.h"
#include "support/PrivateCups.h"
#include "support/RecordingJobOptions.h"
#include "support/TestDocuments.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using namespace ollavan::testsupport;

namespace {

const QString queue = QStringLiteral("office");
constexpr quintptr acrobatWindow = 0xA001;
constexpr quint32 acrobatProcess = 3131;

PrintPreset officePreset(int copies)
{
    PrintPreset preset;
    preset.title = QStringLiteral("Office A4");
    preset.printerName = queue;
    preset.colorMode = ColorMode::Mono;
    preset.duplexMode = DuplexMode::Simplex;
    preset.duplexEdge = DuplexEdge::Long;
    preset.paperSize = QStringLiteral("A4");
    preset.copies = copies;
    return preset;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QRegularExpression savedCopies(int copies)
{
    return QRegularExpression(QStringLiteral("^Default office .*\\bcopies=%1\\b").arg(copies),
                              QRegularExpression::MultilineOption);
}

}  // namespace

class TestAcrobatRoutes : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void acrobatPrintsWithThePresetsCopiesInTheSavedOptions();
    void refusedPrintFallsBackToTheEngineWithTheDocumentsFile_data();
    void refusedPrintFallsBackToTheEngineWithTheDocumentsFile();
    void withoutAutomationServers();

private:
    QString userOptions() const { return QString::fromUtf8(readFile(cups.userOptionsPath())); }

    PrivateCups cups;
    QTemporaryDir files;
};

void TestAcrobatRoutes::initTestCase()
{
    AppIdentity::apply();
    QVERIFY(files.isValid());
    QString error;
    QVERIFY2(cups.start(&error), qPrintable(error));
    QVERIFY2(cups.addQueue(queue, PrivateCups::Ppd, &error), qPrintable(error));
    QVERIFY2(cups.addQueue(QStringLiteral("other"), PrivateCups::Ppd, &error), qPrintable(error));
    QVERIFY2(cups.setUserDefault(QStringLiteral("other"), &error), qPrintable(error));

    const QString root = QFileInfo(files.path()).canonicalFilePath();
    QVERIFY(writeFile(root + QStringLiteral("/Quarterly Report.pdf"), makeMixedOrientationPdf(3)));
    // Where Acrobat's "/Q/Shared/Annual.pdf" leads on this system: "Q:/Shared/Annual.pdf", a path relative
    // to the working folder.
    QVERIFY(writeFile(root + QStringLiteral("/Q:/Shared/Annual.pdf"), makeMixedOrientationPdf(2)));
    QVERIFY(writeFile(root + QStringLiteral("/notes.txt"), QByteArray("not a PDF")));
}

void TestAcrobatRoutes::cleanupTestCase()
{
    cups.stop();
}

void TestAcrobatRoutes::acrobatPrintsWithThePresetsCopiesInTheSavedOptions()
{
    FakeAutomationLog log;
    FakeWindowSystem windows;
    FakeAutomationRegistry registry(&log);
    FakeAcrobat acrobat(&log, &windows, acrobatWindow, acrobatProcess);
    acrobat.registerOn(registry, true);
    QString optionsAtPrint;
    QString defaultAtPrint;
    acrobat.javaScript.setMethod(QStringLiteral("print"),
                                 [&](const QList<platform::Variant> &, platform::Variant *) {
                                     optionsAtPrint = userOptions();
                                     QString output;
                                     cups.run(QStringLiteral("lpstat"), {QStringLiteral("-d")}, &output);
                                     defaultAtPrint = output;
                                     return true;
                                 });
    const QString optionsBefore = userOptions();
    const int jobsBefore = cups.jobs(queue).size();

    QString message;
    PrintService::JobDetails details;
    QCOMPARE(PrintService().printActivePdfDocument(acrobatProcess, QStringLiteral("Quarterly.pdf"),
                                                   officePreset(4), &message, &details),
             0);
    QCOMPARE(message, QStringLiteral("PDF sent to office"));
    QCOMPARE(details.pageCount, 4);
    // While Acrobat printed, the preset's printer was the user's default with the preset's copies.
    QVERIFY2(optionsAtPrint.contains(savedCopies(4)), qPrintable(optionsAtPrint));
    QVERIFY2(defaultAtPrint.contains(queue), qPrintable(defaultAtPrint));
    // Afterwards the user's options and default are as they were; the program itself printed nothing.
    QCOMPARE(userOptions(), optionsBefore);
    QCOMPARE(cups.jobs(queue).size(), jobsBefore);

    // The file route: the dispatch applies the same switch around Acrobat.
    optionsAtPrint.clear();
    QCOMPARE(PrintService().printFile(files.filePath(QStringLiteral("Quarterly Report.pdf")), officePreset(6),
                                      &message, &details),
             0);
    QCOMPARE(message, QStringLiteral("Sent: Quarterly Report.pdf"));
    QVERIFY2(optionsAtPrint.contains(savedCopies(6)), qPrintable(optionsAtPrint));
    QCOMPARE(userOptions(), optionsBefore);
    QCOMPARE(log.filtered({QStringLiteral("acrobat.call Hide"), QStringLiteral("acrobat.call Exit")}).size(),
             0);
}

void TestAcrobatRoutes::refusedPrintFallsBackToTheEngineWithTheDocumentsFile_data()
{
    QTest::addColumn<QString>("reportedPath");  // {dir}: the test folder
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<int>("pages");
    QTest::newRow("file URL") << QStringLiteral("file://{dir}/Quarterly%20Report.pdf")
                              << QStringLiteral("Quarterly Report.pdf") << 3;
    QTest::newRow("slash drive slash")
        << QStringLiteral("/Q/Shared/Annual.pdf") << QStringLiteral("Annual.pdf") << 2;
}

void TestAcrobatRoutes::refusedPrintFallsBackToTheEngineWithTheDocumentsFile()
{
    QFETCH(QString, reportedPath);
    QFETCH(QString, fileName);
    QFETCH(int, pages);

    const QString root = QFileInfo(files.path()).canonicalFilePath();
    const QString previousFolder = QDir::currentPath();
    QVERIFY(QDir::setCurrent(root));

    FakeAutomationLog log;
    FakeWindowSystem windows;
    FakeAutomationRegistry registry(&log);
    FakeAcrobat acrobat(&log, &windows, acrobatWindow, acrobatProcess);
    acrobat.registerOn(registry, true);
    acrobat.view.setMethod(QStringLiteral("GetTitle"), platform::stringVariant(fileName));
    acrobat.javaScript.setProperty(
        QStringLiteral("path"),
        platform::stringVariant(QString(reportedPath).replace(QStringLiteral("{dir}"), root)));
    QString optionsAtAcrobat;
    acrobat.javaScript.setMethod(QStringLiteral("print"),
                                 [&](const QList<platform::Variant> &, platform::Variant *) {
                                     optionsAtAcrobat = userOptions();
                                     return false;  // Acrobat refuses
                                 });
    RecordingJobOptions recorder(cups.userOptionsPath());
    platform::setPrintJobOptionsForTesting(&recorder);
    const QString optionsBefore = userOptions();
    const int jobsBefore = cups.jobs(queue).size();

    QString message;
    PrintService::JobDetails details;
    const int result =
        PrintService().printActivePdfDocument(acrobatProcess, fileName, officePreset(3), &message, &details);
    platform::setPrintJobOptionsForTesting(nullptr);
    QDir::setCurrent(previousFolder);

    QCOMPARE(result, 0);
    QCOMPARE(message, QStringLiteral("Sent with built-in PDF engine: %1").arg(fileName));
    QCOMPARE(details.jobName, fileName);
    QCOMPARE(details.pageCount, pages);  // the engine's count replaces Acrobat's
    // Acrobat had the preset's copies in the saved options; the engine had one there and asked for the
    // preset's copies itself.
    QVERIFY2(optionsAtAcrobat.contains(savedCopies(3)), qPrintable(optionsAtAcrobat));
    QCOMPARE(recorder.savedOptions.size(), 1);
    QVERIFY2(recorder.savedOptions.first().contains(savedCopies(1)),
             qPrintable(recorder.savedOptions.first()));
    QVERIFY(cups.waitForJobs(queue, jobsBefore + 1));
    const CapturedJob job = cups.jobs(queue).last();
    QCOMPARE(job.copies, 3);
    QCOMPARE(userOptions(), optionsBefore);
}

void TestAcrobatRoutes::withoutAutomationServers()
{
    // The platform's own automation: no Acrobat, Word or WPS on this desktop.
    const QString program = QStringLiteral(OLLAVAN_BIN_DIR "/ollavan-quick");
    QVERIFY2(QFile::exists(program), "ollavan-quick is built with the tests");
    struct Case
    {
        QString file;
        QString message;
    };
    const Case cases[] = {
        {files.filePath(QStringLiteral("Quarterly Report.pdf")),
         QStringLiteral("Acrobat did not expose the independent PrintParams required for safe printing.")},
        {files.filePath(QStringLiteral("notes.txt")),
         QStringLiteral("A readable PDF test file is required.")},
        {files.filePath(QStringLiteral("missing.pdf")),
         QStringLiteral("A readable PDF test file is required.")},
    };
    for (const Case &check : cases) {
        QString message;
        QVERIFY(!PrintService::verifyAcrobatIsolation(check.file, &message));
        QCOMPARE(message, check.message);

        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(program, {QStringLiteral("--verify-acrobat-isolation"), check.file});
        QVERIFY(process.waitForFinished(120000));
        const QString output = QString::fromUtf8(process.readAll());
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 2);
        QVERIFY2(output.contains(check.message), qPrintable(output));
    }

    const QString optionsBefore = userOptions();
    const int jobsBefore = cups.jobs(queue).size();
    for (const QString &progId : {QStringLiteral("AcroExch.App"), QStringLiteral("Word.Application")}) {
        QString message;
        QCOMPARE(PrintService().printActiveDocument(
                     officePreset(2), progId, quint32(QCoreApplication::applicationPid()),
                     QStringLiteral("Quarterly Report.pdf"), &message, nullptr),
                 1);
        QCOMPARE(
            message,
            QStringLiteral(
                "Bring a supported document to the foreground, or drag the file onto a printer preset."));
    }
    QCOMPARE(userOptions(), optionsBefore);
    QCOMPARE(cups.jobs(queue).size(), jobsBefore);
}

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    TestAcrobatRoutes test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_acrobatroutes.moc"
