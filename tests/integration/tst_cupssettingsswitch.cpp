// The settings switch, the driver self-check and the driver properties against a private CUPS server: what
// another application printing to the default printer gets while a scope lives, and that the user's own
// options file and default printer come back exactly.
#include "support/PrivateCups.h"

#include "base/I18n.h"
#include "base/PrintOptions.h"
#include "platform/DevMode.h"
#include "platform/Spooler.h"
#include "printers/PrinterProperties.h"
#include "printing/PrintService.h"
#include "printing/PrinterSettingsScope.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QtConcurrent>
#include <QtTest>

#include <atomic>

using ollavan::testsupport::CapturedJob;
using ollavan::testsupport::PrivateCups;
using namespace platform::devmode;

namespace {

PrintPreset preset(const QString &printer, ColorMode color, DuplexMode duplex, DuplexEdge edge,
                   const QString &paper, int copies, bool driverSettings = false)
{
    PrintPreset result;
    result.printerName = printer;
    result.colorMode = color;
    result.duplexMode = duplex;
    result.duplexEdge = edge;
    result.paperSize = paper;
    result.copies = copies;
    result.useDriverSettings = driverSettings;
    return result;
}

QString currentDefault()
{
    platform::Spooler &spooler = platform::spooler();
    const quint32 length = spooler.defaultPrinterNameLength();
    QString name;
    if (length > 1 && spooler.defaultPrinter(length, &name))
        return name;
    return QString();
}

// The user's lpoptions file: its bytes, or a null array when there is none.
QByteArray optionsFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    QByteArray content = file.readAll();
    if (content.isNull())
        content = QByteArray("");
    return content;
}

void writeOptionsFile(const QString &path, const QByteArray &content)
{
    QFile::remove(path);
    if (content.isNull())
        return;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

QByteArray readUserDevMode(const QString &printer)
{
    platform::Spooler &spooler = platform::spooler();
    platform::PrinterHandle handle = 0;
    if (!spooler.openPrinter(printer, &handle))
        return QByteArray();
    QByteArray mode;
    const quint32 size = spooler.printerInfoSize(handle, platform::PrinterInfoUserDevMode);
    if (size == 0 || !spooler.printerDevMode(handle, platform::PrinterInfoUserDevMode, size, &mode))
        mode.clear();
    spooler.closePrinter(handle);
    return mode;
}

bool writeUserDevMode(const QString &printer, const QByteArray &mode)
{
    platform::Spooler &spooler = platform::spooler();
    platform::PrinterHandle handle = 0;
    if (!spooler.openPrinter(printer, &handle))
        return false;
    const bool written = spooler.setPrinterDevMode(handle, platform::PrinterInfoUserDevMode, mode);
    spooler.closePrinter(handle);
    return written;
}

}  // namespace

class CupsSettingsSwitchTest : public QObject
{
    Q_OBJECT

private:
    PrivateCups cups;
    QString document;

    QString optionsPath() const { return cups.userOptionsPath(); }

private slots:
    void initTestCase()
    {
        QString error;
        QVERIFY2(cups.start(&error), qPrintable(error));
        QVERIFY2(cups.addQueue(QStringLiteral("office"), PrivateCups::Ppd, &error), qPrintable(error));
        QVERIFY2(cups.addQueue(QStringLiteral("annex"), PrivateCups::Ppd, &error), qPrintable(error));
        QVERIFY2(cups.addQueue(QStringLiteral("plain"), PrivateCups::Raw, &error), qPrintable(error));
        QVERIFY2(cups.setServerDefault(QStringLiteral("annex"), &error), qPrintable(error));
        document = cups.directory() + QStringLiteral("/letter.txt");
        QFile text(document);
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("A short letter.\n");
        I18n::setLanguage(QStringLiteral("en"));
    }

    void init() { QFile::remove(optionsPath()); }

    void cleanupTestCase() { cups.stop(); }

