#include "ui/TitleBarDrag.h"

#include <QMouseEvent>
#include <QWidget>

TitleBarDrag::TitleBarDrag(QWidget *window, QWidget *titleBar)
    : QObject(window), window(window), titleBar(titleBar)
{
    titleBar->installEventFilter(this);
}

void TitleBarDrag::setDockEdge(DockEdge edge)
{
    docked = edge != DockEdge::None;
}

bool TitleBarDrag::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != titleBar)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::LeftButton)
            return false;
        if (!docked) {
            grabOffset = mouse->globalPosition().toPoint() - window->pos();
        } else {
            emit undockRequested();
            grabOffset = QPoint(window->width() / 2, titleBar->height() / 2);
            window->move(mouse->globalPosition().toPoint() - grabOffset);
        }
        dragging = true;
        return true;
    }
    case QEvent::MouseMove: {
        if (!dragging)
            return false;
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->buttons() & Qt::LeftButton)
            window->move(mouse->globalPosition().toPoint() - grabOffset);
        else
            dragging = false;
        return true;
    }
    case QEvent::MouseButtonRelease:
        dragging = false;
        return true;
    case QEvent::MouseButtonDblClick:
        return true;
    default:
        return false;
    }
}
