// Dropped files printed through a private CUPS server: the captured jobs carry the preset's copies, sides,
// colour, paper, page count and page orientations; failures print nothing and leave the user's printer
// settings as they were; `ollavan print` prints like a drop and records the history row.

#include "base/AppIdentity.h"
#include "model/DatabaseLocation.h"
#include "model/PresetParameters.h"
#include "model/PresetRepository.h"
#include "platform/PrintJobOptions.h"
#include "printing/PrintService.h"
#include "support/PrivateCups.h"
#include "support/RecordingJobOptions.h"
#include "support/TestDocuments.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace ollavan::testsupport;

namespace {

const QString queue = QStringLiteral("office");

PrintPreset officePreset()
{
    PrintPreset preset;
    preset.title = QStringLiteral("Office A5");
    preset.printerName = queue;
    preset.colorMode = ColorMode::Mono;
    preset.duplexMode = DuplexMode::Duplex;
    preset.duplexEdge = DuplexEdge::Short;
    preset.paperSize = QStringLiteral("A5");
    preset.copies = 3;
    return preset;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Page orientations ("P" or "L" per page) of a PDF as the print filters delivered it, and its sheet sizes in
// points. The filters place each page the program wrote as a form on a sheet of the job's paper, turned when
// the page was landscape; the form's bounding box is the page as written.
QString orientations(const QString &pdfPath, QString *sizes = nullptr)
{
    QProcess pdfinfo;
    pdfinfo.start(QStringLiteral("pdfinfo"), {QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                                              QStringLiteral("9999"), pdfPath});
    if (!pdfinfo.waitForFinished(60000))
        return QStringLiteral("pdfinfo did not finish");
    const QString output = QString::fromUtf8(pdfinfo.readAllStandardOutput());
    static const QRegularExpression sizeLine(
        QStringLiteral("^Page\\s+(\\d+) size:\\s+([0-9.]+) x ([0-9.]+) pts"),
        QRegularExpression::MultilineOption);
    static const QRegularExpression rotLine(QStringLiteral("^Page\\s+(\\d+) rot:\\s+(\\d+)"),
                                            QRegularExpression::MultilineOption);
    static const QRegularExpression formBox(
        QStringLiteral("/BBox\\s*\\[\\s*0\\s+0\\s+([0-9.]+)\\s+([0-9.]+)\\s*\\]"));
    QMap<int, int> rotation;
    for (auto it = rotLine.globalMatch(output); it.hasNext();) {
        const auto match = it.next();
        rotation.insert(match.captured(1).toInt(), match.captured(2).toInt());
    }
    QString sheets;
    for (auto it = sizeLine.globalMatch(output); it.hasNext();) {
        const auto match = it.next();
        const double width = match.captured(2).toDouble();
        const double height = match.captured(3).toDouble();
        const bool turned = rotation.value(match.captured(1).toInt()) % 180 == 90;
        sheets += ((width > height) != turned) ? QLatin1Char('L') : QLatin1Char('P');
        if (sizes)
            *sizes +=
                QStringLiteral("%1x%2 ").arg(qRound(qMin(width, height))).arg(qRound(qMax(width, height)));
    }
    QString written;
    const QString data = QString::fromLatin1(readFile(pdfPath));
    for (auto it = formBox.globalMatch(data); it.hasNext();) {
        const auto match = it.next();
        written +=
            match.captured(1).toDouble() > match.captured(2).toDouble() ? QLatin1Char('L') : QLatin1Char('P');
    }
    return written.size() == sheets.size() ? written : sheets;
}

}  // namespace

class TestPrintDispatch : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void droppedFilesPrintWithThePresetsSettings_data();
    void droppedFilesPrintWithThePresetsSettings();
    void engineJobCarriesCopiesWhileSavedOptionsCarryOne();
    void driverSettingsPresetPrintsWithTheUsersSavedOptions();
    void badFilesFailWithoutPrintingOrSwitching_data();
    void badFilesFailWithoutPrintingOrSwitching();
    void commandLinePrintsLikeADropAndRecordsHistory();

private:
    // Waits for every job submitted so far and answers how many were captured.
    int capturedCount() const
    {
        cups.waitForJobs(queue, submitted);
        return cups.jobs(queue).size();
    }
    QString userOptions() const { return QString::fromUtf8(readFile(cups.userOptionsPath())); }

    PrivateCups cups;
    QTemporaryDir files;
    int submitted = 0;  // jobs handed to the server so far
};

