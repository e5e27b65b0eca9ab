#pragma once

#include "platform/PrinterSettings.h"

#include <QString>

class QWidget;

// The program's own properties dialog for a printer whose system has no driver dialog (CUPS): duplex,
// colour, paper and copies, limited to what the printer offers and starting from `settings`. Modal. On Save
// the choices are written into *settings and the answer is true; Cancel answers false.
bool runPrinterChoicesDialog(QWidget *parent, const QString &printerName,
                             const platform::PrinterChoices &choices, platform::PrinterSettings *settings);
