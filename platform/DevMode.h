#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace platform {

// DEVMODE dmFields bits and field values the program reads and writes.
namespace devmode {
constexpr quint32 FieldPaperSize = 0x2;     // DM_PAPERSIZE
constexpr quint32 FieldPaperLength = 0x4;   // DM_PAPERLENGTH
constexpr quint32 FieldPaperWidth = 0x8;    // DM_PAPERWIDTH
constexpr quint32 FieldCopies = 0x100;      // DM_COPIES
constexpr quint32 FieldColor = 0x800;       // DM_COLOR
constexpr quint32 FieldDuplex = 0x1000;     // DM_DUPLEX
constexpr quint32 FieldFormName = 0x10000;  // DM_FORMNAME
constexpr qint16 ColorMonochrome = 1;       // DMCOLOR_MONOCHROME
constexpr qint16 ColorColor = 2;            // DMCOLOR_COLOR
constexpr qint16 DuplexSimplex = 1;         // DMDUP_SIMPLEX
constexpr qint16 DuplexVertical = 2;        // DMDUP_VERTICAL (long edge)
constexpr qint16 DuplexHorizontal = 3;      // DMDUP_HORIZONTAL (short edge)
constexpr qint16 PaperLetter = 1;           // DMPAPER_LETTER
constexpr qint16 PaperLegal = 5;            // DMPAPER_LEGAL
constexpr qint16 PaperExecutive = 7;        // DMPAPER_EXECUTIVE
constexpr qint16 PaperA3 = 8;               // DMPAPER_A3
constexpr qint16 PaperA4 = 9;               // DMPAPER_A4
constexpr qint16 PaperA5 = 11;              // DMPAPER_A5
constexpr qint16 PaperB4 = 12;              // DMPAPER_B4 (JIS)
constexpr qint16 PaperB5 = 13;              // DMPAPER_B5 (JIS)
constexpr qint16 PaperA6 = 70;              // DMPAPER_A6
constexpr qint16 PaperB6 = 88;              // DMPAPER_B6_JIS
constexpr qint16 PaperUser = 256;           // DMPAPER_USER (custom size in dmPaperWidth/dmPaperLength)
constexpr int NameLength = 32;              // CCHDEVICENAME, CCHFORMNAME

// Byte offsets of the fields in the DEVMODEW layout (little-endian, UTF-16 names); `Size` is
// sizeof(DEVMODEW).
constexpr int OffsetDeviceName = 0;
constexpr int OffsetSpecVersion = 64;
constexpr int OffsetDriverVersion = 66;
constexpr int OffsetSize = 68;
constexpr int OffsetDriverExtra = 70;
constexpr int OffsetFields = 72;
constexpr int OffsetOrientation = 76;
constexpr int OffsetPaperSize = 78;
constexpr int OffsetPaperLength = 80;
constexpr int OffsetPaperWidth = 82;
constexpr int OffsetScale = 84;
constexpr int OffsetCopies = 86;
constexpr int OffsetDefaultSource = 88;
constexpr int OffsetPrintQuality = 90;
constexpr int OffsetColor = 92;
constexpr int OffsetDuplex = 94;
constexpr int OffsetFormName = 102;
constexpr int Size = 220;
constexpr quint16 SpecVersion = 0x0401;  // DM_SPECVERSION
}  // namespace devmode

// A DEVMODE as raw bytes: the fixed DEVMODEW part followed by dmDriverExtra bytes that belong to the driver.
// On Windows these are the spooler's own DEVMODEW bytes; on Linux the CUPS spooler produces the same layout
// with the queue's other options in the driver-extra bytes. Reading and writing a field touches only its
// bytes, so a record read, written back and read again is byte for byte the same.
class DevMode
{
public:
    DevMode() = default;
    explicit DevMode(QByteArray bytes) : data(std::move(bytes)) {}
    // A zeroed record with dmSize, dmSpecVersion, dmDeviceName and `driverExtra` bytes after the fixed part.
    static DevMode create(const QString &deviceName, const QByteArray &driverExtra = QByteArray());

    // True when the bytes hold at least the fixed part and dmSize plus dmDriverExtra of them.
    bool isValid() const;
    const QByteArray &bytes() const { return data; }

    QString deviceName() const;
    quint16 size() const;
    quint16 driverExtraSize() const;
    QByteArray driverExtra() const;
    quint32 fields() const;
    void setFields(quint32 fields);
    qint16 paperSize() const;
    void setPaperSize(qint16 code);
    qint16 paperLength() const;  // tenths of a millimetre
    void setPaperLength(qint16 tenthsOfMillimetre);
    qint16 paperWidth() const;  // tenths of a millimetre
    void setPaperWidth(qint16 tenthsOfMillimetre);
    qint16 copies() const;
    void setCopies(qint16 copies);
    qint16 color() const;
    void setColor(qint16 color);
    qint16 duplex() const;
    void setDuplex(qint16 duplex);
    // dmFormName up to its first NUL (at most 32 characters).
    QString formName() const;
    void setFormName(const QString &name);

private:
    qint16 readShort(int offset) const;
    void writeShort(int offset, qint16 value);
    QString readName(int offset) const;
    void writeName(int offset, const QString &name);

    QByteArray data;
};

}  // namespace platform
