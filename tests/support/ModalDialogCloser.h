#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

// Watches for modal dialogs while a test drives the GUI: each one is recorded as "title|text" (the text of
// a message box; empty for other dialogs) and then closed, as if the user pressed Escape or OK.
class ModalDialogCloser : public QObject
{
public:
    ModalDialogCloser();

    QStringList seen() const { return dialogs; }
    void clear() { dialogs.clear(); }

private:
    void poll();

    QTimer timer;
    QStringList dialogs;
};
