// Files printed through a private CUPS server: the captured job carries the preset's copies, sides, colour
// and paper for each kind of preset (with the driver's settings, the user's saved options), and the user's
// saved options come back; a PDF goes to the server as it is, its pages placed as the built-in engine places
// them; inputs that cannot be printed are refused at once with their message, nothing printed and nothing
// switched, and a queue that formats no PDF gets the engine's pages; the engine can be forced.

#include "base/AppIdentity.h"
#include "model/DatabaseLocation.h"
#include "model/PresetRepository.h"
#include "printing/PrintService.h"
#include "support/PrivateCups.h"
#include "support/TestDocuments.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLocalServer>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <future>
#include <sys/stat.h>

using namespace ollavan::testsupport;

namespace {

const QString queue = "office";

// The user's saved options file as it is now: its bytes and its identity (a switch rewrites it even when it
// puts the same bytes back).
QString optionsState()
{
    struct stat info = {};
    const QString path = QDir::homePath() + "/.cups/lpoptions";
    QFile file(path);
    if (::stat(QFile::encodeName(path).constData(), &info) != 0 || !file.open(QIODevice::ReadOnly))
        return "no options file";
    return QString("%1 %2.%3\n").arg(info.st_ino).arg(info.st_mtim.tv_sec).arg(info.st_mtim.tv_nsec) +
           file.readAll();
}

// Prints on a worker and gives up the whole test when that does not end within a minute (a hang).
PrintOutcome printWithin(const QString &file, const PrintPreset &preset,
                         PdfEngineChoice choice = PdfEngineChoice::Auto)
{
    std::future<PrintOutcome> job =
        std::async(std::launch::async, [=] { return PrintService().printFile(file, preset, choice); });
    if (job.wait_for(std::chrono::minutes(1)) != std::future_status::ready)
        qFatal("printing %s did not end", qPrintable(file));
    return job.get();
}

// The preset a row's name describes ("colour one-sided", "mono short edge", "driver settings"), 3 copies.
PrintPreset presetFor(const QString &name, const QString &paper)
{
    PrintPreset preset;
    preset.printerName = queue;
    preset.colorMode = name.startsWith("colour") ? ColorMode::Color : ColorMode::Mono;
    preset.duplexMode = name.contains("edge") ? DuplexMode::Duplex : DuplexMode::Simplex;
    preset.duplexEdge = name.contains("short") ? DuplexEdge::Short : DuplexEdge::Long;
    preset.useDriverSettings = name.startsWith("driver settings");
    preset.paperSize = paper;
    preset.copies = 3;
    return preset;
}

// The pages of a captured document as they would come out of the printer, in pixels of 4 points (pdftoppm
// at 18 dpi): per page its width and height, the box of all that is drawn on it, the centre of its corner
// mark.
QList<QList<int>> pagesOf(const QString &pdf)
{
    QTemporaryDir folder;
    QProcess::execute("pdftoppm", {"-r", "18", "-gray", pdf, folder.filePath("page")});
    QList<QList<int>> pages;
    for (const QString &name : QDir(folder.path()).entryList(QDir::Files, QDir::Name)) {
        const QImage page(folder.filePath(name));
        QRect drawn, mark;
        for (int y = 0; y < page.height(); ++y) {
            for (int x = 0; x < page.width(); ++x) {
                drawn |= qGray(page.pixel(x, y)) < 250 ? QRect(x, y, 1, 1) : QRect();
                mark |= qGray(page.pixel(x, y)) < 60 ? QRect(x, y, 1, 1) : QRect();
            }
        }
        pages << QList<int>{page.width(),  page.height(),  drawn.left(),      drawn.top(),
                            drawn.right(), drawn.bottom(), mark.center().x(), mark.center().y()};
    }
    return pages;
}

// Whether a captured job is the built-in engine's: its pages are pictures (the test documents have none).
bool drawnByTheEngine(const CapturedJob &job)
{
    QFile file(job.dataPath);
    return file.open(QIODevice::ReadOnly) && file.readAll().contains("/Subtype /Image");
}

}  // namespace

class TestPrintFiles : public QObject
{
    Q_OBJECT

