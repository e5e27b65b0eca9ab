#include "printers/SnmpInternals.h"

#include <QtTest>

using namespace snmp::internals;

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

// A GetResponse message around the given variable bindings, error-status and PDU tag.
QByteArray response(const QByteArray &bindings, int errorStatus = 0, quint8 pduTag = 0xA2, int requestId = 7,
                    int version = 0)
{
    const QByteArray pdu =
        tlv(pduTag, integerTlv(requestId) + integerTlv(errorStatus) + integerTlv(0) + tlv(0x30, bindings));
    return tlv(0x30, integerTlv(version) + tlv(0x04, "public") + pdu);
}

QByteArray binding(const char *oid, quint8 tag, const QByteArray &content)
{
    return tlv(0x30, oidTlv(QString::fromLatin1(oid)) + tlv(tag, content));
}

}  // namespace

class TestSnmpCodec : public QObject
{
    Q_OBJECT

private slots:
    void encodesLengthsIntegersAndOids_data();
    void encodesLengthsIntegersAndOids();
    void buildsGetRequest();
    void readsLengthsAndHeaders_data();
    void readsLengthsAndHeaders();
    void readsNumbersAndValues_data();
    void readsNumbersAndValues();
    void readsOids();
    void acceptsOnlyGetResponsesWithoutError_data();
    void acceptsOnlyGetResponsesWithoutError();
    void keepsUsableValuesOnly();
    void rejectsEveryTruncationOfValidMessages();
};

void TestSnmpCodec::encodesLengthsIntegersAndOids_data()
{
    QTest::addColumn<QByteArray>("encoded");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("integer 0") << integerTlv(0) << hex("02 01 00");
    QTest::newRow("integer 127") << integerTlv(127) << hex("02 01 7f");
    QTest::newRow("integer 128 keeps positive") << integerTlv(128) << hex("02 02 00 80");
    QTest::newRow("integer 200") << integerTlv(200) << hex("02 02 00 c8");
    QTest::newRow("integer 256") << integerTlv(256) << hex("02 02 01 00");
    QTest::newRow("integer 65535") << integerTlv(65535) << hex("02 03 00 ff ff");
    QTest::newRow("largest request id") << integerTlv(2147483647) << hex("02 04 7f ff ff ff");

    QTest::newRow("toner level oid") << oidTlv("1.3.6.1.2.1.43.11.1.1.9.1.1")
                                     << hex("06 0c 2b 06 01 02 01 2b 0b 01 01 09 01 01");
    QTest::newRow("leading dot ignored")
        << oidTlv(".1.3.6.1.2.1.43.11.1.1.9.1.1") << hex("06 0c 2b 06 01 02 01 2b 0b 01 01 09 01 01");
    QTest::newRow("one arc gives nothing") << oidTlv("1") << QByteArray();
    QTest::newRow("empty text gives nothing") << oidTlv("") << QByteArray();
    QTest::newRow("multi-byte arcs") << oidTlv("1.3.6.1.4.1.2699.16384")
                                     << hex("06 0a 2b 06 01 04 01 95 0b 81 80 00");
    QTest::newRow("arc above 32 bits") << oidTlv("1.3.4294967296") << hex("06 06 2b 90 80 80 80 00");
    QTest::newRow("non-number arc counts as 0") << oidTlv("1.3.x.1") << hex("06 03 2b 00 01");

    QTest::newRow("127 bytes short form") << tlv(0x04, QByteArray(127, 'a')).left(3) << hex("04 7f 61");
    QTest::newRow("128 bytes long form") << tlv(0x04, QByteArray(128, 'a')).left(4) << hex("04 81 80 61");
    QTest::newRow("300 bytes") << tlv(0x04, QByteArray(300, 'a')).left(5) << hex("04 82 01 2c 61");
    QTest::newRow("65536 bytes") << tlv(0x04, QByteArray(65536, 'a')).left(6) << hex("04 83 01 00 00 61");
    QTest::newRow("300 bytes total size")
        << QByteArray::number(tlv(0x04, QByteArray(300, 'a')).size()) << QByteArray("304");
}

void TestSnmpCodec::encodesLengthsIntegersAndOids()
{
    QFETCH(QByteArray, encoded);
    QFETCH(QByteArray, expected);
    QCOMPARE(encoded.toHex(' '), expected.toHex(' '));
}

