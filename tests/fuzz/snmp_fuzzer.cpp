// libFuzzer target for the SNMP response decoder and its BER reader. The input is wrapped without a copy,
// so any read past its end lands outside the fuzzer's exactly sized buffer, where AddressSanitizer sees it.
#include "printers/SnmpInternals.h"

#include <cstdint>
#include <cstdlib>

using namespace snmp::internals;

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

QByteArray wrap(const uint8_t *data, size_t size)
{
    return QByteArray::fromRawData(reinterpret_cast<const char *>(data), int(size));
}

// Every value the decoder reports is a number or a byte string under a non-empty dotted OID.
void checkValues(const snmp::ValueMap &values)
{
    for (auto it = values.constBegin(); it != values.constEnd(); ++it) {
        require(!it.key().isEmpty() && !it.key().startsWith(QLatin1Char('.')));
        const int type = it.value().typeId();
        require(type == QMetaType::LongLong || type == QMetaType::QByteArray);
    }
}

// Reads values one after another until the buffer ends.
void walkValues(const QByteArray &bytes)
{
    BerReaderHandle reader(bytes);
    while (reader.position() < bytes.size()) {
        const int before = reader.position();
        reader.readValue();
        require(reader.position() > before && reader.position() <= bytes.size());
    }
}

// Lets the bytes choose the next operation, so every reader call meets every kind of input.
void walkOperations(const QByteArray &bytes)
{
    static const quint8 tags[] = {0x02, 0x04, 0x05, 0x06, 0x30, 0x41, 0x42, 0x43, 0xA0, 0xA2};
    BerReaderHandle reader(bytes);
    for (int step = 0; step < 4 * bytes.size() + 8 && reader.position() < bytes.size(); ++step) {
        const quint8 choice = quint8(bytes.at((reader.position() + step) % bytes.size()));
        const quint8 tag = tags[(choice >> 3) % (sizeof tags / sizeof tags[0])];
        quint8 byte = 0;
        int length = 0;
        int end = 0;
        qint64 number = 0;
        switch (choice % 7) {
        case 0:
            reader.readByte(&byte);
            break;
        case 1:
            if (reader.readLength(&length))
                require(length >= -1);
            break;
        case 2:
            if (reader.readHeader(tag, &end))
                require(end >= reader.position() && end <= bytes.size() && reader.lastLength() >= 0);
            break;
        case 3:
            reader.readInteger(&number);
            break;
        case 4:
            reader.skipValue(tag);
            break;
        case 5:
            reader.readOid();
            break;
        case 6:
            reader.readValue();
            break;
        }
        require(reader.position() >= 0 && reader.position() <= bytes.size());
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 65536)
        return 0;
    const QByteArray bytes = wrap(data, size);
    checkValues(parseSnmpResponse(bytes));
    walkValues(bytes);
    walkOperations(bytes);
    return 0;
}
