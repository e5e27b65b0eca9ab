#include "platform/linux/QueueOptionsDialog.h"

#include "base/I18n.h"
#include "platform/Spooler.h"
#include "platform/linux/CupsDevMode.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>
#include <QSpinBox>

#include <algorithm>

namespace platform {
namespace {

void selectData(QComboBox *combo, const QVariant &value)
{
    const int index = combo->findData(value);
    if (index >= 0)
        combo->setCurrentIndex(index);
}

}  // namespace

int runQueueOptionsDialog(QWidget *parent, const CupsQueueInfo &queue, DevMode *mode)
{
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("queueOptionsDialog"));
    dialog.setWindowTitle(I18n::text("Printer properties") + QStringLiteral(" · ") + queue.name);
    dialog.setModal(true);

    auto *duplex = new QComboBox(&dialog);
    duplex->setObjectName(QStringLiteral("duplexCombo"));
    duplex->addItem(I18n::text("Single-sided"), int(devmode::DuplexSimplex));
    if (queue.sidesSupported.contains(QLatin1String("two-sided-long-edge")))
        duplex->addItem(I18n::text("Double-sided (long edge)"), int(devmode::DuplexVertical));
    if (queue.sidesSupported.contains(QLatin1String("two-sided-short-edge")))
        duplex->addItem(I18n::text("Double-sided (short edge)"), int(devmode::DuplexHorizontal));
    selectData(duplex, int(mode->duplex()));

    auto *color = new QComboBox(&dialog);
    color->setObjectName(QStringLiteral("colorCombo"));
    const bool colorSupported = queue.colorModesSupported.contains(QLatin1String("color")) ||
                                (queue.colorModesSupported.isEmpty() && queue.colorSupported);
    if (colorSupported)
        color->addItem(I18n::text("Color"), int(devmode::ColorColor));
    color->addItem(I18n::text("Mono"), int(devmode::ColorMonochrome));
    selectData(color, int(mode->color()));

    auto *paper = new QComboBox(&dialog);
    paper->setObjectName(QStringLiteral("paperCombo"));
    for (const QString &media : queue.mediaSupported)
        paper->addItem(cupsMediaDisplayName(media), media);
    const QString currentMedia = cupsJobSettings(*mode).media;
    if (paper->findData(currentMedia) < 0 && !currentMedia.isEmpty())
        paper->addItem(cupsMediaDisplayName(currentMedia), currentMedia);
    selectData(paper, currentMedia);

    auto *copies = new QSpinBox(&dialog);
    copies->setObjectName(QStringLiteral("copiesSpin"));
    copies->setRange(std::max(1, queue.copiesMinimum), std::clamp(queue.copiesMaximum, 1, 9999));
    copies->setValue(mode->copies());

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
        return DocumentPropertiesCancel;

    mode->setDuplex(qint16(duplex->currentData().toInt()));
    mode->setColor(qint16(color->currentData().toInt()));
    mode->setCopies(qint16(copies->value()));
    qint16 code = 0;
    QString name;
    const QString media = paper->currentData().toString();
    if (cupsPaperForMedia(media, &code, &name)) {
        mode->setPaperSize(code);
        mode->setFormName(name);
        mode->setFields(mode->fields() | devmode::FieldPaperSize | devmode::FieldFormName);
    } else if (!media.isEmpty()) {
        mode->setPaperSize(devmode::PaperUser);
        mode->setFormName(media);
        mode->setFields((mode->fields() | devmode::FieldFormName) & ~devmode::FieldPaperSize);
    }
    mode->setFields(mode->fields() | devmode::FieldCopies | devmode::FieldColor | devmode::FieldDuplex);
    return DocumentPropertiesOk;
}

}  // namespace platform
