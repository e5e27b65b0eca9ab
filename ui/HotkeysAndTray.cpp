// The main window's global hotkeys (one per preset that has one) and its life in the notification area:
// closing hides the window, the tray icon brings it back, and only the tray menu ends the program.
#include "ui/MainWindow.h"

#include "base/I18n.h"
#include "platform/GlobalHotkeys.h"
#include "platform/NativeHotkey.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMenu>
#include <QSystemTrayIcon>

namespace {
// Hotkey ids are handed out from here at every registration pass.
constexpr int firstHotkeyId = 0x5100;
}  // namespace

void MainWindow::registerPresetHotkeys()
{
    unregisterPresetHotkeys();

    const QList<PrintPreset> presets = repository.presets();  // a read error is reported by the card rebuild
    int nextId = firstHotkeyId;
    QStringList failures;
    for (const PrintPreset &preset : presets) {
        if (preset.hotkey.trimmed().isEmpty())
            continue;
        quint32 modifiers = 0;
        quint32 virtualKey = 0;
        if (nativeHotkey(preset.hotkey, &modifiers, &virtualKey) &&
            platform::globalHotkeys().registerHotKey(quintptr(winId()), nextId, modifiers, virtualKey)) {
            hotkeyPresetIds.insert(nextId, preset.id);
            ++nextId;
        } else {
            failures << preset.title + QChar(0xFF08) + preset.hotkey + QChar(0xFF09);
        }
    }
    if (!failures.isEmpty())
        setStatus(I18n::text("Some hotkeys are unavailable: %1").arg(failures.join(QStringLiteral(", "))),
                  true);
}

void MainWindow::unregisterPresetHotkeys()
{
    const quintptr window = quintptr(internalWinId());
    for (auto it = hotkeyPresetIds.cbegin(); it != hotkeyPresetIds.cend(); ++it)
        platform::globalHotkeys().unregisterHotKey(window, it.key());
    hotkeyPresetIds.clear();
}

bool MainWindow::nativeEvent(const QByteArray &eventType, void *message, qintptr *result)
{
    int hotkeyId = 0;
    if (!message || !platform::globalHotkeys().hotkeyMessageId(eventType, message, &hotkeyId))
        return QWidget::nativeEvent(eventType, message, result);

    // The preset is read fresh, so the hotkey prints with what is stored now (copies included).
    const int presetId = hotkeyPresetIds.value(hotkeyId, 0);
    if (presetId != 0) {
        const QList<PrintPreset> presets = repository.presets();
        for (const PrintPreset &preset : presets) {
            if (preset.id == presetId) {
                executePreset(preset, QString());
                break;
            }
        }
    }
    if (result)
        *result = 0;
    return true;
}

void MainWindow::setupTrayIcon()
{
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return;
    trayIcon = new QSystemTrayIcon(QApplication::windowIcon(), this);
    trayIcon->setObjectName(QStringLiteral("trayIcon"));
    trayMenu = new QMenu(this);
    trayMenu->setObjectName(QStringLiteral("trayMenu"));
    retranslateTray();
    connect(trayIcon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
            restoreFromTray();
    });
    trayIcon->setContextMenu(trayMenu);
    trayIcon->show();
}

void MainWindow::retranslateTray()
{
    if (!trayIcon || !trayMenu)
        return;
    trayIcon->setToolTip(I18n::text("Ollavan Quick - running in background"));
    trayMenu->clear();
    QAction *show = trayMenu->addAction(I18n::text("Show Ollavan Quick"));
    connect(show, &QAction::triggered, this, [this] { restoreFromTray(); });
    trayMenu->addSeparator();
    QAction *exit = trayMenu->addAction(I18n::text("Exit Ollavan Quick"));
    connect(exit, &QAction::triggered, this, [this] { exitFromTray(); });
}

void MainWindow::hideToTray()
{
    hide();
    if (trayIcon && !trayNoticeShown) {
        trayNoticeShown = true;
        trayIcon->showMessage(I18n::text("Ollavan Quick is still running"),
                              I18n::text("Global hotkeys remain active. Right-click the tray icon to exit."),
                              QSystemTrayIcon::Information, 3500);
    }
}

void MainWindow::restoreFromTray()
{
    showNormal();
    raise();
    activateWindow();
}

void MainWindow::exitFromTray()
{
    exiting = true;
    unregisterPresetHotkeys();
    if (trayIcon)
        trayIcon->hide();
    QCoreApplication::quit();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (!exiting) {
        event->ignore();
        hideToTray();
        return;
    }
    event->accept();
}
