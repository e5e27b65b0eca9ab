// Members of the main window whose features have not landed yet. Each block goes away when its feature's
// own file (editor, hotkeys and tray, docking, history, status refresh, language menu) defines them; until
// then the buttons and timers that call them do nothing.
#include "ui/MainWindow.h"

#include <QCloseEvent>
#include <QEnterEvent>
#include <QMoveEvent>

// --- Preset editor ---
bool MainWindow::showPresetDialog(PrintPreset *, bool)
{
    return false;
}
void MainWindow::addPrinterPreset() {}
void MainWindow::editPreset(const PrintPreset &) {}
void MainWindow::deletePreset(const PrintPreset &) {}

// --- Global hotkeys and tray ---
void MainWindow::registerPresetHotkeys() {}
void MainWindow::unregisterPresetHotkeys() {}
void MainWindow::setupTrayIcon() {}
void MainWindow::hideToTray() {}
void MainWindow::restoreFromTray() {}
void MainWindow::exitFromTray() {}
void MainWindow::retranslateTray() {}
void MainWindow::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
}
bool MainWindow::nativeEvent(const QByteArray &eventType, void *message, qintptr *result)
{
    return QWidget::nativeEvent(eventType, message, result);
}

// --- Edge docking ---
void MainWindow::showDockMenu() {}
void MainWindow::setDockEdge(const QString &edge, bool)
{
    dockEdge = edge;
}
QRect MainWindow::dockScreenGeometry() const
{
    return QRect();
}
QPoint MainWindow::expandedDockPosition() const
{
    return pos();
}
void MainWindow::updateDockButton() {}
void MainWindow::animateDockTo(const QPoint &, bool) {}
void MainWindow::expandDockedWindow() {}
void MainWindow::collapseDockedWindow() {}
void MainWindow::restoreDockState() {}
void MainWindow::enterEvent(QEnterEvent *event)
{
    QWidget::enterEvent(event);
}
void MainWindow::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
}
void MainWindow::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
}

// --- Print history dialog ---
void MainWindow::showPrintHistory() {}

// --- Printer status refresh ---
void MainWindow::refreshPrinterStatuses() {}

// --- Language menu and compatibility notice ---
void MainWindow::showLanguageMenu() {}
void MainWindow::setLanguage(const QString &) {}
void MainWindow::showCompatibilityNotice() {}
