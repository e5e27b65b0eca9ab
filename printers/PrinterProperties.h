#pragma once

#include "base/Records.h"
#include "platform/PrinterSettings.h"

#include <QString>

#include <memory>

// A printer driver's settings in the program's print vocabulary.
struct NativePrinterOptions
{
    DuplexMode duplexMode = DuplexMode::Simplex;
    DuplexEdge duplexEdge = DuplexEdge::Long;
    ColorMode colorMode = ColorMode::Mono;
    QString paperSize = QStringLiteral("A4");  // the driver's paper name
    int copies = 1;                            // 1..9999

    // The settings in this vocabulary: one-sided is simplex, short edge is short, unset colour is mono.
    static NativePrinterOptions of(const platform::PrinterSettings &settings);
};

// A printer's current settings for this user, opened for the preset editor and the command line: read, shown
// in the driver's own dialog (where the system has one) and saved as the user's settings. Takes no lock:
// whoever saves waits for the settings switch of a print first (see ui/PrinterPropertiesDialog).
class PrinterProperties
{
public:
    PrinterProperties();
    ~PrinterProperties();
    PrinterProperties(const PrinterProperties &) = delete;
    PrinterProperties &operator=(const PrinterProperties &) = delete;

    // The printer's current per-user settings. False with a translated message in *error when no printer is
    // named, it cannot be opened or its driver gives no settings.
    static bool readNativeSettings(const QString &printerName, NativePrinterOptions *options,
                                   QString *error = nullptr);

    // Opens the printer and reads its current settings; false with a translated message as above.
    bool open(const QString &printerName, QString *error = nullptr);
    const platform::PrinterSettings &settings() const { return current; }
    platform::PrinterChoices choices() const;
    // The driver's own modal dialog over the current settings, with the parent's native window (0 for none).
    // Accepted: settings() holds the result, not yet saved. Failed: a translated message in *error.
    // Cancelled: no message. NotOffered: the system has no driver dialog.
    platform::DialogAnswer runDriverDialog(quintptr parentWindow, QString *error = nullptr);
    // Saves the settings as the user's own for the printer; false with a translated message in *error.
    bool save(const platform::PrinterSettings &settings, QString *error = nullptr);

private:
    QString printerName;
    std::unique_ptr<platform::OpenPrinter> printer;
    platform::PrinterSettings current;
};
