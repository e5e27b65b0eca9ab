#include "printers/SnmpClient.h"
#include "printers/SnmpInternals.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QHostInfo>
#include <QUdpSocket>

#include <climits>
#include <utility>

namespace {

constexpr quint8 tagInteger = 0x02;
constexpr quint8 tagOctetString = 0x04;
constexpr quint8 tagNull = 0x05;
constexpr quint8 tagOid = 0x06;
constexpr quint8 tagSequence = 0x30;
constexpr quint8 tagCounter32 = 0x41;
constexpr quint8 tagGauge32 = 0x42;
constexpr quint8 tagTimeTicks = 0x43;
constexpr quint8 tagGetRequest = 0xA0;
constexpr quint8 tagGetResponse = 0xA2;

constexpr quint16 snmpPort = 161;
constexpr int attempts = 2;
constexpr int combinedTimeoutMs = 900;
constexpr int singleTimeoutMs = 350;

QByteArray tlv(quint8 tag, const QByteArray &value)
{
    QByteArray out;
    out.append(char(tag));
    const int size = value.size();
    if (size < 0x80) {
        out.append(char(size));
    } else {
        QByteArray lengthBytes;
        for (quint32 rest = quint32(size); rest != 0; rest >>= 8)
            lengthBytes.prepend(char(rest & 0xFF));
        out.append(char(0x80 | lengthBytes.size()));
        out.append(lengthBytes);
    }
    out.append(value);
    return out;
}

QByteArray integerTlv(int value)
{
    QByteArray content;
    quint32 rest = quint32(value);
    do {
        content.prepend(char(rest & 0xFF));
        rest >>= 8;
    } while (rest != 0);
    if (quint8(content.at(0)) & 0x80)
        content.prepend('\0');
    return tlv(tagInteger, content);
}

QByteArray base128(quint64 arc)
{
    QByteArray groups;
    groups.prepend(char(arc & 0x7F));
    for (arc >>= 7; arc != 0; arc >>= 7)
        groups.prepend(char(0x80 | (arc & 0x7F)));
    return groups;
}

QByteArray oidTlv(const QString &oid)
{
    const QStringList parts = oid.split(QLatin1Char('.'), Qt::SkipEmptyParts);
    if (parts.size() < 2)
        return {};
    QList<quint64> arcs;
    for (const QString &part : parts) {
        bool ok = false;
        const quint64 arc = part.toULongLong(&ok, 10);
        arcs.append(ok ? arc : 0);
    }
    QByteArray content;
    content.append(char(quint8(arcs.at(0) * 40 + arcs.at(1))));
    for (int i = 2; i < arcs.size(); ++i)
        content.append(base128(arcs.at(i)));
    return tlv(tagOid, content);
}

QByteArray snmpRequest(const QStringList &oids, int requestId)
{
    const QByteArray zero = integerTlv(0);
    const QByteArray nullValue = tlv(tagNull, QByteArray());
    QByteArray bindings;
    for (const QString &oid : oids)
        bindings.append(tlv(tagSequence, oidTlv(oid) + nullValue));
    const QByteArray pdu =
        tlv(tagGetRequest, integerTlv(requestId) + zero + zero + tlv(tagSequence, bindings));
    return tlv(tagSequence, zero + tlv(tagOctetString, QByteArrayLiteral("public")) + pdu);
}

QByteArray snmpRequest(const QStringList &oids)
{
    const int requestId = int(QDateTime::currentMSecsSinceEpoch() & 0x7FFFFFFF);
    return snmpRequest(oids, requestId);
}

// Reads BER from a byte buffer. Every length is compared with the bytes left before it is used.
class BerReader
{
public:
    explicit BerReader(QByteArray bytes) : buffer(std::move(bytes)) {}

    bool readByte(quint8 *byte)
    {
        if (pos >= buffer.size())
            return false;
        *byte = quint8(buffer.at(pos));
        ++pos;
        return true;
    }

    bool readLength(int *length)
    {
        quint8 first = 0;
        if (!readByte(&first))
            return false;
        if (first < 0x80) {
            *length = first;
            return true;
        }
        const int count = first & 0x7F;
        if (count < 1 || count > 4 || count > buffer.size() - pos)
            return false;
        quint32 value = 0;
        for (int i = 0; i < count; ++i)
            value = (value << 8) | quint8(buffer.at(pos + i));
        pos += count;
        *length = value > quint32(INT_MAX) ? -1 : int(value);
        return true;
    }

