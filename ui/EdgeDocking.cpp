// Docking the panel to the right or top screen edge: the dock menu, the slide out of sight that leaves an
// 8-pixel strip with the accent handle, the slide back when the mouse touches it, and the saved position.
#include "ui/MainWindow.h"

#include "base/I18n.h"
#include "base/SettingsKeys.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QEasingCurve>
#include <QEnterEvent>
#include <QMenu>
#include <QMoveEvent>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QTimer>

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

QRect MainWindow::dockScreenGeometry() const
{
    QScreen *current = screen();
    if (!current)
        current = QGuiApplication::primaryScreen();
    if (!current)
        return QRect(0, 0, 1280, 800);
    return current->availableGeometry();
}

QPoint MainWindow::expandedDockPosition() const
{
    const QRect area = dockScreenGeometry();
    const QSize size = frameSize().expandedTo(this->size());
    if (dockEdge == DockEdge::Right) {
        const int x = area.right() - size.width() + 1;
        const int y = floatingPosition.isNull() ? area.top() : floatingPosition.y();
        return QPoint(x, qBound(area.top(), y, qMax(area.top(), area.bottom() - size.height() + 1)));
    }
    const int x = floatingPosition.isNull() ? area.center().x() - size.width() / 2 : floatingPosition.x();
    return QPoint(qBound(area.left(), x, qMax(area.left(), area.right() - size.width() + 1)), area.top());
}

void MainWindow::setDockEdge(DockEdge edge, bool persist)
{
    if (dockEdge == DockEdge::None && edge != DockEdge::None)
        floatingPosition = pos();

    if (collapseTimer)
        collapseTimer->stop();
    if (dockAnimation) {
        dockAnimation->stop();
        dockAnimation->deleteLater();
        dockAnimation = nullptr;
    }

    dockEdge = edge;
    dockExpanded = true;
    edgeHandle->hide();

    if (dockEdge == DockEdge::None) {
        const QRect area = dockScreenGeometry();
        move(qBound(area.left(), floatingPosition.x(), qMax(area.left(), area.right() - width() + 1)),
             qBound(area.top(), floatingPosition.y(), qMax(area.top(), area.bottom() - height() + 1)));
    } else {
        move(expandedDockPosition());
        if (dockEdge == DockEdge::Right) {
            edgeHandle->setGeometry(0, qMax(0, (height() - handleLength) / 2), handleThickness,
                                    qMin(height(), handleLength));
        } else {
            edgeHandle->setGeometry(qMax(0, (width() - handleLength) / 2),
                                    qMax(0, height() - handleThickness), qMin(width(), handleLength),
                                    handleThickness);
        }
        edgeHandle->raise();
        if (dockReady && collapseTimer)
            collapseTimer->start();
    }

    updateDockButton();

    if (persist) {
        QSettings settings;
        settings.setValue(QLatin1String(SettingsKeys::DockEdge), dockEdgeSetting(dockEdge));
        settings.setValue(QLatin1String(SettingsKeys::FloatingPosition), floatingPosition);
    }
}

void MainWindow::updateDockButton()
{
    if (!dockButton)
        return;
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

void MainWindow::showDockMenu()
{
    if (collapseTimer)
        collapseTimer->stop();

    QMenu menu(this);
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

void MainWindow::animateDockTo(const QPoint &target, bool expanded)
{
    if (dockAnimation) {
        dockAnimation->stop();
        dockAnimation->deleteLater();
        dockAnimation = nullptr;
    }
    dockExpanded = expanded;
    if (!expanded) {
        edgeHandle->show();
        edgeHandle->raise();
    }
    if (pos() == target) {
        if (expanded)
            edgeHandle->hide();
        return;
    }

    auto *animation = new QPropertyAnimation(this, "pos", this);
    animation->setDuration(180);
    animation->setStartValue(pos());
    animation->setEndValue(target);
    animation->setEasingCurve(QEasingCurve::OutCubic);
    connect(animation, &QPropertyAnimation::finished, this, [this, animation, expanded] {
        if (expanded)
            edgeHandle->hide();
        if (dockAnimation == animation) {
            dockAnimation->deleteLater();
            dockAnimation = nullptr;
        }
    });
    dockAnimation = animation;
    animation->start();
}

void MainWindow::expandDockedWindow()
{
    if (dockEdge == DockEdge::None)
        return;
    if (collapseTimer)
        collapseTimer->stop();
    if (dockExpanded && !dockAnimation)
        return;
    animateDockTo(expandedDockPosition(), true);
}

void MainWindow::collapseDockedWindow()
{
    if (dockEdge == DockEdge::None || !dockExpanded || printing)
        return;
    const bool mouseOver = rect().contains(mapFromGlobal(QCursor::pos()));
    if (mouseOver || QApplication::activeModalWidget() || QApplication::activePopupWidget()) {
        collapseTimer->start();
        return;
    }

    const QRect area = dockScreenGeometry();
    const QSize size = frameSize().expandedTo(this->size());
    QPoint target = expandedDockPosition();
    if (dockEdge == DockEdge::Right)
        target.setX(area.right() - (handleThickness - 1));
    else
        target.setY(area.top() - size.height() + handleThickness);
    animateDockTo(target, false);
}

void MainWindow::enterEvent(QEnterEvent *event)
{
    QWidget::enterEvent(event);
    expandDockedWindow();
}

void MainWindow::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    if (dockEdge != DockEdge::None && dockExpanded && collapseTimer)
        collapseTimer->start();
}

void MainWindow::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    if (dockReady && dockEdge == DockEdge::None) {
        floatingPosition = pos();
        QSettings().setValue(QLatin1String(SettingsKeys::FloatingPosition), floatingPosition);
    }
}

void MainWindow::restoreDockState()
{
    const QStringList arguments = QCoreApplication::arguments();
    for (const QString &argument : arguments) {
        if (argument.startsWith(QLatin1String("--screenshot"))) {
            dockReady = true;
            updateDockButton();
            return;
        }
    }

    QSettings settings;
    floatingPosition = settings.value(QLatin1String(SettingsKeys::FloatingPosition), pos()).toPoint();
    setDockEdge(dockEdgeFromSetting(settings.value(QLatin1String(SettingsKeys::DockEdge)).toString()), false);
    dockReady = true;
    if (dockEdge != DockEdge::None)
        QTimer::singleShot(900, this, [this] { collapseDockedWindow(); });
}