    PrivateCups cups;
    QTemporaryDir files;
    QDir temporary = QString(qgetenv("OLLAVAN_TEST_HOME") + "/tmp");  // the process's temporary folder
    QLocalServer socket;
    int captured = 0;
    QString path(const QString &name) const { return files.filePath(name); }

private slots:
    void initTestCase()
    {
        QString error;
        QVERIFY2(cups.start(&error) && cups.addQueue(queue, PrivateCups::Ppd, &error) &&
                     cups.addQueue("other", PrivateCups::Ppd, &error) &&
                     cups.setUserDefault("other", &error) && cups.addQueue("plain", PrivateCups::Raw, &error),
                 qPrintable(error));
        QVERIFY(temporary.removeRecursively() && temporary.mkpath("."));
        qputenv("TMPDIR", QFile::encodeName(temporary.path()));

        const QByteArray pdf = makeMixedOrientationPdf(4);
        QImage wide(300, 200, QImage::Format_RGB32);
        wide.fill(Qt::darkBlue);
        QVERIFY(writeFile(path("mixed.pdf"), pdf) && wide.save(path("wide.png")));
        // Portrait, landscape, narrow, wide, small and large pages.
        QVERIFY(
            writeFile(path("odd.pdf"),
                      makePdf({{595, 842}, {842, 595}, {200, 500}, {700, 300}, {100, 100}, {1191, 842}})));
        // A Word document: made by LibreOffice where it is installed, else the start of a ZIP package.
        QVERIFY(writeFile(path("report.txt"), "Report") && writeFile(path("report.docx"), "PK\x03\x04"));
        QProcess office;
        office.start("soffice",
                     {"--headless", "--convert-to", "docx", "--outdir", files.path(), path("report.txt")});
        office.waitForFinished(120000);

        // The refused inputs.
        QVERIFY(QDir(files.path()).mkdir("folder.pdf") && QFile::link("/dev/zero", path("zero.pdf")));
        QVERIFY(::mkfifo(QFile::encodeName(path("pipe.pdf")).constData(), 0600) == 0);
        QVERIFY(socket.listen(path("socket.pdf")));
        QFile huge(path("huge.pdf"));
        QVERIFY(huge.open(QIODevice::WriteOnly) && huge.write("%PDF-1.4\n") &&
                huge.resize((qint64(1) << 30) + 1));
        QVERIFY(writeFile(path("notes.pdf"), "plain text") && writeFile(path("empty.pdf"), QByteArray()) &&
                writeFile(path("corrupt.pdf"), "%PDF-1.4\ngarbage\n") &&
                writeFile(path("locked.pdf"), encryptPdf(pdf, "secret")) &&
                writeFile(path("no pages.pdf"), makePdf({})) && writeFile(path("cut.pdf"), pdf.left(500)));
        QImage poster(8000, 8000, QImage::Format_Mono);  // more pixels than the decoder may allocate
        poster.fill(0);
        QVERIFY(poster.save(path("poster.png")));
    }

    void cleanupTestCase() { cups.stop(); }

    void presetsReachTheJob_data()
    {
        QTest::addColumn<QString>("file");         // printed with the preset the row's name describes
        QTest::addColumn<QStringList>("options");  // sides, print-color-mode, paper and InputSlot of the job
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("pages");
        const QString cups = "Sent to CUPS as PDF: mixed.pdf";
        QTest::newRow("colour one-sided")
            << "mixed.pdf" << QStringList{"one-sided", "color", "A4", ""} << cups << 4;
        QTest::newRow("mono long edge")
            << "mixed.pdf" << QStringList{"two-sided-long-edge", "monochrome", "A5", ""} << cups << 4;
        QTest::newRow("mono short edge")
            << "mixed.pdf" << QStringList{"two-sided-short-edge", "monochrome", "B5", ""} << cups << 4;
        QTest::newRow("mono short edge, picture")
            << "wide.png" << QStringList{"two-sided-short-edge", "monochrome", "A5", ""}
            << "Image sent: wide.png" << 1;
        // The user's saved options, exactly: those the preset has no say in too.
        QTest::newRow("driver settings")
            << "mixed.pdf" << QStringList{"two-sided-long-edge", "color", "A4", "Tray2"} << cups << 4;
        const bool office = !QStandardPaths::findExecutable("soffice").isEmpty();
        QTest::newRow("colour one-sided, Word")
            << "report.docx" << (office ? QStringList{"one-sided", "color", "A4", ""} : QStringList())
            << (office ? "Sent to CUPS as a PDF made by LibreOffice: report.docx"
                       : "Cannot print report.docx: LibreOffice is needed to print Word and WPS "
                         "documents. Install the libreoffice-writer package.")
            << (office ? 1 : 0);
    }

