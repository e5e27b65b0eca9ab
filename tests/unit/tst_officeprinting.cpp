#include "platform/DevMode.h"
#include "printing/PrintService.h"
#include "printing/PrinterSettingsScope.h"
#include "printing/SettingsSwitchLock.h"
#include "support/FakeAutomation.h"
#include "support/FakeOfficeApplications.h"
#include "support/FakeWindowSystem.h"
#include "support/FakeWinspool.h"

#include <QtTest>

#include <memory>

using namespace ollavan::testsupport;
using platform::Variant;

Q_DECLARE_METATYPE(platform::Variant)

namespace {

constexpr quintptr wordWindow = 0x4001;
constexpr quint32 wordProcess = 4242;

PrintPreset officePreset(int copies = 3)
{
    PrintPreset preset;
    preset.title = "Office mono";
    preset.printerName = "Office";
    preset.colorMode = ColorMode::Mono;
    preset.duplexMode = DuplexMode::Duplex;
    preset.duplexEdge = DuplexEdge::Long;
    preset.paperSize = "A4";
    preset.copies = copies;
    return preset;
}

// What the spooler looked like when the word processor was told to print.
struct PrintOutMoment
{
    bool called = false;
    QString defaultPrinter;
    int devModeCopies = -1;
    QList<Variant> arguments;
};

// One word processor in the foreground, a spooler with the preset's printer and a previous default.
struct Desk
{
    Desk(const QString &progId = "Word.Application", const QString &label = "word")
        : registry(&log), word(&log, &windows, label, wordWindow, wordProcess), installation(&spooler)
    {
        word.registerOn(registry, progId);
        windows.setForegroundWindow(wordWindow);
        spooler.addPrinter("Office");
        spooler.addPrinter("Previous");
        spooler.defaultPrinterName = "Previous";
        originalUserDevMode = spooler.userDevModes.value("Office");
        word.document.setMethod("PrintOut", [this](const QList<Variant> &arguments, Variant *) {
            moment.called = true;
            moment.defaultPrinter = spooler.defaultPrinterName;
            moment.devModeCopies = platform::DevMode(spooler.userDevModes.value("Office")).copies();
            moment.arguments = arguments;
            return true;
        });
    }

    int print(const QString &progId, const PrintPreset &preset, QString *message,
              PrintService::JobDetails *details)
    {
        return PrintService().printActiveComDocument(progId, wordProcess, preset, message, details);
    }

    bool allReleased() const
    {
        return word.application.references() == 0 && word.activeWindow.references() == 0 &&
               word.document.references() == 0;
    }

    FakeAutomationLog log;
    FakeWindowSystem windows;
    FakeAutomationRegistry registry;
    FakeWordProcessor word;
    FakeWinspool spooler;
    FakeWinspool::Installation installation;
    QByteArray originalUserDevMode;
    PrintOutMoment moment;
};

}  // namespace

// The Word and WPS route: only the instance that owns the foreground window is printed from, with the
// preset's printer as the default, one copy in its settings and the preset's copies in PrintOut; every
// object is let go, and the settings are put back before the application is released.
class OfficePrintingTest : public QObject
{
    Q_OBJECT

private slots:
    void printsTheActiveDocumentInOrder_data();
    void printsTheActiveDocumentInOrder();
    void onlyTheForegroundInstanceIsPrinted_data();
    void onlyTheForegroundInstanceIsPrinted();
    void failuresAfterTheSettingsSwitch();
    void pageCountOnlyFromThirtyTwoBitIntegers_data();
    void pageCountOnlyFromThirtyTwoBitIntegers();
    void copiesGoToPrintOutAndTheSettingsKeepOne_data();
    void copiesGoToPrintOutAndTheSettingsKeepOne();
};

void OfficePrintingTest::printsTheActiveDocumentInOrder_data()
{
    QTest::addColumn<QString>("progId");
    QTest::addColumn<QString>("label");
    QTest::newRow("Word") << "Word.Application"
                          << "word";
    QTest::newRow("WPS") << "KWPS.Application"
                         << "wps";
}

