// Reading a driver's settings into the preset vocabulary, the driver's dialog, and the driver self-check,
// against a spooler that records every call.
#include "support/FakeSpooler.h"

#include "base/I18n.h"
#include "base/PrintOptions.h"
#include "platform/DevMode.h"
#include "printers/PrinterProperties.h"
#include "printing/PrintService.h"

#include <QtTest>

using ollavan::testsupport::FakeSpooler;
using namespace platform::devmode;

class PrinterPropertiesTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<FakeSpooler> fake;

    static QByteArray record(quint32 fields, qint16 paper, const QString &form = QString(), qint16 width = 0,
                             qint16 length = 0)
    {
        platform::DevMode mode(
            FakeSpooler::devMode(QStringLiteral("Office"), 1, ColorColor, DuplexSimplex, paper));
        mode.setFields(fields);
        mode.setFormName(form);
        mode.setPaperWidth(width);
        mode.setPaperLength(length);
        return mode.bytes();
    }

private slots:
    void init()
    {
        I18n::setLanguage(QStringLiteral("en"));
        fake = std::make_unique<FakeSpooler>();
        fake->addPrinter(QStringLiteral("Office"));
        fake->defaultPrinterName = QStringLiteral("Office");
    }

    void paperNames_data()
    {
        QTest::addColumn<QByteArray>("devMode");
        QTest::addColumn<QString>("paper");
        QTest::newRow("form name wins over an unknown code")
            << record(FieldFormName | FieldPaperSize, 300, QStringLiteral("  A4 ")) << "A4";
        QTest::newRow("form name ignored without its bit")
            << record(FieldPaperSize, 5, QStringLiteral("A4")) << "Legal";
        QTest::newRow("blank form name falls back to the code")
            << record(FieldFormName, 7, QStringLiteral("   ")) << "Executive";
        // A form name that fills all 32 characters has no NUL: the name ends at the field's end.
        QByteArray full = record(FieldFormName, 9);
        const QString name32 = QStringLiteral("Extraordinarily long paper names");
        QCOMPARE(name32.size(), 32);
        for (int i = 0; i < 32; ++i)
            qToLittleEndian<quint16>(name32.at(i).unicode(), full.data() + OffsetFormName + 2 * i);
        qToLittleEndian<quint16>('X', full.data() + OffsetFormName + 64);  // dmLogPixels, right after it
        QTest::newRow("form name of 32 characters") << full << name32;
        for (const auto &entry : QList<QPair<int, QString>>{{1, "Letter"},
                                                            {5, "Legal"},
                                                            {7, "Executive"},
                                                            {8, "A3"},
                                                            {9, "A4"},
                                                            {11, "A5"},
                                                            {12, "B4"},
                                                            {13, "B5"},
                                                            {70, "A6"},
                                                            {88, "B6"}}) {
            QTest::addRow("code %d", entry.first)
                << record(FieldPaperSize, qint16(entry.first)) << entry.second;
        }
        QTest::newRow("custom size") << record(FieldPaperWidth | FieldPaperLength, 256, QString(), 2100, 2970)
                                     << "210.0 × 297.0 mm";
        QTest::newRow("custom size, odd tenths")
            << record(FieldPaperWidth | FieldPaperLength, 256, QString(), 1, 1005) << "0.1 × 100.5 mm";
        QTest::newRow("custom size without both bits")
            << record(FieldPaperWidth, 300, QString(), 2100, 2970) << "Driver form #300";
        QTest::newRow("custom size of zero")
            << record(FieldPaperWidth | FieldPaperLength, 301, QString(), 0, 2970) << "Driver form #301";
        QTest::newRow("unknown code") << record(0, 141) << "Driver form #141";
    }

    void paperNames()
    {
        QFETCH(QByteArray, devMode);
        QFETCH(QString, paper);
        FakeSpooler::Installation installed(fake.get());
        fake->userDevModes[QStringLiteral("Office")] = devMode;
        NativePrinterOptions options;
        QVERIFY(PrinterProperties::readNativeSettings(QStringLiteral("Office"), &options));
        QCOMPARE(options.paperSize, paper);
    }

    void settingsInThePresetVocabulary_data()
    {
        QTest::addColumn<int>("copies");
        QTest::addColumn<int>("color");
        QTest::addColumn<int>("duplex");
        QTest::addColumn<int>("wantCopies");
        QTest::addColumn<QString>("colorMode");
        QTest::addColumn<QString>("duplexMode");
        QTest::addColumn<QString>("duplexEdge");
        QTest::newRow("colour simplex") << 2 << 2 << 1 << 2 << "color"
                                        << "simplex"
                                        << "long";
        QTest::newRow("mono long edge") << 1 << 1 << 2 << 1 << "mono"
                                        << "duplex"
                                        << "long";
        QTest::newRow("short edge") << 1 << 1 << 3 << 1 << "mono"
                                    << "duplex"
                                    << "short";
        QTest::newRow("no copies, unknown values") << 0 << 0 << 0 << 1 << "mono"
                                                   << "duplex"
                                                   << "long";
        QTest::newRow("negative copies") << -3 << 2 << 1 << 1 << "color"
                                         << "simplex"
                                         << "long";
        QTest::newRow("most copies") << 32000 << 2 << 1 << 9999 << "color"
                                     << "simplex"
                                     << "long";
    }

    void settingsInThePresetVocabulary()
    {
        QFETCH(int, copies);
        QFETCH(int, color);
        QFETCH(int, duplex);
        QFETCH(int, wantCopies);
        QFETCH(QString, colorMode);
        QFETCH(QString, duplexMode);
        QFETCH(QString, duplexEdge);
        FakeSpooler::Installation installed(fake.get());
        platform::DevMode mode(FakeSpooler::devMode(QStringLiteral("Office"), qint16(copies), qint16(color),
                                                    qint16(duplex), PaperA5));
        mode.setFields(0);  // the fields count as they stand, whatever dmFields says
        fake->userDevModes[QStringLiteral("Office")] = mode.bytes();
        NativePrinterOptions options;
        QString error;
        QVERIFY(PrinterProperties::readNativeSettings(QStringLiteral("Office"), &options, &error));
        QCOMPARE(error, QString());
        QCOMPARE(options.copies, wantCopies);
        QCOMPARE(optionText(options.colorMode), colorMode);
        QCOMPARE(optionText(options.duplexMode), duplexMode);
        QCOMPARE(optionText(options.duplexEdge), duplexEdge);
        QCOMPARE(options.paperSize, QStringLiteral("A5"));
        QCOMPARE(fake->calls(), (QStringList{"openPrinter(Office)", "documentProperties(Office,0)",
                                             "documentProperties(Office,2)", "closePrinter(Office)"}));
        QCOMPARE(fake->openHandles(), 0);
    }

    void readFailures_data()
    {
        QTest::addColumn<QString>("printer");
        QTest::addColumn<QString>("failingCall");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("calls");
        QTest::newRow("no printer") << "  " << QString() << "Select a printer first." << QStringList();
        QTest::newRow("cannot open") << "Office"
                                     << "openPrinter"
                                     << "Unable to open printer \"Office\" (CUPS error 5)"
                                     << QStringList{"openPrinter(Office)", "lastError()"};
        QTest::newRow("no properties")
            << "Office"
            << "documentProperties(Office,0)"
            << "This printer driver does not expose configurable properties."
            << QStringList{"openPrinter(Office)", "documentProperties(Office,0)", "closePrinter(Office)"};
        QTest::newRow("settings unreadable")
            << "Office"
            << "documentProperties(Office,2)"
            << "Unable to read printer driver properties."
            << QStringList{"openPrinter(Office)", "documentProperties(Office,0)",
                           "documentProperties(Office,2)", "closePrinter(Office)"};
    }

    void readFailures()
    {
        QFETCH(QString, printer);
        QFETCH(QString, failingCall);
        QFETCH(QString, message);
        QFETCH(QStringList, calls);
        FakeSpooler::Installation installed(fake.get());
        if (!failingCall.isEmpty())
            fake->fail(failingCall);
        NativePrinterOptions options;
        options.paperSize = QStringLiteral("untouched");
        QString error;
        QVERIFY(!PrinterProperties::readNativeSettings(printer, &options, &error));
        QCOMPARE(error, message);
        QCOMPARE(options.paperSize, QStringLiteral("untouched"));
        QCOMPARE(fake->calls(), calls);
        QCOMPARE(fake->openHandles(), 0);
        fake->clearCalls();
        QVERIFY(!PrinterProperties::showNativeDialog(nullptr, printer, &options, &error));
        QCOMPARE(error, message);
        QCOMPARE(fake->calls(), calls);
    }

    void dialog_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("saveFails");
        QTest::addColumn<bool>("result");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("saved");
        QTest::newRow("confirmed") << 1 << false << true << QString() << true;
        QTest::newRow("cancelled") << 2 << false << false << QString() << false;
        QTest::newRow("dialog failed")
            << -1 << false << false << "Unable to open printer driver properties." << false;
        QTest::newRow("not saved") << 1 << true << false
                                   << "Unable to save printer driver properties (CUPS error 5)" << false;
    }

    void dialog()
    {
        QFETCH(int, answer);
        QFETCH(bool, saveFails);
        QFETCH(bool, result);
        QFETCH(QString, message);
        QFETCH(bool, saved);
        FakeSpooler::Installation installed(fake.get());
        const QByteArray before = fake->userDevModes.value(QStringLiteral("Office"));
        QByteArray shown;
        fake->dialogHandler = [&](QByteArray *record) {
            shown = *record;
            platform::DevMode mode(*record);
            mode.setDuplex(DuplexHorizontal);
            mode.setCopies(0);
            *record = mode.bytes();
            return answer;
        };
        if (saveFails)
            fake->fail(QStringLiteral("setPrinterDevMode"));
        NativePrinterOptions options;
        QString error;
        QCOMPARE(PrinterProperties::showNativeDialog(nullptr, QStringLiteral("Office"), &options, &error),
                 result);
        QCOMPARE(error, message);
        // The dialog starts from the user's current settings.
        QCOMPARE(shown, before);
        const QByteArray after = fake->userDevModes.value(QStringLiteral("Office"));
        QCOMPARE(after != before, saved);
        if (saved) {
            QCOMPARE(options.duplexMode, DuplexMode::Duplex);
            QCOMPARE(options.duplexEdge, DuplexEdge::Short);
            QCOMPARE(options.copies, 1);
            QCOMPARE(fake->calls(),
                     (QStringList{"openPrinter(Office)", "documentProperties(Office,0)",
                                  "documentProperties(Office,2)", "documentProperties(Office,14)",
                                  "setPrinterDevMode(Office,9)", "closePrinter(Office)"}));
        } else {
            QCOMPARE(options.duplexMode, DuplexMode::Simplex);
        }
        QCOMPARE(fake->openHandles(), 0);
    }

    void driverSelfCheck_data()
    {
        QTest::addColumn<QString>("defaultPrinter");
        QTest::addColumn<QString>("failingCall");
        QTest::addColumn<bool>("passes");
        QTest::addColumn<QString>("message");
        QTest::newRow("passes")
            << "Office" << QString() << true
            << "Clean global driver defaults were accepted and the user's settings were restored; "
               "no print job submitted.";
        QTest::newRow("no default printer")
            << QString() << QString() << false << "No CUPS default printer is configured.";
        QTest::newRow("default unreadable")
            << "Office"
            << "defaultPrinter" << false << "The CUPS default printer could not be read.";
        QTest::newRow("driver rejects clean defaults")
            << "Office"
            << "documentProperties" << false << "The printer driver rejected these print settings.";
    }

    void driverSelfCheck()
    {
        QFETCH(QString, defaultPrinter);
        QFETCH(QString, failingCall);
        QFETCH(bool, passes);
        QFETCH(QString, message);
        FakeSpooler::Installation installed(fake.get());
        fake->defaultPrinterName = defaultPrinter;
        if (!failingCall.isEmpty())
            fake->fail(failingCall);
        const QByteArray before = fake->userDevModes.value(QStringLiteral("Office"));
        QString result;
        QCOMPARE(PrintService::verifyDriverIsolation(&result), passes);
        QCOMPARE(result, message);
        QCOMPARE(fake->userDevModes.value(QStringLiteral("Office")), before);
        QCOMPARE(fake->defaultPrinterName, defaultPrinter);
        QCOMPARE(fake->openHandles(), 0);
        if (passes) {
            // The check's preset: A4, mono, simplex, one copy, from the clean global defaults.
            const QStringList calls = fake->calls();
            QVERIFY(calls.contains(QStringLiteral("printerDevMode(Office,8)")));
            QCOMPARE(calls.last(), QStringLiteral("setDefaultPrinter(Office)"));
        }
    }
};

QTEST_MAIN(PrinterPropertiesTest)
#include "tst_printerproperties.moc"