    void presetsReachTheJob()
    {
        QFETCH(QString, file);
        QFETCH(QStringList, options);
        const PrintPreset job = presetFor(QTest::currentDataTag(), options.value(2));
        // The printer's own settings for the user differ from the preset's in every choice.
        QString output;
        QCOMPARE(cups.run("lpoptions",
                          {"-p", queue, "-o", "sides=two-sided-long-edge", "-o", "print-color-mode=color",
                           "-o", "media=A4", "-o", "copies=2", "-o", "InputSlot=Tray2"},
                          &output),
                 0);
        const QString before = optionsState().section('\n', 1);
        const PrintOutcome outcome = printWithin(path(file), job);
        QTEST(outcome.message, "message");
        QCOMPARE(outcome.details.jobName, file);
        QTEST(outcome.details.pageCount, "pages");
        QCOMPARE(optionsState().section('\n', 1), before);
        QCOMPARE(cups.run("lpoptions", {"-x", queue}, &output), 0);
        if (!options.isEmpty())
            QVERIFY(cups.waitForJobs(queue, ++captured));
        QCOMPARE(cups.jobs(queue).size(), captured);
        if (options.isEmpty())
            return;
        const CapturedJob printed = cups.jobs(queue).constLast();
        QCOMPARE(printed.copies, 3);
        QCOMPARE(QStringList({printed.options.value("sides"), printed.options.value("print-color-mode"),
                              printed.options.value("PageSize", printed.options.value("media")),
                              printed.options.value("InputSlot")}),
                 options);
        if (outcome.message.startsWith("Sent to CUPS"))
            QCOMPARE(printed.title, file);
    }

    void pagesPlacedAsTheEngineDoes_data()
    {
        QTest::addColumn<QList<int>>("filled");  // the pages that fill the whole paper
        QTest::newRow("mono short edge") << QList<int>{0, 1};
        QTest::newRow("driver settings, saved A5") << QList<int>{0};  // every page upright on the paper
    }

    void pagesPlacedAsTheEngineDoes()
    {
        QFETCH(QList<int>, filled);
        QString output;
        QCOMPARE(cups.run("lpoptions", {"-p", queue, "-o", "media=A5"}, &output), 0);
        QList<QList<QList<int>>> routes;
        for (const PdfEngineChoice choice : {PdfEngineChoice::Auto, PdfEngineChoice::BuiltIn}) {
            const PrintOutcome outcome =
                printWithin(path("odd.pdf"), presetFor(QTest::currentDataTag(), "A5"), choice);
            QCOMPARE(outcome.message, choice == PdfEngineChoice::Auto
                                          ? "Sent to CUPS as PDF: odd.pdf"
                                          : "Sent with built-in PDF engine: odd.pdf");
            QVERIFY(cups.waitForJobs(queue, ++captured));
            routes << pagesOf(cups.jobs(queue).constLast().dataPath);
        }
        QCOMPARE(cups.run("lpoptions", {"-x", queue}, &output), 0);
        QCOMPARE(routes[0].size(), 6);
        QCOMPARE(routes[1].size(), 6);
        const auto text = [](const QList<int> &values) {
            QStringList words;
            for (const int value : values)
                words << QString::number(value);
            return words.join(' ');
        };
        for (int page = 0; page < 6; ++page) {
            const QList<int> &system = routes[0][page], &engine = routes[1][page];
            QCOMPARE(system.mid(0, 2), (QList<int>{105, 149}));  // A5
            QVERIFY2(
                std::equal(system.begin(), system.end(), engine.begin(), engine.end(),
                           [](int a, int b) { return qAbs(a - b) <= 1; }),
                qPrintable(
                    QString("page %1: %2, the engine's %3").arg(page + 1).arg(text(system), text(engine))));
            if (filled.contains(page))
                QCOMPARE(system.mid(2, 4), (QList<int>{0, 0, 104, 148}));
        }
    }

