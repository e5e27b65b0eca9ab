#pragma once

#include "base/Records.h"

#include <QDialog>
#include <QList>
#include <QStringList>

class QListWidget;

// Asks which preset to print files with, for the file managers' "Print with preset" actions that cannot list
// the presets themselves: the files' names, then the presets in card order, each with its accent colour,
// title, printer and settings summary. The first preset is selected; Print, Enter or a double click takes
// the selected one.
class PresetChooser : public QDialog
{
    Q_OBJECT

public:
    PresetChooser(const QList<PrintPreset> &presets, const QStringList &files, QWidget *parent = nullptr);

    // The id of the selected preset; 0 when none is selected.
    int chosenPresetId() const;
    // The panel's light or dark colours (without this call, the desktop's own look).
    void setDarkMode(bool dark);

private:
    QListWidget *list;
};
