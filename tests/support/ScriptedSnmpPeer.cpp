#include "ScriptedSnmpPeer.h"

#include "printers/SnmpInternals.h"

#include <QHostAddress>
#include <QUdpSocket>

#include <future>

using namespace snmp::internals;

ScriptedSnmpPeer::ScriptedSnmpPeer(const QString &address) : peerAddress(address) {}

ScriptedSnmpPeer::~ScriptedSnmpPeer()
{
    stop();
}

bool ScriptedSnmpPeer::start(Script replies)
{
    stop();
    script = std::move(replies);
    stopping = false;
    {
        std::lock_guard<std::mutex> lock(mutex);
        received.clear();
    }
    clock.start();
    std::promise<bool> bound;
    std::future<bool> result = bound.get_future();
    thread = std::thread([this, &bound] { run(&bound); });
    if (!result.get()) {
        thread.join();
        return false;
    }
    return true;
}

void ScriptedSnmpPeer::stop()
{
    stopping = true;
    if (thread.joinable())
        thread.join();
}

QList<SnmpPeerRequest> ScriptedSnmpPeer::requests() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return received;
}

void ScriptedSnmpPeer::run(std::promise<bool> *bound)
{
    const QHostAddress own(peerAddress);
    QUdpSocket socket;
    const bool ok = socket.bind(own, 161, QAbstractSocket::DontShareAddress);
    bound->set_value(ok);
    if (!ok)
        return;
    while (!stopping) {
        if (!socket.waitForReadyRead(50))
            continue;
        while (socket.hasPendingDatagrams()) {
            QByteArray datagram(int(qMax<qint64>(socket.pendingDatagramSize(), 0)), Qt::Uninitialized);
            QHostAddress sender;
            quint16 senderPort = 0;
            const qint64 size = socket.readDatagram(datagram.data(), datagram.size(), &sender, &senderPort);
            if (size < 0)
                continue;
            datagram.truncate(int(size));

            SnmpPeerRequest request;
            request.datagram = datagram;
            request.elapsedMs = clock.elapsed();
            BerReaderHandle reader(datagram);
            int bindingsEnd = 0;
            qint64 number = 0;
            if (reader.readHeader(0x30) && reader.readInteger(&number) && reader.skipValue(0x04) &&
                reader.readHeader(0xA0) && reader.readInteger(&number) && reader.readInteger(&number) &&
                reader.readInteger(&number) && reader.readHeader(0x30, &bindingsEnd)) {
                while (reader.position() < bindingsEnd && reader.readHeader(0x30)) {
                    request.oids.append(reader.readOid());
                    reader.readValue();
                }
            }
            int index = 0;
            {
                std::lock_guard<std::mutex> lock(mutex);
                index = int(received.size());
                received.append(request);
            }

            const QList<SnmpPeerReply> replies = script ? script(request, index) : QList<SnmpPeerReply>();
            for (const SnmpPeerReply &reply : replies) {
                if (reply.delayMs > 0)
                    std::this_thread::sleep_for(std::chrono::milliseconds(reply.delayMs));
                if (reply.fromAddress.isEmpty() && reply.fromPort == 161) {
                    socket.writeDatagram(reply.datagram, sender, senderPort);
                    continue;
                }
                QUdpSocket other;
                const QHostAddress from(reply.fromAddress.isEmpty() ? peerAddress : reply.fromAddress);
                if (other.bind(from, reply.fromPort, QAbstractSocket::DontShareAddress))
                    other.writeDatagram(reply.datagram, sender, senderPort);
                else
                    qWarning("ScriptedSnmpPeer: cannot send from %s:%u", qPrintable(from.toString()),
                             unsigned(reply.fromPort));
            }
        }
    }
}

QByteArray ScriptedSnmpPeer::response(const QList<QPair<QString, QByteArray>> &bindings, int errorStatus,
                                      int requestId)
{
    QByteArray list;
    for (const auto &binding : bindings)
        list.append(tlv(0x30, oidTlv(binding.first) + binding.second));
    const QByteArray pdu =
        tlv(0xA2, integerTlv(requestId) + integerTlv(errorStatus) + integerTlv(0) + tlv(0x30, list));
    return tlv(0x30, integerTlv(0) + tlv(0x04, "public") + pdu);
}

QByteArray ScriptedSnmpPeer::integer(qint64 value, quint8 tag)
{
    // Two's complement in the fewest bytes that keep the sign.
    QByteArray content;
    for (int shift = 56; shift >= 0; shift -= 8)
        content.append(char((quint64(value) >> shift) & 0xFF));
    while (content.size() > 1 && ((content.at(0) == '\0' && !(quint8(content.at(1)) & 0x80)) ||
                                  (content.at(0) == '\xff' && (quint8(content.at(1)) & 0x80))))
        content.remove(0, 1);
    return tlv(tag, content);
}

QByteArray ScriptedSnmpPeer::octets(const QByteArray &content)
{
    return tlv(0x04, content);
}

QByteArray ScriptedSnmpPeer::null()
{
    return tlv(0x05, QByteArray());
}