void OfficePrintingTest::printsTheActiveDocumentInOrder()
{
    QFETCH(QString, progId);
    QFETCH(QString, label);
    Desk desk(progId, label);

    // At the moment each object is let go: is the settings switch undone, and is the lock free?
    QMap<QString, bool> restoredAt;
    QMap<QString, bool> unlockedAt;
    desk.log.setObserver([&](const QString &line) {
        if (!line.endsWith(".release"))
            return;
        restoredAt.insert(line, desk.spooler.defaultPrinterName == "Previous");
        SettingsSwitchLock turn;
        unlockedAt.insert(line, turn.tryAcquire());
    });

    QString message;
    PrintService::JobDetails details;
    QCOMPARE(desk.print(progId, officePreset(3), &message, &details), int(PrintService::Sent));
    desk.log.setObserver(nullptr);

    QCOMPARE(message, QString("Active document sent to Office"));
    QCOMPARE(details.jobName, QString("Report.docx"));
    QCOMPARE(details.pageCount, 3);
    const QStringList expected = {
        "CLSIDFromProgID " + progId,
        "GetActiveObject " + progId,
        label + "-unknown.QueryInterface",
        label + ".get Hwnd",
        label + ".put ActivePrinter = \"Office\"",
        label + ".get ActiveDocument",
        label + "-document.get Name",
        label + "-document.call ComputeStatistics(i4:2)",
        label + "-document.call PrintOut(false, missing, missing, missing, missing, missing, missing, i4:3)",
        label + "-document.release",
        label + ".release",
        label + "-unknown.release",
    };
    QCOMPARE(desk.log.entries(), expected);

    // The document is let go while the switch is still in force; the application after it was undone and
    // the lock given back.
    QCOMPARE(restoredAt.value(label + "-document.release"), false);
    QCOMPARE(unlockedAt.value(label + "-document.release"), false);
    QCOMPARE(restoredAt.value(label + ".release"), true);
    QCOMPARE(unlockedAt.value(label + ".release"), true);
    QCOMPARE(unlockedAt.value(label + "-unknown.release"), true);

    QVERIFY(desk.moment.called);
    QCOMPARE(desk.moment.defaultPrinter, QString("Office"));
    QCOMPARE(desk.spooler.defaultPrinterName, QString("Previous"));
    QCOMPARE(desk.spooler.userDevModes.value("Office"), desk.originalUserDevMode);
    QCOMPARE(desk.spooler.openHandles(), 0);
    // ActivePrinter is not set back after the job.
    QCOMPARE(desk.word.application.property("ActivePrinter").string, QString("Office"));
    QVERIFY(desk.allReleased());
}

void OfficePrintingTest::onlyTheForegroundInstanceIsPrinted_data()
{
    QTest::addColumn<QString>("progId");
    QTest::addColumn<QString>("situation");
    QTest::addColumn<int>("result");

    QTest::newRow("empty ProgID") << ""
                                  << "" << int(PrintService::NoDocument);
    QTest::newRow("unregistered ProgID") << "Writer.Application"
                                         << "" << int(PrintService::NoDocument);
    QTest::newRow("not running") << "Word.Application"
                                 << "not running" << int(PrintService::NoDocument);
    QTest::newRow("background instance") << "Word.Application"
                                         << "other process" << int(PrintService::NoDocument);
    QTest::newRow("window unknown to the desktop") << "Word.Application"
                                                   << "unknown window" << int(PrintService::NoDocument);
    QTest::newRow("no window at all") << "Word.Application"
                                      << "no window" << int(PrintService::NoDocument);
    QTest::newRow("window through the active window") << "Word.Application"
                                                      << "hwnd zero" << int(PrintService::Sent);
    QTest::newRow("Hwnd unreadable, active window matches") << "Word.Application"
                                                            << "hwnd fails" << int(PrintService::Sent);
}

