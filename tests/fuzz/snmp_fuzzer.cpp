// libFuzzer target for the SNMP response decoder and its BER reader. The input is wrapped without a copy, so
// a read past its end leaves the fuzzer's exactly sized buffer, where AddressSanitizer sees it.
#include "printers/SnmpInternals.h"

#include <cstdint>
#include <cstdlib>
#include <functional>

using namespace snmp::internals;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 65536)
        return 0;
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), int(size));
    // Every value decoded is a number or a byte string under a dotted OID.
    const snmp::ValueMap values = parseSnmpResponse(bytes);
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        if (it.key().isEmpty() || it.key().startsWith('.') ||
            (it->typeId() != QMetaType::LongLong && it->typeId() != QMetaType::QByteArray))
            std::abort();
    }
    // The reader's calls in an order the bytes choose, so that each call meets every kind of input; the
    // reader never moves back nor past the end.
    BerReaderHandle reader(bytes);
    for (int step = 0; reader.position() < bytes.size() && step < 4 * int(size); ++step) {
        const quint8 choice = quint8(bytes.at((reader.position() + step) % bytes.size()));
        const quint8 tag = quint8("\x02\x04\x05\x06\x30\x41\x42\x43\xA0\xA2"[(choice >> 3) % 10]);
        const int before = reader.position();
        quint8 byte = 0;
        int number = 0;
        qint64 integer = 0;
        const std::function<void()> calls[] = {[&] { reader.readByte(&byte); },
                                               [&] { reader.readLength(&number); },
                                               [&] {
                                                   if (reader.readHeader(tag, &number) &&
                                                       (number < reader.position() || number > bytes.size()))
                                                       std::abort();
                                               },
                                               [&] { reader.readInteger(&integer); },
                                               [&] { reader.skipValue(tag); },
                                               [&] { reader.readOid(); },
                                               [&] { reader.readValue(); }};
        calls[choice % 7]();
        if (reader.position() < before || reader.position() > bytes.size())
            std::abort();
    }
    return 0;
}
