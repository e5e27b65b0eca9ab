#include "platform/SystemTexts.h"
#include "printers/PrinterStatusMonitor.h"
#include "printers/SnmpInternals.h"
#include "support/FakePrinterQueue.h"
#include "support/ScriptedSnmpPeer.h"
#include "support/SnmpAgent.h"

#include <QElapsedTimer>
#include <QtTest>

using namespace snmp::internals;
using Peer = ScriptedSnmpPeer;

namespace {

// Loopback addresses of this test: the scripted peer, a second sender, the real agent.
const QString peerAddress = QStringLiteral("127.0.0.161");
const QString strangerAddress = QStringLiteral("127.0.0.162");
const QString agentAddress = QStringLiteral("127.0.0.163");

const QString hrStatus = QStringLiteral("1.3.6.1.2.1.25.3.2.1.5.1");
const QString printerStatus = QStringLiteral("1.3.6.1.2.1.25.3.5.1.1.1");
const QString errorsOid = QStringLiteral("1.3.6.1.2.1.25.3.5.1.2.1");
const QString tonerLevel = QStringLiteral("1.3.6.1.2.1.43.11.1.1.9.1.1");
const QString tonerMax = QStringLiteral("1.3.6.1.2.1.43.11.1.1.8.1.1");
const QStringList printerOids{hrStatus, printerStatus, errorsOid, tonerLevel, tonerMax};

QString silentDetail(const QString &host)
{
    return QString::fromUtf8(
               platform::systemText("SNMP did not respond; Windows queue reports no error · %1"))
        .arg(host);
}

SnmpPeerReply reply(const QByteArray &datagram, int delayMs = 0)
{
    SnmpPeerReply answer;
    answer.datagram = datagram;
    answer.delayMs = delayMs;
    return answer;
}

// Answers every request with the given values for the OIDs it asks for (all of them when none is given).
Peer::Script agentWith(const QHash<QString, QByteArray> &values)
{
    return [values](const SnmpPeerRequest &request, int) {
        QList<QPair<QString, QByteArray>> bindings;
        for (const QString &oid : request.oids)
            bindings.append({oid, values.value(oid, Peer::null())});
        return QList<SnmpPeerReply>{reply(Peer::response(bindings))};
    };
}

PrinterStatusSnapshot checkThrough(FakePrinterQueue &spooler, quint32 queueStatus)
{
    spooler.addQueue("Network", queueStatus, "IP_" + peerAddress);
    return PrinterStatusMonitor::check("Network");
}

}  // namespace

class TestSnmpExchange : public QObject
{
    Q_OBJECT

private slots:
    void ignoresForeignAndBrokenDatagrams();
    void retriesOnceWithTheSameRequest();
    void fallsBackToOneObjectAtATime();
    void agentDecidesTheSnapshot_data();
    void agentDecidesTheSnapshot();
    void silentAgentLeavesTheQueueView();
    void findsHostOfPort();
    void talksToRealAgent();
};

void TestSnmpExchange::ignoresForeignAndBrokenDatagrams()
{
    Peer peer(peerAddress);
    QVERIFY(peer.start([](const SnmpPeerRequest &request, int) {
        const QByteArray good = Peer::response({{request.oids.value(0), Peer::integer(3)}}, 0, 987654);
        const QByteArray other = Peer::response({{request.oids.value(0), Peer::integer(5)}});
        SnmpPeerReply fromOtherPort = reply(other);
        fromOtherPort.fromPort = 0;
        SnmpPeerReply fromOtherAddress = reply(other);
        fromOtherAddress.fromAddress = strangerAddress;
        return QList<SnmpPeerReply>{
            fromOtherPort,
            fromOtherAddress,
            reply(QByteArray("\x30\x85garbage"), 100),
            reply(good.left(good.size() - 1), 100),
            reply(Peer::response({{request.oids.value(0), Peer::integer(4)}}, 2), 100),
            reply(good, 100)};
    }));
    const snmp::ValueMap values = querySnmp(peerAddress, {hrStatus}, 3000);
    // Only the complete answer from the agent's own address and port counts, whatever its request-id.
    QCOMPARE(values.value(hrStatus), QVariant(qint64(3)));
    QCOMPARE(peer.requests().size(), 1);
}

