#include "ui/PrinterChoicesDialog.h"

#include "base/I18n.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>
#include <QSpinBox>

namespace {

void selectData(QComboBox *combo, const QVariant &value)
{
    const int index = combo->findData(value);
    if (index >= 0)
        combo->setCurrentIndex(index);
}

}  // namespace

bool runPrinterChoicesDialog(QWidget *parent, const QString &printerName,
                             const platform::PrinterChoices &choices, platform::PrinterSettings *settings)
{
    using platform::Sides;
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("queueOptionsDialog"));
    dialog.setWindowTitle(I18n::text("Printer properties") + QStringLiteral(" · ") + printerName);
    dialog.setModal(true);

    auto *duplex = new QComboBox(&dialog);
    duplex->setObjectName(QStringLiteral("duplexCombo"));
    duplex->addItem(I18n::text("Single-sided"), int(Sides::OneSided));
    if (choices.sides.contains(Sides::TwoSidedLongEdge))
        duplex->addItem(I18n::text("Double-sided (long edge)"), int(Sides::TwoSidedLongEdge));
    if (choices.sides.contains(Sides::TwoSidedShortEdge))
        duplex->addItem(I18n::text("Double-sided (short edge)"), int(Sides::TwoSidedShortEdge));
    selectData(duplex, int(settings->sides.value_or(Sides::OneSided)));

    auto *color = new QComboBox(&dialog);
    color->setObjectName(QStringLiteral("colorCombo"));
    if (choices.colors.isEmpty() || choices.colors.contains(ColorMode::Color))
        color->addItem(I18n::text("Color"), int(ColorMode::Color));
    color->addItem(I18n::text("Mono"), int(ColorMode::Mono));
    selectData(color, int(settings->color.value_or(ColorMode::Mono)));

    auto *paper = new QComboBox(&dialog);
    paper->setObjectName(QStringLiteral("paperCombo"));
    paper->addItems(choices.papers);
    if (!settings->paper.isEmpty() && paper->findText(settings->paper, Qt::MatchFixedString) < 0)
        paper->addItem(settings->paper);
    paper->setCurrentIndex(qMax(0, paper->findText(settings->paper, Qt::MatchFixedString)));

    auto *copies = new QSpinBox(&dialog);
    copies->setObjectName(QStringLiteral("copiesSpin"));
    copies->setRange(choices.copiesMinimum, choices.copiesMaximum);
    copies->setValue(settings->copies.value_or(1));

    auto *buttons = new QDialogButtonBox(&dialog);
    QPushButton *save = buttons->addButton(I18n::text("Save"), QDialogButtonBox::AcceptRole);
    save->setObjectName(QStringLiteral("saveButton"));
    save->setDefault(true);
    QPushButton *cancel = buttons->addButton(I18n::text("Cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);

    auto *layout = new QFormLayout(&dialog);
    layout->addRow(I18n::text("Duplex"), duplex);
    layout->addRow(I18n::text("Color mode"), color);
    layout->addRow(I18n::text("Paper size"), paper);
    layout->addRow(I18n::text("Copies"), copies);
    layout->addRow(buttons);

    if (dialog.exec() != QDialog::Accepted)
        return false;
    settings->sides = Sides(duplex->currentData().toInt());
    settings->color = ColorMode(color->currentData().toInt());
    settings->copies = copies->value();
    if (!paper->currentText().isEmpty())
        settings->paper = paper->currentText();
    return true;
}
