#pragma once

#include "base/Records.h"

#include <QMessageBox>
#include <QTimer>

#include <functional>

// What the panel's tests share, all in the test's own folders.

// The program's identity, English, no settings but the compatibility notice answered.
void startPanelTest();
// A mono single-sided A4 preset with the orange accent.
PrintPreset panelPreset(const QString &title, const QString &printer, int sortOrder = -1);
// Replaces the database with one holding these presets; false when the store failed.
bool storePresets(const QList<PrintPreset> &presets);
QList<PrintPreset> storedPresets();
// Newest first.
QList<PrintHistoryEntry> storedHistory();
// The whole message of the panel's status line (its tool tip).
QString statusMessage(const QWidget &window);

// Answers the modal message boxes that appear meanwhile: each one is recorded as "title|text" and answered
// with `answer` when the box has that button, else with OK. Other dialogs and boxes are left alone.
class ModalDialogCloser : public QObject
{
public:
    explicit ModalDialogCloser(QMessageBox::StandardButton answer = QMessageBox::Ok);

    QStringList seen;

private:
    QTimer timer;
};

// Calls `handle` every 20 ms from the event loop (a modal dialog's or menu's too) until it answers true,
// e.g. once QApplication::activeModalWidget() is the dialog it waits for.
void whenOpen(const std::function<bool()> &handle);
// Clicks `button`, then entry `entry` of the menu it opens; answers the menu's entries (" [x]" marks the
// checked one).
QStringList chooseFromMenu(QWidget *button, int entry);
