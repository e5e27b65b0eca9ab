// The command-line self-check of the printer settings switch: applies the switch to the default printer with
// clean global defaults and undoes it at once, without printing.
#include "printing/PrintService.h"

#include "platform/Spooler.h"
#include "platform/SystemTexts.h"
#include "printing/PrinterSettingsScope.h"

#include <QMutexLocker>

bool PrintService::verifyDriverIsolation(QString *message)
{
    platform::Spooler &spooler = platform::spooler();
    const quint32 length = spooler.defaultPrinterNameLength();
    if (length <= 1) {
        if (message)
            *message = QString::fromUtf8(platform::systemText("No Windows default printer is configured."));
        return false;
    }
    QString printerName;
    if (!spooler.defaultPrinter(length, &printerName)) {
        if (message)
            *message =
                QString::fromUtf8(platform::systemText("The Windows default printer could not be read."));
        return false;
    }

    PrintPreset preset;
    preset.printerName = printerName;
    preset.paperSize = QStringLiteral("A4");
    preset.colorMode = ColorMode::Mono;
    preset.duplexMode = DuplexMode::Simplex;
    preset.duplexEdge = DuplexEdge::Long;
    preset.copies = 1;
    preset.useDriverSettings = false;

    QString error;
    bool applied = false;
    {
        QMutexLocker lock(&printerSettingsMutex);
        PrinterSettingsScope scope;
        applied = scope.apply(preset, &error);
    }
    if (message) {
        *message = applied ? QStringLiteral(
                                 "Clean global driver defaults were accepted and the user's settings were "
                                 "restored; no print job submitted.")
                           : error;
    }
    return applied;
}
