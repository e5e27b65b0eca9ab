#include "platform/SystemTexts.h"
#include "printers/PrinterStatusMonitor.h"
#include "printers/SnmpInternals.h"

#include <QtTest>

using namespace snmp::internals;
namespace bits = platform::printer_status;

namespace {

// A GetResponse (or the PDU given) around bindings of OIDs and encoded values.
QByteArray response(const QList<QPair<QString, QByteArray>> &bindings, int status = 0, quint8 pdu = 0xA2)
{
    QByteArray list;
    for (const auto &[oid, value] : bindings)
        list += tlv(0x30, oidTlv(oid) + value);
    return tlv(0x30, integerTlv(0) + tlv(0x04, "public") +
                         tlv(pdu, integerTlv(7) + integerTlv(status) + integerTlv(0) + tlv(0x30, list)));
}

const QString hr = "1.3.6.1.2.1.25.3.2.1.5.1";
const QString tonerMax = "1.3.6.1.2.1.43.11.1.1.8.1.1";

}  // namespace

class TestSnmp : public QObject
{
    Q_OBJECT

private slots:
    void encodes()
    {
        QCOMPARE(integerTlv(128).toHex() + ' ' + oidTlv("1.3.6.1.4.1.2699.16384").toHex(),
                 QByteArray("02020080 060a2b06010401950b818000"));  // positive; arcs of several bytes
    }
    void decodesResponses_data()
    {
        QTest::addColumn<QByteArray>("datagram");
        QTest::addColumn<QString>("values");  // "OID=value" in OID order, byte strings in hex
        const QByteArray two = QByteArray::fromHex("020102");
        const auto row = [](const char *name, const QByteArray &datagram, const QString &values) {
            QTest::newRow(name) << datagram << values;
        };
        row("integer", response({{hr, two}}), hr + "=2");
        row("negative", response({{hr, QByteArray::fromHex("0202ff38")}}), hr + "=-200");
        row("unsigned",
            response({{hr, QByteArray::fromHex("4104ffffffff")}, {tonerMax, QByteArray::fromHex("4201fe")}}),
            hr + "=4294967295 " + tonerMax + "=254");
        row("300 octets", response({{hr, tlv(0x04, QByteArray(300, 'x'))}}),
            hr + "=" + QByteArray(300, 'x').toHex());
        row("arcs of two bytes", response({{"1.3.6.1.4.1.2699.200", two}}), "1.3.6.1.4.1.2699.200=2");
        row("null, noSuchObject, ip address",
            response({{"1.3.1", QByteArray::fromHex("0500")},
                      {"1.3.2", QByteArray::fromHex("8000")},
                      {"1.3.3", QByteArray::fromHex("40047f000001")},
                      {hr, two}}),
            hr + "=2");
        row("error-status", response({{hr, two}}, 2), "");
        row("get request", response({{hr, two}}, 0, 0xA0), "");
        row("five length bytes", QByteArray::fromHex("30850000000000") + response({{hr, two}}).mid(2), "");
        row("indefinite length", QByteArray::fromHex("3080") + response({{hr, two}}).mid(2) + '\0' + '\0',
            "");
    }
    void decodesResponses()
    {
        QFETCH(QByteArray, datagram);
        QFETCH(QString, values);
        const snmp::ValueMap decoded = parseSnmpResponse(datagram);
        QStringList shown;
        for (auto it = decoded.cbegin(); it != decoded.cend(); ++it)
            shown << it.key() + '=' +
                         (it->typeId() == QMetaType::QByteArray ? it->toByteArray().toHex() : it->toString());
        shown.sort();
        QCOMPARE(shown.join(' '), values);
        for (int size = 0; size < datagram.size();
             ++size)  // exactly sized copies: ASan sees a read past them
            QVERIFY(parseSnmpResponse(QByteArray(datagram.constData(), size)).isEmpty());
    }
    void mapsQueueAndAgent_data()
    {
        QTest::addColumn<quint32>("queue");  // status bits; ~0: no such queue
        QTest::addColumn<QString>(
            "agent");  // "errors hr printer level max" answered; "-": no host, "": silent
        QTest::addColumn<QString>("expected");
        const auto row = [](const char *name, quint32 queue, const char *agent, const char *expected) {
            QTest::newRow(name) << queue << QString(agent) << QString(expected);
        };
        row("idle queue", 0, "-", "1 Ready -1 queue");
        row("no such queue", ~0u, "-", "5 Not installed -1 missing");
        row("offline before jam", bits::Offline | bits::PaperJam, "-", "5 Offline -1 offline");
        row("jam before pause, paper", bits::PaperJam | bits::Paused | bits::PaperOut, "-",
            "4 Paper jam -1 queue");
        row("door before toner", bits::DoorOpen | bits::NoToner, "-", "3 Cover open -1 queue");
        row("no toner before low", bits::NoToner | bits::TonerLow, "-", "4 Out of toner -1 queue");
        row("low toner before error", bits::TonerLow | bits::Error, "-", "3 Low toner -1 queue");
        row("error before pause", bits::UserIntervention | bits::Paused, "-", "4 Error -1 queue");
        row("processing", bits::Processing, "-", "2 Printing -1 queue");
        row("unranked bits", 0x4 | 0x20 | 0x800, "-", "1 Ready -1 queue");
        row("silent agent, idle queue", 0, "", "6 Unknown -1 silent");
        row("silent agent, paused", bits::Paused, "", "3 Paused -1 queue");
        row("jam and no toner", 0, "14 2 3 35 70", "4 Paper jam 50 live");
        row("no paper", 0, "4000 2 3 - -", "4 Out of paper -1 live");
        row("no toner", 0, "10 2 3 0 70", "4 Out of toner 0 live");
        row("door open", 0, "08 2 3 - -", "3 Cover open -1 live");
        row("service", 0, "01 2 3 - -", "3 Maintenance required -1 live");
        row("low paper, printing", 0, "80 2 4 - -", "3 Low paper -1 live");
        row("device down", 0, "00 5 3 - -", "4 Stopped -1 live");
        row("printing", 0, "- 2 4 - -", "2 Printing -1 live");
        row("warming up", 0, "- 3 5 - -", "1 Ready -1 live");
        row("no printer state", 0, "- 2 - - -", "1 Ready -1 live");
        row("over an offline queue", bits::Offline, "- 2 3 - -", "1 Ready -1 live");
        row("toner rounds half up", 0, "- 2 3 2 3", "1 Ready 67 live");
        row("toner above maximum", 0, "- 2 3 90 60", "1 Ready 100 live");
        row("toner, no maximum", 0, "- 2 3 120 -2", "1 Ready 100 live");
        row("toner: some left", 0, "- 2 3 -3 70", "1 Ready -1 live");
        row("maximum beyond int", 0, "- 2 3 30 4294967295", "1 Ready 30 live");
    }
    void mapsQueueAndAgent()
    {
        QFETCH(quint32, queue);
        QFETCH(QString, agent);
        QFETCH(QString, expected);
        const QStringList oids{"1.3.6.1.2.1.25.3.5.1.2.1", hr, "1.3.6.1.2.1.25.3.5.1.1.1",
                               "1.3.6.1.2.1.43.11.1.1.9.1.1", tonerMax};
        snmp::ValueMap values;
        const QStringList answered = agent.split(' ', Qt::SkipEmptyParts);
        for (int i = 0; i < answered.size() && agent != "-"; ++i) {
            if (answered[i] != "-")
                values.insert(oids[i], i == 0 ? QVariant(QByteArray::fromHex(answered[i].toLatin1()))
                                              : QVariant(answered[i].toLongLong()));
        }
        const QString host = agent == "-" ? QString() : "10.0.0.7";
        const PrinterStatusSnapshot snapshot =
            PrinterStatusMonitor::interpret({queue != ~0u, queue, "IP_10.0.0.7"}, host, values);
        const QString kind = expected.section(' ', -1),
                      toner = QStringLiteral(" · Toner %1%").arg(snapshot.tonerPercent);
        const QString detail =
            kind == "live" ? "Live SNMP status · 10.0.0.7" + (snapshot.tonerPercent < 0 ? "" : toner)
            : kind == "silent"
                ? QString(platform::systemText("SNMP did not respond; Windows queue reports no error · %1"))
                      .arg(host)
            : kind == "offline" ? platform::systemText("Windows reports that the printer is offline.")
            : kind == "missing" ? platform::systemText("Windows could not find this printer.")
                                : platform::systemText("Windows print queue status");
        QCOMPARE(QString::number(snapshot.level) + ' ' + snapshot.text + ' ' +
                     QString::number(snapshot.tonerPercent) + ' ' + kind,
                 expected);
        QCOMPARE(snapshot.detail, detail);
        QCOMPARE(snapshot.host, queue == ~0u ? QString() : host);
    }
    void findsTheHostOfAPort()
    {
        QStringList hosts;
        for (const char *port : {"IP_10.0.0.7", " ip_10.0.0.7 ", "IP_10.0.0.7_1", "socket://10.0.0.7:9100",
                                 "USB001", "IP_999.1.1.1", "IP_10.0.0"})
            hosts << PrinterStatusMonitor::hostOfPort(port, QString());
        QCOMPARE(hosts, QStringList({"10.0.0.7", "10.0.0.7", "10.0.0.7", "10.0.0.7", "", "", ""}));
        QCOMPARE(PrinterStatusMonitor::hostOfPort("USB001", "printer.example"),
                 QStringLiteral("printer.example"));
    }
};

QTEST_GUILESS_MAIN(TestSnmp)
#include "tst_snmp.moc"