void TestSnmpCodec::buildsGetRequest()
{
    QCOMPARE(
        snmpRequest({"1.3.6.1.2.1.25.3.2.1.5.1"}, 200).toHex(' '),
        hex("30 2a 02 01 00 04 06 70 75 62 6c 69 63 a0 1d 02 02 00 c8 02 01 00 02 01 00 30 11 30 0f 06 0b "
            "2b 06 01 02 01 19 03 02 01 05 01 05 00")
            .toHex(' '));

    // The clock's request-id is a positive INTEGER of at most 31 bits.
    const QByteArray clocked = snmpRequest({"1.3.6.1.2.1.25.3.2.1.5.1"});
    BerReaderHandle reader(clocked);
    qint64 value = -1;
    QVERIFY(reader.readHeader(0x30));
    QVERIFY(reader.readInteger(&value));
    QCOMPARE(value, 0);
    QVERIFY(reader.skipValue(0x04));
    QVERIFY(reader.readHeader(0xA0));
    QVERIFY(reader.readInteger(&value));
    QVERIFY(value >= 0 && value <= 2147483647);

    // A request for seven objects is longer than 127 bytes: the enclosing lengths take the long form, and
    // the bindings come back out in list order with NULL values.
    const QStringList oids{"1.3.6.1.2.1.25.3.2.1.5.1",
                           "1.3.6.1.2.1.25.3.5.1.1.1",
                           "1.3.6.1.2.1.25.3.5.1.2.1",
                           "1.3.6.1.2.1.43.11.1.1.9.1.1",
                           "1.3.6.1.2.1.43.11.1.1.8.1.1",
                           "1.3.6.1.2.1.1.3.0",
                           "1.3.6.1.2.1.1.5.0"};
    const QByteArray five = snmpRequest(oids, 1);
    QVERIFY(five.size() > 128);
    QCOMPARE(quint8(five.at(1)), quint8(0x81));
    QCOMPARE(five.size(), 3 + quint8(five.at(2)));
    BerReaderHandle walk(five);
    int bindingsEnd = 0;
    QVERIFY(walk.readHeader(0x30));
    QVERIFY(walk.readInteger(&value));
    QVERIFY(walk.skipValue(0x04));
    QVERIFY(walk.readHeader(0xA0));
    QVERIFY(walk.readInteger(&value));
    QCOMPARE(value, 1);
    QVERIFY(walk.readInteger(&value));
    QVERIFY(walk.readInteger(&value));
    QVERIFY(walk.readHeader(0x30, &bindingsEnd));
    QCOMPARE(bindingsEnd, five.size());
    QStringList seen;
    while (walk.position() < bindingsEnd) {
        QVERIFY(walk.readHeader(0x30));
        seen.append(walk.readOid());
        QVERIFY(walk.skipValue(0x05));
        QCOMPARE(walk.lastLength(), 0);
    }
    QCOMPARE(seen, oids);
}

void TestSnmpCodec::readsLengthsAndHeaders_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("headerAccepted");
    QTest::addColumn<int>("contentStart");
    QTest::addColumn<int>("length");

    QTest::newRow("short form") << hex("04 02 61 62") << true << 2 << 2;
    QTest::newRow("empty content") << hex("04 00") << true << 2 << 0;
    QTest::newRow("one length byte") << (hex("04 81 80") + QByteArray(128, 'x')) << true << 3 << 128;
    QTest::newRow("four length bytes") << (hex("04 84 00 00 00 03") + "abc") << true << 6 << 3;
    QTest::newRow("five length bytes") << (hex("04 85 00 00 00 00 03") + "abc") << false << 0 << 0;
    QTest::newRow("indefinite form") << (hex("04 80") + "abc" + hex("00 00")) << false << 0 << 0;
    QTest::newRow("length bytes cut off") << hex("04 82 01") << false << 0 << 0;
    QTest::newRow("content cut off") << hex("04 05 61 62") << false << 0 << 0;
    QTest::newRow("length beyond int range") << (hex("04 84 ff ff ff ff") + "abc") << false << 0 << 0;
    QTest::newRow("wrong tag") << hex("02 01 00") << false << 0 << 0;
    QTest::newRow("nothing at all") << QByteArray() << false << 0 << 0;
    QTest::newRow("tag only") << hex("04") << false << 0 << 0;
}

void TestSnmpCodec::readsLengthsAndHeaders()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, headerAccepted);
    QFETCH(int, contentStart);
    QFETCH(int, length);

    BerReaderHandle reader(bytes);
    int end = -1;
    QCOMPARE(reader.readHeader(0x04, &end), headerAccepted);
    QVERIFY(reader.position() <= bytes.size());
    if (headerAccepted) {
        QCOMPARE(reader.position(), contentStart);
        QCOMPARE(reader.lastLength(), length);
        QCOMPARE(end, contentStart + length);
        // The value reads the same way, and nothing is left afterwards.
        BerReaderHandle again(bytes);
        QCOMPARE(again.readValue().toByteArray(), bytes.mid(contentStart, length));
        QCOMPARE(again.position(), bytes.size());
        quint8 byte = 0;
        QVERIFY(!again.readByte(&byte));
    } else {
        BerReaderHandle again(bytes);
        if (!bytes.startsWith('\x02'))
            QVERIFY(!again.readValue().isValid());
        QVERIFY(again.position() <= bytes.size());
    }
}

