#pragma once

#include "base/Records.h"
#include "printers/PrinterStatusMonitor.h"

#include <QFrame>
#include <QString>

class ElidedLabel;
class QLabel;
class QPushButton;

// One printer preset on the panel: title, printer, sides, hotkey, copies stepper, edit and delete buttons
// and a printer-status badge. A click, a dropped file and the buttons are announced through its signals;
// the card never acts on the store itself.
class PresetCard : public QFrame
{
    Q_OBJECT

public:
    explicit PresetCard(PrintPreset preset, QWidget *parent = nullptr);

    void applyTheme(bool dark);
    void setPrinterStatus(const PrinterStatusSnapshot &snapshot);
    // The preset's printer name trimmed and case-folded; status results are matched by it.
    QString printerKey() const;
    void changeCopies(int delta);

    const PrintPreset &currentPreset() const { return preset; }
    const PrinterStatusSnapshot &printerStatus() const { return status; }

signals:
    // A left click released on the card (`file` empty) or a supported file dropped on it.
    void printRequested(const PrintPreset &preset, const QString &file);
    void editRequested(const PrintPreset &preset);
    void deleteRequested(const PrintPreset &preset);
    // The stepper changed the count; `preset` already carries it.
    void copiesChanged(const PrintPreset &preset, int copies);

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void applyStatusTheme();

    PrintPreset preset;
    bool darkMode = false;
    bool dragActive = false;
    // The variant the edit and delete icons show (iconButton gives them the light one).
    bool iconsDark = false;
    PrinterStatusSnapshot status;

    ElidedLabel *titleLabel = nullptr;
    QLabel *printerLabel = nullptr;
    QLabel *duplexLabel = nullptr;
    QLabel *statusBadge = nullptr;
    QLabel *hotkeyLabel = nullptr;
    QLabel *copiesLabel = nullptr;
    QFrame *copiesControl = nullptr;
    QPushButton *editButton = nullptr;
    QPushButton *deleteButton = nullptr;
    QPushButton *minusButton = nullptr;
    QPushButton *plusButton = nullptr;
};

// The card's title: the preset's title without a trailing paper name, then " · " and the normalised paper
// (A3..B6 cut to two characters); an empty title becomes "Single-sided Color" and the like.
QString displayTitle(const PrintPreset &preset);
