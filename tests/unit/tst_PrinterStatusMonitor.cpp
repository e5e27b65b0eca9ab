#include "base/I18n.h"
#include "platform/SystemTexts.h"
#include "printers/PrinterStatusMonitor.h"
#include "support/FakePrinterQueue.h"

#include <QtTest>

namespace bits = platform::printer_status;

class TestPrinterStatusMonitor : public QObject
{
    Q_OBJECT

private slots:
    void defaultSnapshot();
    void ranksQueueStatus_data();
    void ranksQueueStatus();
    void missingPrinterIsNotInstalled();
    void portsWithoutHostStayWithTheQueue_data();
    void portsWithoutHostStayWithTheQueue();
    void speaksTheInterfaceLanguage();
};

void TestPrinterStatusMonitor::defaultSnapshot()
{
    const PrinterStatusSnapshot snapshot;
    QCOMPARE(snapshot.level, 6);
    QCOMPARE(snapshot.text, QStringLiteral("Unknown"));
    QVERIFY(snapshot.detail.isEmpty());
    QVERIFY(snapshot.host.isEmpty());
    QCOMPARE(snapshot.tonerPercent, -1);
}

void TestPrinterStatusMonitor::ranksQueueStatus_data()
{
    QTest::addColumn<quint32>("status");
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("detail");

    // The platform names its own print system in these texts.
    const QString queue = QString::fromUtf8(platform::systemText("Windows print queue status"));
    const QString offline =
        QString::fromUtf8(platform::systemText("Windows reports that the printer is offline."));
    QTest::newRow("idle") << quint32(0) << 1 << "Ready" << queue;
    QTest::newRow("offline") << bits::Offline << 5 << "Offline" << offline;
    QTest::newRow("not available") << bits::NotAvailable << 5 << "Offline" << offline;
    QTest::newRow("server unknown") << bits::ServerUnknown << 5 << "Offline" << offline;
    QTest::newRow("offline beats jam") << (bits::Offline | bits::PaperJam) << 5 << "Offline" << offline;
    QTest::newRow("jam beats pause") << (bits::Paused | bits::PaperJam) << 4 << "Paper jam" << queue;
    QTest::newRow("jam beats paper out") << (bits::PaperOut | bits::PaperJam) << 4 << "Paper jam" << queue;
    QTest::newRow("paper out") << bits::PaperOut << 4 << "Out of paper" << queue;
    QTest::newRow("paper problem") << bits::PaperProblem << 4 << "Out of paper" << queue;
    QTest::newRow("paper before door") << (bits::PaperOut | bits::DoorOpen) << 4 << "Out of paper" << queue;
    QTest::newRow("door open") << bits::DoorOpen << 3 << "Cover open" << queue;
    QTest::newRow("door before toner") << (bits::DoorOpen | bits::NoToner) << 3 << "Cover open" << queue;
    QTest::newRow("no toner") << bits::NoToner << 4 << "Out of toner" << queue;
    QTest::newRow("no toner before low") << (bits::NoToner | bits::TonerLow) << 4 << "Out of toner" << queue;
    QTest::newRow("toner low") << bits::TonerLow << 3 << "Low toner" << queue;
    QTest::newRow("low toner before error") << (bits::TonerLow | bits::Error) << 3 << "Low toner" << queue;
    QTest::newRow("error") << bits::Error << 4 << "Error" << queue;
    QTest::newRow("user intervention") << bits::UserIntervention << 4 << "Error" << queue;
    QTest::newRow("out of memory") << bits::OutOfMemory << 4 << "Error" << queue;
    QTest::newRow("error before pause") << (bits::Error | bits::Paused) << 4 << "Error" << queue;
    QTest::newRow("paused") << bits::Paused << 3 << "Paused" << queue;
    QTest::newRow("paused while printing") << (bits::Paused | bits::Printing) << 3 << "Paused" << queue;
    QTest::newRow("busy") << bits::Busy << 2 << "Printing" << queue;
    QTest::newRow("printing") << bits::Printing << 2 << "Printing" << queue;
    QTest::newRow("processing") << bits::Processing << 2 << "Printing" << queue;
    QTest::newRow("unranked bits") << quint32(0x4 | 0x20 | 0x800 | 0x80000000) << 1 << "Ready" << queue;
}