void TestSnmpCodec::readsNumbersAndValues_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QVariant>("value");

    QTest::newRow("integer fe is -2") << hex("02 01 fe") << QVariant(qint64(-2));
    QTest::newRow("integer 00 c8 is 200") << hex("02 02 00 c8") << QVariant(qint64(200));
    QTest::newRow("integer ff 38 is -200") << hex("02 02 ff 38") << QVariant(qint64(-200));
    QTest::newRow("empty integer is 0") << hex("02 00") << QVariant(qint64(0));
    QTest::newRow("gauge fe is 254") << hex("42 01 fe") << QVariant(qint64(254));
    QTest::newRow("counter all ones") << hex("41 04 ff ff ff ff") << QVariant(qint64(4294967295LL));
    QTest::newRow("timeticks") << hex("43 03 01 00 00") << QVariant(qint64(65536));
    QTest::newRow("octet string") << hex("04 02 14 00") << QVariant(hex("14 00"));
    QTest::newRow("empty octet string") << hex("04 00") << QVariant(QByteArray(""));
    QTest::newRow("null") << hex("05 00") << QVariant();
    QTest::newRow("noSuchObject") << hex("80 00") << QVariant();
    QTest::newRow("noSuchInstance") << hex("81 00") << QVariant();
    QTest::newRow("endOfMibView") << hex("82 00") << QVariant();
    QTest::newRow("ip address") << hex("40 04 7f 00 00 01") << QVariant();
    QTest::newRow("object identifier") << hex("06 01 2b") << QVariant();
}

void TestSnmpCodec::readsNumbersAndValues()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QVariant, value);

    // Followed by a marker, to show that the reader stops exactly after the value.
    BerReaderHandle reader(bytes + hex("02 01 2a"));
    const QVariant read = reader.readValue();
    QCOMPARE(read.isValid(), value.isValid());
    if (value.isValid()) {
        QCOMPARE(read.typeId(), value.typeId());
        QCOMPARE(read, value);
    }
    QCOMPARE(reader.position(), bytes.size());
    qint64 marker = 0;
    QVERIFY(reader.readInteger(&marker));
    QCOMPARE(marker, 42);

    if (bytes.startsWith('\x02')) {
        BerReaderHandle integer(bytes);
        qint64 number = 99;
        QVERIFY(integer.readInteger(&number));
        QCOMPARE(number, value.toLongLong());
    }
}

void TestSnmpCodec::readsOids()
{
    const QStringList texts{"1.3.6.1.2.1.43.11.1.1.9.1.1", "1.3.6.1.4.1.2699.16384",
                            "1.3.18446744073709551615", "2.5"};
    for (const QString &text : texts) {
        BerReaderHandle reader(oidTlv(text));
        QCOMPARE(reader.readOid(), text);
    }

    // The first byte always gives two arcs; an empty OID, a missing one and a wrong tag give nothing.
    QCOMPARE(BerReaderHandle(hex("06 01 00")).readOid(), QStringLiteral("0.0"));
    QCOMPARE(BerReaderHandle(hex("06 00")).readOid(), QString());
    QCOMPARE(BerReaderHandle(hex("06 05 2b")).readOid(), QString());
    QCOMPARE(BerReaderHandle(hex("04 01 2b")).readOid(), QString());
    // An arc whose last group still has the top bit set ends with the content.
    QCOMPARE(BerReaderHandle(hex("06 03 2b 81 81")).readOid(), QStringLiteral("1.3.129"));
    BerReaderHandle stops(hex("06 03 2b 81 81 02 01 05"));
    QCOMPARE(stops.readOid(), QStringLiteral("1.3.129"));
    qint64 next = 0;
    QVERIFY(stops.readInteger(&next));
    QCOMPARE(next, 5);
}

void TestSnmpCodec::acceptsOnlyGetResponsesWithoutError_data()
{
    QTest::addColumn<QByteArray>("datagram");
    QTest::addColumn<int>("values");

    const QByteArray one = binding("1.3.6.1.2.1.25.3.2.1.5.1", 0x02, hex("02"));
    QTest::newRow("answer") << response(one) << 1;
    QTest::newRow("other request-id") << response(one, 0, 0xA2, 123456) << 1;
    QTest::newRow("version 2c") << response(one, 0, 0xA2, 7, 1) << 1;
    QTest::newRow("error-status 2") << response(one, 2) << 0;
    QTest::newRow("error-status 5") << response(one, 5) << 0;
    QTest::newRow("get request") << response(one, 0, 0xA0) << 0;
    QTest::newRow("trap pdu") << response(one, 0, 0xA4) << 0;
    QTest::newRow("empty bindings") << response(QByteArray()) << 0;
    QTest::newRow("no sequence") << response(one).mid(2) << 0;
    QTest::newRow("community not a string") << QByteArray(response(one)).replace(5, 1, "\x02") << 0;
    QTest::newRow("five length bytes") << (hex("30 85 00 00 00 00 2a") + response(one).mid(2)) << 0;
    QTest::newRow("indefinite length") << (hex("30 80") + response(one).mid(2) + hex("00 00")) << 0;
    QTest::newRow("empty datagram") << QByteArray() << 0;
}