    void anotherApplicationPrintsWithThePreset_data()
    {
        QTest::addColumn<PrintPreset>("preset");
        QTest::addColumn<QByteArray>("userOptions");
        QTest::addColumn<int>("copies");
        QTest::addColumn<QString>("sides");
        QTest::addColumn<QString>("colorMode");
        QTest::addColumn<QString>("pageSize");
        QTest::newRow("mono, short edge, A5, three copies, no options file")
            << preset("office", ColorMode::Mono, DuplexMode::Duplex, DuplexEdge::Short, "A5", 3)
            << QByteArray() << 3 << "two-sided-short-edge"
            << "monochrome"
            << "A5";
        QTest::newRow("colour, single-sided, Letter; the user's own options do not leak in")
            << preset("office", ColorMode::Color, DuplexMode::Simplex, DuplexEdge::Long, "Letter", 1)
            << QByteArray("Default annex\nDest office copies=2 sides=two-sided-long-edge "
                          "print-color-mode=monochrome\n")
            << 1 << "one-sided"
            << "color"
            << "Letter";
        QTest::newRow("long edge, B4, a default of its own already")
            << preset("office", ColorMode::Mono, DuplexMode::Duplex, DuplexEdge::Long, "b4", 2)
            << QByteArray("Default office media=A6\n") << 2 << "two-sided-long-edge"
            << "monochrome"
            << "B4";
        QTest::newRow("the user's driver settings with the preset's copies")
            << preset("office", ColorMode::Color, DuplexMode::Simplex, DuplexEdge::Long, "A4", 4, true)
            << QByteArray("Dest office media=iso_a3_297x420mm print-color-mode=monochrome "
                          "sides=two-sided-long-edge\n")
            << 4 << "two-sided-long-edge"
            << "monochrome"
            << "A3";
    }

    void anotherApplicationPrintsWithThePreset()
    {
        QFETCH(PrintPreset, preset);
        QFETCH(QByteArray, userOptions);
        QFETCH(int, copies);
        QFETCH(QString, sides);
        QFETCH(QString, colorMode);
        QFETCH(QString, pageSize);
        writeOptionsFile(optionsPath(), userOptions);
        const QString previousDefault = currentDefault();
        const int jobsBefore = cups.jobs(QStringLiteral("office")).size();
        {
            QMutexLocker lock(&printerSettingsMutex);
            PrinterSettingsScope scope;
            QString error;
            QVERIFY2(scope.apply(preset, &error), qPrintable(error));
            QString output;
            QCOMPARE(cups.run(QStringLiteral("lp"), {document}, &output), 0);
            QVERIFY2(cups.waitForJobs(QStringLiteral("office"), jobsBefore + 1), qPrintable(output));
        }
        const CapturedJob job = cups.jobs(QStringLiteral("office")).last();
        QCOMPARE(job.copies, copies);
        QCOMPARE(job.options.value(QStringLiteral("sides")), sides);
        QCOMPARE(job.options.value(QStringLiteral("print-color-mode")), colorMode);
        QCOMPARE(job.options.value(QStringLiteral("PageSize")), pageSize);
        // Afterwards the user's file is byte for byte what it was, or absent as it was.
        QCOMPARE(optionsFile(optionsPath()), userOptions);
        QCOMPARE(currentDefault(), previousDefault);
    }

