#include "printers/PrinterProperties.h"

#include "base/I18n.h"
#include "platform/SystemTexts.h"

#include <algorithm>

namespace {

bool fail(QString *error, const QString &message)
{
    if (error)
        *error = message;
    return false;
}

}  // namespace

NativePrinterOptions NativePrinterOptions::of(const platform::PrinterSettings &settings)
{
    NativePrinterOptions options;
    const platform::Sides sides = settings.sides.value_or(platform::Sides::OneSided);
    options.duplexMode = sides == platform::Sides::OneSided ? DuplexMode::Simplex : DuplexMode::Duplex;
    options.duplexEdge = sides == platform::Sides::TwoSidedShortEdge ? DuplexEdge::Short : DuplexEdge::Long;
    options.colorMode = settings.color.value_or(ColorMode::Mono);
    if (!settings.paper.isEmpty())
        options.paperSize = settings.paper;
    options.copies = std::clamp(settings.copies.value_or(1), 1, 9999);
    return options;
}

PrinterProperties::PrinterProperties() = default;
PrinterProperties::~PrinterProperties() = default;

bool PrinterProperties::readNativeSettings(const QString &printerName, NativePrinterOptions *options,
                                           QString *error)
{
    PrinterProperties properties;
    if (!properties.open(printerName, error))
        return false;
    if (options)
        *options = NativePrinterOptions::of(properties.settings());
    return true;
}

bool PrinterProperties::open(const QString &name, QString *error)
{
    printerName = name;
    printer.reset();
    if (name.trimmed().isEmpty())
        return fail(error, I18n::text("Select a printer first."));
    QString failure;
    std::unique_ptr<platform::OpenPrinter> opened =
        platform::printerSettingsSystem().openPrinter(name, &failure);
    if (!opened)
        return fail(error,
                    I18n::text(platform::systemText("Unable to open printer \"%1\" (Windows error %2)"))
                        .arg(name, failure));
    switch (opened->currentSettings(&current)) {
    case platform::SettingsRead::Ok:
        break;
    case platform::SettingsRead::Unavailable:
        return fail(error, I18n::text("This printer driver does not expose configurable properties."));
    case platform::SettingsRead::Failed:
    case platform::SettingsRead::Empty:
        return fail(error, I18n::text("Unable to read printer driver properties."));
    }
    printer = std::move(opened);
    return true;
}

platform::PrinterChoices PrinterProperties::choices() const
{
    return printer ? printer->choices() : platform::PrinterChoices();
}

platform::DialogAnswer PrinterProperties::runDriverDialog(quintptr parentWindow, QString *error)
{
    if (!printer)
        return platform::DialogAnswer::Failed;
    platform::PrinterSettings edited = current;
    const platform::DialogAnswer answer = printer->runDriverDialog(parentWindow, &edited);
    if (answer == platform::DialogAnswer::Accepted)
        current = edited;
    else if (answer == platform::DialogAnswer::Failed)
        fail(error, I18n::text("Unable to open printer driver properties."));
    return answer;
}

bool PrinterProperties::save(const platform::PrinterSettings &settings, QString *error)
{
    QString failure;
    if (!printer || !printer->setUserSettings(settings, &failure))
        return fail(error, I18n::text(platform::systemText(
                                          "Unable to save printer driver properties (Windows error %1)"))
                               .arg(failure));
    current = settings;
    return true;
}