void TestPrintDispatch::initTestCase()
{
    AppIdentity::apply();
    QVERIFY(files.isValid());
    QString error;
    QVERIFY2(cups.start(&error), qPrintable(error));
    QVERIFY2(cups.addQueue(queue, PrivateCups::Ppd, &error), qPrintable(error));
    // The user's default printer is another one, which every job must leave in place.
    QVERIFY2(cups.addQueue(QStringLiteral("other"), PrivateCups::Ppd, &error), qPrintable(error));
    QVERIFY2(cups.setUserDefault(QStringLiteral("other"), &error), qPrintable(error));

    QVERIFY(writeFile(files.filePath(QStringLiteral("mixed.pdf")), makeMixedOrientationPdf(4)));
    QImage wide(300, 200, QImage::Format_RGB32);
    wide.fill(Qt::darkBlue);
    QVERIFY(wide.save(files.filePath(QStringLiteral("wide.png"))));
    QImage square(250, 250, QImage::Format_RGB32);
    square.fill(Qt::darkGreen);
    QVERIFY(square.save(files.filePath(QStringLiteral("square.png"))));
    QVERIFY(writeFile(files.filePath(QStringLiteral("camera.jpg")),
                      makeJpegWithExifOrientation(QSize(300, 200))));
    // The camera picture is stored wide and shown tall.
    QImageReader reader(files.filePath(QStringLiteral("camera.jpg")));
    reader.setAutoTransform(true);
    QCOMPARE(reader.read().size(), QSize(200, 300));

    const QByteArray good = makeMixedOrientationPdf(3);
    QVERIFY(
        writeFile(files.filePath(QStringLiteral("corrupt.pdf")), QByteArray("%PDF-1.4\nthis is garbage\n")));
    QVERIFY(writeFile(files.filePath(QStringLiteral("empty.pdf")), QByteArray()));
    QVERIFY(writeFile(files.filePath(QStringLiteral("truncated.pdf")), good.left(40)));
    const QByteArray locked = encryptPdf(good, QStringLiteral("secret"), &error);
    QVERIFY2(!locked.isEmpty(), qPrintable(error));
    QVERIFY(writeFile(files.filePath(QStringLiteral("locked.pdf")), locked));
    QVERIFY(
        writeFile(files.filePath(QStringLiteral("broken.png")), QByteArray("\x89PNG\r\n\x1a\nnot really")));
    QVERIFY(writeFile(files.filePath(QStringLiteral("notes.txt")), QByteArray("text")));
}

void TestPrintDispatch::cleanupTestCase()
{
    cups.stop();
}

void TestPrintDispatch::droppedFilesPrintWithThePresetsSettings_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("pages");
    QTest::addColumn<QString>("pageOrientations");
    QTest::newRow("pdf, portrait and landscape pages")
        << "mixed.pdf"
        << "Sent with built-in PDF engine: mixed.pdf" << 4 << "PLPL";
    QTest::newRow("wide png") << "wide.png"
                              << "Image sent: wide.png" << 1 << "L";
    QTest::newRow("square png") << "square.png"
                                << "Image sent: square.png" << 1 << "P";
    QTest::newRow("jpeg turned by exif") << "camera.jpg"
                                         << "Image sent: camera.jpg" << 1 << "P";
}

void TestPrintDispatch::droppedFilesPrintWithThePresetsSettings()
{
    QFETCH(QString, file);
    QFETCH(QString, message);
    QFETCH(int, pages);
    QFETCH(QString, pageOrientations);

    const int before = capturedCount();
    const QString optionsBefore = userOptions();
    QString text;
    PrintService::JobDetails details;
    QCOMPARE(PrintService().printFile(files.filePath(file), officePreset(), &text, &details), 0);
    ++submitted;
    QCOMPARE(text, message);
    QCOMPARE(details.jobName, file);
    QCOMPARE(details.pageCount, pages);
    QCOMPARE(userOptions(), optionsBefore);

    QCOMPARE(capturedCount(), before + 1);
    const CapturedJob job = cups.jobs(queue).last();
    QCOMPARE(job.copies, 3);
    QCOMPARE(job.options.value(QStringLiteral("sides")), QStringLiteral("two-sided-short-edge"));
    QCOMPARE(job.options.value(QStringLiteral("print-color-mode")), QStringLiteral("monochrome"));
    QVERIFY2(job.options.value(QStringLiteral("PageSize")) == QLatin1String("A5") ||
                 job.options.value(QStringLiteral("media")) == QLatin1String("A5"),
             qPrintable(job.optionText));
    QString sizes;
    QCOMPARE(orientations(job.dataPath, &sizes), pageOrientations);
    QCOMPARE(sizes.trimmed(), QStringList(pages, QStringLiteral("420x595")).join(QLatin1Char(' ')));
}

