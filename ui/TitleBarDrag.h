#pragma once

#include "ui/DockEdge.h"

#include <QObject>
#include <QPoint>

class QWidget;

// Moves a frameless window while the left button drags its title bar. Presses on the bar's buttons stay
// with the buttons. A drag that starts on a docked window first asks for the window to float and then
// holds it by the middle of the bar.
class TitleBarDrag : public QObject
{
    Q_OBJECT

public:
    TitleBarDrag(QWidget *window, QWidget *titleBar);

public slots:
    void setDockEdge(DockEdge edge);

signals:
    void undockRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *window;
    QWidget *titleBar;
    QPoint grabOffset;
    bool dragging = false;
    bool docked = false;
};
