// The settings switch of Linux against a private CUPS server: the user's lpoptions file comes back byte for
// byte from every starting state, `ollavan print` killed by a signal puts it back itself or at the next
// start, two prints at once take turns, and the queue's own defaults and supported values decide.
#include "support/PrivateCups.h"
#include "support/TestDocuments.h"

#include "base/AppIdentity.h"
#include "base/I18n.h"
#include "model/DatabaseLocation.h"
#include "model/PresetRepository.h"
#include "platform/PrinterSettings.h"
#include "printing/PrinterSettingsScope.h"
#include "printing/RestoreJournal.h"

#include <QFile>
#include <QProcess>
#include <QtTest>

#include <cups/cups.h>

#include <csignal>

using namespace ollavan::testsupport;

namespace {

// id, title, colour, sides, edge, paper, printer, accent, copies, the driver's settings, hotkey, place
const PrintPreset officePreset{
    0,  "Office", ColorMode::Mono, DuplexMode::Duplex, DuplexEdge::Short, "A5", "office", "", 3, false,
    "", -1};
const PrintPreset annexPreset{
    0, "Annex", ColorMode::Color, DuplexMode::Duplex, DuplexEdge::Long, "A4", "annex", "", 2, false, "", -1};
const PrintPreset driverPreset{
    0,  "Driver", ColorMode::Color, DuplexMode::Simplex, DuplexEdge::Long, "A3", "office", "", 4, true,
    "", -1};

// The file's bytes; a null array when there is no file.
QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() + QByteArray("") : QByteArray();
}

void setFileBytes(const QString &path, const QByteArray &bytes)
{
    QFile::remove(path);
    if (!bytes.isNull())
        QVERIFY(writeFile(path, bytes));
}

// A destination's options as libcups reads them (the user's file over the server's defaults).
QString option(const QString &destination, const char *name)
{
    cups_dest_t *dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, destination.toUtf8().constData(), nullptr);
    const char *value = dest ? cupsGetOption(name, dest->num_options, dest->options) : nullptr;
    const QString result = value ? QString::fromUtf8(value) : QString();
    cupsFreeDests(dest ? 1 : 0, dest);
    return result;
}

}  // namespace

class SettingsRestoreTest : public QObject
{
    Q_OBJECT

private:
    PrivateCups cups;
    QTemporaryDir files;
    QTemporaryDir temporary;
    QString shortDocument;
    QString longDocument;

    QString userFile() const { return cups.userOptionsPath(); }
    QString lpstatDefault() const
    {
        QString output;
        cups.run(QStringLiteral("lpstat"), {QStringLiteral("-d")}, &output);
        return output.section(QLatin1Char(':'), 1).trimmed();
    }
    // Starts `ollavan print` of the preset and waits until its switch is journaled.
    void startPrint(QProcess &process, const PrintPreset &chosen, const QString &document)
    {
        process.start(QStringLiteral(OLLAVAN_BIN_DIR "/ollavan"),
                      {QStringLiteral("print"), QStringLiteral("--preset"), chosen.title, document});
        QVERIFY(process.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(RestoreJournal::exists() || process.state() == QProcess::NotRunning, 60000);
        if (!RestoreJournal::exists())
            QFAIL(process.readAllStandardError().constData());
    }

private slots:
    void initTestCase()
    {
        QString error;
        QVERIFY2(cups.start(&error), qPrintable(error));
        for (const char *queue : {"office", "annex", "gone"})
            QVERIFY2(cups.addQueue(QString::fromLatin1(queue), PrivateCups::Ppd, &error), qPrintable(error));
        QVERIFY2(cups.addQueue(QStringLiteral("plain"), PrivateCups::Raw, &error), qPrintable(error));
        // No default anywhere: the server's default is a queue that no longer exists.
        QVERIFY2(cups.setServerDefault(QStringLiteral("gone"), &error), qPrintable(error));
        QVERIFY2(cups.removeQueue(QStringLiteral("gone"), &error), qPrintable(error));
        QVERIFY(cups.setQueueDefault(QStringLiteral("office"), QStringLiteral("sides"),
                                     QStringLiteral("two-sided-long-edge")));
        // The programs' temporary files go to a folder of the test's own, which must stay empty.
        QVERIFY(temporary.isValid());
        qputenv("TMPDIR", QFile::encodeName(temporary.path()));
        I18n::setLanguage(QStringLiteral("en"));
        AppIdentity::apply();
        QVERIFY(DatabaseLocation::createDatabaseFolder(DatabaseLocation::databasePath()));
        QFile::remove(DatabaseLocation::databasePath());
        PresetRepository store(DatabaseLocation::databasePath());
        QVERIFY(store.open(&error));
        for (const PrintPreset &chosen : {officePreset, annexPreset, driverPreset})
            QVERIFY2(store.addPreset(chosen, &error), qPrintable(error));
        shortDocument = files.filePath(QStringLiteral("short.pdf"));
        longDocument = files.filePath(QStringLiteral("long.pdf"));
        QVERIFY(writeFile(shortDocument, makeMixedOrientationPdf(1)));
        QVERIFY(writeFile(longDocument, makeMixedOrientationPdf(60)));
    }

    void startingStatesComeBackExactly_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("environment");  // NAME=value
        QTest::addColumn<bool>("driverSettings");
        QTest::addColumn<QByteArray>("theirs");  // a line someone else changes during the job, and how
        QTest::newRow("no file") << QByteArray() << "" << false << QByteArray();
        QTest::newRow("no default line") << QByteArray("Dest annex copies=2\nDest office job-priority=20\n")
                                         << "" << false << QByteArray();
        QTest::newRow("LPDEST") << QByteArray("Default annex\nDest office copies=2\n") << "LPDEST=annex"
                                << false << QByteArray();
        QTest::newRow("PRINTER") << QByteArray("Dest office copies=2\n") << "PRINTER=plain" << false
                                 << QByteArray();
        QTest::newRow("CRLF") << QByteArray(
                                     "Default annex\r\nDest office copies=2 sides=one-sided\r\n# mine\r\n")
                              << "" << false << QByteArray();
        QTest::newRow("comments and unknown lines")
            << QByteArray("# printers\n\nDest office   job-priority=20  \nServerName example\n  "
                          "Default\tannex  copies=4\n")
            << "" << false << QByteArray();
        QTest::newRow("instances") << QByteArray("Default office/draft copies=9\nDest office media=A4\n")
                                   << "" << false << QByteArray();
        QTest::newRow("quoted values, no final newline, driver settings")
            << QByteArray(
                   "Default annex\nDest office job-name=\"Quarterly \\\"report\\\"\" notes='two words' "
                   "sides=two-sided-short-edge")
            << "" << true << QByteArray();
        QTest::newRow("another line changed meanwhile") << QByteArray("Dest plain copies=5\nDefault annex\n")
                                                        << "" << false << QByteArray("copies=5|copies=6");
    }