    void userOptionsComeBackExactly_data()
    {
        QTest::addColumn<QByteArray>("userOptions");
        QTest::addColumn<QString>("printer");
        QTest::newRow("no file") << QByteArray() << "office";
        QTest::newRow("default elsewhere, options here")
            << QByteArray("Default annex\nDest office copies=2 media=A5\n") << "office";
        QTest::newRow("default here with options")
            << QByteArray(
                   "Dest annex sides=two-sided-long-edge\nDefault office job-priority=70 sides=one-sided\n")
            << "office";
        QTest::newRow("default here without options, first line")
            << QByteArray("Default office\nDest annex copies=4\n") << "office";
        QTest::newRow("default last, no options")
            << QByteArray("Dest office copies=3\nDefault annex\n") << "office";
        QTest::newRow("instances, quoted values, no final newline")
            << QByteArray(
                   "Dest office/draft copies=9\nDest office job-sheets=none "
                   "job-name=\"Quarterly \\\"report\\\"\"\nDefault annex/two sides=two-sided-short-edge")
            << "office";
        QTest::newRow("PPD choices saved by another tool")
            << QByteArray("Default annex\nDest office ColorModel=Gray Duplex=DuplexTumble PageSize=Legal\n")
            << "office";
        QTest::newRow("raw queue") << QByteArray("Default office\n") << "plain";
    }

