#pragma once

#include "platform/PrinterSettings.h"
#include "platform/Winspool.h"

namespace platform {

// The printer settings of Windows, over winspool: the default printer is GetDefaultPrinterW and
// SetDefaultPrinterW, a printer's user settings are its per-user DEVMODE (GetPrinterW and SetPrinterW level
// 9), its clean defaults the global DEVMODE (level 8), validation and the driver's dialog are
// DocumentPropertiesW. The DEVMODE is the record of a PrinterSettings value; its choices are the DEVMODE's
// dmCopies, dmColor (2 colour, anything else mono), dmDuplex (1 one-sided, 3 short edge, anything else long
// edge) and its paper (the form name when DM_FORMNAME marks a non-blank one, else the name of the DMPAPER
// code, else the custom size "W × H mm" when DM_PAPERWIDTH and DM_PAPERLENGTH mark both, else "Driver form
// #N"). Written choices set their dmFields bit; a paper is written as the DMPAPER code of its name
// (platform/PaperNames.h). Portable: built everywhere, so that it can be run against a fake winspool.
class WinspoolPrinterSettings final : public PrinterSettingsSystem
{
public:
    explicit WinspoolPrinterSettings(Winspool &winspool);

    DefaultPrinterRead defaultPrinter(DefaultPrinter *printer) override;
    bool setDefaultPrinter(const QString &printerName) override;
    bool restoreDefaultPrinter(const DefaultPrinter &previous, QString *failure = nullptr) override;
    std::unique_ptr<OpenPrinter> openPrinter(const QString &printerName, QString *failure = nullptr) override;
    QStringList printerNames(QString *failure = nullptr) override;

private:
    Winspool &winspool;
};

}  // namespace platform
