#pragma once

#include "printers/SnmpClient.h"

#include <QByteArray>

#include <memory>

// The SNMP client's encoder, decoder and single exchange, reachable for tests and the fuzzer. These are
// the very functions the client uses; nothing here behaves differently from the client's own use.
namespace snmp::internals {

// Tag, length (short form below 128 bytes, else 0x80|N and N big-endian bytes), value.
QByteArray tlv(quint8 tag, const QByteArray &value);
// INTEGER of a non-negative number in the fewest bytes, kept positive.
QByteArray integerTlv(int value);
// OBJECT IDENTIFIER of a dotted text; empty when the text has fewer than two arcs.
QByteArray oidTlv(const QString &oid);
// The GetRequest message with the request-id taken from the clock.
QByteArray snmpRequest(const QStringList &oids);
// The GetRequest message with a given request-id.
QByteArray snmpRequest(const QStringList &oids, int requestId);
// The values of an acceptable GetResponse, or an empty map.
ValueMap parseSnmpResponse(const QByteArray &datagram);
// One request to host:161 in up to two attempts of timeoutMs each; the first acceptable answer's values.
ValueMap querySnmp(const QString &host, const QStringList &oids, int timeoutMs);

// The client's BER reader over a byte buffer.
class BerReaderHandle
{
public:
    explicit BerReaderHandle(QByteArray buffer);
    ~BerReaderHandle();
    BerReaderHandle(const BerReaderHandle &) = delete;
    BerReaderHandle &operator=(const BerReaderHandle &) = delete;

    bool readByte(quint8 *byte);
    bool readLength(int *length);
    bool readHeader(quint8 expectedTag, int *end = nullptr);
    bool readInteger(qint64 *value);
    bool skipValue(quint8 tag);
    QString readOid();
    QVariant readValue();
    int position() const;
    int lastLength() const;

private:
    struct Reader;
    std::unique_ptr<Reader> reader;
};

}  // namespace snmp::internals