void OfficePrintingTest::onlyTheForegroundInstanceIsPrinted()
{
    QFETCH(QString, progId);
    QFETCH(QString, situation);
    QFETCH(int, result);
    Desk desk;

    if (situation == "not running") {
        desk.registry.setRunning("Word.Application", nullptr);
    } else if (situation == "other process") {
        // The running instance's window belongs to another process than the foreground one.
        desk.windows.addWindow(0x5001, 5151, "Background.docx - Word");
        desk.word.application.setProperty("Hwnd", platform::intVariant(0x5001));
    } else if (situation == "unknown window") {
        desk.word.application.setProperty("Hwnd", platform::intVariant(0x7777));
    } else if (situation == "no window") {
        desk.word.application.setProperty("Hwnd", platform::intVariant(0));
        desk.word.application.failMember("ActiveWindow");
    } else if (situation == "hwnd zero") {
        desk.word.application.setProperty("Hwnd", platform::intVariant(0));
    } else if (situation == "hwnd fails") {
        desk.word.application.failMember("Hwnd");
    }

    QString message;
    QCOMPARE(desk.print(progId, officePreset(), &message, nullptr), result);
    QVERIFY(desk.allReleased());
    if (result == PrintService::NoDocument) {
        // Nothing was switched, nothing printed, and the dispatch supplies the message.
        QVERIFY(message.isEmpty());
        QVERIFY(!desk.moment.called);
        QVERIFY(desk.spooler.calls().isEmpty());
        QVERIFY(desk.log.filtered({"word.put"}).isEmpty());
    } else {
        QVERIFY(desk.moment.called);
        QVERIFY(desk.log.entries().contains("word-window.get Hwnd"));
        // The window object is let go at once, before anything is switched or printed.
        QVERIFY(desk.log.entries().indexOf("word-window.release") <
                desk.log.entries().indexOf("word.put ActivePrinter = \"Office\""));
    }
}

void OfficePrintingTest::failuresAfterTheSettingsSwitch()
{
    {
        // The preset's printer does not exist: the scope's message, nothing set on the application.
        Desk desk;
        PrintPreset preset = officePreset();
        preset.printerName = "Gone";
        QString message;
        QCOMPARE(desk.print("Word.Application", preset, &message, nullptr), int(PrintService::Failed));
        QCOMPARE(message, QString("Printer not found: Gone"));
        QVERIFY(desk.log.filtered({"word.put", "word.get ActiveDocument"}).isEmpty());
        QVERIFY(!desk.moment.called);
        QCOMPARE(desk.spooler.defaultPrinterName, QString("Previous"));
        QVERIFY(desk.allReleased());
    }
    {
        // No active document: result 1, though the printer was already pointed at; settings restored.
        Desk desk;
        desk.word.application.failMember("ActiveDocument");
        QString message;
        QCOMPARE(desk.print("Word.Application", officePreset(), &message, nullptr),
                 int(PrintService::NoDocument));
        QVERIFY(message.isEmpty());
        QCOMPARE(desk.word.application.property("ActivePrinter").string, QString("Office"));
        QCOMPARE(desk.spooler.defaultPrinterName, QString("Previous"));
        QCOMPARE(desk.spooler.userDevModes.value("Office"), desk.originalUserDevMode);
        QVERIFY(desk.allReleased());
    }
    {
        // PrintOut refused: result 3 with its message; the settings are restored all the same.
        Desk desk;
        desk.word.document.failMember("PrintOut");
        QString message;
        PrintService::JobDetails details;
        QCOMPARE(desk.print("Word.Application", officePreset(), &message, &details),
                 int(PrintService::Failed));
        QCOMPARE(message, QString("Unable to invoke the active document's print command."));
        QCOMPARE(desk.spooler.defaultPrinterName, QString("Previous"));
        QCOMPARE(desk.spooler.userDevModes.value("Office"), desk.originalUserDevMode);
        QVERIFY(desk.allReleased());
    }
    {
        // A failing ActivePrinter write is ignored.
        Desk desk;
        desk.word.application.failMember("ActivePrinter");
        QCOMPARE(desk.print("Word.Application", officePreset(), nullptr, nullptr), int(PrintService::Sent));
        QVERIFY(desk.moment.called);
    }
}

