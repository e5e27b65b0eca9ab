#pragma once

#include <QObject>
#include <QString>

class QTimer;
class QWidget;

// Says once, in the status line, what a Wayland desktop keeps from the panel. Without an X server the panel
// cannot read the window in front at all (it says so at start); through the desktop's X server it reads only
// X11 windows, so the first time a window it cannot read is in front (no active window while the panel is not
// the active one), it says that. Nothing on other desktops.
class WaylandNotice : public QObject
{
    Q_OBJECT

public:
    explicit WaylandNotice(QWidget *window);

signals:
    void statusChanged(const QString &message, bool error);

private:
    void check();

    QWidget *window;
    QTimer *timer;
};
