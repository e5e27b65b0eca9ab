// The settings switch and the driver properties of Windows against a recorded winspool: call order, every
// failure, the DEVMODE fields, the user's turn and the journal a killed process leaves.
#include "support/FakeWinspool.h"

#include "base/I18n.h"
#include "base/PrintOptions.h"
#include "platform/DevMode.h"
#include "platform/SystemTexts.h"
#include "printing/PrinterSettingsScope.h"
#include "printing/RestoreJournal.h"
#include "printing/SettingsSwitchLock.h"
#include "ui/PrinterPropertiesDialog.h"

#include <QWidget>
#include <QtTest>

#include <sys/wait.h>
#include <unistd.h>

using ollavan::testsupport::FakeWinspool;
using namespace platform::devmode;

namespace {

// "color|mono/simplex|duplex/long|short/PAPER/COPIES[/driver]"
PrintPreset preset(const QString &words)
{
    const QStringList word = words.split(QLatin1Char('/'));
    PrintPreset result;
    result.printerName = QStringLiteral("Office");
    result.colorMode = colorModeFromText(word.at(0));
    result.duplexMode = duplexModeFromText(word.at(1));
    result.duplexEdge = duplexEdgeFromText(word.at(2));
    result.paperSize = word.at(3);
    result.copies = word.at(4).toInt();
    result.useDriverSettings = word.size() > 5;
    return result;
}

QString systemText(const char *windowsWording)
{
    return QString::fromUtf8(platform::systemText(windowsWording));
}

}  // namespace

class PrinterSettingsSwitchTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<FakeWinspool> fake;
    std::unique_ptr<FakeWinspool::Installation> installation;
    const QByteArray userMode =
        FakeWinspool::devMode("Office", 2, ColorMonochrome, DuplexVertical, PaperExecutive, "user");

    QString calls() const { return fake->calls().join(QLatin1Char(' ')); }

