#include "printing/PrinterSettingsScope.h"

#include "base/I18n.h"
#include "platform/PrinterSettings.h"
#include "platform/SystemTexts.h"
#include "printing/RestoreJournal.h"
#include "printing/SettingsSwitchLock.h"

#include <QMutex>
#include <QMutexLocker>

#include <algorithm>

namespace {

// Held while a switch step of this process runs: a termination waits for it.
QMutex stepGate;
// Under stepGate: no switch step runs any more (the process is ending).
bool ending = false;
// Under stepGate: the journal belongs to a switch of this process that was not put back yet.
bool journalOfThisProcess = false;

bool fail(QString *error, const QString &message)
{
    if (error)
        *error = message;
    return false;
}

}  // namespace

struct PrinterSettingsScope::State
{
    SettingsSwitchLock lock;
    bool switching = false;  // the journal is written: the destructor puts back
    SwitchRecord record;
    std::unique_ptr<platform::OpenPrinter> printer;
};

PrinterSettingsScope::PrinterSettingsScope() : state(std::make_unique<State>()) {}

bool PrinterSettingsScope::apply(const PrintPreset &preset, QString *error)
{
    if (state->lock.isHeld())
        return fail(error, QString());  // applied before
    if (!state->lock.acquire(error))
        return false;
    const QMutexLocker gate(&stepGate);
    if (ending)
        return fail(error, QString());

    // A switch that did not finish (its process is gone) is put back before this one starts.
    QString failure;
    if (RestoreJournal::exists()) {
        SwitchRecord left;
        if (!RestoreJournal::read(&left, &failure) || !RestoreJournal::restore(left, nullptr, &failure) ||
            !RestoreJournal::remove(&failure))
            return fail(
                error, I18n::text("Your printer settings from an interrupted print could not be restored: %1")
                           .arg(failure));
    }

    platform::PrinterSettingsSystem &system = platform::printerSettingsSystem();
    const QString &printerName = preset.printerName;
    SwitchRecord &record = state->record;
    record.owner = platform::currentProcess();
    record.printerName = printerName;

    // 1. The default printer to come back to; none (or an unreadable one) is not an error. It is journaled
    // before anything changes.
    record.previousDefaultRead = system.defaultPrinter(&record.previousDefault);
    if (!RestoreJournal::write(record, &failure))
        return fail(error, I18n::text("The printer settings could not be switched safely: %1").arg(failure));
    state->switching = true;
    journalOfThisProcess = true;

    // 2. The preset's printer.
    state->printer = system.openPrinter(printerName);
    if (!state->printer)
        return fail(error, I18n::text("Printer not found: %1").arg(printerName));
    platform::OpenPrinter &printer = *state->printer;

    // 3. Make it the default printer.
    if (!system.setDefaultPrinter(printerName))
        return fail(error,
                    I18n::text("Unable to temporarily switch the default printer: %1").arg(printerName));

    // 4. and 5. The user's own settings for it, journaled for the way back before they change.
    platform::PrinterSettings user;
    switch (printer.userSettings(&user)) {
    case platform::SettingsRead::Unavailable:
        return fail(error, I18n::text("Unable to read printer defaults: %1").arg(printerName));
    case platform::SettingsRead::Failed:
        return fail(error, I18n::text("Failed to read printer defaults: %1").arg(printerName));
    case platform::SettingsRead::Empty:
        return fail(error, I18n::text("The printer driver did not provide print settings."));
    case platform::SettingsRead::Ok:
        break;
    }
    record.userSettings = user;
    if (!RestoreJournal::write(record, &failure))
        return fail(error, I18n::text("The printer settings could not be switched safely: %1").arg(failure));

    // 6. The base: the printer's clean defaults, or the user's own settings.
    platform::PrinterSettings working = user;
    if (!preset.useDriverSettings) {
        switch (printer.defaultSettings(&working)) {
        case platform::SettingsRead::Unavailable:
        case platform::SettingsRead::Failed:
            return fail(error, I18n::text("Unable to read clean printer defaults: %1").arg(printerName));
        case platform::SettingsRead::Empty:
            return fail(error, I18n::text("The printer driver did not provide clean default settings."));
        case platform::SettingsRead::Ok:
            break;
        }
    }

    // 7. The preset's choices; with the driver's settings only the copies.
    working.copies = std::clamp(preset.copies, 1, 9999);
    if (preset.useDriverSettings) {
        working.color.reset();
        working.sides.reset();
        working.paper.clear();
    } else {
        working.color = preset.colorMode;
        if (preset.duplexMode == DuplexMode::Simplex)
            working.sides = platform::Sides::OneSided;
        else if (preset.duplexEdge == DuplexEdge::Short)
            working.sides = platform::Sides::TwoSidedShortEdge;
        else
            working.sides = platform::Sides::TwoSidedLongEdge;
        working.paper = preset.paperSize.trimmed().isEmpty() ? QStringLiteral("A4") : preset.paperSize;
    }

    // 8. The system validates and merges.
    if (!printer.validate(&working))
        return fail(error, I18n::text("The printer driver rejected these print settings."));

    // 9. The user's settings become the preset's.
    if (!printer.setUserSettings(working, &failure))
        return fail(error,
                    I18n::text(platform::systemText("Unable to apply printer settings (Windows error %1)"))
                        .arg(failure));
    return true;
}

PrinterSettingsScope::~PrinterSettingsScope()
{
    if (!state->switching)
        return;
    const QMutexLocker gate(&stepGate);
    if (!journalOfThisProcess)
        return;  // put back already, for the end of the process
    journalOfThisProcess = false;
    // Complete, the journal goes; otherwise it stays for the next switch or start to put back.
    if (RestoreJournal::restore(state->record, std::move(state->printer)))
        RestoreJournal::remove();
}

bool PrinterSettingsScope::restoreBeforeExit()
{
    const QMutexLocker gate(&stepGate);
    ending = true;
    if (!journalOfThisProcess)
        return false;
    journalOfThisProcess = false;
    SwitchRecord record;
    if (RestoreJournal::read(&record) && RestoreJournal::restore(record, nullptr))
        RestoreJournal::remove();
    return true;
}
