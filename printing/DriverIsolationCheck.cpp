// The command-line self-check of the printer settings switch: applies the switch to the default printer with
// clean global defaults and undoes it at once, without printing.
#include "printing/PrintService.h"

#include "platform/PrinterSettings.h"
#include "platform/SystemTexts.h"
#include "printing/PrinterSettingsScope.h"

bool PrintService::verifyDriverIsolation(QString *message)
{
    const auto finish = [message](bool passed, const QString &text) {
        if (message)
            *message = text;
        return passed;
    };
    platform::DefaultPrinter current;
    switch (platform::printerSettingsSystem().defaultPrinter(&current)) {
    case platform::DefaultPrinterRead::None:
        return finish(false,
                      QString::fromUtf8(platform::systemText("No Windows default printer is configured.")));
    case platform::DefaultPrinterRead::Failed:
        return finish(
            false, QString::fromUtf8(platform::systemText("The Windows default printer could not be read.")));
    case platform::DefaultPrinterRead::Found:
        break;
    }

    PrintPreset preset;
    preset.printerName = current.name;
    preset.paperSize = QStringLiteral("A4");
    preset.colorMode = ColorMode::Mono;
    preset.duplexMode = DuplexMode::Simplex;
    preset.duplexEdge = DuplexEdge::Long;
    preset.copies = 1;
    preset.useDriverSettings = false;

    QString error;
    bool applied = false;
    {
        PrinterSettingsScope scope;
        applied = scope.apply(preset, &error);
    }
    return finish(applied, applied
                               ? QStringLiteral("Clean global driver defaults were accepted and the user's "
                                                "settings were restored; no print job submitted.")
                               : error);
}