void TestPrintDispatch::engineJobCarriesCopiesWhileSavedOptionsCarryOne()
{
    RecordingJobOptions recorder(cups.userOptionsPath());
    platform::setPrintJobOptionsForTesting(&recorder);
    const int before = capturedCount();
    const QString optionsBefore = userOptions();
    PrintPreset preset = officePreset();
    preset.copies = 7;
    QString text;
    const int result = PrintService().printFile(files.filePath(QStringLiteral("mixed.pdf")), preset, &text);
    platform::setPrintJobOptionsForTesting(nullptr);
    QCOMPARE(result, 0);
    ++submitted;

    QCOMPARE(recorder.savedOptions.size(), 1);
    const QString saved = recorder.savedOptions.first();
    QVERIFY2(saved.contains(QRegularExpression(QStringLiteral("^(Dest|Default) office .*\\bcopies=1\\b"),
                                               QRegularExpression::MultilineOption)),
             qPrintable(saved));
    QVERIFY2(saved.contains(QRegularExpression(QStringLiteral("^Default office\\b"),
                                               QRegularExpression::MultilineOption)),
             qPrintable(saved));
    QCOMPARE(userOptions(), optionsBefore);

    QVERIFY(cups.waitForJobs(queue, before + 1));
    QCOMPARE(cups.jobs(queue).last().copies, 7);
}

void TestPrintDispatch::driverSettingsPresetPrintsWithTheUsersSavedOptions()
{
    QString output;
    QCOMPARE(cups.run(QStringLiteral("lpoptions"),
                      {QStringLiteral("-p"), queue, QStringLiteral("-o"),
                       QStringLiteral("sides=two-sided-long-edge"), QStringLiteral("-o"),
                       QStringLiteral("print-color-mode=color"), QStringLiteral("-o"),
                       QStringLiteral("media=iso_a4_210x297mm")},
                      &output),
             0);
    const QString optionsBefore = userOptions();
    PrintPreset preset = officePreset();  // mono, short edge, A5: all ignored with driver settings
    preset.useDriverSettings = true;
    preset.copies = 2;
    const int before = capturedCount();
    QCOMPARE(int(PrintService().printFile(files.filePath(QStringLiteral("mixed.pdf")), preset).result), 0);
    ++submitted;
    QCOMPARE(userOptions(), optionsBefore);

    QVERIFY(cups.waitForJobs(queue, before + 1));
    const CapturedJob job = cups.jobs(queue).last();
    QCOMPARE(job.copies, 2);
    QCOMPARE(job.options.value(QStringLiteral("sides")), QStringLiteral("two-sided-long-edge"));
    QCOMPARE(job.options.value(QStringLiteral("print-color-mode")), QStringLiteral("color"));
    // The printer's own paper and orientation: the document's landscape pages are not turned.
    QString sizes;
    QCOMPARE(orientations(job.dataPath, &sizes), QStringLiteral("PPPP"));
    QCOMPARE(sizes.trimmed(), QStringList(4, QStringLiteral("595x842")).join(QLatin1Char(' ')));

    QCOMPARE(cups.run(QStringLiteral("lpoptions"), {QStringLiteral("-x"), queue}, &output), 0);
}

void TestPrintDispatch::badFilesFailWithoutPrintingOrSwitching_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("message");
    const QString engine =
        QStringLiteral("Adobe Acrobat failed and the built-in PDF engine could not print the document: %1");
    QTest::newRow("corrupt pdf") << "corrupt.pdf" << 3 << engine.arg("the PDF format is invalid or corrupt");
    QTest::newRow("empty pdf") << "empty.pdf" << 3 << engine.arg("the PDF file is empty");
    QTest::newRow("password pdf") << "locked.pdf" << 3 << engine.arg("the PDF is password protected");
    QTest::newRow("truncated pdf") << "truncated.pdf" << 3
                                   << engine.arg("the PDF format is invalid or corrupt");
    QTest::newRow("unreadable image") << "broken.png" << 3 << "Unable to read image: ";
    QTest::newRow("unsupported kind")
        << "notes.txt" << 2
        << "Supported files: PDF, Word documents, WPS documents, and common image formats.";
    QTest::newRow("missing pdf")
        << "gone.pdf" << 2
        << "Supported files: PDF, Word documents, WPS documents, and common image formats.";
}