void TestSnmpExchange::retriesOnceWithTheSameRequest()
{
    Peer peer(peerAddress);
    // Silent to the first attempt, answers the second.
    QVERIFY(peer.start([](const SnmpPeerRequest &request, int index) {
        if (index == 0)
            return QList<SnmpPeerReply>{};
        return QList<SnmpPeerReply>{reply(Peer::response({{request.oids.value(0), Peer::integer(2)}}))};
    }));
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(querySnmp(peerAddress, {hrStatus}, 900).value(hrStatus), QVariant(qint64(2)));
    QList<SnmpPeerRequest> requests = peer.requests();
    QCOMPARE(requests.size(), 2);
    QCOMPARE(requests.at(1).datagram, requests.at(0).datagram);
    QVERIFY2(requests.at(1).elapsedMs - requests.at(0).elapsedMs >= 500,
             qPrintable(QString::number(requests.at(1).elapsedMs - requests.at(0).elapsedMs)));

    // A silent agent gets exactly two attempts of the time-out each, then nothing is returned.
    QVERIFY(peer.start([](const SnmpPeerRequest &, int) { return QList<SnmpPeerReply>{}; }));
    clock.restart();
    QVERIFY(querySnmp(peerAddress, printerOids, 900).isEmpty());
    const qint64 elapsed = clock.elapsed();
    QVERIFY2(elapsed >= 1700 && elapsed < 8000, qPrintable(QString::number(elapsed)));
    requests = peer.requests();
    QCOMPARE(requests.size(), 2);
    QCOMPARE(requests.at(0).oids, printerOids);
    QCOMPARE(requests.at(1).datagram, requests.at(0).datagram);
}

void TestSnmpExchange::fallsBackToOneObjectAtATime()
{
    Peer peer(peerAddress);
    // The combined request is refused (error-status 2, tooBig); single requests are answered except the
    // errors object, and the toner maximum comes back under another OID.
    QVERIFY(peer.start([](const SnmpPeerRequest &request, int) {
        if (request.oids.size() > 1)
            return QList<SnmpPeerReply>{reply(Peer::response({}, 2))};
        const QString oid = request.oids.value(0);
        if (oid == errorsOid)
            return QList<SnmpPeerReply>{};
        if (oid == tonerMax)
            return QList<SnmpPeerReply>{reply(Peer::response({{oid + ".0", Peer::integer(70)}}))};
        return QList<SnmpPeerReply>{
            reply(Peer::response({{oid, Peer::integer(oid == tonerLevel ? 35 : 3)}}))};
    }));
    QElapsedTimer clock;
    clock.start();
    const snmp::ValueMap values = snmp::queryPrinterOids(peerAddress, printerOids);
    const qint64 elapsed = clock.elapsed();
    QCOMPARE(values.size(), 3);
    QCOMPARE(values.value(hrStatus), QVariant(qint64(3)));
    QCOMPARE(values.value(printerStatus), QVariant(qint64(3)));
    QCOMPARE(values.value(tonerLevel), QVariant(qint64(35)));

    QStringList asked;
    for (const SnmpPeerRequest &request : peer.requests())
        asked.append(request.oids.join(QLatin1Char(',')));
    const QString all = printerOids.join(QLatin1Char(','));
    // Two combined attempts, then each object alone in list order; silent ones get their second attempt.
    // The answer under another OID ends its query, but its value is not taken.
    QCOMPARE(asked,
             (QStringList{all, all, hrStatus, printerStatus, errorsOid, errorsOid, tonerLevel, tonerMax}));
    // 2 x 900 ms for the refused combined query, 2 x 350 ms for the silent errors object.
    QVERIFY2(elapsed >= 2300 && elapsed < 12000, qPrintable(QString::number(elapsed)));

    // A peer that never answers costs two combined attempts and two single attempts per object.
    QVERIFY(peer.start([](const SnmpPeerRequest &, int) { return QList<SnmpPeerReply>{}; }));
    clock.restart();
    QVERIFY(snmp::queryPrinterOids(peerAddress, printerOids).isEmpty());
    const qint64 silent = clock.elapsed();
    QCOMPARE(peer.requests().size(), 12);
    QVERIFY2(silent >= 5000 && silent < 15000, qPrintable(QString::number(silent)));
}

