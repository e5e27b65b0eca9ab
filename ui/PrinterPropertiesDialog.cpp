#include "ui/PrinterPropertiesDialog.h"

#include "printing/SettingsSwitchLock.h"
#include "ui/PrinterChoicesDialog.h"

#include <QWidget>

namespace PrinterPropertiesDialog {

bool show(QWidget *parent, const QString &printerName, NativePrinterOptions *options, QString *error)
{
    PrinterProperties properties;
    if (!properties.open(printerName, error))
        return false;
    const quintptr window = parent ? quintptr(parent->window()->winId()) : 0;
    platform::PrinterSettings chosen = properties.settings();
    switch (properties.runDriverDialog(window, error)) {
    case platform::DialogAnswer::Accepted:
        chosen = properties.settings();
        break;
    case platform::DialogAnswer::NotOffered:
        if (!runPrinterChoicesDialog(parent, printerName, properties.choices(), &chosen))
            return false;
        break;
    case platform::DialogAnswer::Cancelled:
    case platform::DialogAnswer::Failed:
        return false;
    }
    // A print's switch would put its own copy of these settings back over the new ones.
    SettingsSwitchLock turn;
    if (!turn.acquire(error) || !properties.save(chosen, error))
        return false;
    if (options)
        *options = NativePrinterOptions::of(properties.settings());
    return true;
}

}  // namespace PrinterPropertiesDialog
