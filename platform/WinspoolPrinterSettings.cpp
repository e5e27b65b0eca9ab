#include "platform/WinspoolPrinterSettings.h"

#include "platform/DevMode.h"
#include "platform/PaperNames.h"

namespace platform {
namespace {

struct PaperNameEntry
{
    qint16 code;
    const char *name;
};

constexpr PaperNameEntry paperNames[] = {
    {devmode::PaperLetter, "Letter"}, {devmode::PaperLegal, "Legal"}, {devmode::PaperExecutive, "Executive"},
    {devmode::PaperA3, "A3"},         {devmode::PaperA4, "A4"},       {devmode::PaperA5, "A5"},
    {devmode::PaperB4, "B4"},         {devmode::PaperB5, "B5"},       {devmode::PaperA6, "A6"},
    {devmode::PaperB6, "B6"},
};

QString paperName(const DevMode &mode)
{
    const quint32 fields = mode.fields();
    if (fields & devmode::FieldFormName) {
        const QString form = mode.formName().trimmed();
        if (!form.isEmpty())
            return form;
    }
    for (const PaperNameEntry &entry : paperNames) {
        if (entry.code == mode.paperSize())
            return QString::fromLatin1(entry.name);
    }
    if ((fields & devmode::FieldPaperWidth) && (fields & devmode::FieldPaperLength) &&
        mode.paperWidth() >= 1 && mode.paperLength() >= 1) {
        return QStringLiteral("%1 × %2 mm")
            .arg(QString::number(mode.paperWidth() / 10.0, 'f', 1),
                 QString::number(mode.paperLength() / 10.0, 'f', 1));
    }
    return QStringLiteral("Driver form #%1").arg(mode.paperSize());
}

Sides sidesOf(qint16 duplex)
{
    if (duplex == devmode::DuplexSimplex)
        return Sides::OneSided;
    return duplex == devmode::DuplexHorizontal ? Sides::TwoSidedShortEdge : Sides::TwoSidedLongEdge;
}

qint16 duplexOf(Sides sides)
{
    if (sides == Sides::OneSided)
        return devmode::DuplexSimplex;
    return sides == Sides::TwoSidedShortEdge ? devmode::DuplexHorizontal : devmode::DuplexVertical;
}

// A DEVMODE as a settings value: its bytes and the choices they hold.
PrinterSettings settingsOf(const QByteArray &bytes)
{
    const DevMode mode(bytes);
    PrinterSettings settings;
    settings.record = bytes;
    settings.copies = mode.copies();
    settings.color = mode.color() == devmode::ColorColor ? ColorMode::Color : ColorMode::Mono;
    settings.sides = sidesOf(mode.duplex());
    settings.paper = paperName(mode);
    return settings;
}

// The record with the value's choices written into it: each choice that is set when `explicitly`, else only
// those that differ from what the record holds.
QByteArray writtenRecord(const PrinterSettings &settings, bool explicitly)
{
    const PrinterSettings held = settingsOf(settings.record);
    DevMode mode(settings.record);
    quint32 fields = mode.fields();
    if (settings.copies && (explicitly || settings.copies != held.copies)) {
        fields |= devmode::FieldCopies;
        mode.setCopies(qint16(*settings.copies));
    }
    if (settings.color && (explicitly || settings.color != held.color)) {
        fields |= devmode::FieldColor;
        mode.setColor(*settings.color == ColorMode::Color ? devmode::ColorColor : devmode::ColorMonochrome);
    }
    if (settings.sides && (explicitly || settings.sides != held.sides)) {
        fields |= devmode::FieldDuplex;
        mode.setDuplex(duplexOf(*settings.sides));
    }
    if (!settings.paper.isEmpty() &&
        (explicitly || settings.paper.compare(held.paper, Qt::CaseInsensitive) != 0)) {
        fields |= devmode::FieldPaperSize;
        mode.setPaperSize(qint16(paperCodeForName(settings.paper)));
    }
    if (fields != mode.fields())
        mode.setFields(fields);
    return mode.bytes();
}

class WinspoolPrinter final : public OpenPrinter
{
public:
    WinspoolPrinter(Winspool &winspool, Winspool::Handle handle, const QString &name)
        : winspool(winspool), handle(handle), name(name)
    {
    }
    ~WinspoolPrinter() override { winspool.closePrinter(handle); }