void TestSnmpExchange::agentDecidesTheSnapshot_data()
{
    QTest::addColumn<quint32>("queueStatus");
    QTest::addColumn<QByteArray>("errors");
    QTest::addColumn<qint64>("device");
    QTest::addColumn<qint64>("printer");
    QTest::addColumn<qint64>("level");
    QTest::addColumn<qint64>("maximum");
    QTest::addColumn<int>("expectedLevel");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("toner");

    const qint64 none = LLONG_MIN;  // object not answered
    QTest::newRow("jammed and no toner")
        << 0u << QByteArray("\x14", 1) << 2LL << 3LL << 35LL << 70LL << 4 << "Paper jam" << 50;
    QTest::newRow("no paper") << 0u << QByteArray("\x40\x00", 2) << 2LL << 3LL << none << none << 4
                              << "Out of paper" << -1;
    QTest::newRow("no toner") << 0u << QByteArray("\x10", 1) << 2LL << 3LL << 0LL << 70LL << 4
                              << "Out of toner" << 0;
    QTest::newRow("door open") << 0u << QByteArray("\x08", 1) << 2LL << 3LL << none << none << 3
                               << "Cover open" << -1;
    QTest::newRow("service requested")
        << 0u << QByteArray("\x01", 1) << 2LL << 3LL << none << none << 3 << "Maintenance required" << -1;
    QTest::newRow("low paper") << 0u << QByteArray("\x80", 1) << 2LL << 4LL << none << none << 3
                               << "Low paper" << -1;
    QTest::newRow("low toner and offline bits unused")
        << 0u << QByteArray("\x22", 1) << 2LL << 3LL << 5LL << 100LL << 1 << "Ready" << 5;
    QTest::newRow("second octet ignored")
        << 0u << QByteArray("\x00\xff", 2) << 2LL << 3LL << none << none << 1 << "Ready" << -1;
    QTest::newRow("device down") << 0u << QByteArray("\x00", 1) << 5LL << 3LL << none << none << 4
                                 << "Stopped" << -1;
    QTest::newRow("printing") << 0u << QByteArray() << 2LL << 4LL << none << none << 2 << "Printing" << -1;
    QTest::newRow("warming up") << 0u << QByteArray() << 3LL << 5LL << none << none << 1 << "Ready" << -1;
    QTest::newRow("no printer status")
        << 0u << QByteArray() << 2LL << none << none << none << 1 << "Ready" << -1;
    QTest::newRow("queue offline, agent fine") << platform::printer_status::Offline << QByteArray() << 2LL
                                               << 3LL << 35LL << 70LL << 1 << "Ready" << 50;
    QTest::newRow("queue jammed, agent printing") << platform::printer_status::PaperJam << QByteArray() << 2LL
                                                  << 4LL << none << none << 2 << "Printing" << -1;
    QTest::newRow("toner rounds half up")
        << 0u << QByteArray() << 2LL << 3LL << 1LL << 8LL << 1 << "Ready" << 13;
    QTest::newRow("toner above maximum")
        << 0u << QByteArray() << 2LL << 3LL << 90LL << 60LL << 1 << "Ready" << 100;
    QTest::newRow("toner level 120, maximum unknown")
        << 0u << QByteArray() << 2LL << 3LL << 120LL << -2LL << 1 << "Ready" << 100;
    QTest::newRow("toner 40, no maximum")
        << 0u << QByteArray() << 2LL << 3LL << 40LL << none << 1 << "Ready" << 40;
    QTest::newRow("toner some remaining")
        << 0u << QByteArray() << 2LL << 3LL << -3LL << 70LL << 1 << "Ready" << -1;
    QTest::newRow("maximum beyond int")
        << 0u << QByteArray() << 2LL << 3LL << 30LL << 4294967295LL << 1 << "Ready" << 30;
}

void TestSnmpExchange::agentDecidesTheSnapshot()
{
    QFETCH(quint32, queueStatus);
    QFETCH(QByteArray, errors);
    QFETCH(qint64, device);
    QFETCH(qint64, printer);
    QFETCH(qint64, level);
    QFETCH(qint64, maximum);
    QFETCH(int, expectedLevel);
    QFETCH(QString, text);
    QFETCH(int, toner);

    QHash<QString, QByteArray> values;
    if (!errors.isNull())
        values.insert(errorsOid, Peer::octets(errors));
    const QList<QPair<QString, qint64>> numbers{
        {hrStatus, device}, {printerStatus, printer}, {tonerLevel, level}, {tonerMax, maximum}};
    for (const auto &number : numbers) {
        if (number.second != LLONG_MIN)
            values.insert(number.first, Peer::integer(number.second, number.second > INT_MAX ? 0x42 : 0x02));
    }

    Peer peer(peerAddress);
    QVERIFY(peer.start(agentWith(values)));
    FakePrinterQueue spooler;
    const PrinterStatusSnapshot snapshot = checkThrough(spooler, queueStatus);
    QCOMPARE(snapshot.text, text);
    QCOMPARE(snapshot.level, expectedLevel);
    QCOMPARE(snapshot.host, peerAddress);
    QCOMPARE(snapshot.tonerPercent, toner);
    QString detail = "Live SNMP status · " + peerAddress;
    if (toner >= 0)
        detail += QStringLiteral(" · Toner %1%").arg(toner);
    QCOMPARE(snapshot.detail, detail);
    // One combined request for the five objects, in their order.
    QCOMPARE(peer.requests().size(), 1);
    QCOMPARE(peer.requests().at(0).oids, printerOids);
}

