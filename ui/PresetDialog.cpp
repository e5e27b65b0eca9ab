#include "ui/PresetDialog.h"

#include "base/I18n.h"
#include "model/PresetRepository.h"
#include "platform/NativeHotkey.h"
#include "ui/PrinterPropertiesDialog.h"

#include <QCheckBox>
#include <QColor>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrinterInfo>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const char *const fallbackAccent = "#ff8a00";

const QStringList &paperNames()
{
    static const QStringList names = {QStringLiteral("A3"),     QStringLiteral("A4"),   QStringLiteral("A5"),
                                      QStringLiteral("A6"),     QStringLiteral("B4"),   QStringLiteral("B5"),
                                      QStringLiteral("Letter"), QStringLiteral("Legal")};
    return names;
}

// A colour text as "#RRGGBB" in upper case; an invalid one becomes the default accent.
QString normalisedAccent(const QString &color)
{
    QColor parsed(color);
    if (!parsed.isValid())
        parsed = QColor(QLatin1String(fallbackAccent));
    return parsed.name(QColor::HexRgb).toUpper();
}

// The duplex combo's items carry the sides (Qt::UserRole) and the binding edge (this role) they stand for.
constexpr int DuplexEdgeRole = Qt::UserRole + 1;

// Duplex combo index for a preset's or a driver's sides: 0 single-sided, 2 short edge, else 1 long edge.
int duplexIndex(DuplexMode duplexMode, DuplexEdge duplexEdge)
{
    if (duplexMode == DuplexMode::Simplex)
        return 0;
    return duplexEdge == DuplexEdge::Short ? 2 : 1;
}

// Colour combo index: 0 mono, 1 colour.
int colorIndex(ColorMode colorMode)
{
    return colorMode == ColorMode::Color ? 1 : 0;
}

void addDuplexItem(QComboBox *combo, const QString &text, DuplexMode mode, DuplexEdge edge)
{
    combo->addItem(text, QVariant::fromValue(mode));
    combo->setItemData(combo->count() - 1, QVariant::fromValue(edge), DuplexEdgeRole);
}

// A key-sequence editor that holds at most one key combination: a further combination replaces it.
class SingleCombinationEdit : public QKeySequenceEdit
{
public:
    SingleCombinationEdit(const QKeySequence &sequence, QWidget *parent) : QKeySequenceEdit(sequence, parent)
    {
        applyPlaceholder();
    }

protected:
    // Qt sets its own English placeholder on the inner line edit; ours follows the panel's language, also
    // after Qt's catalogue changes.
    void changeEvent(QEvent *event) override
    {
        QKeySequenceEdit::changeEvent(event);
        if (event->type() == QEvent::LanguageChange)
            applyPlaceholder();
    }

    void keyPressEvent(QKeyEvent *event) override
    {
        QKeySequenceEdit::keyPressEvent(event);
        const QKeySequence sequence = keySequence();
        if (sequence.count() > 1)
            setKeySequence(QKeySequence(sequence[sequence.count() - 1]));
    }

private:
    void applyPlaceholder()
    {
        if (auto *edit = findChild<QLineEdit *>())
            edit->setPlaceholderText(I18n::text("Press shortcut"));
    }
};

}  // namespace

const QStringList &PresetDialog::accentSwatches()
{
    static const QStringList swatches = {QStringLiteral("#FF8A00"), QStringLiteral("#3B82F6"),
                                         QStringLiteral("#10B981"), QStringLiteral("#8B5CF6"),
                                         QStringLiteral("#EF4444"), QStringLiteral("#64748B")};
    return swatches;
}

PresetDialog::PresetDialog(const PrintPreset &preset, bool isNew, const PresetRepository *repository,
                           QWidget *parent)
    : QDialog(parent), original(preset), isNew(isNew), repository(repository),
      accent(normalisedAccent(preset.backgroundColor))
{
    setObjectName(QStringLiteral("presetDialog"));
    setWindowTitle(isNew ? I18n::text("Add printer preset") : I18n::text("Edit printer preset"));
    setMinimumWidth(470);
    buildForm();
}

