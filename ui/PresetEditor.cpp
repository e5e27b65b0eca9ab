// The main window's preset editing: the editor dialog and the add, edit and delete actions of the panel.
#include "ui/MainWindow.h"

#include "base/I18n.h"
#include "ui/PresetDialog.h"

#include <QMessageBox>
#include <QPrinterInfo>

bool MainWindow::showPresetDialog(PrintPreset *preset, bool isNew)
{
    if (!preset)
        return false;
    PresetDialog dialog(*preset, isNew, &repository, this);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    dialog.fillPreset(preset);
    return true;
}

void MainWindow::addPrinterPreset()
{
    PrintPreset preset;
    preset.paperSize = QStringLiteral("A4");
    preset.backgroundColor = QStringLiteral("#ff8a00");
    preset.printerName = QPrinterInfo::defaultPrinterName();
    if (!showPresetDialog(&preset, true))
        return;
    QString error;
    if (!repository.addPreset(preset, &error)) {
        setStatus(error, true);
        return;
    }
    rebuildPresetButtons();
    setStatus(I18n::text("Added: %1").arg(preset.title));
}

// The card that asked may be deleted by the rebuild, so the slots work on their own copy of the preset.
void MainWindow::editPreset(const PrintPreset &cardPreset)
{
    PrintPreset preset = cardPreset;
    if (!showPresetDialog(&preset, false))
        return;
    QString error;
    if (!repository.updatePreset(preset, &error)) {
        setStatus(error, true);
        return;
    }
    rebuildPresetButtons();
    setStatus(I18n::text("Saved: %1").arg(preset.title));
}

void MainWindow::deletePreset(const PrintPreset &cardPreset)
{
    const PrintPreset preset = cardPreset;
    const QMessageBox::StandardButton answer =
        QMessageBox::question(this, I18n::text("Delete printer preset"),
                              I18n::text("Delete %1?").arg(preset.title), QMessageBox::Yes | QMessageBox::No);
    if (answer != QMessageBox::Yes)
        return;
    QString error;
    if (!repository.deletePreset(preset.id, &error)) {
        setStatus(error, true);
        return;
    }
    rebuildPresetButtons();
    setStatus(I18n::text("Printer preset deleted"));
}
