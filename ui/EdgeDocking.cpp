#include "ui/EdgeDocking.h"

#include "base/I18n.h"
#include "base/SettingsKeys.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QEasingCurve>
#include <QEvent>
#include <QMenu>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QTimer>
#include <QWidget>

namespace {

// The "dock/edge" setting's words; any other text is floating.
QString dockEdgeSetting(DockEdge edge)
{
    switch (edge) {
    case DockEdge::Right:
        return QStringLiteral("right");
    case DockEdge::Top:
        return QStringLiteral("top");
    case DockEdge::None:
        break;
    }
    return QStringLiteral("none");
}

DockEdge dockEdgeFromSetting(const QString &text)
{
    if (text == QLatin1String("right"))
        return DockEdge::Right;
    if (text == QLatin1String("top"))
        return DockEdge::Top;
    return DockEdge::None;
}

constexpr int handleThickness = 8;
constexpr int handleLength = 80;

}  // namespace

EdgeDocking::EdgeDocking(QWidget *window, QPushButton *dockButton, QWidget *edgeHandle)
    : QObject(window), window(window), dockButton(dockButton), edgeHandle(edgeHandle),
      collapseTimer(new QTimer(this))
{
    collapseTimer->setSingleShot(true);
    collapseTimer->setInterval(700);
    connect(collapseTimer, &QTimer::timeout, this, &EdgeDocking::collapse);
    window->installEventFilter(this);
    updateDockButton();
}

QRect EdgeDocking::screenArea() const
{
    QScreen *current = window->screen();
    if (!current)
        current = QGuiApplication::primaryScreen();
    if (!current)
        return QRect(0, 0, 1280, 800);
    return current->availableGeometry();
}

QPoint EdgeDocking::expandedPosition() const
{
    const QRect area = screenArea();
    const QSize size = window->frameSize().expandedTo(window->size());
    if (dockEdge == DockEdge::Right) {
        const int x = area.right() - size.width() + 1;
        const int y = floatingPosition.isNull() ? area.top() : floatingPosition.y();
        return QPoint(x, qBound(area.top(), y, qMax(area.top(), area.bottom() - size.height() + 1)));
    }
    const int x = floatingPosition.isNull() ? area.center().x() - size.width() / 2 : floatingPosition.x();
    return QPoint(qBound(area.left(), x, qMax(area.left(), area.right() - size.width() + 1)), area.top());
}

void EdgeDocking::setDockEdge(DockEdge edge, bool persist)
{
    if (dockEdge == DockEdge::None && edge != DockEdge::None)
        floatingPosition = window->pos();

    collapseTimer->stop();
    if (animation) {
        animation->stop();
        animation->deleteLater();
        animation = nullptr;
    }

    dockEdge = edge;
    expanded = true;
    edgeHandle->hide();

    if (dockEdge == DockEdge::None) {
        const QRect area = screenArea();
        window->move(
            qBound(area.left(), floatingPosition.x(), qMax(area.left(), area.right() - window->width() + 1)),
            qBound(area.top(), floatingPosition.y(), qMax(area.top(), area.bottom() - window->height() + 1)));
    } else {
        window->move(expandedPosition());
        const int width = window->width();
        const int height = window->height();
        if (dockEdge == DockEdge::Right) {
            edgeHandle->setGeometry(0, qMax(0, (height - handleLength) / 2), handleThickness,
                                    qMin(height, handleLength));
        } else {
            edgeHandle->setGeometry(qMax(0, (width - handleLength) / 2), qMax(0, height - handleThickness),
                                    qMin(width, handleLength), handleThickness);
        }
        edgeHandle->raise();
        if (ready)
            collapseTimer->start();
    }

    updateDockButton();

    if (persist) {
        QSettings settings;
        settings.setValue(QLatin1String(SettingsKeys::DockEdge), dockEdgeSetting(dockEdge));
        settings.setValue(QLatin1String(SettingsKeys::FloatingPosition), floatingPosition);
    }
    emit edgeChanged(dockEdge);
}

void EdgeDocking::updateDockButton()
{
    if (dockEdge == DockEdge::Right) {
        dockButton->setText(QString(QChar(0x21E5)));
        dockButton->setToolTip(I18n::text("Docked to the right; click to change position"));
    } else if (dockEdge == DockEdge::Top) {
        dockButton->setText(QString(QChar(0x21E7)));
        dockButton->setToolTip(I18n::text("Docked to the top; click to change position"));
    } else {
        dockButton->setText(QString(QChar(0x25C7)));
        dockButton->setToolTip(I18n::text("Floating window; click to change position"));
    }
}