    void startingStatesComeBackExactly()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, environment);
        QFETCH(bool, driverSettings);
        QFETCH(QByteArray, theirs);
        setFileBytes(userFile(), before);
        const QByteArray variable = environment.section(QLatin1Char('='), 0, 0).toUtf8();
        if (!variable.isEmpty())
            qputenv(variable.constData(), environment.section(QLatin1Char('='), 1).toUtf8());
        const QString defaultBefore = lpstatDefault();
        QByteArray after = before;
        {
            PrinterSettingsScope scope;
            QString error;
            QVERIFY2(scope.apply(driverSettings ? driverPreset : officePreset, &error), qPrintable(error));
            const QByteArray during = fileBytes(userFile());
            QCOMPARE(lpstatDefault(), variable.isEmpty() ? QStringLiteral("office") : defaultBefore);
            QCOMPARE(during.count("Default "), variable.isEmpty() ? 1 : before.count("Default "));
            QCOMPARE(option("office", "copies"), QString::number(driverSettings ? 4 : 3));
            QCOMPARE(option("office", "sides"), QStringLiteral("two-sided-short-edge"));
            if (driverSettings) {
                QCOMPARE(option("office", "job-name") + option("office", "notes"),
                         "Quarterly \"report\"two words");
            } else {
                QCOMPARE(option("office", "print-color-mode"), QStringLiteral("monochrome"));
                QCOMPARE(option("office", "media"), QStringLiteral("iso_a5_148x210mm"));
            }
            // Lines the switch has no business with keep their bytes.
            for (const QByteArray &line : before.split('\n')) {
                if (!line.contains("office") && !line.contains("Default"))
                    QVERIFY2(during.contains(line), line.constData());
            }
            if (!theirs.isEmpty()) {
                const QList<QByteArray> change = theirs.split('|');
                setFileBytes(userFile(), QByteArray(during).replace(change.at(0), change.at(1)));
                after.replace(change.at(0), change.at(1));
            }
        }
        qunsetenv(variable.constData());
        QCOMPARE(fileBytes(userFile()), after);
        QCOMPARE(fileBytes(userFile()).isNull(), before.isNull());
        QCOMPARE(lpstatDefault(), defaultBefore);
        QVERIFY(!RestoreJournal::exists());
    }

    void theQueueDecides_data()
    {
        QTest::addColumn<QString>("queue");
        QTest::addColumn<int>("copies");
        QTest::addColumn<QString>("paper");
        QTest::addColumn<QString>("validated");  // copies, colour, sides, paper: asked for colour, short edge
        QTest::newRow("supported as asked") << "office" << 3 << "b4"
                                            << "3 0 2 B4";
        QTest::newRow("no copies, paper the queue lacks") << "office" << 0 << "B6"
                                                          << "1 0 2 A4";
        QTest::newRow("raw queue: no colour, no duplex") << "plain" << 12000 << "Letter"
                                                         << "9999 1 0 Letter";
    }

    void theQueueDecides()
    {
        QFETCH(QString, queue);
        QFETCH(int, copies);
        QFETCH(QString, paper);
        QFETCH(QString, validated);
        QString failure;
        QVERIFY(!platform::printerSettingsSystem().openPrinter(QStringLiteral("nowhere"), &failure));
        QCOMPARE(failure, QStringLiteral("The printer or class does not exist."));
        const auto printer = platform::printerSettingsSystem().openPrinter(queue, &failure);
        QVERIFY2(printer, qPrintable(failure));
        platform::PrinterSettings settings;
        QCOMPARE(printer->defaultSettings(&settings), platform::SettingsRead::Ok);
        const bool office = queue == QLatin1String("office");
        QCOMPARE(*settings.sides, office ? platform::Sides::TwoSidedLongEdge : platform::Sides::OneSided);
        QCOMPARE(*settings.color, office ? ColorMode::Color : ColorMode::Mono);
        settings = {copies, ColorMode::Color, platform::Sides::TwoSidedShortEdge, paper, settings.record};
        QVERIFY(printer->validate(&settings));
        QCOMPARE(QStringLiteral("%1 %2 %3 %4")
                     .arg(*settings.copies)
                     .arg(int(*settings.color))
                     .arg(int(*settings.sides))
                     .arg(settings.paper),
                 validated);
        const platform::PrinterChoices choices = printer->choices();
        QCOMPARE(choices.sides.size(), office ? 3 : 1);
        QCOMPARE(choices.colors.size(), office ? 2 : 1);
        if (office)
            QCOMPARE(choices.papers, (QStringList{"A3", "A4", "A5", "A6", "B4", "B5", "Letter", "Legal"}));
    }

    void killedPrintIsRestored_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGINT") << int(SIGINT);
        QTest::newRow("SIGHUP") << int(SIGHUP);
        QTest::newRow("SIGKILL") << int(SIGKILL);
    }

    void killedPrintIsRestored()
    {
        QFETCH(int, signal);
        const QByteArray before("Dest office copies=2\nDefault annex\n");
        setFileBytes(userFile(), before);
        QProcess print;
        startPrint(print, officePreset, longDocument);
        ::kill(pid_t(print.processId()), signal);
        QVERIFY(print.waitForFinished(60000));
        const bool handled = signal != SIGKILL;
        QCOMPARE(print.exitStatus(), handled ? QProcess::NormalExit : QProcess::CrashExit);
        if (handled)
            QCOMPARE(print.exitCode(), 128 + signal);
        // Handled: put back before the exit. Killed outright: the next start puts it back and says so once.
        QCOMPARE(fileBytes(userFile()) == before, handled);
        QCOMPARE(RestoreJournal::exists(), !handled);
        const QString said =
            QStringLiteral("ollavan: Restored your printer settings after an interrupted print: "
                           "default printer \"annex\", options of \"office\".\n");
        for (const QString &expected : {handled ? QString() : said, QString()}) {
            QProcess next;
            next.start(QStringLiteral(OLLAVAN_BIN_DIR "/ollavan"), {QStringLiteral("presets")});
            QVERIFY(next.waitForFinished(60000));
            QCOMPARE(next.exitCode(), 0);
            QCOMPARE(QString::fromUtf8(next.readAllStandardError()), expected);
            QCOMPARE(fileBytes(userFile()), before);
        }
        QVERIFY(!RestoreJournal::exists());
        QCOMPARE(QDir(temporary.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList());
    }

    void twoPrintsTakeTurns()
    {
        const QByteArray before("Default plain\nDest office job-priority=40\nDest annex copies=5\n");
        setFileBytes(userFile(), before);
        const int officeJobs = cups.jobs(QStringLiteral("office")).size();
        const int annexJobs = cups.jobs(QStringLiteral("annex")).size();
        QProcess first;
        QProcess second;
        startPrint(first, officePreset, longDocument);
        second.start(QStringLiteral(OLLAVAN_BIN_DIR "/ollavan"),
                     {QStringLiteral("print"), QStringLiteral("--preset"), annexPreset.title, shortDocument});
        QStringList said;
        for (QProcess *print : {&first, &second}) {
            QVERIFY(print->waitForFinished(300000));
            said << QString::fromUtf8(print->readAllStandardError());
            QCOMPARE(print->exitCode(), 0);
        }
        QCOMPARE(said, (QStringList{"", "ollavan: Waiting for another print job to finish…\n"}));
        // Each job with its own preset's settings.
        QStringList printed;
        for (const auto &[queue, count] :
             {std::pair{QStringLiteral("office"), officeJobs}, {QStringLiteral("annex"), annexJobs}}) {
            QVERIFY(cups.waitForJobs(queue, count + 1));
            const CapturedJob job = cups.jobs(queue).last();
            printed << QStringLiteral("%1 %2 %3")
                           .arg(job.copies)
                           .arg(job.options.value(QStringLiteral("sides")),
                                job.options.value(QStringLiteral("print-color-mode")));
        }
        QCOMPARE(printed, (QStringList{"3 two-sided-short-edge monochrome", "2 two-sided-long-edge color"}));
        QCOMPARE(fileBytes(userFile()), before);
        QCOMPARE(lpstatDefault(), QStringLiteral("plain"));
    }
};

QTEST_MAIN(SettingsRestoreTest)
#include "tst_settingsrestore.moc"
