#include "printers/PrinterProperties.h"

#include "base/I18n.h"
#include "platform/DevMode.h"
#include "platform/Spooler.h"
#include "platform/SystemTexts.h"

#include <QByteArray>

#include <algorithm>

namespace {

using platform::DevMode;
namespace devmode = platform::devmode;

// Closes an open printer on every way out.
class PrinterGuard
{
public:
    explicit PrinterGuard(platform::PrinterHandle printer) : printer(printer) {}
    ~PrinterGuard()
    {
        if (printer)
            platform::spooler().closePrinter(printer);
    }
    PrinterGuard(const PrinterGuard &) = delete;
    PrinterGuard &operator=(const PrinterGuard &) = delete;
    // Hands the open printer to the caller.
    platform::PrinterHandle release()
    {
        const platform::PrinterHandle kept = printer;
        printer = 0;
        return kept;
    }

private:
    platform::PrinterHandle printer;
};

void setError(QString *error, const QString &message)
{
    if (error)
        *error = message;
}

bool openPrinterAndReadMode(const QString &printerName, platform::PrinterHandle *printer, QByteArray *devMode,
                            QString *error)
{
    *printer = 0;
    if (printerName.trimmed().isEmpty()) {
        setError(error, I18n::text("Select a printer first."));
        return false;
    }
    platform::Spooler &spooler = platform::spooler();
    platform::PrinterHandle opened = 0;
    if (!spooler.openPrinter(printerName, &opened) || !opened) {
        const quint32 code = spooler.lastError();
        setError(error, I18n::text(platform::systemText("Unable to open printer \"%1\" (Windows error %2)"))
                            .arg(printerName)
                            .arg(code));
        return false;
    }
    PrinterGuard guard(opened);
    const int size = spooler.documentProperties(nullptr, opened, printerName, nullptr, nullptr,
                                                platform::DocumentPropertiesSize);
    if (size <= 0) {
        setError(error, I18n::text("This printer driver does not expose configurable properties."));
        return false;
    }
    devMode->fill('\0', size);
    if (spooler.documentProperties(nullptr, opened, printerName, devMode, nullptr,
                                   platform::DocumentPropertiesOutBuffer) != platform::DocumentPropertiesOk) {
        setError(error, I18n::text("Unable to read printer driver properties."));
        return false;
    }
    *printer = guard.release();
    return true;
}

struct PaperNameEntry
{
    qint16 code;
    const char *name;
};

constexpr PaperNameEntry paperNames[] = {
    {1, "Letter"}, {5, "Legal"}, {7, "Executive"}, {8, "A3"},  {9, "A4"},
    {11, "A5"},    {12, "B4"},   {13, "B5"},       {70, "A6"}, {88, "B6"},
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

void fillOptions(const DevMode &mode, NativePrinterOptions *options)
{
    if (!options)
        return;
    options->duplexMode = mode.duplex() == devmode::DuplexSimplex ? DuplexMode::Simplex : DuplexMode::Duplex;
    options->duplexEdge = mode.duplex() == devmode::DuplexHorizontal ? DuplexEdge::Short : DuplexEdge::Long;
    options->colorMode = mode.color() == devmode::ColorColor ? ColorMode::Color : ColorMode::Mono;
    options->paperSize = paperName(mode);
    options->copies = std::clamp<int>(mode.copies(), 1, 9999);
}

}  // namespace

bool PrinterProperties::readNativeSettings(const QString &printerName, NativePrinterOptions *options,
                                           QString *error)
{
    platform::PrinterHandle printer = 0;
    QByteArray devMode;
    if (!openPrinterAndReadMode(printerName, &printer, &devMode, error))
        return false;
    const PrinterGuard guard(printer);
    fillOptions(DevMode(devMode), options);
    return true;
}

bool PrinterProperties::showNativeDialog(QWidget *parent, const QString &printerName,
                                         NativePrinterOptions *options, QString *error)
{
    platform::PrinterHandle printer = 0;
    QByteArray devMode;
    if (!openPrinterAndReadMode(printerName, &printer, &devMode, error))
        return false;
    const PrinterGuard guard(printer);
    platform::Spooler &spooler = platform::spooler();
    const int answer = spooler.documentProperties(parent, printer, printerName, &devMode, &devMode,
                                                  platform::DocumentPropertiesDialog);
    if (answer == platform::DocumentPropertiesOk) {
        if (!spooler.setPrinterDevMode(printer, platform::PrinterInfoUserDevMode, devMode)) {
            const quint32 code = spooler.lastError();
            setError(error, I18n::text(platform::systemText(
                                           "Unable to save printer driver properties (Windows error %1)"))
                                .arg(code));
            return false;
        }
        fillOptions(DevMode(devMode), options);
        return true;
    }
    if (answer < 0)
        setError(error, I18n::text("Unable to open printer driver properties."));
    return false;
}