void EdgeDocking::showDockMenu()
{
    collapseTimer->stop();

    QMenu menu(window);
    menu.setObjectName(QStringLiteral("dockMenu"));
    const auto addEntry = [&](QChar symbol, const char *text, DockEdge edge) {
        QAction *action = menu.addAction(QString(symbol) + QStringLiteral("  ") + I18n::text(text));
        action->setCheckable(true);
        action->setChecked(dockEdge == edge);
        action->setData(QVariant::fromValue(edge));
    };
    addEntry(QChar(0x25C7), "Floating window", DockEdge::None);
    addEntry(QChar(0x21E5), "Dock to right edge", DockEdge::Right);
    addEntry(QChar(0x21E7), "Dock to top edge", DockEdge::Top);

    const QPoint corner(dockButton->width() - menu.sizeHint().width(), dockButton->height() + 4);
    QAction *chosen = menu.exec(dockButton->mapToGlobal(corner));
    if (chosen)
        setDockEdge(chosen->data().value<DockEdge>(), true);
}

void EdgeDocking::slideTo(const QPoint &target, bool expand)
{
    if (animation) {
        animation->stop();
        animation->deleteLater();
        animation = nullptr;
    }
    expanded = expand;
    if (!expand) {
        edgeHandle->show();
        edgeHandle->raise();
    }
    if (window->pos() == target) {
        if (expand)
            edgeHandle->hide();
        return;
    }

    auto *slide = new QPropertyAnimation(window, "pos", this);
    slide->setDuration(180);
    slide->setStartValue(window->pos());
    slide->setEndValue(target);
    slide->setEasingCurve(QEasingCurve::OutCubic);
    connect(slide, &QPropertyAnimation::finished, this, [this, slide, expand] {
        if (expand)
            edgeHandle->hide();
        if (animation == slide) {
            animation->deleteLater();
            animation = nullptr;
        }
    });
    animation = slide;
    slide->start();
}

void EdgeDocking::expand()
{
    if (dockEdge == DockEdge::None)
        return;
    collapseTimer->stop();
    if (expanded && !animation)
        return;
    slideTo(expandedPosition(), true);
}

void EdgeDocking::collapse()
{
    if (dockEdge == DockEdge::None || !expanded || busy)
        return;
    const bool mouseOver = window->rect().contains(window->mapFromGlobal(QCursor::pos()));
    if (mouseOver || QApplication::activeModalWidget() || QApplication::activePopupWidget()) {
        collapseTimer->start();
        return;
    }

    const QRect area = screenArea();
    const QSize size = window->frameSize().expandedTo(window->size());
    QPoint target = expandedPosition();
    if (dockEdge == DockEdge::Right)
        target.setX(area.right() - (handleThickness - 1));
    else
        target.setY(area.top() - size.height() + handleThickness);
    slideTo(target, false);
}

void EdgeDocking::setBusy(bool isBusy)
{
    busy = isBusy;
}

bool EdgeDocking::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != window)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Enter:
        expand();
        break;
    case QEvent::Leave:
        if (dockEdge != DockEdge::None && expanded)
            collapseTimer->start();
        break;
    case QEvent::Move:
        if (ready && dockEdge == DockEdge::None) {
            floatingPosition = window->pos();
            QSettings().setValue(QLatin1String(SettingsKeys::FloatingPosition), floatingPosition);
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void EdgeDocking::restoreState()
{
    const QStringList arguments = QCoreApplication::arguments();
    for (const QString &argument : arguments) {
        if (argument.startsWith(QLatin1String("--screenshot"))) {
            ready = true;
            updateDockButton();
            return;
        }
    }

    QSettings settings;
    floatingPosition = settings.value(QLatin1String(SettingsKeys::FloatingPosition), window->pos()).toPoint();
    setDockEdge(dockEdgeFromSetting(settings.value(QLatin1String(SettingsKeys::DockEdge)).toString()), false);
    ready = true;
    if (dockEdge != DockEdge::None)
        QTimer::singleShot(900, this, &EdgeDocking::collapse);
}
