#pragma once

#include "printers/PrinterProperties.h"

#include <QString>

class QWidget;

// The preset editor's driver properties: the driver's own dialog where the system has one (with the
// parent's native window), else the program's own dialog over what the printer offers. A confirmed choice is
// saved as the user's settings for the printer, after any print's settings switch in progress has ended, and
// fills *options. False when cancelled (no message) or when something failed (a translated message in
// *error).
namespace PrinterPropertiesDialog {

bool show(QWidget *parent, const QString &printerName, NativePrinterOptions *options,
          QString *error = nullptr);

}  // namespace PrinterPropertiesDialog
