#include "printing/SelfChecks.h"

#include "platform/Automation.h"
#include "platform/PrinterSettings.h"
#include "platform/SystemTexts.h"
#include "printing/AcrobatDocument.h"
#include "printing/PresetSettings.h"

#include <QFileInfo>

namespace {

SelfCheck finish(bool passed, const QString &message)
{
    return SelfCheck{passed, message};
}

// The default printer's name, or why it could not be had.
struct DefaultPrinter
{
    QString name;
    QString failure;
};

DefaultPrinter defaultPrinter()
{
    DefaultPrinter found;
    platform::DefaultPrinter current;
    switch (platform::printerSettingsSystem().defaultPrinter(&current)) {
    case platform::DefaultPrinterRead::None:
        found.failure = QString::fromUtf8(platform::systemText("No Windows default printer is configured."));
        break;
    case platform::DefaultPrinterRead::Failed:
        found.failure =
            QString::fromUtf8(platform::systemText("The Windows default printer could not be read."));
        break;
    case platform::DefaultPrinterRead::Found:
        found.name = current.name;
        break;
    }
    return found;
}

}  // namespace

SelfCheck checkDriverIsolation()
{
    const DefaultPrinter printer = defaultPrinter();
    if (!printer.failure.isEmpty())
        return finish(false, printer.failure);

    PrintPreset preset;
    preset.printerName = printer.name;
    preset.paperSize = QStringLiteral("A4");
    preset.colorMode = ColorMode::Mono;
    preset.duplexMode = DuplexMode::Simplex;
    preset.duplexEdge = DuplexEdge::Long;
    preset.copies = 1;
    preset.useDriverSettings = false;

    QString error;
    {
        PresetSettings settings;
        error = settings.apply(preset, CopiesFrom::Settings);
    }
    if (!error.isEmpty())
        return finish(false, error);
    return finish(true,
                  QStringLiteral("Clean global driver defaults were accepted and the user's settings were "
                                 "restored; no print job submitted."));
}

SelfCheck checkAcrobatIsolation(const QString &pdfPath)
{
    const QFileInfo file(pdfPath);
    if (!file.exists() || !file.isFile() || !file.isReadable() ||
        file.suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) != 0)
        return finish(false, QStringLiteral("A readable PDF test file is required."));
    if (!platform::automation().hasServers())
        return finish(false,
                      QStringLiteral("Adobe Acrobat is not available on this system; nothing was checked."));

    const platform::AutomationApartment apartment;
    const DefaultPrinter printer = defaultPrinter();
    if (!printer.failure.isEmpty())
        return finish(false, printer.failure);

    // No settings switch and no lock: nothing is printed.
    const std::optional<int> pages = printFileInAcrobat(pdfPath, printer.name, false);
    if (!pages)
        return finish(
            false,
            QStringLiteral("Acrobat did not expose the independent PrintParams required for safe printing."));
    return finish(true,
                  QStringLiteral("Acrobat independent PrintParams available; PDF opened with %1 page(s), no "
                                 "print job submitted.")
                      .arg(*pages));
}
