#include "platform/DevMode.h"

#include <QtEndian>

#include <cstring>

namespace platform {

DevMode DevMode::create(const QString &deviceName, const QByteArray &driverExtra)
{
    DevMode mode(QByteArray(devmode::Size + driverExtra.size(), '\0'));
    mode.writeName(devmode::OffsetDeviceName, deviceName);
    qToLittleEndian<quint16>(devmode::SpecVersion, mode.data.data() + devmode::OffsetSpecVersion);
    qToLittleEndian<quint16>(devmode::Size, mode.data.data() + devmode::OffsetSize);
    qToLittleEndian<quint16>(quint16(driverExtra.size()), mode.data.data() + devmode::OffsetDriverExtra);
    if (!driverExtra.isEmpty())
        std::memcpy(mode.data.data() + devmode::Size, driverExtra.constData(), size_t(driverExtra.size()));
    return mode;
}

bool DevMode::isValid() const
{
    return data.size() >= devmode::Size && size() >= devmode::Size &&
           data.size() >= int(size()) + int(driverExtraSize());
}

QString DevMode::deviceName() const
{
    return readName(devmode::OffsetDeviceName);
}

quint16 DevMode::size() const
{
    if (data.size() < devmode::OffsetSize + 2)
        return 0;
    return qFromLittleEndian<quint16>(data.constData() + devmode::OffsetSize);
}

quint16 DevMode::driverExtraSize() const
{
    if (data.size() < devmode::OffsetDriverExtra + 2)
        return 0;
    return qFromLittleEndian<quint16>(data.constData() + devmode::OffsetDriverExtra);
}

QByteArray DevMode::driverExtra() const
{
    if (!isValid())
        return QByteArray();
    return data.mid(size(), driverExtraSize());
}

quint32 DevMode::fields() const
{
    if (data.size() < devmode::OffsetFields + 4)
        return 0;
    return qFromLittleEndian<quint32>(data.constData() + devmode::OffsetFields);
}

void DevMode::setFields(quint32 fields)
{
    if (data.size() >= devmode::OffsetFields + 4)
        qToLittleEndian<quint32>(fields, data.data() + devmode::OffsetFields);
}

qint16 DevMode::paperSize() const
{
    return readShort(devmode::OffsetPaperSize);
}

void DevMode::setPaperSize(qint16 code)
{
    writeShort(devmode::OffsetPaperSize, code);
}

qint16 DevMode::paperLength() const
{
    return readShort(devmode::OffsetPaperLength);
}

void DevMode::setPaperLength(qint16 tenthsOfMillimetre)
{
    writeShort(devmode::OffsetPaperLength, tenthsOfMillimetre);
}

qint16 DevMode::paperWidth() const
{
    return readShort(devmode::OffsetPaperWidth);
}

void DevMode::setPaperWidth(qint16 tenthsOfMillimetre)
{
    writeShort(devmode::OffsetPaperWidth, tenthsOfMillimetre);
}

qint16 DevMode::copies() const
{
    return readShort(devmode::OffsetCopies);
}

void DevMode::setCopies(qint16 copies)
{
    writeShort(devmode::OffsetCopies, copies);
}

qint16 DevMode::color() const
{
    return readShort(devmode::OffsetColor);
}

void DevMode::setColor(qint16 color)
{
    writeShort(devmode::OffsetColor, color);
}

qint16 DevMode::duplex() const
{
    return readShort(devmode::OffsetDuplex);
}

void DevMode::setDuplex(qint16 duplex)
{
    writeShort(devmode::OffsetDuplex, duplex);
}

QString DevMode::formName() const
{
    return readName(devmode::OffsetFormName);
}

void DevMode::setFormName(const QString &name)
{
    writeName(devmode::OffsetFormName, name);
}

qint16 DevMode::readShort(int offset) const
{
    if (data.size() < offset + 2)
        return 0;
    return qFromLittleEndian<qint16>(data.constData() + offset);
}

void DevMode::writeShort(int offset, qint16 value)
{
    if (data.size() >= offset + 2)
        qToLittleEndian<qint16>(value, data.data() + offset);
}

QString DevMode::readName(int offset) const
{
    if (data.size() < offset + 2 * devmode::NameLength)
        return QString();
    QString name;
    for (int i = 0; i < devmode::NameLength; ++i) {
        const char16_t unit = qFromLittleEndian<quint16>(data.constData() + offset + 2 * i);
        if (unit == 0)
            break;
        name.append(QChar(unit));
    }
    return name;
}

void DevMode::writeName(int offset, const QString &name)
{
    if (data.size() < offset + 2 * devmode::NameLength)
        return;
    // At most 31 characters, so that the name always ends with a NUL as the spooler writes it.
    const QString kept = name.left(devmode::NameLength - 1);
    for (int i = 0; i < devmode::NameLength; ++i) {
        const quint16 unit = i < kept.size() ? kept.at(i).unicode() : 0;
        qToLittleEndian<quint16>(unit, data.data() + offset + 2 * i);
    }
}

}  // namespace platform