void TestPrintDispatch::badFilesFailWithoutPrintingOrSwitching()
{
    QFETCH(QString, file);
    QFETCH(int, result);
    QFETCH(QString, message);

    QString output;
    const QString optionsBefore = userOptions();
    const int before = capturedCount();
    QString text;
    PrintService::JobDetails details;
    QCOMPARE(PrintService().printFile(files.filePath(file), officePreset(), &text, &details), result);
    QVERIFY2(text.startsWith(message) && (text == message || message.endsWith(QLatin1String(": "))),
             qPrintable(text));
    QCOMPARE(details.jobName, file);
    QCOMPARE(userOptions(), optionsBefore);

    // Nothing reached the server: no job is pending and none was captured.
    QCOMPARE(cups.run(QStringLiteral("lpstat"), {QStringLiteral("-o"), queue}, &output), 0);
    QCOMPARE(output.trimmed(), QString());
    QCOMPARE(capturedCount(), before);
}

void TestPrintDispatch::commandLinePrintsLikeADropAndRecordsHistory()
{
    const QString databasePath = DatabaseLocation::databasePath();
    QVERIFY(DatabaseLocation::createDatabaseFolder(databasePath));
    QFile::remove(databasePath);
    PrintPreset preset = officePreset();
    {
        PresetRepository store(databasePath);
        QString error;
        QVERIFY2(store.open(&error), qPrintable(error));
        preset.sortOrder = -1;
        QVERIFY2(store.addPreset(preset, &error), qPrintable(error));
    }

    const QString program = QStringLiteral(OLLAVAN_BIN_DIR "/ollavan");
    const int before = capturedCount();
    QProcess cli;
    cli.start(program, {QStringLiteral("print"), QStringLiteral("--preset"), preset.title,
                        files.filePath(QStringLiteral("mixed.pdf"))});
    QVERIFY(cli.waitForFinished(120000));
    QCOMPARE(cli.exitCode(), 0);
    ++submitted;
    QCOMPARE(QString::fromUtf8(cli.readAllStandardOutput()).trimmed(),
             QStringLiteral("Sent with built-in PDF engine: mixed.pdf"));
    QVERIFY(cups.waitForJobs(queue, before + 1));
    QCOMPARE(cups.jobs(queue).last().copies, 3);

    {
        PresetRepository store(databasePath);
        QVERIFY(store.open());
        const QList<PrintHistoryEntry> history = store.printHistory(10);
        QCOMPARE(history.size(), 1);
        const PrintHistoryEntry &entry = history.first();
        QCOMPARE(entry.jobName, QStringLiteral("mixed.pdf"));
        QCOMPARE(entry.printerName, queue);
        QCOMPARE(entry.parameters, presetParameters(preset));
        QCOMPARE(entry.copies, 3);
        QCOMPARE(entry.pageCount, 4);
        QCOMPARE(entry.totalPages, 12);
    }

    // Several files: the exit code is the last file's result; a failed file leaves no history row.
    cli.start(program, {QStringLiteral("--json"), QStringLiteral("print"), QStringLiteral("--preset"),
                        QStringLiteral("Office A5"), files.filePath(QStringLiteral("wide.png")),
                        files.filePath(QStringLiteral("locked.pdf"))});
    QVERIFY(cli.waitForFinished(120000));
    QCOMPARE(cli.exitCode(), 3);
    ++submitted;
    const QJsonArray jobs = QJsonDocument::fromJson(cli.readAllStandardOutput()).array();
    QCOMPARE(jobs.size(), 2);
    QCOMPARE(jobs.at(0).toObject().value(QStringLiteral("result")).toInt(), 0);
    QCOMPARE(jobs.at(0).toObject().value(QStringLiteral("historySaved")).toBool(), true);
    QCOMPARE(jobs.at(1).toObject().value(QStringLiteral("result")).toInt(), 3);
    QCOMPARE(
        jobs.at(1).toObject().value(QStringLiteral("message")).toString(),
        QStringLiteral("Adobe Acrobat failed and the built-in PDF engine could not print the document: the "
                       "PDF is password protected"));
    PresetRepository store(databasePath);
    QVERIFY(store.open());
    QCOMPARE(store.printHistory(10).size(), 2);
    QCOMPARE(store.printHistory(10).first().jobName, QStringLiteral("wide.png"));

    // An unknown preset is refused before anything prints.
    cli.start(program, {QStringLiteral("print"), QStringLiteral("--preset"), QStringLiteral("Nope"),
                        files.filePath(QStringLiteral("wide.png"))});
    QVERIFY(cli.waitForFinished(60000));
    QCOMPARE(cli.exitCode(), 2);
    QVERIFY(QString::fromUtf8(cli.readAllStandardError()).contains(QLatin1String("Nope")));
}

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    TestPrintDispatch test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_printdispatch.moc"