    SettingsRead userSettings(PrinterSettings *settings) override
    {
        return read(PrinterInfoUserDevMode, settings);
    }

    SettingsRead defaultSettings(PrinterSettings *settings) override
    {
        return read(PrinterInfoGlobalDevMode, settings);
    }

    bool validate(PrinterSettings *settings) override
    {
        QByteArray working = writtenRecord(*settings, true);
        if (winspool.documentProperties(0, handle, name, &working, &working, DocumentPropertiesMerge) !=
            DocumentPropertiesOk)
            return false;
        *settings = settingsOf(working);
        return true;
    }

    SettingsRead currentSettings(PrinterSettings *settings) override
    {
        const int size =
            winspool.documentProperties(0, handle, name, nullptr, nullptr, DocumentPropertiesSize);
        if (size <= 0)
            return SettingsRead::Unavailable;
        QByteArray current(size, '\0');
        if (winspool.documentProperties(0, handle, name, &current, nullptr, DocumentPropertiesOutBuffer) !=
            DocumentPropertiesOk)
            return SettingsRead::Failed;
        *settings = settingsOf(current);
        return SettingsRead::Ok;
    }

    PrinterChoices choices() override { return PrinterChoices(); }

    DialogAnswer runDriverDialog(quintptr parentWindow, PrinterSettings *settings) override
    {
        QByteArray working = writtenRecord(*settings, false);
        const int answer = winspool.documentProperties(parentWindow, handle, name, &working, &working,
                                                       DocumentPropertiesDialog);
        if (answer < 0)
            return DialogAnswer::Failed;
        if (answer != DocumentPropertiesOk)
            return DialogAnswer::Cancelled;
        *settings = settingsOf(working);
        return DialogAnswer::Accepted;
    }

    bool setUserSettings(const PrinterSettings &settings, QString *failure) override
    {
        if (winspool.setPrinter(handle, PrinterInfoUserDevMode, writtenRecord(settings, false), 0))
            return true;
        if (failure)
            *failure = QString::number(winspool.getLastError());
        return false;
    }

private:
    // GetPrinterW at `level`: size query, then the read. Tells the three ways it can fail apart.
    SettingsRead read(quint32 level, PrinterSettings *settings)
    {
        const quint32 needed = winspool.getPrinterSize(handle, level);
        if (needed == 0)
            return SettingsRead::Unavailable;
        QByteArray devMode;
        if (!winspool.getPrinter(handle, level, needed, &devMode))
            return SettingsRead::Failed;
        if (devMode.isNull())
            return SettingsRead::Empty;
        *settings = settingsOf(devMode);
        return SettingsRead::Ok;
    }

    Winspool &winspool;
    const Winspool::Handle handle;
    const QString name;
};

}  // namespace

WinspoolPrinterSettings::WinspoolPrinterSettings(Winspool &winspool) : winspool(winspool) {}

DefaultPrinterRead WinspoolPrinterSettings::defaultPrinter(DefaultPrinter *printer)
{
    *printer = DefaultPrinter();
    const quint32 length = winspool.getDefaultPrinterLength();
    if (length <= 1)
        return DefaultPrinterRead::None;
    return winspool.getDefaultPrinter(length, &printer->name) ? DefaultPrinterRead::Found
                                                              : DefaultPrinterRead::Failed;
}

bool WinspoolPrinterSettings::setDefaultPrinter(const QString &printerName)
{
    return winspool.setDefaultPrinter(printerName);
}

bool WinspoolPrinterSettings::restoreDefaultPrinter(const DefaultPrinter &previous, QString *failure)
{
    if (previous.name.isEmpty() || winspool.setDefaultPrinter(previous.name))
        return true;
    if (failure)
        *failure = QString::number(winspool.getLastError());
    return false;
}

std::unique_ptr<OpenPrinter> WinspoolPrinterSettings::openPrinter(const QString &printerName,
                                                                  QString *failure)
{
    Winspool::Handle handle = 0;
    if (!winspool.openPrinter(printerName, &handle) || handle == 0) {
        if (failure)
            *failure = QString::number(winspool.getLastError());
        return nullptr;
    }
    return std::make_unique<WinspoolPrinter>(winspool, handle, printerName);
}

QStringList WinspoolPrinterSettings::printerNames(QString *failure)
{
    QStringList names;
    if (!winspool.enumPrinters(&names) && failure)
        *failure = QString::number(winspool.getLastError());
    return names;
}

}  // namespace platform