void TestPrinterStatusMonitor::ranksQueueStatus()
{
    QFETCH(quint32, status);
    QFETCH(int, level);
    QFETCH(QString, text);
    QFETCH(QString, detail);

    FakePrinterQueue spooler;
    spooler.addQueue("Office", status, "USB001");
    const PrinterStatusSnapshot snapshot = PrinterStatusMonitor::check("Office");
    QCOMPARE(snapshot.level, level);
    QCOMPARE(snapshot.text, text);
    QCOMPARE(snapshot.detail, detail);
    QVERIFY(snapshot.host.isEmpty());
    QCOMPARE(snapshot.tonerPercent, -1);
    QCOMPARE(spooler.queried, QStringList{"Office"});
}

void TestPrinterStatusMonitor::missingPrinterIsNotInstalled()
{
    FakePrinterQueue spooler;
    spooler.addQueue("Office", 0, "IP_127.0.0.1");
    const PrinterStatusSnapshot snapshot = PrinterStatusMonitor::check(" office ");
    QCOMPARE(snapshot.level, 5);
    QCOMPARE(snapshot.text, QStringLiteral("Not installed"));
    QCOMPARE(snapshot.detail,
             QString::fromUtf8(platform::systemText("Windows could not find this printer.")));
    QVERIFY(snapshot.host.isEmpty());
    // The name is asked for as written.
    QCOMPARE(spooler.queried, QStringList{" office "});
}

void TestPrinterStatusMonitor::portsWithoutHostStayWithTheQueue_data()
{
    QTest::addColumn<QString>("port");
    QTest::newRow("usb") << "USB001";
    QTest::newRow("parallel") << "LPT1:";
    QTest::newRow("file") << "FILE:";
    QTest::newRow("shared") << "\\\\server\\printer";
    QTest::newRow("no valid address") << "IP_999.10.10.10";
    QTest::newRow("three parts") << "IP_10.0.0";
    QTest::newRow("empty") << "";
}

void TestPrinterStatusMonitor::portsWithoutHostStayWithTheQueue()
{
    QFETCH(QString, port);
    FakePrinterQueue spooler;
    spooler.addQueue("Office", bits::Paused, port);
    const PrinterStatusSnapshot snapshot = PrinterStatusMonitor::check("Office");
    QCOMPARE(snapshot.level, 3);
    QCOMPARE(snapshot.text, QStringLiteral("Paused"));
    QVERIFY(snapshot.host.isEmpty());
}

void TestPrinterStatusMonitor::speaksTheInterfaceLanguage()
{
    FakePrinterQueue spooler;
    spooler.addQueue("Office", 0, "USB001");
    const QString previous = I18n::language();
    I18n::setLanguage("de");
    const PrinterStatusSnapshot missing = PrinterStatusMonitor::check("Other");
    const PrinterStatusSnapshot ready = PrinterStatusMonitor::check("Office");
    I18n::setLanguage(previous);
    // Every text, including the platform's own wording of the queue texts, has a German row.
    const QString english[] = {
        QStringLiteral("Not installed"),
        QString::fromUtf8(platform::systemText("Windows could not find this printer.")),
        QStringLiteral("Ready"), QString::fromUtf8(platform::systemText("Windows print queue status"))};
    const QString german[] = {missing.text, missing.detail, ready.text, ready.detail};
    for (int i = 0; i < 4; ++i) {
        QVERIFY2(!german[i].isEmpty() && german[i] != english[i], qPrintable(english[i]));
    }
}

QTEST_GUILESS_MAIN(TestPrinterStatusMonitor)
#include "tst_PrinterStatusMonitor.moc"
