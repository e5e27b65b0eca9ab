#pragma once

#include "base/Records.h"

#include <QDialog>
#include <QList>
#include <QString>

class PresetRepository;
class QCheckBox;
class QComboBox;
class QKeySequenceEdit;
class QLabel;
class QLineEdit;
class QPushButton;
struct NativePrinterOptions;

// The modal editor of one printer preset: name, printer, sides, colour, paper, card accent, global hotkey
// and whether the driver's own settings are printed with. It can read the printer driver's current
// settings into the form or open the driver's properties dialog. Save validates the printer and the hotkey
// (unique among the stored presets); fillPreset then writes the form into a preset.
class PresetDialog : public QDialog
{
    Q_OBJECT

public:
    // The six accent swatches, in order.
    static const QStringList &accentSwatches();

    // `repository` supplies the stored presets for the duplicate-hotkey check; it must outlive the dialog.
    PresetDialog(const PrintPreset &preset, bool isNew, const PresetRepository *repository,
                 QWidget *parent = nullptr);

    // Writes the form into `preset` (every field but id and copies; a new preset also gets sortOrder -1).
    void fillPreset(PrintPreset *preset) const;

    // "#RRGGBB" in upper case.
    QString currentAccent() const { return accent; }

private:
    void buildForm();
    void refreshPrinters();
    void setAccent(const QString &color);
    void styleSwatches();
    void chooseCustomAccent();
    void applyDriverOptions(const NativePrinterOptions &options);
    void syncWithDriver();
    void openDriverProperties();
    void setDriverSettingsMode(bool useDriver);
    void validateAndAccept();
    QString hotkeyText() const;

    PrintPreset original;
    bool isNew = false;
    const PresetRepository *repository = nullptr;
    QString accent;

    QLineEdit *nameEdit = nullptr;
    QComboBox *printerCombo = nullptr;
    QPushButton *refreshButton = nullptr;
    QComboBox *duplexCombo = nullptr;
    QComboBox *colorCombo = nullptr;
    QComboBox *paperCombo = nullptr;
    QList<QPushButton *> swatchButtons;
    QPushButton *customColorButton = nullptr;
    QKeySequenceEdit *hotkeyEdit = nullptr;
    QCheckBox *driverSettingsCheck = nullptr;
    QCheckBox *pdfEngineCheck = nullptr;
    QPushButton *driverPropertiesButton = nullptr;
    QLabel *noteLabel = nullptr;
};

// The name a preset without a title gets: sides word, colour word and paper, e.g. "Double-sided Mono A4".
QString generatedPresetName(const PrintPreset &preset);
