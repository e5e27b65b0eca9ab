#pragma once

#include "base/Records.h"

#include <QString>

class QWidget;

// A printer driver's settings in the program's print vocabulary.
struct NativePrinterOptions
{
    DuplexMode duplexMode = DuplexMode::Simplex;
    DuplexEdge duplexEdge = DuplexEdge::Long;
    ColorMode colorMode = ColorMode::Mono;
    QString paperSize = QStringLiteral("A4");  // the driver's paper name
    int copies = 1;                            // 1..9999
};

// Reading a printer driver's current settings for this user, and its own properties dialog. Called on the GUI
// thread by the preset editor; takes no print lock.
class PrinterProperties
{
public:
    // The printer's current per-user settings. False with a translated message in *error when the printer
    // cannot be opened or its driver gives no settings.
    static bool readNativeSettings(const QString &printerName, NativePrinterOptions *options,
                                   QString *error = nullptr);
    // Shows the driver's modal properties dialog starting from the current settings; when the user confirms,
    // saves the result as the printer's per-user settings and fills *options. True only when confirmed and
    // saved; a cancelled dialog answers false with *error left empty.
    static bool showNativeDialog(QWidget *parent, const QString &printerName, NativePrinterOptions *options,
                                 QString *error = nullptr);
};