    void refusedOrHandedToTheEngine_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("printer");
        const QString notRegular = "%1 is not a regular file. Only document files can be printed.";
        const QString engine = "The built-in PDF engine could not print %1: %2";
        QTest::newRow("missing") << "gone.pdf" << 2 << "gone.pdf does not exist." << queue;
        QTest::newRow("folder") << "folder.pdf" << 2 << notRegular.arg("folder.pdf") << queue;
        QTest::newRow("pipe") << "pipe.pdf" << 2 << notRegular.arg("pipe.pdf") << queue;
        QTest::newRow("link to /dev/zero") << "zero.pdf" << 2 << notRegular.arg("zero.pdf") << queue;
        QTest::newRow("socket") << "socket.pdf" << 2 << notRegular.arg("socket.pdf") << queue;
        QTest::newRow("over 1 GiB")
            << "huge.pdf" << 2
            << "huge.pdf is larger than 1 GiB and is not printed. Split it into smaller documents." << queue;
        QTest::newRow("empty") << "empty.pdf" << 2 << "empty.pdf is empty: there is nothing to print."
                               << queue;
        QTest::newRow("not a document")
            << "notes.pdf" << 2
            << "The content of notes.pdf is not a PDF, a Word or WPS document or an image. "
               "Save it in one of these formats and print it again."
            << queue;
        QTest::newRow("corrupt pdf") << "corrupt.pdf" << 3
                                     << engine.arg("corrupt.pdf", "the PDF format is invalid or corrupt")
                                     << queue;
        QTest::newRow("truncated pdf")
            << "cut.pdf" << 3 << engine.arg("cut.pdf", "the PDF format is invalid or corrupt") << queue;
        QTest::newRow("pdf without pages")
            << "no pages.pdf" << 3 << engine.arg("no pages.pdf", "the PDF format is invalid or corrupt")
            << queue;
        QTest::newRow("encrypted pdf")
            << "locked.pdf" << 3 << engine.arg("locked.pdf", "the PDF is password protected") << queue;
        QTest::newRow("huge picture")
            << "poster.png" << 2
            << "poster.png is too large an image to print (8000 × 8000 pixels). Make it "
               "smaller in an image editor and print it again."
            << queue;
        // A raw queue formats nothing: the engine's pages go instead of the PDF.
        QTest::newRow("raw queue") << "mixed.pdf" << 0 << "Sent with built-in PDF engine: mixed.pdf"
                                   << "plain";
    }

    void refusedOrHandedToTheEngine()
    {
        QFETCH(QString, file);
        QFETCH(int, result);
        QFETCH(QString, printer);
        PrintPreset preset;
        preset.printerName = printer;
        const QString before = optionsState();
        const PrintOutcome outcome = printWithin(path(file), preset);
        QCOMPARE(int(outcome.result), result);
        QTEST(outcome.message, "message");
        QCOMPARE(outcome.details.jobName, file);
        // Untouched when refused; written and put back when printed.
        const QString after = optionsState();
        QCOMPARE(result ? after : after.section('\n', 1), result ? before : before.section('\n', 1));
        QCOMPARE(cups.jobs(queue).size(), captured);
        if (result == 0) {
            QVERIFY(cups.waitForJobs(printer, 1));
            QVERIFY(drawnByTheEngine(cups.jobs(printer).constLast()));
        }
        QString pending;
        QCOMPARE(cups.run("lpstat", {"-o"}, &pending), 0);
        QCOMPARE(pending.trimmed(), QString());
    }

    // The command line's switch and the preset's own choice, through the store and `ollavan print`.
    void engineForced_data()
    {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<QString>("message");
        QTest::newRow("by default") << "print --preset Auto"
                                    << "Sent to CUPS as PDF: mixed.pdf";
        QTest::newRow("command line") << "print --engine builtin --preset Auto"
                                      << "Sent with built-in PDF engine: mixed.pdf";
        QTest::newRow("preset") << "print --preset Forced"
                                << "Sent with built-in PDF engine: mixed.pdf";
        QTest::newRow("preset, auto") << "print --engine=auto --preset Forced"
                                      << "Sent with built-in PDF engine: mixed.pdf";
    }

    void engineForced()
    {
        QFETCH(QString, arguments);
        AppIdentity::apply();
        QVERIFY(DatabaseLocation::createDatabaseFolder(DatabaseLocation::databasePath()));
        PresetRepository store(DatabaseLocation::databasePath());
        QVERIFY(store.open());
        if (store.presets().isEmpty()) {
            PrintPreset preset = presetFor("mono long edge", "A4");
            preset.title = "Auto", preset.sortOrder = -1;
            QVERIFY(store.addPreset(preset));
            preset.title = "Forced", preset.builtInPdfEngine = true;
            QVERIFY(store.addPreset(preset));
        }
        QProcess ollavan;
        ollavan.start(OLLAVAN_BIN_DIR "/ollavan", arguments.split(' ') << path("mixed.pdf"));
        QVERIFY(ollavan.waitForFinished(60000));
        QTEST(QString::fromUtf8(ollavan.readAllStandardOutput().trimmed()), "message");
        QVERIFY(cups.waitForJobs(queue, ++captured));
        QCOMPARE(drawnByTheEngine(cups.jobs(queue).constLast()),
                 QString(QTest::currentDataTag()) != "by default");
        ollavan.start(OLLAVAN_BIN_DIR "/ollavan", {"presets"});
        QVERIFY(ollavan.waitForFinished(60000));
        QVERIFY(QRegularExpression("\\n\\d+ +\\d+ +Auto .* 3 +auto *\\n\\d+ +\\d+ +Forced .* 3 +builtin")
                    .match(ollavan.readAllStandardOutput())
                    .hasMatch());
    }
};

QTEST_MAIN(TestPrintFiles)
#include "tst_printfiles.moc"
