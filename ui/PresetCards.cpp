#include "ui/PresetCards.h"

#include "base/I18n.h"
#include "model/PresetRepository.h"
#include "ui/PresetCard.h"
#include "ui/PresetDialog.h"

#include <QLabel>
#include <QMessageBox>
#include <QPrinterInfo>
#include <QScrollArea>
#include <QVBoxLayout>

PresetCards::PresetCards(PresetRepository &repository, QScrollArea *scrollArea, QLabel *dropHint,
                         QWidget *window)
    : QObject(window), repository(repository), scrollArea(scrollArea),
      cardLayout(qobject_cast<QVBoxLayout *>(scrollArea->widget()->layout())), dropHint(dropHint),
      window(window)
{
}

void PresetCards::rebuild()
{
    for (PresetCard *card : std::as_const(shown)) {
        cardLayout->removeWidget(card);
        card->hide();
        card->disconnect(this);
        card->deleteLater();
    }
    shown.clear();

    QString error;
    const QList<PrintPreset> presets = repository.presets(&error);
    for (const PrintPreset &preset : presets) {
        auto *card = new PresetCard(preset, scrollArea->widget());
        connect(card, &PresetCard::printRequested, this, &PresetCards::printRequested);
        connect(card, &PresetCard::editRequested, this, &PresetCards::editPreset);
        connect(card, &PresetCard::deleteRequested, this, &PresetCards::deletePreset);
        connect(card, &PresetCard::copiesChanged, this, &PresetCards::setCopies);
        card->applyTheme(darkMode);
        card->setToolTip(clickToolTip());
        cardLayout->addWidget(card);
        shown.append(card);
    }

    scrollArea->setVisible(!presets.isEmpty());
    scrollArea->setFixedHeight(qMin(106 * int(presets.size()), 360));
    dropHint->setText(
        presets.isEmpty()
            ? I18n::text("Add a printer preset, then drop a file here")
            : I18n::text("Drop a file onto a printer preset to print\nor bring a supported document "
                         "to the foreground"));
    if (!error.isEmpty())
        emit statusChanged(error, true);
    emit cardsRebuilt();
}

bool PresetCards::edit(PrintPreset *preset, bool isNew)
{
    PresetDialog dialog(*preset, isNew, &repository, window);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    dialog.fillPreset(preset);
    return true;
}

void PresetCards::addPreset()
{
    PrintPreset preset;
    preset.paperSize = QStringLiteral("A4");
    preset.backgroundColor = QStringLiteral("#ff8a00");
    preset.printerName = QPrinterInfo::defaultPrinterName();
    if (!edit(&preset, true))
        return;
    QString error;
    if (!repository.addPreset(preset, &error)) {
        emit statusChanged(error, true);
        return;
    }
    rebuild();
    emit statusChanged(I18n::text("Added: %1").arg(preset.title), false);
}

// The card that asked is replaced by the rebuild, so these work on their own copy of the preset.
void PresetCards::editPreset(const PrintPreset &cardPreset)
{
    PrintPreset preset = cardPreset;
    if (!edit(&preset, false))
        return;
    QString error;
    if (!repository.updatePreset(preset, &error)) {
        emit statusChanged(error, true);
        return;
    }
    rebuild();
    emit statusChanged(I18n::text("Saved: %1").arg(preset.title), false);
}

void PresetCards::deletePreset(const PrintPreset &cardPreset)
{
    const PrintPreset preset = cardPreset;
    const QMessageBox::StandardButton answer =
        QMessageBox::question(window, I18n::text("Delete printer preset"),
                              I18n::text("Delete %1?").arg(preset.title), QMessageBox::Yes | QMessageBox::No);
    if (answer != QMessageBox::Yes)
        return;
    QString error;
    if (!repository.deletePreset(preset.id, &error)) {
        emit statusChanged(error, true);
        return;
    }
    rebuild();
    emit statusChanged(I18n::text("Printer preset deleted"), false);
}

void PresetCards::setCopies(const PrintPreset &preset, int copies)
{
    PrintPreset changed = preset;
    changed.copies = copies;
    QString error;
    if (repository.updatePreset(changed, &error))
        emit statusChanged(I18n::text("Copies set to %1").arg(copies), false);
    else
        emit statusChanged(error, true);
}

void PresetCards::setCardsEnabled(bool enabled)
{
    for (PresetCard *card : std::as_const(shown))
        card->setEnabled(enabled);
}

void PresetCards::setForegroundDocument(const QString &name)
{
    foregroundDocument = name;
    for (PresetCard *card : std::as_const(shown))
        card->setToolTip(clickToolTip());
}

QString PresetCards::clickToolTip() const
{
    return foregroundDocument.isEmpty() ? QString() : I18n::text("Click to print %1").arg(foregroundDocument);
}

void PresetCards::setDarkMode(bool dark)
{
    darkMode = dark;
    for (PresetCard *card : std::as_const(shown))
        card->applyTheme(dark);
}

void PresetCards::showPrinterStatus(const QString &printerKey, const PrinterStatusSnapshot &snapshot)
{
    for (PresetCard *card : std::as_const(shown)) {
        if (card->printerKey() == printerKey)
            card->setPrinterStatus(snapshot);
    }
}