void TestSnmpExchange::silentAgentLeavesTheQueueView()
{
    Peer peer(peerAddress);
    QVERIFY(peer.start([](const SnmpPeerRequest &, int) { return QList<SnmpPeerReply>{}; }));
    FakePrinterQueue spooler;

    const PrinterStatusSnapshot idle = checkThrough(spooler, 0);
    QCOMPARE(idle.level, 6);
    QCOMPARE(idle.text, QStringLiteral("Unknown"));
    QCOMPARE(idle.detail, silentDetail(peerAddress));
    QCOMPARE(idle.host, peerAddress);
    QCOMPARE(idle.tonerPercent, -1);
    QCOMPARE(peer.requests().size(), 12);

    const PrinterStatusSnapshot paused = checkThrough(spooler, platform::printer_status::Paused);
    QCOMPARE(paused.level, 3);
    QCOMPARE(paused.text, QStringLiteral("Paused"));
    QCOMPARE(paused.detail, QString::fromUtf8(platform::systemText("Windows print queue status")));
    QCOMPARE(paused.host, peerAddress);
}

void TestSnmpExchange::findsHostOfPort()
{
    Peer peer(peerAddress);
    QVERIFY(peer.start(agentWith({{printerStatus, Peer::integer(4)}})));
    FakePrinterQueue spooler;
    // The port monitor's record wins; without one the address is read from the port name.
    spooler.addQueue("Recorded", 0, "Office_Laser");
    spooler.setPortHost("Office_Laser", peerAddress);
    spooler.addQueue("Prefixed", 0, "  ip_" + peerAddress + "  ");
    spooler.addQueue("Suffixed", 0, "IP_" + peerAddress + "_1");
    spooler.addQueue("Uri", 0, "socket://" + peerAddress + ":9100");
    spooler.addQueue("Stale record", 0, "IP_" + peerAddress);
    spooler.setPortHost("IP_" + peerAddress, "");
    for (const QString &name : spooler.printerNames()) {
        const PrinterStatusSnapshot snapshot = PrinterStatusMonitor::check(name);
        QVERIFY2(snapshot.host == peerAddress, qPrintable(name));
        QCOMPARE(snapshot.text, QStringLiteral("Printing"));
    }
    QCOMPARE(peer.requests().size(), 5);
}

void TestSnmpExchange::talksToRealAgent()
{
    SnmpAgent agent(agentAddress);
    agent.serve(hrStatus, "integer", "2");
    agent.serve(printerStatus, "integer", "3");
    agent.serveChanging(errorsOid, "octet", "14");
    agent.serveChanging(tonerLevel, "integer", "35");
    agent.serve(tonerMax, "integer", "70");
    QString message;
    QVERIFY2(agent.start(&message), qPrintable(message));

    const snmp::ValueMap values = snmp::queryPrinterOids(agentAddress, printerOids);
    QCOMPARE(values.size(), 5);
    QCOMPARE(values.value(hrStatus), QVariant(qint64(2)));
    QCOMPARE(values.value(printerStatus), QVariant(qint64(3)));
    QCOMPARE(values.value(errorsOid), QVariant(QByteArray("\x14", 1)));
    QCOMPARE(values.value(tonerLevel), QVariant(qint64(35)));
    QCOMPARE(values.value(tonerMax), QVariant(qint64(70)));
    // An object the agent does not have is left out, the rest still arrives.
    const snmp::ValueMap partial = snmp::queryPrinterOids(agentAddress, {hrStatus, "1.3.6.1.2.1.43.99.1"});
    QCOMPARE(partial.keys(), QStringList{hrStatus});

    FakePrinterQueue spooler;
    spooler.addQueue("Agent", 0, "IP_" + agentAddress);
    PrinterStatusSnapshot snapshot = PrinterStatusMonitor::check("Agent");
    QCOMPARE(snapshot.level, 4);
    QCOMPARE(snapshot.text, QStringLiteral("Paper jam"));
    QCOMPARE(snapshot.detail, "Live SNMP status · " + agentAddress + " · Toner 50%");

    QVERIFY(agent.change(errorsOid, "octet", "08"));
    QVERIFY(agent.change(tonerLevel, "integer", "-3"));
    snapshot = PrinterStatusMonitor::check("Agent");
    QCOMPARE(snapshot.level, 3);
    QCOMPARE(snapshot.text, QStringLiteral("Cover open"));
    QCOMPARE(snapshot.detail, "Live SNMP status · " + agentAddress);

    QVERIFY(agent.change(errorsOid, "octet", "00"));
    QVERIFY(agent.change(tonerLevel, "integer", "7"));
    snapshot = PrinterStatusMonitor::check("Agent");
    QCOMPARE(snapshot.text, QStringLiteral("Ready"));
    QCOMPARE(snapshot.tonerPercent, 10);

    // Stopped, the agent is silent and the idle queue's view becomes "Unknown".
    agent.stop();
    snapshot = PrinterStatusMonitor::check("Agent");
    QCOMPARE(snapshot.level, 6);
    QCOMPARE(snapshot.detail, silentDetail(agentAddress));
}

QTEST_GUILESS_MAIN(TestSnmpExchange)
#include "tst_SnmpExchange.moc"