    bool readHeader(quint8 expectedTag, int *end = nullptr)
    {
        quint8 tag = 0;
        if (!readByte(&tag) || tag != expectedTag)
            return false;
        int length = 0;
        if (!readLength(&length) || length < 0 || length > buffer.size() - pos)
            return false;
        lastLength = length;
        if (end)
            *end = pos + length;
        return true;
    }

    bool readInteger(qint64 *value)
    {
        if (!readHeader(tagInteger))
            return false;
        *value = signedNumber(buffer.constData() + pos, lastLength);
        pos += lastLength;
        return true;
    }

    bool skipValue(quint8 tag)
    {
        if (!readHeader(tag))
            return false;
        pos += lastLength;
        return true;
    }

    QString readOid()
    {
        if (!readHeader(tagOid) || lastLength < 1)
            return {};
        const int end = pos + lastLength;
        const quint8 first = quint8(buffer.at(pos++));
        QStringList arcs{QString::number(first / 40), QString::number(first % 40)};
        while (pos < end) {
            quint64 arc = 0;
            while (pos < end) {
                const quint8 byte = quint8(buffer.at(pos++));
                arc = (arc << 7) | (byte & 0x7F);
                if (!(byte & 0x80))
                    break;
            }
            arcs.append(QString::number(arc));
        }
        return arcs.join(QLatin1Char('.'));
    }

    QVariant readValue()
    {
        quint8 tag = 0;
        int length = 0;
        if (!readByte(&tag) || !readLength(&length) || length < 0 || length > buffer.size() - pos)
            return {};
        lastLength = length;
        const QByteArray content = buffer.mid(pos, length);
        pos += length;
        switch (tag) {
        case tagInteger:
            return QVariant::fromValue<qint64>(signedNumber(content.constData(), content.size()));
        case tagCounter32:
        case tagGauge32:
        case tagTimeTicks:
            return QVariant::fromValue<qint64>(qint64(unsignedNumber(content.constData(), content.size())));
        case tagOctetString:
            return QVariant(content);
        default:
            return {};
        }
    }

    int position() const { return pos; }
    int lastHeaderLength() const { return lastLength; }

private:
    static quint64 unsignedNumber(const char *bytes, int size)
    {
        quint64 value = 0;
        for (int i = 0; i < size; ++i)
            value = (value << 8) | quint8(bytes[i]);
        return value;
    }

    static qint64 signedNumber(const char *bytes, int size)
    {
        quint64 value = (size > 0 && (quint8(bytes[0]) & 0x80)) ? ~quint64(0) : 0;
        for (int i = 0; i < size; ++i)
            value = (value << 8) | quint8(bytes[i]);
        return qint64(value);
    }

