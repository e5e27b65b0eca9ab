// The temporary default-printer and DEVMODE switch against a spooler that records every call.
#include "support/FakeSpooler.h"

#include "base/I18n.h"
#include "base/PrintOptions.h"
#include "platform/DevMode.h"
#include "printing/PrinterSettingsScope.h"

#include <QtTest>

using ollavan::testsupport::FakeSpooler;
using namespace platform::devmode;

namespace {

PrintPreset officePreset()
{
    PrintPreset preset;
    preset.printerName = QStringLiteral("Office");
    preset.colorMode = ColorMode::Mono;
    preset.duplexMode = DuplexMode::Duplex;
    preset.duplexEdge = DuplexEdge::Short;
    preset.paperSize = QStringLiteral("A5");
    preset.copies = 3;
    return preset;
}

}  // namespace

class PrinterSettingsScopeTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<FakeSpooler> fake;
    QByteArray originalUserMode;
    QByteArray originalGlobalMode;

private slots:
    void init()
    {
        I18n::setLanguage(QStringLiteral("en"));
        fake = std::make_unique<FakeSpooler>();
        FakeSpooler &spooler = *fake;
        spooler.addPrinter(QStringLiteral("Old"));
        spooler.addPrinter(QStringLiteral("Office"));
        spooler.defaultPrinterName = QStringLiteral("Old");
        originalUserMode = FakeSpooler::devMode(QStringLiteral("Office"), 2, ColorColor, DuplexVertical,
                                                PaperLetter, "the user's own driver bytes");
        originalGlobalMode = FakeSpooler::devMode(QStringLiteral("Office"), 1, ColorColor, DuplexSimplex,
                                                  PaperA4, "clean driver bytes");
        spooler.userDevModes[QStringLiteral("Office")] = originalUserMode;
        spooler.globalDevModes[QStringLiteral("Office")] = originalGlobalMode;
    }

    void switchesAndRestoresInOrder_data()
    {
        QTest::addColumn<bool>("useDriverSettings");
        QTest::addColumn<QStringList>("applyCalls");
        const QStringList head = {"defaultPrinterNameLength()", "defaultPrinter(4)",
                                  "openPrinter(Office)",        "setDefaultPrinter(Office)",
                                  "printerInfoSize(Office,9)",  "printerDevMode(Office,9)"};
        const QStringList tail = {"documentProperties(Office,10)", "setPrinterDevMode(Office,9)"};
        QTest::newRow("clean global defaults")
            << false << head + QStringList{"printerInfoSize(Office,8)", "printerDevMode(Office,8)"} + tail;
        QTest::newRow("the user's driver settings") << true << head + tail;
    }

    void switchesAndRestoresInOrder()
    {
        QFETCH(bool, useDriverSettings);
        QFETCH(QStringList, applyCalls);
        FakeSpooler &spooler = *fake;
        FakeSpooler::Installation installed(&spooler);
        PrintPreset preset = officePreset();
        preset.useDriverSettings = useDriverSettings;
        {
            PrinterSettingsScope scope;
            QString error = QStringLiteral("untouched");
            QVERIFY(scope.apply(preset, &error));
            QCOMPARE(error, QStringLiteral("untouched"));
            QCOMPARE(spooler.calls(), applyCalls);
            // While the scope lives, other applications see the preset's printer with the preset's settings.
            QCOMPARE(spooler.defaultPrinterName, QStringLiteral("Office"));
            QVERIFY(spooler.userDevModes.value(QStringLiteral("Office")) != originalUserMode);
            spooler.clearCalls();
        }
        // The settings go back before the default printer does, and the printer is closed in between.
        QCOMPARE(spooler.calls(), (QStringList{"setPrinterDevMode(Office,9)", "closePrinter(Office)",
                                               "setDefaultPrinter(Old)"}));
        QCOMPARE(spooler.userDevModes.value(QStringLiteral("Office")), originalUserMode);
        QCOMPARE(spooler.defaultPrinterName, QStringLiteral("Old"));
        QCOMPARE(spooler.openHandles(), 0);
    }

    void reportsEachFailureAndStillRestores_data()
    {
        QTest::addColumn<QString>("failingCall");
        QTest::addColumn<bool>("nullDevMode");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("cleanup");
        const QStringList closeAndSwitchBack = {"closePrinter(Office)", "setDefaultPrinter(Old)"};
        const QStringList restoreAll = {"setPrinterDevMode(Office,9)", "closePrinter(Office)",
                                        "setDefaultPrinter(Old)"};
        QTest::newRow("printer missing")
            << "openPrinter" << false << "Printer not found: Office" << QStringList{"setDefaultPrinter(Old)"};
        QTest::newRow("default not switched")
            << "setDefaultPrinter(Office)" << false
            << "Unable to temporarily switch the default printer: Office" << closeAndSwitchBack;
        QTest::newRow("user defaults have no size")
            << "printerInfoSize(Office,9)" << false << "Unable to read printer defaults: Office"
            << closeAndSwitchBack;
        QTest::newRow("user defaults unreadable")
            << "printerDevMode(Office,9)" << false << "Failed to read printer defaults: Office"
            << closeAndSwitchBack;
        QTest::newRow("user defaults without DEVMODE")
            << "printerDevMode(Office,9)" << true << "The printer driver did not provide print settings."
            << closeAndSwitchBack;
        QTest::newRow("global defaults have no size")
            << "printerInfoSize(Office,8)" << false << "Unable to read clean printer defaults: Office"
            << restoreAll;
        QTest::newRow("global defaults unreadable")
            << "printerDevMode(Office,8)" << false << "Unable to read clean printer defaults: Office"
            << restoreAll;
        QTest::newRow("global defaults without DEVMODE")
            << "printerDevMode(Office,8)" << true
            << "The printer driver did not provide clean default settings." << restoreAll;
        QTest::newRow("driver rejects") << "documentProperties" << false
                                        << "The printer driver rejected these print settings." << restoreAll;
    }

    void reportsEachFailureAndStillRestores()
    {
        QFETCH(QString, failingCall);
        QFETCH(bool, nullDevMode);
        QFETCH(QString, message);
        QFETCH(QStringList, cleanup);
        FakeSpooler &spooler = *fake;
        FakeSpooler::Installation installed(&spooler);
        if (nullDevMode)
            spooler.answerNullDevMode(failingCall);
        else
            spooler.fail(failingCall);
        {
            PrinterSettingsScope scope;
            QString error;
            QVERIFY(!scope.apply(officePreset(), &error));
            QCOMPARE(error, message);
            // Nothing after the failing step was attempted.
            QVERIFY(!spooler.calls().contains(QStringLiteral("setPrinterDevMode(Office,9)")));
            spooler.clearCalls();
        }
        QCOMPARE(spooler.calls(), cleanup);
        QCOMPARE(spooler.defaultPrinterName, QStringLiteral("Old"));
        QCOMPARE(spooler.userDevModes.value(QStringLiteral("Office")), originalUserMode);
        QCOMPARE(spooler.openHandles(), 0);
    }

    void failedApplyOfSettingsNamesTheErrorAndSwitchesBack()
    {
        FakeSpooler &spooler = *fake;
        FakeSpooler::Installation installed(&spooler);
        spooler.fail(QStringLiteral("setPrinterDevMode"));
        spooler.errorCode = 1804;
        {
            PrinterSettingsScope scope;
            QString error;
            QVERIFY(!scope.apply(officePreset(), &error));
            QCOMPARE(error, QStringLiteral("Unable to apply printer settings (CUPS error 1804)"));
            QCOMPARE(spooler.defaultPrinterName, QStringLiteral("Office"));
            spooler.clearCalls();
        }
        // The restore of the settings is tried (and its failure ignored); the default printer still goes
        // back.
        QCOMPARE(spooler.calls(), (QStringList{"setPrinterDevMode(Office,9)", "closePrinter(Office)",
                                               "setDefaultPrinter(Old)"}));
        QCOMPARE(spooler.defaultPrinterName, QStringLiteral("Old"));
    }

    void errorPointerIsOptional()
    {
        FakeSpooler &spooler = *fake;
        FakeSpooler::Installation installed(&spooler);
        spooler.fail(QStringLiteral("openPrinter"));
        PrinterSettingsScope scope;
        QVERIFY(!scope.apply(officePreset()));
    }

    void withoutReadableDefaultThePresetPrinterStays_data()
    {
        QTest::addColumn<QString>("failingCall");
        QTest::addColumn<QStringList>("firstCalls");
        QTest::newRow("no default printer")
            << QString() << QStringList{"defaultPrinterNameLength()", "openPrinter(Office)"};
        QTest::newRow("name unreadable")
            << "defaultPrinter"
            << QStringList{"defaultPrinterNameLength()", "defaultPrinter(4)", "openPrinter(Office)"};
    }

    void withoutReadableDefaultThePresetPrinterStays()
    {
        QFETCH(QString, failingCall);
        QFETCH(QStringList, firstCalls);
        FakeSpooler &spooler = *fake;
        FakeSpooler::Installation installed(&spooler);
        if (failingCall.isEmpty())
            spooler.defaultPrinterName.clear();
        else
            spooler.fail(failingCall);
        {
            PrinterSettingsScope scope;
            QVERIFY(scope.apply(officePreset()));
            QCOMPARE(spooler.calls().mid(0, firstCalls.size()), firstCalls);
            spooler.clearCalls();
        }
        QCOMPARE(spooler.calls(), (QStringList{"setPrinterDevMode(Office,9)", "closePrinter(Office)"}));
        QCOMPARE(spooler.defaultPrinterName, QStringLiteral("Office"));
        QCOMPARE(spooler.userDevModes.value(QStringLiteral("Office")), originalUserMode);
    }

    void buildsTheDevModeFromThePreset_data()
    {
        QTest::addColumn<QString>("colorMode");
        QTest::addColumn<QString>("duplexMode");
        QTest::addColumn<QString>("duplexEdge");
        QTest::addColumn<QString>("paperSize");
        QTest::addColumn<int>("copies");
        QTest::addColumn<int>("color");
        QTest::addColumn<int>("duplex");
        QTest::addColumn<int>("paper");
        QTest::addColumn<int>("dmCopies");
        QTest::newRow("colour, simplex, A3") << "color"
                                             << "simplex"
                                             << "short"
                                             << "A3" << 1 << 2 << 1 << 8 << 1;
        QTest::newRow("capital Color is mono") << "Color"
                                               << "simplex"
                                               << "long"
                                               << "A4" << 2 << 1 << 1 << 9 << 2;
        QTest::newRow("long edge") << "mono"
                                   << "duplex"
                                   << "long"
                                   << "B5" << 5 << 1 << 2 << 13 << 5;
        QTest::newRow("short edge") << "mono"
                                    << "duplex"
                                    << "short"
                                    << "Letter" << 5 << 1 << 3 << 1 << 5;
        QTest::newRow("unknown edge is long") << "mono"
                                              << "duplex"
                                              << "Short"
                                              << "Legal" << 5 << 1 << 2 << 5 << 5;
        QTest::newRow("unknown duplex word is duplex") << "mono"
                                                       << "two"
                                                       << "long"
                                                       << "A6" << 1 << 1 << 2 << 70 << 1;
        QTest::newRow("lower-case a5") << "mono"
                                       << "simplex"
                                       << "long"
                                       << "a5" << 1 << 1 << 1 << 11 << 1;
        QTest::newRow("Tabloid is A4") << "mono"
                                       << "simplex"
                                       << "long"
                                       << "Tabloid" << 1 << 1 << 1 << 9 << 1;
        QTest::newRow("no copies") << "mono"
                                   << "simplex"
                                   << "long"
                                   << "A4" << 0 << 1 << 1 << 9 << 1;
        QTest::newRow("negative copies") << "mono"
                                         << "simplex"
                                         << "long"
                                         << "A4" << -7 << 1 << 1 << 9 << 1;
        QTest::newRow("most copies") << "mono"
                                     << "simplex"
                                     << "long"
                                     << "A4" << 9999 << 1 << 1 << 9 << 9999;
        QTest::newRow("too many copies") << "mono"
                                         << "simplex"
                                         << "long"
                                         << "A4" << 10000 << 1 << 1 << 9 << 9999;
    }

    void buildsTheDevModeFromThePreset()
    {
        QFETCH(QString, colorMode);
        QFETCH(QString, duplexMode);
        QFETCH(QString, duplexEdge);
        QFETCH(QString, paperSize);
        QFETCH(int, copies);
        QFETCH(int, color);
        QFETCH(int, duplex);
        QFETCH(int, paper);
        QFETCH(int, dmCopies);
        FakeSpooler &spooler = *fake;
        FakeSpooler::Installation installed(&spooler);
        PrintPreset preset = officePreset();
        preset.colorMode = colorModeFromText(colorMode);
        preset.duplexMode = duplexModeFromText(duplexMode);
        preset.duplexEdge = duplexEdgeFromText(duplexEdge);
        preset.paperSize = paperSize;
        preset.copies = copies;
        PrinterSettingsScope scope;
        QVERIFY(scope.apply(preset));
        const platform::DevMode applied(spooler.userDevModes.value(QStringLiteral("Office")));
        QCOMPARE(int(applied.color()), color);
        QCOMPARE(int(applied.duplex()), duplex);
        QCOMPARE(int(applied.paperSize()), paper);
        QCOMPARE(int(applied.copies()), dmCopies);
        const quint32 wanted = FieldCopies | FieldPaperSize | FieldColor | FieldDuplex;
        QCOMPARE(applied.fields() & wanted, wanted);
        // The base is the printer's clean global defaults, not what the user last chose in the driver.
        QCOMPARE(applied.driverExtra(), QByteArray("clean driver bytes"));
    }

    void driverSettingsChangeOnlyTheCopies()
    {
        FakeSpooler &spooler = *fake;
        FakeSpooler::Installation installed(&spooler);
        PrintPreset preset = officePreset();
        preset.useDriverSettings = true;
        preset.copies = 12;
        platform::DevMode user(originalUserMode);
        user.setFields(FieldColor | FieldDuplex | FieldPaperSize);  // no DM_COPIES yet
        spooler.userDevModes[QStringLiteral("Office")] = user.bytes();
        PrinterSettingsScope scope;
        QVERIFY(scope.apply(preset));
        const QByteArray applied = spooler.userDevModes.value(QStringLiteral("Office"));
        platform::DevMode expected(user.bytes());
        expected.setFields(user.fields() | FieldCopies);
        expected.setCopies(12);
        QCOMPARE(applied, expected.bytes());
    }

    void paperTables_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("pageSize");
        QTest::newRow("A3") << "A3" << 8 << int(QPageSize::A3);
        QTest::newRow("A4 with dimensions") << " A4 (210 x 297 mm) " << 9 << int(QPageSize::A4);
        QTest::newRow("a5") << "a5" << 11 << int(QPageSize::A5);
        QTest::newRow("A6") << "A6" << 70 << int(QPageSize::A6);
        QTest::newRow("B4") << "B4" << 12 << int(QPageSize::B4);
        QTest::newRow("b5 JIS") << "b5 (JIS)" << 13 << int(QPageSize::B5);
        QTest::newRow("letter") << "letter" << 1 << int(QPageSize::Letter);
        QTest::newRow("Legal") << "Legal" << 5 << int(QPageSize::Legal);
        QTest::newRow("US Letter is not a prefix") << "US Letter" << 9 << int(QPageSize::A4);
        QTest::newRow("Tabloid") << "Tabloid" << 9 << int(QPageSize::A4);
        QTest::newRow("empty") << "" << 9 << int(QPageSize::A4);
    }

    void paperTables()
    {
        QFETCH(QString, name);
        QFETCH(int, code);
        QFETCH(int, pageSize);
        QCOMPARE(paperCodeForName(name), code);
        QCOMPARE(int(pageSizeForName(name).id()), pageSize);
    }
};

QTEST_GUILESS_MAIN(PrinterSettingsScopeTest)
#include "tst_printersettingsscope.moc"
