#pragma once

#include "ui/DockEdge.h"

#include <QObject>
#include <QPoint>
#include <QRect>

class QPropertyAnimation;
class QPushButton;
class QTimer;
class QWidget;

// Docking the panel to the right or top screen edge: the dock menu, the slide out of sight 700 ms after
// the mouse left (an 8-pixel strip with the accent handle stays), the slide back when the mouse touches
// the strip, and the saved edge and floating position ("dock/edge", "dock/floatingPosition"), restored
// once the window is up. Nothing slides away under the mouse, over a menu or dialog, or while a job is
// being submitted.
class EdgeDocking : public QObject
{
    Q_OBJECT

public:
    // Follows `window` (mouse in and out, moves); shows the edge on `dockButton`.
    EdgeDocking(QWidget *window, QPushButton *dockButton, QWidget *edgeHandle);

    DockEdge edge() const { return dockEdge; }
    // False while slid out of sight.
    bool isExpanded() const { return expanded; }
    // True once the start-up restore has run; moves are saved only from then on.
    bool isReady() const { return ready; }
    // The available area of the window's screen.
    QRect screenArea() const;

public slots:
    // Docks (or floats with DockEdge::None) at once; `persist` saves the edge and the floating position.
    void setDockEdge(DockEdge edge, bool persist);
    void showDockMenu();
    void expand();
    void collapse();
    void setBusy(bool busy);
    // The dock button's symbol and tool tip in the current language.
    void updateDockButton();
    // The deferred start-up restore of the saved edge and position (not in a screenshot run).
    void restoreState();

signals:
    void edgeChanged(DockEdge edge);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPoint expandedPosition() const;
    void slideTo(const QPoint &target, bool expand);

    QWidget *window;
    QPushButton *dockButton;
    QWidget *edgeHandle;
    QTimer *collapseTimer;
    QPropertyAnimation *animation = nullptr;
    DockEdge dockEdge = DockEdge::None;
    QPoint floatingPosition;
    bool expanded = true;
    bool ready = false;
    bool busy = false;
};
