#include "ModalDialogCloser.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>

ModalDialogCloser::ModalDialogCloser()
{
    timer.setInterval(20);
    connect(&timer, &QTimer::timeout, this, &ModalDialogCloser::poll);
    timer.start();
}

void ModalDialogCloser::poll()
{
    auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
    if (!dialog || !dialog->isVisible())
        return;
    auto *box = qobject_cast<QMessageBox *>(dialog);
    dialogs.append(dialog->windowTitle() + QLatin1Char('|') + (box ? box->text() : QString()));
    if (box && box->button(QMessageBox::Ok))
        box->button(QMessageBox::Ok)->click();
    else
        dialog->reject();
}
