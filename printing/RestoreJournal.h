#pragma once

#include "platform/PrinterSettings.h"
#include "platform/ProcessGuards.h"

#include <QString>

#include <memory>
#include <optional>

// What a printer settings switch must put back: the previous default printer with the system's record of it,
// the printer, and (once read) the user's own settings for it.
struct SwitchRecord
{
    platform::ProcessIdentity owner;  // the process that switched
    QString printerName;
    platform::DefaultPrinterRead previousDefaultRead = platform::DefaultPrinterRead::None;
    platform::DefaultPrinter previousDefault;
    std::optional<platform::PrinterSettings> userSettings;
};

// The restore journal: a switch's record, kept in the user's data folder (printer-settings.journal beside the
// database) from before the switch changes anything until all of it is back, written durably. Whoever finds
// one left by a process that is gone puts it back the same way the switch itself does.
namespace RestoreJournal {

QString path();
bool exists();
// Writes the record durably; false with a description in *failure.
bool write(const SwitchRecord &record, QString *failure = nullptr);
// Reads the record; false with a description in *failure when the file is missing or damaged.
bool read(SwitchRecord *record, QString *failure = nullptr);
bool remove(QString *failure = nullptr);

// The one way back, for a switch that ends and for a journal found later, in this order: the user's own
// settings are written back (through `printer` when it is still open, else it is opened), the printer is
// closed, then the previous default printer is put back. False with a description in *failure when any of
// it could not be put back; the rest is put back all the same.
bool restore(const SwitchRecord &record, std::unique_ptr<platform::OpenPrinter> printer,
             QString *failure = nullptr);

// For the start of a program: a journal left by a process that is gone (and no switch in progress) is put
// back and removed. *report receives one translated sentence that says what was put back, or why it could
// not be; it stays empty when there was nothing to do. False when a journal could not be put back.
bool recoverInterruptedSwitch(QString *report);

}  // namespace RestoreJournal