void PresetDialog::buildForm()
{
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    layout->addLayout(form);

    nameEdit = new QLineEdit(original.title, this);
    nameEdit->setObjectName(QStringLiteral("presetNameEdit"));
    nameEdit->setPlaceholderText(I18n::text("Leave blank to generate a name, e.g. Mono double-sided A4"));
    form->addRow(I18n::text("Preset name"), nameEdit);

    auto *printerRow = new QHBoxLayout;
    printerCombo = new QComboBox(this);
    printerCombo->setObjectName(QStringLiteral("printerCombo"));
    refreshButton = new QPushButton(I18n::text("Refresh"), this);
    refreshButton->setObjectName(QStringLiteral("refreshPrintersButton"));
    refreshButton->setFixedWidth(58);
    printerRow->addWidget(printerCombo, 1);
    printerRow->addWidget(refreshButton);
    form->addRow(I18n::text("Printer"), printerRow);
    refreshPrinters();

    duplexCombo = new QComboBox(this);
    duplexCombo->setObjectName(QStringLiteral("duplexCombo"));
    // A single-sided preset keeps the long edge as its binding edge.
    addDuplexItem(duplexCombo, I18n::text("Single-sided"), DuplexMode::Simplex, DuplexEdge::Long);
    addDuplexItem(duplexCombo, I18n::text("Double-sided (long edge)"), DuplexMode::Duplex, DuplexEdge::Long);
    addDuplexItem(duplexCombo, I18n::text("Double-sided (short edge)"), DuplexMode::Duplex,
                  DuplexEdge::Short);
    duplexCombo->setCurrentIndex(duplexIndex(original.duplexMode, original.duplexEdge));
    form->addRow(I18n::text("Duplex"), duplexCombo);

    colorCombo = new QComboBox(this);
    colorCombo->setObjectName(QStringLiteral("colorCombo"));
    colorCombo->addItem(I18n::text("Mono"), QVariant::fromValue(ColorMode::Mono));
    colorCombo->addItem(I18n::text("Color"), QVariant::fromValue(ColorMode::Color));
    colorCombo->setCurrentIndex(colorIndex(original.colorMode));
    form->addRow(I18n::text("Color mode"), colorCombo);

    paperCombo = new QComboBox(this);
    paperCombo->setObjectName(QStringLiteral("paperCombo"));
    paperCombo->addItems(paperNames());
    if (!original.paperSize.isEmpty() && !paperNames().contains(original.paperSize))
        paperCombo->addItem(original.paperSize);
    paperCombo->setCurrentText(original.paperSize.isEmpty() ? QStringLiteral("A4") : original.paperSize);
    form->addRow(I18n::text("Paper size"), paperCombo);

    auto *accentRow = new QHBoxLayout;
    for (const QString &color : accentSwatches()) {
        auto *swatch = new QPushButton(this);
        swatch->setObjectName(QStringLiteral("accentSwatch"));
        swatch->setFixedSize(24, 24);
        swatch->setCursor(Qt::PointingHandCursor);
        swatch->setToolTip(color);
        swatch->setProperty("accentColor", color);
        connect(swatch, &QPushButton::clicked, this, [this, color] { setAccent(color); });
        accentRow->addWidget(swatch);
        swatchButtons.append(swatch);
    }
    customColorButton = new QPushButton(I18n::text("Custom…"), this);
    customColorButton->setObjectName(QStringLiteral("customColorButton"));
    customColorButton->setFixedHeight(26);
    customColorButton->setCursor(Qt::PointingHandCursor);
    connect(customColorButton, &QPushButton::clicked, this, &PresetDialog::chooseCustomAccent);
    accentRow->addWidget(customColorButton);
    accentRow->addStretch();
    form->addRow(I18n::text("Card accent"), accentRow);
    styleSwatches();

    hotkeyEdit = new SingleCombinationEdit(
        QKeySequence::fromString(original.hotkey, QKeySequence::PortableText), this);
    hotkeyEdit->setObjectName(QStringLiteral("hotkeyEdit"));
    hotkeyEdit->setClearButtonEnabled(true);
    hotkeyEdit->setToolTip(
        I18n::text("Use Ctrl, Alt, Shift or Win with a letter, number or F1-F24. Leave blank to disable."));
    form->addRow(I18n::text("Global hotkey"), hotkeyEdit);

    driverSettingsCheck = new QCheckBox(I18n::text("Use driver settings exactly when printing"), this);
    driverSettingsCheck->setObjectName(QStringLiteral("driverSettingsCheck"));
    driverSettingsCheck->setChecked(original.useDriverSettings);
    form->addRow(QString(), driverSettingsCheck);

    auto *driverRow = new QHBoxLayout;
    driverPropertiesButton = new QPushButton(I18n::text("Open driver properties…"), this);
    driverPropertiesButton->setObjectName(QStringLiteral("driverPropertiesButton"));
    driverRow->addWidget(driverPropertiesButton);
    driverRow->addStretch();
    layout->addLayout(driverRow);

    noteLabel =
        new QLabel(I18n::text("Adjust copies on the printer card; configure the other options here."), this);
    noteLabel->setObjectName(QStringLiteral("noteLabel"));
    noteLabel->setStyleSheet(QStringLiteral("color:#667085;"));
    layout->addWidget(noteLabel);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("buttonBox"));
    buttons->button(QDialogButtonBox::Ok)->setText(I18n::text("Save"));
    buttons->button(QDialogButtonBox::Cancel)->setText(I18n::text("Cancel"));
    layout->addWidget(buttons);

    if (driverSettingsCheck->isChecked()) {
        setDriverSettingsMode(true);
        syncWithDriver();
    }

    connect(refreshButton, &QPushButton::clicked, this, &PresetDialog::refreshPrinters);
    connect(driverSettingsCheck, &QCheckBox::toggled, this, [this](bool checked) {
        setDriverSettingsMode(checked);
        if (checked)
            syncWithDriver();
    });
    connect(printerCombo, &QComboBox::currentTextChanged, this, [this] {
        if (driverSettingsCheck->isChecked())
            syncWithDriver();
    });
    connect(driverPropertiesButton, &QPushButton::clicked, this, &PresetDialog::openDriverProperties);
    connect(buttons, &QDialogButtonBox::accepted, this, &PresetDialog::validateAndAccept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void PresetDialog::refreshPrinters()
{
    QString remembered = printerCombo->currentText();
    if (remembered.isEmpty())
        remembered = original.printerName;

    printerCombo->clear();
    printerCombo->addItems(QPrinterInfo::availablePrinterNames());
    if (!remembered.isEmpty() &&
        printerCombo->findText(remembered, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0)
        printerCombo->addItem(remembered);

    printerCombo->setCurrentIndex(
        printerCombo->findText(remembered, Qt::MatchExactly | Qt::MatchCaseSensitive));
    if (printerCombo->currentText().isEmpty()) {
        printerCombo->setCurrentIndex(printerCombo->findText(QPrinterInfo::defaultPrinterName(),
                                                             Qt::MatchExactly | Qt::MatchCaseSensitive));
    }
}

void PresetDialog::setAccent(const QString &color)
{
    accent = normalisedAccent(color);
    styleSwatches();
}

void PresetDialog::styleSwatches()
{
    for (QPushButton *swatch : std::as_const(swatchButtons)) {
        const QString color = swatch->property("accentColor").toString();
        const bool selected = color.compare(accent, Qt::CaseInsensitive) == 0;
        swatch->setStyleSheet(
            QStringLiteral("QPushButton{background:%1;border:%2px solid %3;border-radius:12px;"
                           "padding:0;}QPushButton:hover{border-color:#111827;}")
                .arg(color, selected ? QStringLiteral("3") : QStringLiteral("1"),
                     selected ? QStringLiteral("#111827") : QStringLiteral("#cbd0d8")));
    }
    customColorButton->setToolTip(I18n::text("Current color: %1").arg(accent));
    customColorButton->setStyleSheet(
        QStringLiteral("QPushButton{background:white;color:#344054;border:2px solid %1;border-radius:6px;"
                       "padding:2px 10px;}QPushButton:hover{background:#f8fafc;}")
            .arg(accent));
}

void PresetDialog::chooseCustomAccent()
{
    const QColor chosen =
        QColorDialog::getColor(QColor(accent), this, I18n::text("Choose card accent color"));
    if (chosen.isValid())
        setAccent(chosen.name(QColor::HexRgb));
}

void PresetDialog::applyDriverOptions(const NativePrinterOptions &options)
{
    duplexCombo->setCurrentIndex(duplexIndex(options.duplexMode, options.duplexEdge));
    colorCombo->setCurrentIndex(colorIndex(options.colorMode));
    int paper = paperCombo->findText(options.paperSize, Qt::MatchFixedString);  // ignoring case
    if (paper < 0) {
        paperCombo->addItem(options.paperSize);
        paper = paperCombo->count() - 1;
    }
    paperCombo->setCurrentIndex(paper);
}

void PresetDialog::syncWithDriver()
{
    NativePrinterOptions options;
    if (!PrinterProperties::readNativeSettings(printerCombo->currentText(), &options, nullptr))
        return;
    applyDriverOptions(options);
    noteLabel->setText(
        I18n::text("Synced with driver: %1, %2, %3")
            .arg(duplexCombo->currentText(), colorCombo->currentText(), paperCombo->currentText()));
}

void PresetDialog::openDriverProperties()
{
    NativePrinterOptions options;
    QString error;
    if (!PrinterPropertiesDialog::show(this, printerCombo->currentText(), &options, &error)) {
        if (!error.isEmpty())
            QMessageBox::warning(this, I18n::text("Printer properties"), error);
        return;
    }
    applyDriverOptions(options);
    driverSettingsCheck->setChecked(true);
    noteLabel->setText(
        I18n::text("Driver properties read and saved: %1, %2, %3.")
            .arg(duplexCombo->currentText(), colorCombo->currentText(), paperCombo->currentText()));
}

void PresetDialog::setDriverSettingsMode(bool useDriver)
{
    duplexCombo->setEnabled(!useDriver);
    colorCombo->setEnabled(!useDriver);
    paperCombo->setEnabled(!useDriver);
}

QString PresetDialog::hotkeyText() const
{
    return hotkeyEdit->keySequence().toString(QKeySequence::PortableText);
}

void PresetDialog::validateAndAccept()
{
    if (printerCombo->currentText().trimmed().isEmpty()) {
        QMessageBox::warning(this, I18n::text("No printer selected"),
                             I18n::text("Install a printer in Windows, then click Refresh."));
        return;
    }
    const QString hotkey = hotkeyText();
    if (hotkey.isEmpty()) {
        accept();
        return;
    }
    if (!nativeHotkey(hotkey, nullptr, nullptr)) {
        QMessageBox::warning(
            this, I18n::text("Invalid hotkey"),
            I18n::text(
                "The hotkey must include Ctrl, Alt, Shift or Win and use a letter, number or F1-F24."));
        return;
    }
    const QList<PrintPreset> stored = repository ? repository->presets() : QList<PrintPreset>();
    for (const PrintPreset &other : stored) {
        if (other.id != original.id && other.hotkey.compare(hotkey, Qt::CaseInsensitive) == 0) {
            QMessageBox::warning(
                this, I18n::text("Duplicate hotkey"),
                I18n::text("%1 already uses %2. Choose another combination.").arg(other.title, hotkey));
            return;
        }
    }
    accept();
}

void PresetDialog::fillPreset(PrintPreset *preset) const
{
    if (!preset)
        return;
    preset->printerName = printerCombo->currentText();
    preset->duplexMode = duplexCombo->currentData().value<DuplexMode>();
    preset->duplexEdge = duplexCombo->currentData(DuplexEdgeRole).value<DuplexEdge>();
    preset->colorMode = colorCombo->currentData().value<ColorMode>();
    preset->paperSize = paperCombo->currentText();
    preset->useDriverSettings = driverSettingsCheck->isChecked();
    preset->backgroundColor = accent;
    preset->hotkey = hotkeyText();
    preset->title = nameEdit->text().trimmed();
    if (preset->title.isEmpty())
        preset->title = generatedPresetName(*preset);
    if (isNew)
        preset->sortOrder = -1;
}

QString generatedPresetName(const PrintPreset &preset)
{
    const QString sides =
        preset.duplexMode == DuplexMode::Simplex ? I18n::text("Single-sided") : I18n::text("Double-sided");
    const QString color = preset.colorMode == ColorMode::Color ? I18n::text("Color") : I18n::text("Mono");
    return sides + QLatin1Char(' ') + color + QLatin1Char(' ') + preset.paperSize;
}
