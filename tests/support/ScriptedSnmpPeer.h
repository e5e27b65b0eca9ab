#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <future>
#include <mutex>
#include <thread>

// One datagram the peer received.
struct SnmpPeerRequest
{
    QByteArray datagram;
    QStringList oids;      // the OIDs of the request's variable bindings, in order
    qint64 elapsedMs = 0;  // since start()
};

// One datagram the peer sends back to the request's sender.
struct SnmpPeerReply
{
    QByteArray datagram;
    QString fromAddress;     // empty: the peer's own address
    quint16 fromPort = 161;  // 0: an ephemeral port
    int delayMs = 0;         // waited before sending
};

// A scripted UDP peer on a loopback address, port 161, standing in for a printer's SNMP agent: every
// request it receives is recorded and handed to the script, whose replies it sends. Runs on its own thread
// so that the blocking SNMP client can talk to it from the test's thread.
class ScriptedSnmpPeer
{
public:
    using Script = std::function<QList<SnmpPeerReply>(const SnmpPeerRequest &request, int index)>;

    explicit ScriptedSnmpPeer(const QString &address);
    ~ScriptedSnmpPeer();
    ScriptedSnmpPeer(const ScriptedSnmpPeer &) = delete;
    ScriptedSnmpPeer &operator=(const ScriptedSnmpPeer &) = delete;

    // Binds address:161 and starts answering; false when the port cannot be bound.
    bool start(Script script);
    void stop();
    QList<SnmpPeerRequest> requests() const;
    QString address() const { return peerAddress; }

    // A GetResponse with the given error-status and bindings (OID, encoded value).
    static QByteArray response(const QList<QPair<QString, QByteArray>> &bindings, int errorStatus = 0,
                               int requestId = 1);
    // Encoded values.
    static QByteArray integer(qint64 value, quint8 tag = 0x02);
    static QByteArray octets(const QByteArray &content);
    static QByteArray null();

private:
    void run(std::promise<bool> *bound);

    QString peerAddress;
    Script script;
    std::thread thread;
    std::atomic<bool> stopping{false};
    mutable std::mutex mutex;
    QList<SnmpPeerRequest> received;
    QElapsedTimer clock;
};
