#pragma once

#include "base/Records.h"
#include "printers/PrinterStatusMonitor.h"

#include <QList>
#include <QObject>
#include <QString>

class PresetCard;
class PresetRepository;
class QLabel;
class QScrollArea;
class QVBoxLayout;
class QWidget;

// The panel's list of preset cards and what is done to presets from the panel: the cards are built from
// the store (again after every change), the editor adds and edits presets, a card's delete button removes
// its preset after a question, and the copies stepper writes the new count. A card being replaced is
// hidden at once and deleted once control is back in the event loop, so a card may ask for its own
// removal from inside its click handler.
class PresetCards : public QObject
{
    Q_OBJECT

public:
    // `scrollArea` holds the cards (its widget is the card host); `dropHint` tells what to do next;
    // `window` parents the dialogs. The repository must outlive this object.
    PresetCards(PresetRepository &repository, QScrollArea *scrollArea, QLabel *dropHint, QWidget *window);

    // The cards shown now, in the store's order.
    const QList<PresetCard *> &cards() const { return shown; }

public slots:
    // Replaces the cards with one per stored preset.
    void rebuild();
    // Opens the editor for a new preset (the default printer, A4, the orange accent) and stores it.
    void addPreset();
    void editPreset(const PrintPreset &preset);
    // Asks first; the preset's hotkey and card go with it.
    void deletePreset(const PrintPreset &preset);
    // Stores the count without rebuilding the cards.
    void setCopies(const PrintPreset &preset, int copies);
    void setCardsEnabled(bool enabled);
    // The document a click would print, named in every card's tool tip (none when empty).
    void setForegroundDocument(const QString &name);
    void setDarkMode(bool dark);
    // Shows a status on the cards of one printer (printer names matched trimmed and case-folded).
    void showPrinterStatus(const QString &printerKey, const PrinterStatusSnapshot &snapshot);

signals:
    // A card was clicked (`file` empty) or a file was dropped on it.
    void printRequested(const PrintPreset &preset, const QString &file);
    void statusChanged(const QString &message, bool error);
    // The cards were built again from the store: hotkeys and printer statuses follow.
    void cardsRebuilt();

private:
    bool edit(PrintPreset *preset, bool isNew);
    QString clickToolTip() const;

    PresetRepository &repository;
    QScrollArea *scrollArea;
    QVBoxLayout *cardLayout;
    QLabel *dropHint;
    QWidget *window;
    QList<PresetCard *> shown;
    QString foregroundDocument;
    bool darkMode = false;
};
