#pragma once

#include "platform/PrinterSettings.h"

namespace platform {

// The printer settings of CUPS. The default printer is the user's default destination: LPDEST, PRINTER (but
// not "lp"), the Default line of ~/.cups/lpoptions, the Default line of the system's lpoptions, the server's
// default. A printer's user settings are the user's saved options for the destination ("queue" or
// "queue/instance") in ~/.cups/lpoptions; its clean defaults are the queue's defaults on the server;
// validation clamps the choices to the values the queue supports; the queue offers its supported values for
// the program's own dialog, there is no driver dialog.
//
// The record of a user's settings is the destination's line of ~/.cups/lpoptions, or that it has none, or
// that there is no file; the record of the default printer is the whole file as it was (or its absence), or
// that the environment names the default. Switching writes only the lines it must (the destination's, the
// Default line); putting a record back restores exactly those lines, so that lines someone else changed in
// the meantime stay as they are. While LPDEST or PRINTER is set the Default line is neither written nor
// restored. Failures are described by CUPS's own text or by the file that could not be written and why.
class CupsPrinterSettings final : public PrinterSettingsSystem
{
public:
    DefaultPrinterRead defaultPrinter(DefaultPrinter *printer) override;
    bool setDefaultPrinter(const QString &printerName) override;
    bool restoreDefaultPrinter(const DefaultPrinter &previous, QString *failure = nullptr) override;
    std::unique_ptr<OpenPrinter> openPrinter(const QString &printerName, QString *failure = nullptr) override;
    QStringList printerNames(QString *failure = nullptr) override;
};

}  // namespace platform
