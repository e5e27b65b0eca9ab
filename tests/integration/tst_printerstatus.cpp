// Printer status against real services: queue states of a private cupsd, the SNMP exchange with a scripted
// peer (answers, retries, malformed and foreign datagrams), net-snmp's agent, and `ollavan status` over them.
#include "platform/PrinterQueue.h"
#include "printers/PrinterStatusMonitor.h"
#include "printers/SnmpInternals.h"
#include "support/PrivateCups.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QUdpSocket>
#include <QtTest>

#include <csignal>
#include <sys/prctl.h>

using namespace snmp::internals;
namespace bits = platform::printer_status;

namespace {

const QStringList objects{"1.3.6.1.2.1.25.3.2.1.5.1", "1.3.6.1.2.1.25.3.5.1.1.1", "1.3.6.1.2.1.25.3.5.1.2.1",
                          "1.3.6.1.2.1.43.11.1.1.9.1.1", "1.3.6.1.2.1.43.11.1.1.8.1.1"};

QByteArray response(const QStringList &oids, int value, int status = 0)
{
    QByteArray list;
    for (const QString &oid : oids)
        list += tlv(0x30, oidTlv(oid) + integerTlv(value));
    return tlv(0x30, integerTlv(0) + tlv(0x04, "public") +
                         tlv(0xA2, integerTlv(1) + integerTlv(status) + integerTlv(0) + tlv(0x30, list)));
}

// A printer's agent on 127.0.0.161:161 that answers as its script says (given the status objects a request
// asks for and the request's number), on a thread of its own as the client blocks. A reply goes to the sender
// from the peer's port (0), from another port (1) or from another address (2).
struct ScriptedPeer
{
    using Script = std::function<QList<QPair<int, QByteArray>>(const QStringList &asked, int index)>;
    explicit ScriptedPeer(Script script) : script(std::move(script)) { bound.get_future().wait(); }
    ~ScriptedPeer() { thread.joinable() ? void(stop()) : void(); }
    QList<QByteArray> stop() { return stopping = true, thread.join(), requests; }  // the requests received

    Script script;
    QList<QByteArray> requests;
    std::promise<void> bound;
    std::atomic<bool> stopping{false};
    std::thread thread{[this] {
        QUdpSocket socket;
        const bool listening = socket.bind(QHostAddress("127.0.0.161"), 161);
        bound.set_value();
        while (listening && !stopping) {
            if (!socket.waitForReadyRead(50))
                continue;
            QByteArray request(int(socket.pendingDatagramSize()), Qt::Uninitialized);
            QHostAddress sender;
            quint16 port = 0;
            request.truncate(int(socket.readDatagram(request.data(), request.size(), &sender, &port)));
            requests << request;
            QStringList asked;
            for (const QString &oid : objects)
                request.contains(oidTlv(oid)) ? void(asked << oid) : void();
            for (const auto &[from, reply] : script(asked, int(requests.size()) - 1)) {
                QUdpSocket stranger;
                if (from == 0)
                    socket.writeDatagram(reply, sender, port);
                else if (stranger.bind(QHostAddress(from == 1 ? "127.0.0.161" : "127.0.0.162")))
                    stranger.writeDatagram(reply, sender, port);
            }
        }
    }};
};

QPair<int, QString> runOllavan(const QStringList &arguments)
{
    QProcess process;
    process.start(OLLAVAN_BIN_DIR "/ollavan", arguments);
    process.waitForFinished(120000);
    return {process.exitCode(), process.readAllStandardOutput() + process.readAllStandardError()};
}

}  // namespace

class TestPrinterStatus : public QObject
{
    Q_OBJECT
    ollavan::testsupport::PrivateCups cups;

private slots:
    void initTestCase()
    {
        QString error;
        QVERIFY2(cups.start(&error) && cups.addQueue("office", cups.Raw, &error) &&
                     cups.addQueue("net", cups.Raw, &error),
                 qPrintable(error));
        // A queue whose device names a host is asked over SNMP; nothing is printed through it.
        QFile backend(cups.directory() + "/lib/backend/socket");
        QVERIFY(backend.open(QIODevice::WriteOnly) && backend.write("#!/bin/sh\nexit 0\n") > 0);
        backend.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(cups.run("lpadmin", {"-p", "net", "-v", "socket://127.0.0.163:9100"}), 0);
    }

    void queueStates_data()
    {
        QTest::addColumn<QString>("state");  // printer-state-reasons, or !stopped, !rejecting, !missing
        QTest::addColumn<quint32>("status");
        QTest::addColumn<QString>("shown");
        const auto row = [](const char *state, quint32 status, const char *shown) {
            QTest::newRow(*state ? state : "none") << QString(state) << status << QString(shown);
        };
        row("", 0, "1 Ready");
        row("offline-report", bits::Offline, "5 Offline");
        row("connecting-to-device", bits::NotAvailable, "5 Offline");
        row("media-jam-error", bits::PaperJam, "4 Paper jam");
        row("media-empty-error", bits::PaperOut, "4 Out of paper");
        row("cover-open-warning", bits::DoorOpen, "3 Cover open");
        row("toner-empty-error", bits::NoToner, "4 Out of toner");
        row("marker-supply-low-report", bits::TonerLow, "3 Low toner");
        row("fuser-over-temp-error", bits::Error, "4 Error");
        row("developer-low-report", 0, "1 Ready");
        row("paused", bits::Paused, "3 Paused");
        row("media-jam-error,offline-report", bits::PaperJam | bits::Offline, "5 Offline");
        row("toner-low-report,media-jam-error", bits::PaperJam | bits::TonerLow, "4 Paper jam");
        row("!stopped", bits::Paused, "3 Paused");
        row("!rejecting", bits::Paused, "3 Paused");
        row("!missing", 0, "5 Not installed");
    }
    void queueStates()
    {
        QFETCH(QString, state);
        QFETCH(quint32, status);
        QFETCH(QString, shown);
        QVERIFY(state != "!stopped" || cups.disableQueue("office", "maintenance"));
        QVERIFY(state != "!rejecting" || cups.run("cupsreject", {"office"}) == 0);
        QVERIFY(state.startsWith('!') || cups.setReasons("office", state.split(',', Qt::SkipEmptyParts)));
        const QString queue = state == "!missing" ? "cellar" : "office";
        const platform::PrinterQueueInfo info = platform::printerQueue().queueInfo(queue);
        const PrinterStatusSnapshot snapshot = PrinterStatusMonitor::check(queue);
        QVERIFY(cups.enableQueue("office") && cups.run("cupsaccept", {"office"}) == 0 &&
                cups.setReasons("office", {}));
        QVERIFY(info.found == (queue == "office") && info.status == status && snapshot.host.isEmpty());
        QCOMPARE(QStringLiteral("%1 %2").arg(snapshot.level).arg(snapshot.text), shown);
    }