    void userOptionsComeBackExactly()
    {
        QFETCH(QByteArray, userOptions);
        QFETCH(QString, printer);
        writeOptionsFile(optionsPath(), userOptions);
        if (!userOptions.isNull())
            QVERIFY(QFile::setPermissions(optionsPath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        const QFileDevice::Permissions permissions = QFile::permissions(optionsPath());
        const QString previousDefault = currentDefault();
        const QByteArray previousMode = readUserDevMode(printer);
        QVERIFY(!previousMode.isEmpty());
        {
            PrinterSettingsScope scope;
            QString error;
            QVERIFY2(
                scope.apply(preset(printer, ColorMode::Mono, DuplexMode::Duplex, DuplexEdge::Long, "A6", 7),
                            &error),
                qPrintable(error));
            QCOMPARE(currentDefault(), printer);
            QVERIFY(optionsFile(optionsPath()) != userOptions);
        }
        QCOMPARE(optionsFile(optionsPath()), userOptions);
        QCOMPARE(QFile::permissions(optionsPath()), permissions);
        QCOMPARE(currentDefault(), previousDefault);
        QCOMPARE(readUserDevMode(printer), previousMode);
    }

    void devModeRoundTripsByteForByte_data()
    {
        QTest::addColumn<QByteArray>("userOptions");
        QTest::newRow("none") << QByteArray();
        QTest::newRow("IPP options") << QByteArray(
            "Dest office copies=2 media=iso_b5_176x250mm sides=one-sided\n");
        QTest::newRow("PPD choices and others")
            << QByteArray("Dest office ColorModel=Gray Duplex=DuplexNoTumble PageSize=A3 job-priority=20\n");
        QTest::newRow("quoted") << QByteArray("Dest office job-name='two words' copies=5\n");
    }

    void devModeRoundTripsByteForByte()
    {
        QFETCH(QByteArray, userOptions);
        writeOptionsFile(optionsPath(), userOptions);
        const QByteArray first = readUserDevMode(QStringLiteral("office"));
        const platform::DevMode record(first);
        QVERIFY(record.isValid());
        QCOMPARE(record.deviceName(), QStringLiteral("office"));
        QVERIFY(writeUserDevMode(QStringLiteral("office"), first));
        QCOMPARE(readUserDevMode(QStringLiteral("office")), first);
        QCOMPARE(optionsFile(optionsPath()), userOptions);

        // A changed record is stored and read back with the same settings, and is stable from then on.
        platform::DevMode changed(first);
        changed.setCopies(6);
        changed.setDuplex(DuplexHorizontal);
        changed.setColor(ColorMonochrome);
        changed.setPaperSize(PaperLegal);
        changed.setFields(changed.fields() | FieldPaperSize);
        QVERIFY(writeUserDevMode(QStringLiteral("office"), changed.bytes()));
        const QByteArray stored = readUserDevMode(QStringLiteral("office"));
        const platform::DevMode storedRecord(stored);
        QCOMPARE(int(storedRecord.copies()), 6);
        QCOMPARE(int(storedRecord.duplex()), int(DuplexHorizontal));
        QCOMPARE(int(storedRecord.color()), int(ColorMonochrome));
        QCOMPARE(int(storedRecord.paperSize()), int(PaperLegal));
        QCOMPARE(storedRecord.formName(), QStringLiteral("Legal"));
        const QByteArray file = optionsFile(optionsPath());
        QVERIFY(writeUserDevMode(QStringLiteral("office"), stored));
        QCOMPARE(readUserDevMode(QStringLiteral("office")), stored);
        QCOMPARE(optionsFile(optionsPath()), file);
    }

    void driverClampsToWhatTheQueueSupports_data()
    {
        QTest::addColumn<QString>("printer");
        QTest::addColumn<int>("copies");
        QTest::addColumn<int>("color");
        QTest::addColumn<int>("duplex");
        QTest::addColumn<int>("paper");
        QTest::addColumn<int>("wantCopies");
        QTest::addColumn<int>("wantColor");
        QTest::addColumn<int>("wantDuplex");
        QTest::addColumn<int>("wantPaper");
        QTest::newRow("supported as asked") << "office" << 3 << 2 << 3 << 8 << 3 << 2 << 3 << 8;
        QTest::newRow("no copies, unknown duplex") << "office" << 0 << 1 << 7 << 9 << 1 << 1 << 1 << 9;
        QTest::newRow("paper the queue lacks") << "office" << 1 << 2 << 1 << int(PaperB6) << 1 << 2 << 1 << 9;
        QTest::newRow("raw queue: neither colour nor duplex")
            << "plain" << 2 << 2 << 2 << 11 << 2 << 1 << 1 << 11;
    }

    void driverClampsToWhatTheQueueSupports()
    {
        QFETCH(QString, printer);
        QFETCH(int, copies);
        QFETCH(int, color);
        QFETCH(int, duplex);
        QFETCH(int, paper);
        QFETCH(int, wantCopies);
        QFETCH(int, wantColor);
        QFETCH(int, wantDuplex);
        QFETCH(int, wantPaper);
        platform::Spooler &spooler = platform::spooler();
        platform::PrinterHandle handle = 0;
        QVERIFY(spooler.openPrinter(printer, &handle));
        platform::DevMode mode(readUserDevMode(printer));
        mode.setCopies(qint16(copies));
        mode.setColor(qint16(color));
        mode.setDuplex(qint16(duplex));
        mode.setPaperSize(qint16(paper));
        mode.setFields(mode.fields() | FieldPaperSize);
        QByteArray working = mode.bytes();
        QCOMPARE(spooler.documentProperties(nullptr, handle, printer, &working, &working,
                                            platform::DocumentPropertiesMerge),
                 platform::DocumentPropertiesOk);
        spooler.closePrinter(handle);
        const platform::DevMode merged(working);
        QCOMPARE(int(merged.copies()), wantCopies);
        QCOMPARE(int(merged.color()), wantColor);
        QCOMPARE(int(merged.duplex()), wantDuplex);
        QCOMPARE(int(merged.paperSize()), wantPaper);
    }

    void defaultPrinterFollowsTheUsersFile()
    {
        QCOMPARE(currentDefault(), QStringLiteral("annex"));
        platform::Spooler &spooler = platform::spooler();
        QVERIFY(spooler.setDefaultPrinter(QStringLiteral("office")));
        QCOMPARE(optionsFile(optionsPath()), QByteArray("Default office\n"));
        QString lpstat;
        QCOMPARE(cups.run(QStringLiteral("lpstat"), {QStringLiteral("-d")}, &lpstat), 0);
        QVERIFY2(lpstat.contains(QLatin1String("office")), qPrintable(lpstat));
        // Back to the server's own choice: the user's file says nothing any more.
        QVERIFY(spooler.setDefaultPrinter(QStringLiteral("annex")));
        QVERIFY(!QFile::exists(optionsPath()));
        QVERIFY(!spooler.setDefaultPrinter(QStringLiteral("missing")));
        platform::PrinterHandle handle = 0;
        QVERIFY(!spooler.openPrinter(QStringLiteral("missing"), &handle));
        QCOMPARE(handle, platform::PrinterHandle(0));
        QVERIFY(!QFile::exists(optionsPath()));
        QCOMPARE(spooler.printerNames(), (QStringList{"annex", "office", "plain"}));
    }

    void missingPrinterChangesNothing()
    {
        writeOptionsFile(optionsPath(), "Default office\n");
        {
            PrinterSettingsScope scope;
            QString error;
            QVERIFY(!scope.apply(
                preset("Basement", ColorMode::Mono, DuplexMode::Simplex, DuplexEdge::Long, "A4", 1), &error));
            QCOMPARE(error, QStringLiteral("Printer not found: Basement"));
        }
        QCOMPARE(optionsFile(optionsPath()), QByteArray("Default office\n"));
        QCOMPARE(currentDefault(), QStringLiteral("office"));
    }

    void concurrentScopesNeverOverlap()
    {
        const QByteArray userOptions(
            "Dest annex copies=2\nDefault plain\nDest office media=A5 job-priority=40\n");
        writeOptionsFile(optionsPath(), userOptions);
        const QStringList printers = {QStringLiteral("office"), QStringLiteral("annex"),
                                      QStringLiteral("plain")};
        std::atomic<int> inside{0};
        std::atomic<int> overlaps{0};
        QMutex failureMutex;
        QStringList failures;
        auto worker = [&](int thread) {
            for (int i = 0; i < 25; ++i) {
                const QString printer = printers.at((thread + i) % printers.size());
                const int copies = 1 + (thread * 25 + i) % 50;
                QMutexLocker lock(&printerSettingsMutex);
                if (inside.fetch_add(1) != 0)
                    ++overlaps;
                QString error;
                {
                    PrinterSettingsScope scope;
                    if (!scope.apply(preset(printer, ColorMode::Mono, DuplexMode::Duplex, DuplexEdge::Long,
                                            "A4", copies),
                                     &error)) {
                        QMutexLocker failureLock(&failureMutex);
                        failures.append(error);
                    } else {
                        const platform::DevMode applied(readUserDevMode(printer));
                        if (currentDefault() != printer || applied.copies() != copies) {
                            QMutexLocker failureLock(&failureMutex);
                            failures.append(QStringLiteral("%1 x%2 not in force").arg(printer).arg(copies));
                        }
                    }
                }
                inside.fetch_sub(1);
            }
        };
        QList<QFuture<void>> futures;
        QThreadPool pool;
        pool.setMaxThreadCount(8);
        for (int thread = 0; thread < 8; ++thread)
            futures.append(QtConcurrent::run(&pool, worker, thread));
        for (QFuture<void> &future : futures)
            future.waitForFinished();
        QCOMPARE(overlaps.load(), 0);
        QVERIFY2(failures.isEmpty(), qPrintable(failures.join(QLatin1Char('\n'))));
        QCOMPARE(optionsFile(optionsPath()), userOptions);
        QCOMPARE(currentDefault(), QStringLiteral("plain"));
    }

    void driverSelfCheck_data()
    {
        QTest::addColumn<QByteArray>("userOptions");
        QTest::addColumn<bool>("passes");
        QTest::addColumn<QString>("message");
        const QString passed =
            QStringLiteral("Clean global driver defaults were accepted and the user's settings were "
                           "restored; no print job submitted.");
        QTest::newRow("server default, no options file") << QByteArray() << true << passed;
        QTest::newRow("the user's default with options")
            << QByteArray("Dest annex copies=3\nDefault office sides=two-sided-long-edge media=A3 copies=2\n")
            << true << passed;
        QTest::newRow("a default that no longer exists")
            << QByteArray("Default gone\n") << false << QStringLiteral("Printer not found: gone");
    }

    void driverSelfCheck()
    {
        QFETCH(QByteArray, userOptions);
        QFETCH(bool, passes);
        QFETCH(QString, message);
        writeOptionsFile(optionsPath(), userOptions);
        QString result;
        QCOMPARE(PrintService::verifyDriverIsolation(&result), passes);
        QCOMPARE(result, message);
        QCOMPARE(optionsFile(optionsPath()), userOptions);

        // The program's own switch.
        const QString program = QStringLiteral(OLLAVAN_BIN_DIR "/ollavan-quick");
        QVERIFY2(QFile::exists(program), "ollavan-quick is built with the tests");
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(program, {QStringLiteral("--verify-driver-isolation")});
        QVERIFY(process.waitForFinished(120000));
        const QString output = QString::fromUtf8(process.readAll());
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), passes ? 0 : 2);
        QVERIFY2(output.contains(message), qPrintable(output));
        QCOMPARE(optionsFile(optionsPath()), userOptions);
    }