void OfficePrintingTest::pageCountOnlyFromThirtyTwoBitIntegers_data()
{
    QTest::addColumn<Variant>("statistic");
    QTest::addColumn<bool>("fails");
    QTest::addColumn<int>("pageCount");

    Variant i8;
    i8.type = Variant::Type::Int64;
    i8.integer = 5;
    Variant r8;
    r8.type = Variant::Type::Double;
    r8.real = 5.0;
    Variant i4;
    i4.type = Variant::Type::Int;
    i4.integer = 6;
    Variant uint;
    uint.type = Variant::Type::UInt;
    uint.integer = 8;

    QTest::newRow("i4") << platform::intVariant(5) << false << 5;
    QTest::newRow("int") << i4 << false << 6;
    QTest::newRow("ui4") << unsignedVariant(7) << false << 7;
    QTest::newRow("uint") << uint << false << 8;
    QTest::newRow("i8") << i8 << false << 0;
    QTest::newRow("r8") << r8 << false << 0;
    QTest::newRow("string") << platform::stringVariant("5") << false << 0;
    QTest::newRow("call fails") << platform::intVariant(5) << true << 0;
}

void OfficePrintingTest::pageCountOnlyFromThirtyTwoBitIntegers()
{
    QFETCH(Variant, statistic);
    QFETCH(bool, fails);
    QFETCH(int, pageCount);

    Desk desk;
    desk.word.document.setMethod("ComputeStatistics", statistic);
    desk.word.document.failMember("ComputeStatistics", fails);
    PrintService::JobDetails details;
    QCOMPARE(desk.print("Word.Application", officePreset(), nullptr, &details), int(PrintService::Sent));
    QCOMPARE(details.pageCount, pageCount);
    QCOMPARE(details.jobName, QString("Report.docx"));
    QVERIFY(desk.allReleased());

    // Without details neither the name nor the statistic is asked for.
    Desk quiet;
    QCOMPARE(quiet.print("Word.Application", officePreset(), nullptr, nullptr), int(PrintService::Sent));
    QVERIFY(quiet.log.filtered({"word-document.get Name", "word-document.call ComputeStatistics"}).isEmpty());
}

void OfficePrintingTest::copiesGoToPrintOutAndTheSettingsKeepOne_data()
{
    QTest::addColumn<int>("copies");
    QTest::addColumn<int>("printOutCopies");
    QTest::newRow("zero") << 0 << 1;
    QTest::newRow("five") << 5 << 5;
    QTest::newRow("above the bound") << 12000 << 9999;
}

void OfficePrintingTest::copiesGoToPrintOutAndTheSettingsKeepOne()
{
    QFETCH(int, copies);
    QFETCH(int, printOutCopies);

    Desk desk;
    QCOMPARE(desk.print("Word.Application", officePreset(copies), nullptr, nullptr), int(PrintService::Sent));
    QVERIFY(desk.moment.called);
    QCOMPARE(desk.moment.devModeCopies, 1);
    QCOMPARE(desk.moment.arguments.size(), 8);
    QCOMPARE(desk.moment.arguments.at(7).type, Variant::Type::Int32);
    QCOMPARE(int(desk.moment.arguments.at(7).integer), printOutCopies);
    QCOMPARE(desk.moment.arguments.at(0).type, Variant::Type::Bool);
    QCOMPARE(desk.moment.arguments.at(0).boolean, false);
}

QTEST_GUILESS_MAIN(OfficePrintingTest)
#include "tst_officeprinting.moc"