    void exchange_data()
    {
        QTest::addColumn<int>("behaviour");
        QTest::addColumn<QString>("answered");  // which of the five objects came back as 3; requests made
        QTest::newRow("answers") << 0 << "11111 1";
        QTest::newRow("silent to the first attempt") << 1 << "11111 2";
        QTest::newRow("foreign and malformed datagrams first") << 2 << "11111 1";
        QTest::newRow("refuses the combined request") << 3 << "11010 8";
        QTest::newRow("silent") << 4 << "00000 12";
    }
    void exchange()
    {
        QFETCH(int, behaviour);
        QFETCH(QString, answered);
        ScriptedPeer peer([behaviour](const QStringList &asked, int index) -> QList<QPair<int, QByteArray>> {
            const QByteArray good = response(asked, 3);
            if (behaviour == 1 && index == 0)
                return {};
            if (behaviour == 2)
                return {{1, response(asked, 5)}, {2, response(asked, 5)},    {0, "\x30\x85garbage"},
                        {0, good.chopped(1)},    {0, response(asked, 5, 2)}, {0, good}};
            // Refused when combined; alone, the errors object is silent, the maximum answers as another.
            if (behaviour == 3 && asked.size() > 1)
                return {{0, response(asked, 3, 1)}};
            if ((behaviour == 3 && asked == objects.mid(2, 1)) || behaviour == 4)
                return {};
            return {{0, behaviour == 3 && asked == objects.mid(4) ? response({objects[4] + ".0"}, 3) : good}};
        });
        const snmp::ValueMap values = snmp::queryPrinterOids("127.0.0.161", objects);
        const QList<QByteArray> requests = peer.stop();
        QString shown;
        for (const QString &oid : objects)
            shown += values.value(oid) == QVariant(qint64(3)) ? '1' : '0';
        QCOMPARE(shown + ' ' + QString::number(requests.size()), answered);
        QVERIFY(requests.size() < 2 || requests[1] == requests[0]);  // a retry repeats the request
    }

    void agentAndStatusCommand()
    {
        QTemporaryDir folder;
        QFile config(folder.filePath("snmpd.conf"));
        QVERIFY(config.open(QIODevice::WriteOnly));
        config.write("agentAddress udp:127.0.0.163:161\nrocommunity public\n");
        const char *served[] = {"integer 2", "integer 3", "octet_str 0x1400", "integer 35", "integer 70"};
        for (int i = 0; i < 5; ++i)
            config.write("override ." + objects[i].toLatin1() + ' ' + served[i] + '\n');
        config.close();
        QProcess
            agent;  // net-snmp's agent with these values and none of the machine's; it ends with the test
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("SNMP_PERSISTENT_DIR", folder.path());
        environment.insert("MIBS", "");
        agent.setProcessEnvironment(environment);
        agent.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
        agent.start("snmpd",
                    {"-f", "-Lf", folder.filePath("log"), "-C", "-I", "-smux", "-c", config.fileName()});
        QTRY_VERIFY_WITH_TIMEOUT(!snmp::queryPrinterOids("127.0.0.163", objects.mid(0, 1)).isEmpty(), 10000);

        const snmp::ValueMap values =
            snmp::queryPrinterOids("127.0.0.163", objects + QStringList("1.3.6.1.2.1.43.99"));
        QCOMPARE(values.value(objects[2]), QVariant(QByteArray("\x14\x00", 2)));
        QCOMPARE(values.value(objects[4]), QVariant(qint64(70)));
        QCOMPARE(values.size(), 5);  // the object the agent does not have is left out
        auto [code, output] = runOllavan({"status", "--json", "net", "office", "gone"});
        QStringList rows;
        for (const QJsonValue row :
             QJsonDocument::fromJson(output.section("\nollavan:", 0, 0).toUtf8()).array())
            rows << row["printer"].toString() + ' ' + row["levelName"].toString() + ' ' +
                        row["host"].toString() + ' ' + QString::number(row["tonerPercent"].toInt());
        QCOMPARE(rows, QStringList({"net critical 127.0.0.163 50", "office ready  -1", "gone offline  -1"}));
        QCOMPARE(code, 2);  // a named printer is not installed; its row says so
        agent.terminate();
        agent.waitForFinished();
        std::tie(code, output) = runOllavan({"status", "net"});
        QVERIFY2(code == 0 && output.contains(QRegularExpression("\nnet +6 +Unknown +SNMP did not respond")),
                 qPrintable(output));
    }
};

QTEST_GUILESS_MAIN(TestPrinterStatus)
#include "tst_printerstatus.moc"