    void driverSelfCheckWithoutDefault()
    {
        QString error;
        QVERIFY2(cups.addQueue(QStringLiteral("shortlived"), PrivateCups::Ppd, &error), qPrintable(error));
        QVERIFY2(cups.setServerDefault(QStringLiteral("shortlived"), &error), qPrintable(error));
        QVERIFY2(cups.removeQueue(QStringLiteral("shortlived"), &error), qPrintable(error));
        QCOMPARE(currentDefault(), QString());
        QString result;
        QVERIFY(!PrintService::verifyDriverIsolation(&result));
        QCOMPARE(result, QStringLiteral("No CUPS default printer is configured."));
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(QStringLiteral(OLLAVAN_BIN_DIR "/ollavan-quick"),
                      {QStringLiteral("--verify-driver-isolation")});
        QVERIFY(process.waitForFinished(120000));
        QCOMPARE(process.exitCode(), 2);
        QVERIFY(QString::fromUtf8(process.readAll())
                    .contains(QLatin1String("No CUPS default printer is configured.")));
        QVERIFY(!QFile::exists(optionsPath()));
        QVERIFY2(cups.setServerDefault(QStringLiteral("annex"), &error), qPrintable(error));
    }

    void readsTheDriversSettings_data()
    {
        QTest::addColumn<QByteArray>("userOptions");
        QTest::addColumn<QString>("color");
        QTest::addColumn<QString>("duplex");
        QTest::addColumn<QString>("edge");
        QTest::addColumn<QString>("paper");
        QTest::addColumn<int>("copies");
        QTest::newRow("queue defaults") << QByteArray() << "color"
                                        << "simplex"
                                        << "long"
                                        << "A4" << 1;
        QTest::newRow("IPP options") << QByteArray("Dest office print-color-mode=monochrome "
                                                   "sides=two-sided-short-edge media=na_legal_8.5x14in "
                                                   "copies=12\n")
                                     << "mono"
                                     << "duplex"
                                     << "short"
                                     << "Legal" << 12;
        QTest::newRow("PPD choices") << QByteArray(
                                            "Dest office ColorModel=Gray Duplex=DuplexNoTumble PageSize=B5\n")
                                     << "mono"
                                     << "duplex"
                                     << "long"
                                     << "B5" << 1;
    }

