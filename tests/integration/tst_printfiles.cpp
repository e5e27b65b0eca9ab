// Files printed through a private CUPS server: the captured job carries the preset's copies, sides, colour
// and paper for each kind of preset, and the user's saved options come back; inputs that cannot be printed
// are refused at once with their message, nothing printed and nothing switched; what an interrupted job left
// in the temporary folder goes.

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
PrintOutcome printWithin(const QString &file, const PrintPreset &preset)
{
    std::future<PrintOutcome> job =
        std::async(std::launch::async, [=] { return PrintService().printFile(file, preset); });
    if (job.wait_for(std::chrono::minutes(1)) != std::future_status::ready)
        qFatal("printing %s did not end", qPrintable(file));
    return job.get();
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
                     cups.addQueue("other", PrivateCups::Ppd, &error) && cups.setUserDefault("other", &error),
                 qPrintable(error));
        QVERIFY(temporary.removeRecursively() && temporary.mkpath("."));
        qputenv("TMPDIR", QFile::encodeName(temporary.path()));

        const QByteArray pdf = makeMixedOrientationPdf(4);
        QImage wide(300, 200, QImage::Format_RGB32);
        wide.fill(Qt::darkBlue);
        QVERIFY(writeFile(path("mixed.pdf"), pdf) && wide.save(path("wide.png")));
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
                writeFile(path("locked.pdf"), encryptPdf(pdf, "secret")));
        QImage poster(8000, 8000, QImage::Format_Mono);  // more pixels than the decoder may allocate
        poster.fill(0);
        QVERIFY(poster.save(path("poster.png")));
    }

    void cleanupTestCase()
    {
        cups.stop();
    }

    void presetsReachTheJob_data()
    {
        QTest::addColumn<QString>("file");         // printed with the preset the row's name describes
        QTest::addColumn<QStringList>("options");  // sides, print-color-mode and paper of the job
        QTest::addColumn<QString>("message");
        const QString engine = "Sent with built-in PDF engine: mixed.pdf";
        QTest::newRow("colour one-sided") << "mixed.pdf" << QStringList{"one-sided", "color", "A4"} << engine;
        QTest::newRow("mono long edge")
            << "mixed.pdf" << QStringList{"two-sided-long-edge", "monochrome", "A5"} << engine;
        QTest::newRow("mono short edge")
            << "wide.png" << QStringList{"two-sided-short-edge", "monochrome", "A5"}
            << "Image sent: wide.png";
        QTest::newRow("driver settings")
            << "mixed.pdf" << QStringList{"two-sided-long-edge", "color", "A4"} << engine;
        const bool office = !QStandardPaths::findExecutable("soffice").isEmpty();
        QTest::newRow("colour one-sided, Word")
            << "report.docx" << (office ? QStringList{"one-sided", "color", "A4"} : QStringList())
            << (office ? "Sent: report.docx"
                       : "Cannot print report.docx: LibreOffice is needed to print Word and WPS "
                         "documents. Install the libreoffice-writer package.");
    }

    void presetsReachTheJob()
    {
        QFETCH(QString, file);
        QFETCH(QStringList, options);
        const QString preset = QTest::currentDataTag();
        PrintPreset job;
        job.printerName = queue;
        job.colorMode = preset.startsWith("colour") ? ColorMode::Color : ColorMode::Mono;
        job.duplexMode = preset.endsWith("edge") ? DuplexMode::Duplex : DuplexMode::Simplex;
        job.duplexEdge = preset.contains("short") ? DuplexEdge::Short : DuplexEdge::Long;
        job.useDriverSettings = preset == "driver settings";
        job.paperSize = options.value(2);
        job.copies = 3;
        // The printer's own settings for the user differ from the preset's in every choice.
        QString output;
        QCOMPARE(cups.run("lpoptions",
                          {"-p", queue, "-o", "sides=two-sided-long-edge", "-o", "print-color-mode=color",
                           "-o", "media=A4", "-o", "copies=2"},
                          &output),
                 0);
        const QString before = optionsState().section('\n', 1);
        const PrintOutcome outcome = printWithin(path(file), job);
        QTEST(outcome.message, "message");
        QCOMPARE(outcome.details.jobName, file);
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
                              printed.options.value("PageSize", printed.options.value("media"))}),
                 options);
    }

    void refusedAtOnce_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("message");
        const QString notRegular = "%1 is not a regular file. Only document files can be printed.";
        const QString engine = "The built-in PDF engine could not print %1: %2";
        QTest::newRow("missing") << "gone.pdf" << 2 << "gone.pdf does not exist.";
        QTest::newRow("folder") << "folder.pdf" << 2 << notRegular.arg("folder.pdf");
        QTest::newRow("pipe") << "pipe.pdf" << 2 << notRegular.arg("pipe.pdf");
        QTest::newRow("link to /dev/zero") << "zero.pdf" << 2 << notRegular.arg("zero.pdf");
        QTest::newRow("socket") << "socket.pdf" << 2 << notRegular.arg("socket.pdf");
        QTest::newRow("over 1 GiB")
            << "huge.pdf" << 2
            << "huge.pdf is larger than 1 GiB and is not printed. Split it into smaller documents.";
        QTest::newRow("empty") << "empty.pdf" << 2 << "empty.pdf is empty: there is nothing to print.";
        QTest::newRow("not a document")
            << "notes.pdf" << 2
            << "The content of notes.pdf is not a PDF, a Word or WPS document or an image. "
               "Save it in one of these formats and print it again.";
        QTest::newRow("corrupt pdf") << "corrupt.pdf" << 3
                                     << engine.arg("corrupt.pdf", "the PDF format is invalid or corrupt");
        QTest::newRow("encrypted pdf")
            << "locked.pdf" << 3 << engine.arg("locked.pdf", "the PDF is password protected");
        QTest::newRow("huge picture")
            << "poster.png" << 2
            << "poster.png is too large an image to print (8000 × 8000 pixels). Make it "
               "smaller in an image editor and print it again.";
    }

    void refusedAtOnce()
    {
        QFETCH(QString, file);
        PrintPreset preset;
        preset.printerName = queue;
        const QString before = optionsState();
        const PrintOutcome outcome = printWithin(path(file), preset);
        QTEST(int(outcome.result), "result");
        QTEST(outcome.message, "message");
        QCOMPARE(outcome.details.jobName, file);
        QCOMPARE(optionsState(), before);
        QString pending;
        QCOMPARE(cups.run("lpstat", {"-o", queue}, &pending), 0);
        QCOMPARE(pending.trimmed(), QString());
        QCOMPARE(cups.jobs(queue).size(), captured);
    }
};

QTEST_MAIN(TestPrintFiles)
#include "tst_printfiles.moc"
