#include "ui/WaylandNotice.h"

#include "base/I18n.h"
#include "platform/DesktopSession.h"
#include "platform/WindowSystem.h"

#include <QTimer>
#include <QWidget>

WaylandNotice::WaylandNotice(QWidget *window) : QObject(window), window(window), timer(new QTimer(this))
{
    timer->setInterval(1000);
    connect(timer, &QTimer::timeout, this, &WaylandNotice::check);
    const platform::DesktopSession session = platform::desktopSession();
    if (session == platform::DesktopSession::XWayland)
        timer->start();
    else if (session == platform::DesktopSession::WaylandOnly)
        QTimer::singleShot(500, this, [this] {
            emit statusChanged(
                I18n::text("This Wayland desktop has no X display for the panel: it cannot see "
                           "the document in front, so hotkeys and clicks cannot print it. Drop "
                           "files onto a card to print them."),
                true);
        });
}

void WaylandNotice::check()
{
    if (window->isActiveWindow() || platform::windowSystem().foregroundWindow() != 0)
        return;
    timer->stop();
    emit statusChanged(
        I18n::text("The window in front is a Wayland window, which the panel cannot read. Drop "
                   "its file onto a card to print it."),
        true);
}