    void readsTheDriversSettings()
    {
        QFETCH(QByteArray, userOptions);
        QFETCH(QString, color);
        QFETCH(QString, duplex);
        QFETCH(QString, edge);
        QFETCH(QString, paper);
        QFETCH(int, copies);
        writeOptionsFile(optionsPath(), userOptions);
        NativePrinterOptions options;
        QString error;
        QVERIFY2(PrinterProperties::readNativeSettings(QStringLiteral("office"), &options, &error),
                 qPrintable(error));
        QCOMPARE(optionText(options.colorMode), color);
        QCOMPARE(optionText(options.duplexMode), duplex);
        QCOMPARE(optionText(options.duplexEdge), edge);
        QCOMPARE(options.paperSize, paper);
        QCOMPARE(options.copies, copies);
        QVERIFY(!PrinterProperties::readNativeSettings(QStringLiteral("nowhere"), &options, &error));
        QCOMPARE(error, QStringLiteral("Unable to open printer \"nowhere\" (CUPS error 1030)"));
    }

    void propertiesDialogSavesTheUsersChoice()
    {
        writeOptionsFile(optionsPath(), "Default annex\n");
        // Confirmed: the choices become the user's options for the queue and the preset vocabulary.
        QTimer::singleShot(200, this, [] {
            auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            auto *duplex = dialog->findChild<QComboBox *>(QStringLiteral("duplexCombo"));
            auto *color = dialog->findChild<QComboBox *>(QStringLiteral("colorCombo"));
            auto *paper = dialog->findChild<QComboBox *>(QStringLiteral("paperCombo"));
            auto *copies = dialog->findChild<QSpinBox *>(QStringLiteral("copiesSpin"));
            QVERIFY(duplex && color && paper && copies);
            QCOMPARE(duplex->count(), 3);
            QCOMPARE(paper->count(), 8);
            duplex->setCurrentIndex(duplex->findData(int(DuplexHorizontal)));
            color->setCurrentIndex(color->findData(int(ColorMonochrome)));
            paper->setCurrentIndex(paper->findText(QStringLiteral("A3")));
            copies->setValue(4);
            dialog->findChild<QPushButton *>(QStringLiteral("saveButton"))->click();
        });
        NativePrinterOptions options;
        QString error;
        QVERIFY2(PrinterProperties::showNativeDialog(nullptr, QStringLiteral("office"), &options, &error),
                 qPrintable(error));
        QCOMPARE(options.duplexMode, DuplexMode::Duplex);
        QCOMPARE(options.duplexEdge, DuplexEdge::Short);
        QCOMPARE(options.colorMode, ColorMode::Mono);
        QCOMPARE(options.paperSize, QStringLiteral("A3"));
        QCOMPARE(options.copies, 4);
        NativePrinterOptions reread;
        QVERIFY(PrinterProperties::readNativeSettings(QStringLiteral("office"), &reread, &error));
        QCOMPARE(reread.paperSize, QStringLiteral("A3"));
        QCOMPARE(reread.copies, 4);
        const QByteArray saved = optionsFile(optionsPath());
        QVERIFY2(saved.startsWith("Default annex\nDest office "), saved.constData());

        // A preset that prints with the driver's settings now prints with these.
        const int jobsBefore = cups.jobs(QStringLiteral("office")).size();
        {
            QMutexLocker lock(&printerSettingsMutex);
            PrinterSettingsScope scope;
            QVERIFY(scope.apply(
                preset("office", ColorMode::Color, DuplexMode::Simplex, DuplexEdge::Long, "A4", 1, true),
                &error));
            QCOMPARE(cups.run(QStringLiteral("lp"), {document}), 0);
            QVERIFY(cups.waitForJobs(QStringLiteral("office"), jobsBefore + 1));
        }
        const CapturedJob job = cups.jobs(QStringLiteral("office")).last();
        QCOMPARE(job.options.value(QStringLiteral("sides")), QStringLiteral("two-sided-short-edge"));
        QCOMPARE(job.options.value(QStringLiteral("PageSize")), QStringLiteral("A3"));
        QCOMPARE(job.copies, 1);

        // Cancelled: false without a message, nothing saved.
        QTimer::singleShot(200, this, [] {
            auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            dialog->findChild<QPushButton *>(QStringLiteral("cancelButton"))->click();
        });
        error.clear();
        QVERIFY(!PrinterProperties::showNativeDialog(nullptr, QStringLiteral("office"), &options, &error));
        QCOMPARE(error, QString());
        QCOMPARE(optionsFile(optionsPath()), saved);
    }
};

QTEST_MAIN(CupsSettingsSwitchTest)
#include "tst_cupssettingsswitch.moc"