private slots:
    void init()
    {
        I18n::setLanguage(QStringLiteral("en"));
        fake = std::make_unique<FakeWinspool>();
        fake->addPrinter(QStringLiteral("Old"));
        fake->addPrinter(QStringLiteral("Office"));
        fake->defaultPrinterName = QStringLiteral("Old");
        fake->userDevModes[QStringLiteral("Office")] = userMode;
        installation = std::make_unique<FakeWinspool::Installation>(fake.get());
    }
    void cleanup() { installation.reset(); }
    void initTestCase() { SettingsSwitchLock::setWaitLimit(1); }

    void switchesAndRestoresInOrder_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("previousDefault");
        QTest::addColumn<QString>("applyCalls");
        QTest::addColumn<QString>("restoreCalls");
        const QString open =
            "openPrinter(Office) setDefaultPrinter(Office) getPrinterSize(Office,9) getPrinter(Office,9) ";
        const QString clean = "getPrinterSize(Office,8) getPrinter(Office,8) ";
        const QString set = "documentProperties(Office,10) setPrinter(Office,9)";
        const QString back = "setPrinter(Office,9) closePrinter(Office)";
        const QString read = "getDefaultPrinterLength() getDefaultPrinter(4) ";
        const QString backToOld = back + " setDefaultPrinter(Old)";
        QTest::newRow("clean defaults") << "mono/duplex/short/A5/3"
                                        << "Old" << read + open + clean + set << backToOld;
        QTest::newRow("driver's settings") << "mono/duplex/short/A5/3/driver"
                                           << "Old" << read + open + set << backToOld;
        QTest::newRow("no default printer") << "color/simplex/long/A4/1"
                                            << "" << read.left(26) + open + clean + set << back;
    }

    void switchesAndRestoresInOrder()
    {
        QFETCH(QString, chosen);
        QFETCH(QString, previousDefault);
        QFETCH(QString, applyCalls);
        QFETCH(QString, restoreCalls);
        fake->defaultPrinterName = previousDefault;
        {
            PrinterSettingsScope scope;
            QString error = QStringLiteral("untouched");
            QVERIFY(scope.apply(preset(chosen), &error));
            QCOMPARE(error, QStringLiteral("untouched"));
            QCOMPARE(calls(), applyCalls);
            // While it lasts, others print on the preset's printer with its settings; the way back is on
            // disk.
            QCOMPARE(fake->defaultPrinterName, QStringLiteral("Office"));
            QCOMPARE(fake->userDevModes.value("Office"), fake->lastMergeInput);
            QVERIFY(RestoreJournal::exists());
            fake->clearCalls();
        }
        QCOMPARE(calls(), restoreCalls);
        QCOMPARE(fake->userDevModes.value("Office"), userMode);
        QCOMPARE(fake->defaultPrinterName,
                 previousDefault.isEmpty() ? QStringLiteral("Office") : previousDefault);
        QCOMPARE(fake->openHandles(), 0);
        QVERIFY(!RestoreJournal::exists());
    }

    void everyFailureIsNamedAndUndone_data()
    {
        QTest::addColumn<QString>("failing");  // "null:" for a read without DEVMODE
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("cleanup");
        const QString back = "closePrinter(Office) setDefaultPrinter(Old)";
        const QString all = "setPrinter(Office,9) " + back;
        const auto row = [](const char *name, const char *failing, const QString &message,
                            const QString &cleanup) {
            QTest::newRow(name) << QString::fromLatin1(failing) << message << cleanup;
        };
        row("printer missing", "openPrinter", "Printer not found: Office", "setDefaultPrinter(Old)");
        row("default not switched", "setDefaultPrinter(Office)",
            "Unable to temporarily switch the default printer: Office", back);
        row("user settings, no size", "getPrinterSize(Office,9)", "Unable to read printer defaults: Office",
            back);
        row("user settings unreadable", "getPrinter(Office,9)", "Failed to read printer defaults: Office",
            back);
        row("user settings absent", "null:getPrinter(Office,9)",
            "The printer driver did not provide print settings.", back);
        row("clean defaults, no size", "getPrinterSize(Office,8)",
            "Unable to read clean printer defaults: Office", all);
        row("clean defaults unreadable", "getPrinter(Office,8)",
            "Unable to read clean printer defaults: Office", all);
        row("clean defaults absent", "null:getPrinter(Office,8)",
            "The printer driver did not provide clean default settings.", all);
        row("driver rejects", "documentProperties", "The printer driver rejected these print settings.", all);
        row("another switch keeps its turn", "turn",
            "Another print job kept the printer settings busy for 1 s; nothing was printed.", "");
        row("settings not stored", "setPrinter",
            systemText("Unable to apply printer settings (Windows error %1)").arg(5), all);
    }

    void everyFailureIsNamedAndUndone()
    {
        QFETCH(QString, failing);
        QFETCH(QString, message);
        QFETCH(QString, cleanup);
        fake->fail(failing.section(QLatin1Char(':'), -1), failing.startsWith(QLatin1String("null:")));
        std::optional<SettingsSwitchLock> other;
        if (failing == QLatin1String("turn"))
            QVERIFY(other.emplace().tryAcquire());
        {
            PrinterSettingsScope scope;
            QString error;
            QVERIFY(!scope.apply(preset("mono/duplex/short/A5/3"), &error));
            QCOMPARE(error, message);
            fake->clearCalls();
        }
        QCOMPARE(calls(), cleanup);
        QCOMPARE(fake->defaultPrinterName, QStringLiteral("Old"));
        QCOMPARE(fake->userDevModes.value("Office"), userMode);
        QCOMPARE(fake->openHandles(), 0);
        // Settings that could not be written back keep their journal for the next start.
        QCOMPARE(RestoreJournal::exists(), failing == QLatin1String("setPrinter"));
        RestoreJournal::remove();
    }

    void presetFieldsReachTheDriver_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<bool>("unmarkedDefaults");  // clean defaults with no dmFields bit and dmColor 0
        QTest::addColumn<QString>("working");        // dmColor dmDuplex dmPaperSize dmCopies, driver bytes
        QTest::newRow("colour, one-sided") << "color/simplex/short/A3/3" << false << "2 1 8 3 global";
        QTest::newRow("long edge, padded b5") << "mono/duplex/long/ b5 /1" << false << "1 2 13 1 global";
        QTest::newRow("short edge, letter") << "mono/duplex/short/letter/2" << false << "1 3 1 2 global";
        QTest::newRow("unknown paper is A4") << "color/simplex/long/Tabloid/1" << false << "2 1 9 1 global";
        QTest::newRow("no copies") << "color/simplex/long/Legal/0" << false << "2 1 5 1 global";
        QTest::newRow("negative copies") << "color/simplex/long/a6/-4" << false << "2 1 70 1 global";
        QTest::newRow("copies above 9999") << "color/simplex/long/B4/10000" << false << "2 1 12 9999 global";
        QTest::newRow("copies past 16 bits")
            << "color/simplex/long/A5/40000" << false << "2 1 11 9999 global";
        QTest::newRow("driver settings: the user's choices")
            << "color/duplex/short/A3/4/driver" << false << "1 2 7 4 user";
        QTest::newRow("unmarked clean defaults") << "mono/simplex/long/A4/1" << true << "1 1 9 1 global";
    }

    void presetFieldsReachTheDriver()
    {
        QFETCH(QString, chosen);
        QFETCH(bool, unmarkedDefaults);
        QFETCH(QString, working);
        platform::DevMode clean(
            FakeWinspool::devMode("Office", 1, ColorColor, DuplexSimplex, PaperA4, "global"));
        if (unmarkedDefaults) {
            clean.setFields(0);
            clean.setColor(0);
        }
        fake->globalDevModes[QStringLiteral("Office")] = clean.bytes();
        PrinterSettingsScope scope;
        QString error;
        QVERIFY2(scope.apply(preset(chosen), &error), qPrintable(error));
        const platform::DevMode merged(fake->lastMergeInput);
        QCOMPARE(QStringLiteral("%1 %2 %3 %4 %5")
                     .arg(merged.color())
                     .arg(merged.duplex())
                     .arg(merged.paperSize())
                     .arg(merged.copies())
                     .arg(QString::fromLatin1(merged.driverExtra())),
                 working);
        const quint32 marked =
            FieldCopies | (preset(chosen).useDriverSettings ? 0 : FieldColor | FieldDuplex | FieldPaperSize);
        QCOMPARE(merged.fields() & marked, marked);
    }

    void driverPropertiesReadAndDialog_data()
    {
        QTest::addColumn<QByteArray>("current");
        QTest::addColumn<QString>("failing");   // "blank": no printer named
        QTest::addColumn<int>("dialogAnswer");  // 0: only read
        QTest::addColumn<QString>("outcome");   // the options, or the message
        QTest::addColumn<QString>("calls");
        platform::DevMode form(FakeWinspool::devMode("Office", 0, ColorColor, DuplexHorizontal, PaperA4));
        form.setFields(FieldFormName);
        form.setFormName(QStringLiteral("Photo 10x15"));
        platform::DevMode odd(FakeWinspool::devMode("Office", 12000, 0, 7, PaperB6));
        odd.setFields(0);
        platform::DevMode custom(FakeWinspool::devMode("Office", 5, ColorMonochrome, DuplexSimplex, 256));
        custom.setPaperWidth(1000);
        custom.setPaperLength(1485);
        platform::DevMode unmarked = custom;
        custom.setFields(FieldPaperWidth | FieldPaperLength);
        const QString read = "openPrinter(Office) documentProperties(Office,0) documentProperties(Office,2) ";
        const QString dialog = read + "documentProperties(Office,14) ";
        const QString close = "closePrinter(Office)";
        const QByteArray plain = userMode;
        const auto row = [](const char *name, const QByteArray &current, const char *failing, int answer,
                            const QString &outcome, const QString &calls) {
            QTest::newRow(name) << current << QString::fromLatin1(failing) << answer << outcome << calls;
        };
        row("no printer", plain, "blank", 0, "Select a printer first.", "");
        row("cannot open", plain, "openPrinter", 0,
            systemText("Unable to open printer \"%1\" (Windows error %2)").arg("Office", "5"),
            "openPrinter(Office)");
        row("no size", plain, "documentProperties(Office,0)", 0,
            "This printer driver does not expose configurable properties.", read.left(49) + close);
        row("unreadable", plain, "documentProperties(Office,2)", 0,
            "Unable to read printer driver properties.", read + close);
        row("form name, short edge, no copies", form.bytes(), "", 0, "duplex short color Photo 10x15 1",
            read + close);
        row("unmarked, unexpected values", odd.bytes(), "", 0, "duplex long mono B6 9999", read + close);
        row("custom size", custom.bytes(), "", 0, "simplex long mono 100.0 × 148.5 mm 5", read + close);
        row("custom size unmarked", unmarked.bytes(), "", 0, "simplex long mono Driver form #256 5",
            read + close);
        row("dialog confirmed", plain, "", 1, "duplex short mono Executive 7",
            dialog + "setPrinter(Office,9) " + close);
        row("dialog cancelled", plain, "", 2, "", dialog + close);
        row("dialog not shown", plain, "", -1, "Unable to open printer driver properties.", dialog + close);
        row("dialog not saved", plain, "setPrinter", 1,
            systemText("Unable to save printer driver properties (Windows error %1)").arg(5),
            dialog + "setPrinter(Office,9) " + close);
    }

    void driverPropertiesReadAndDialog()
    {
        QFETCH(QByteArray, current);
        QFETCH(QString, failing);
        QFETCH(int, dialogAnswer);
        QFETCH(QString, outcome);
        QFETCH(QString, calls);
        fake->userDevModes[QStringLiteral("Office")] = current;
        fake->fail(failing);
        const QString printer =
            failing == QLatin1String("blank") ? QStringLiteral(" ") : QStringLiteral("Office");
        fake->dialogHandler = [dialogAnswer](QByteArray *record) {
            platform::DevMode changed(*record);
            changed.setDuplex(DuplexHorizontal);
            changed.setCopies(7);
            *record = changed.bytes();
            return dialogAnswer;
        };
        NativePrinterOptions options;
        QString error;
        QWidget parent;
        const bool done = dialogAnswer == 0
                              ? PrinterProperties::readNativeSettings(printer, &options, &error)
                              : PrinterPropertiesDialog::show(&parent, printer, &options, &error);
        const QString read =
            QStringList{optionText(options.duplexMode), optionText(options.duplexEdge),
                        optionText(options.colorMode), options.paperSize, QString::number(options.copies)}
                .join(QLatin1Char(' '));
        QCOMPARE(done ? read : error, outcome);
        QCOMPARE(this->calls(), calls);
        QCOMPARE(fake->userDevModes.value("Office") != current, done && dialogAnswer == 1);
        if (calls.contains(QLatin1String("documentProperties(Office,14)")))
            QCOMPARE(fake->lastDialogWindow, quintptr(parent.winId()));
    }

    void aKilledSwitchIsRestoredAtTheNextStart()
    {
        // A process that switches and dies without putting anything back.
        const pid_t child = fork();
        if (child == 0)
            std::_Exit((new PrinterSettingsScope)->apply(preset("mono/duplex/short/A5/3")) ? 0 : 1);
        int status = -1;
        QCOMPARE(waitpid(child, &status, 0), child);
        QCOMPARE(status, 0);
        QVERIFY(RestoreJournal::exists());
        // This process's winspool as the dead one left it.
        fake->defaultPrinterName = QStringLiteral("Office");
        fake->userDevModes[QStringLiteral("Office")] = fake->globalDevModes.value("Office");
        QString report;
        QVERIFY(RestoreJournal::recoverInterruptedSwitch(&report));
        QCOMPARE(report,
                 QStringLiteral("Restored your printer settings after an interrupted print: default printer "
                                "\"Old\", options of \"Office\"."));
        QCOMPARE(calls(), QStringLiteral("openPrinter(Office) setPrinter(Office,9) closePrinter(Office) "
                                         "setDefaultPrinter(Old)"));
        QCOMPARE(fake->userDevModes.value("Office"), userMode);
        QCOMPARE(fake->defaultPrinterName, QStringLiteral("Old"));
        QVERIFY(!RestoreJournal::exists());
    }
};

QTEST_MAIN(PrinterSettingsSwitchTest)
#include "tst_printersettingsswitch.moc"