void TestSnmpCodec::acceptsOnlyGetResponsesWithoutError()
{
    QFETCH(QByteArray, datagram);
    QFETCH(int, values);
    QCOMPARE(parseSnmpResponse(datagram).size(), values);
}

void TestSnmpCodec::keepsUsableValuesOnly()
{
    const QByteArray bindings = binding("1.3.6.1.2.1.25.3.2.1.5.1", 0x02, hex("05")) +
                                binding("1.3.6.1.2.1.25.3.5.1.1.1", 0x05, {}) +
                                binding("1.3.6.1.2.1.25.3.5.1.2.1", 0x04, hex("14")) +
                                binding("1.3.6.1.2.1.43.11.1.1.9.1.1", 0x80, {}) +
                                binding("1.3.6.1.2.1.43.11.1.1.8.1.1", 0x42, hex("fe")) +
                                binding("1.3.6.1.2.1.1.3.0", 0x43, hex("01 00")) +
                                binding("1.3.6.1.2.1.25.3.2.1.5.1", 0x02, hex("03"));
    const snmp::ValueMap values = parseSnmpResponse(response(bindings));
    QCOMPARE(values.size(), 4);
    // A later binding of the same OID replaces the earlier one.
    QCOMPARE(values.value("1.3.6.1.2.1.25.3.2.1.5.1"), QVariant(qint64(3)));
    QVERIFY(!values.contains("1.3.6.1.2.1.25.3.5.1.1.1"));
    QCOMPARE(values.value("1.3.6.1.2.1.25.3.5.1.2.1"), QVariant(hex("14")));
    QVERIFY(!values.contains("1.3.6.1.2.1.43.11.1.1.9.1.1"));
    QCOMPARE(values.value("1.3.6.1.2.1.43.11.1.1.8.1.1"), QVariant(qint64(254)));
    QCOMPARE(values.value("1.3.6.1.2.1.1.3.0"), QVariant(qint64(256)));

    // A broken binding ends the list; what came before it is kept.
    const QByteArray broken = binding("1.3.6.1.2.1.25.3.2.1.5.1", 0x02, hex("02")) + hex("04 01 00") +
                              binding("1.3.6.1.2.1.25.3.5.1.1.1", 0x02, hex("04"));
    const snmp::ValueMap partial = parseSnmpResponse(response(broken));
    QCOMPARE(partial.keys(), QStringList{"1.3.6.1.2.1.25.3.2.1.5.1"});

    // A binding whose value runs past its own end stops the list after that binding.
    const QByteArray overlong = hex("30 03") + oidTlv("1.3.6.1.2.1.25.3.2.1.5.1") + hex("02 01 07") +
                                binding("1.3.6.1.2.1.25.3.5.1.1.1", 0x02, hex("04"));
    const snmp::ValueMap stopped = parseSnmpResponse(response(overlong));
    QCOMPARE(stopped.size(), 1);
    QCOMPARE(stopped.value("1.3.6.1.2.1.25.3.2.1.5.1"), QVariant(qint64(7)));
}

void TestSnmpCodec::rejectsEveryTruncationOfValidMessages()
{
    const QByteArray bindings = binding("1.3.6.1.2.1.25.3.2.1.5.1", 0x02, hex("02")) +
                                binding("1.3.6.1.2.1.25.3.5.1.2.1", 0x04, hex("14 00")) +
                                binding("1.3.6.1.2.1.43.11.1.1.8.1.1", 0x42, QByteArray(130, '\x01'));
    const QList<QByteArray> messages{response(bindings), snmpRequest({"1.3.6.1.2.1.25.3.2.1.5.1"}, 200)};
    QCOMPARE(parseSnmpResponse(messages.first()).size(), 3);
    for (const QByteArray &message : messages) {
        for (int size = 0; size < message.size(); ++size) {
            // The copy is exactly as long as the cut, so a read past it is a read past the buffer.
            const QByteArray cut(message.constData(), size);
            QVERIFY2(parseSnmpResponse(cut).isEmpty(), qPrintable(QString::number(size)));
            BerReaderHandle reader(cut);
            while (reader.position() < cut.size())
                reader.readValue();
            QVERIFY(reader.position() <= cut.size());
        }
    }
}

QTEST_GUILESS_MAIN(TestSnmpCodec)
#include "tst_SnmpCodec.moc"