    QByteArray buffer;
    int pos = 0;
    int lastLength = 0;
};

snmp::ValueMap parseSnmpResponse(const QByteArray &datagram)
{
    BerReader reader(datagram);
    int messageEnd = 0;
    qint64 version = 0;
    qint64 requestId = 0;
    qint64 errorStatus = 0;
    qint64 errorIndex = 0;
    int bindingsEnd = 0;
    if (!reader.readHeader(tagSequence, &messageEnd) || !reader.readInteger(&version) ||
        !reader.skipValue(tagOctetString) || !reader.readHeader(tagGetResponse) ||
        !reader.readInteger(&requestId) || !reader.readInteger(&errorStatus) || errorStatus != 0 ||
        !reader.readInteger(&errorIndex) || !reader.readHeader(tagSequence, &bindingsEnd))
        return {};

    snmp::ValueMap values;
    while (reader.position() < bindingsEnd) {
        int bindingEnd = 0;
        if (!reader.readHeader(tagSequence, &bindingEnd))
            break;
        const QString oid = reader.readOid();
        const QVariant value = reader.readValue();
        if (!oid.isEmpty() && value.isValid())
            values.insert(oid, value);
        if (reader.position() > bindingEnd)
            break;
    }
    return values;
}

snmp::ValueMap querySnmp(const QString &host, const QStringList &oids, int timeoutMs)
{
    QHostAddress address;
    if (!address.setAddress(host)) {
        const QHostInfo info = QHostInfo::fromName(host);
        if (info.error() != QHostInfo::NoError || info.addresses().isEmpty())
            return {};
        address = info.addresses().constFirst();
    }

    const QByteArray request = snmpRequest(oids);
    for (int attempt = 0; attempt < attempts; ++attempt) {
        QUdpSocket socket;
        if (!socket.bind(QHostAddress(QHostAddress::AnyIPv4), 0, QAbstractSocket::DontShareAddress))
            continue;
        if (socket.writeDatagram(request, address, snmpPort) != request.size())
            continue;
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < timeoutMs) {
            if (!socket.waitForReadyRead(int(timeoutMs - timer.elapsed())))
                break;
            while (socket.hasPendingDatagrams()) {
                QByteArray datagram(int(qMax<qint64>(socket.pendingDatagramSize(), 0)), Qt::Uninitialized);
                QHostAddress sender;
                quint16 senderPort = 0;
                const qint64 size =
                    socket.readDatagram(datagram.data(), datagram.size(), &sender, &senderPort);
                if (size < 0)
                    continue;
                datagram.truncate(int(size));
                if (sender != address || senderPort != snmpPort)
                    continue;
                const snmp::ValueMap values = parseSnmpResponse(datagram);
                if (!values.isEmpty())
                    return values;
            }
        }
    }
    return {};
}

}  // namespace

namespace snmp {

ValueMap queryPrinterOids(const QString &host, const QStringList &oids)
{
    const ValueMap combined = querySnmp(host, oids, combinedTimeoutMs);
    if (!combined.isEmpty())
        return combined;
    ValueMap result;
    for (const QString &oid : oids) {
        const ValueMap single = querySnmp(host, QStringList{oid}, singleTimeoutMs);
        const auto found = single.constFind(oid);
        if (found != single.constEnd())
            result.insert(oid, found.value());
    }
    return result;
}

namespace internals {

QByteArray tlv(quint8 tag, const QByteArray &value)
{
    return ::tlv(tag, value);
}

QByteArray integerTlv(int value)
{
    return ::integerTlv(value);
}

QByteArray oidTlv(const QString &oid)
{
    return ::oidTlv(oid);
}

QByteArray snmpRequest(const QStringList &oids)
{
    return ::snmpRequest(oids);
}

QByteArray snmpRequest(const QStringList &oids, int requestId)
{
    return ::snmpRequest(oids, requestId);
}

ValueMap parseSnmpResponse(const QByteArray &datagram)
{
    return ::parseSnmpResponse(datagram);
}

ValueMap querySnmp(const QString &host, const QStringList &oids, int timeoutMs)
{
    return ::querySnmp(host, oids, timeoutMs);
}

struct BerReaderHandle::Reader
{
    explicit Reader(QByteArray buffer) : ber(std::move(buffer)) {}
    BerReader ber;
};

BerReaderHandle::BerReaderHandle(QByteArray buffer) : reader(std::make_unique<Reader>(std::move(buffer))) {}
BerReaderHandle::~BerReaderHandle() = default;

bool BerReaderHandle::readByte(quint8 *byte)
{
    return reader->ber.readByte(byte);
}

bool BerReaderHandle::readLength(int *length)
{
    return reader->ber.readLength(length);
}

bool BerReaderHandle::readHeader(quint8 expectedTag, int *end)
{
    return reader->ber.readHeader(expectedTag, end);
}

bool BerReaderHandle::readInteger(qint64 *value)
{
    return reader->ber.readInteger(value);
}

bool BerReaderHandle::skipValue(quint8 tag)
{
    return reader->ber.skipValue(tag);
}

QString BerReaderHandle::readOid()
{
    return reader->ber.readOid();
}

QVariant BerReaderHandle::readValue()
{
    return reader->ber.readValue();
}

int BerReaderHandle::position() const
{
    return reader->ber.position();
}

int BerReaderHandle::lastLength() const
{
    return reader->ber.lastHeaderLength();
}

}  // namespace internals
}  // namespace snmp
