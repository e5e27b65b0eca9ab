#pragma once

#include "base/Records.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <memory>
#include <optional>

namespace platform {

// How a printer prints on the two sides of the paper.
enum class Sides { OneSided, TwoSidedLongEdge, TwoSidedShortEdge };

// A printer's print settings for the current user, as a typed value: the choices the program reads and
// changes, plus the system's own record of them and of everything else it keeps for the printer (the
// driver-specific remainder).
//
// Reading fills every choice with what the record holds for it (Windows: the DEVMODE field as it stands;
// Linux: the user's saved option, else the queue's default). Writing a value changes only what it asks for:
// a choice that differs from what its record holds is written into the record and the rest of the record is
// left alone, so settings read and written back unchanged leave the system's record byte for byte as it was.
// A value without any choice (restoring()) puts its record back exactly, whatever it holds.
struct PrinterSettings
{
    std::optional<int> copies;       // unset: the record does not say
    std::optional<ColorMode> color;  // unset: the record does not say
    std::optional<Sides> sides;      // unset: the record does not say
    QString paper;                   // the paper's name ("A4", "Letter", a driver's form name); empty: unset
    // The system's own record, opaque to the caller. Windows: the DEVMODE bytes (dmSize + dmDriverExtra).
    // Linux: what the user's lpoptions file holds for the destination (the line, or its absence).
    QByteArray record;

    bool hasChoices() const { return copies || color || sides || !paper.isEmpty(); }
    // The record alone: written back, it restores exactly what was read.
    static PrinterSettings restoring(const QByteArray &record)
    {
        PrinterSettings settings;
        settings.record = record;
        return settings;
    }
};

// How a read of a printer's settings went. The settings switch reports each case in its own words.
enum class SettingsRead {
    Ok,
    Unavailable,  // the system answered no size / nothing to read (Windows: GetPrinterW size 0)
    Failed,       // the read itself failed
    Empty         // the read succeeded but the driver gave no settings (Windows: null pDevMode)
};

// What a printer offers, for a dialog of the program's own over its choices (Linux). Windows printers show
// their driver's dialog instead and offer nothing here.
struct PrinterChoices
{
    int copiesMinimum = 1;
    int copiesMaximum = 9999;
    QList<ColorMode> colors;  // supported colour modes; empty: the printer does not say
    QList<Sides> sides;       // supported sides; empty: the printer does not say
    QStringList papers;       // supported paper names; empty: the printer does not say
};

// The answer of the driver's own properties dialog.
enum class DialogAnswer {
    Accepted,
    Cancelled,
    Failed,     // the dialog could not be shown
    NotOffered  // this system has no driver dialog: the program shows its own over choices()
};

// How a read of the default printer went.
enum class DefaultPrinterRead { Found, None, Failed };

// The user's default printer as the system keeps it: its name and the system's own record of the choice,
// enough to put it back exactly (Linux: the user's lpoptions file as it was, or its absence, or that the
// environment names the default; Windows: the name alone). The record is filled whatever the read answered.
struct DefaultPrinter
{
    QString name;
    QByteArray record;
};

// One printer opened for reading and changing its per-user settings. Closed when destroyed
// (Windows: ClosePrinter).
class OpenPrinter
{
public:
    virtual ~OpenPrinter() = default;

    // The user's own current settings for the printer (Windows: GetPrinterW level 9, size then read).
    virtual SettingsRead userSettings(PrinterSettings *settings) = 0;
    // The printer's clean defaults, without the user's changes (Windows: level 8; Linux: the queue's
    // defaults on the server).
    virtual SettingsRead defaultSettings(PrinterSettings *settings) = 0;
    // Lets the system validate and merge the settings into what the printer supports (Windows:
    // DocumentPropertiesW mode 10; Linux: clamp to the queue's supported values). Every choice that is set
    // is asked for explicitly (Windows: written and marked in dmFields, whatever the record held). On true
    // *settings is the merged result, its choices read from its record. False: rejected.
    virtual bool validate(PrinterSettings *settings) = 0;
    // The settings the printer's driver uses now for the user (Windows: DocumentPropertiesW mode 0 for the
    // size, then mode 2; Linux: the queue's defaults overlaid with the user's saved options).
    virtual SettingsRead currentSettings(PrinterSettings *settings) = 0;
    // What the printer offers (see PrinterChoices).
    virtual PrinterChoices choices() = 0;
    // Shows the driver's own modal properties dialog over `settings` (Windows: DocumentPropertiesW mode 14
    // with the parent's native window, 0 for none); on Accepted *settings holds the result, not yet saved.
    virtual DialogAnswer runDriverDialog(quintptr parentWindow, PrinterSettings *settings) = 0;
    // Makes the settings the user's own for the printer (Windows: SetPrinterW level 9). False with a short
    // description of the system's failure in *failure (Windows: the error number; Linux: what could not be
    // written and why).
    virtual bool setUserSettings(const PrinterSettings &settings, QString *failure) = 0;
};

// The per-user printer settings of the print system: the default printer and each printer's settings.
// Windows: winspool (platform/WinspoolPrinterSettings over platform/Winspool). Linux: CUPS and the user's
// lpoptions file. Every method may be called from any thread; callers serialise changes
// (the settings switch's lock).
class PrinterSettingsSystem
{
public:
    virtual ~PrinterSettingsSystem() = default;

    // Windows: GetDefaultPrinterW, length then name.
    virtual DefaultPrinterRead defaultPrinter(DefaultPrinter *printer) = 0;
    // Makes the printer the user's default (Windows: SetDefaultPrinterW). Linux: nothing is written while
    // LPDEST or PRINTER names the default.
    virtual bool setDefaultPrinter(const QString &printerName) = 0;
    // Puts back a default printer read before: exactly as it was, including none (Windows:
    // SetDefaultPrinterW when a name was read, else nothing). False with a description in *failure when it
    // could not be written.
    virtual bool restoreDefaultPrinter(const DefaultPrinter &previous, QString *failure = nullptr) = 0;
    // Opens a printer by name (Windows: OpenPrinterW with no defaults); null when that fails, with a short
    // description of the system's failure in *failure (Windows: the error number in decimal).
    virtual std::unique_ptr<OpenPrinter> openPrinter(const QString &printerName,
                                                     QString *failure = nullptr) = 0;
    // The installed printers in the system's order; empty with a description in *failure when they cannot
    // be listed.
    virtual QStringList printerNames(QString *failure = nullptr) = 0;
};

// The process's instance: the system's own unless a test installed another.
PrinterSettingsSystem &printerSettingsSystem();
// Installs a replacement (tests); nullptr goes back to the system's own. Not owned.
void setPrinterSettingsSystemForTesting(PrinterSettingsSystem *replacement);
// Defined once per system (platform/win, platform/linux).
std::unique_ptr<PrinterSettingsSystem> createSystemPrinterSettings();

}  // namespace platform
