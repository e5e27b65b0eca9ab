#include "ui/HotkeysAndTray.h"

#include "base/I18n.h"
#include "model/PresetRepository.h"
#include "platform/GlobalHotkeys.h"
#include "platform/NativeHotkey.h"
#include "platform/SessionAutostart.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QWidget>

namespace {
// Hotkey ids are handed out from here at every registration pass.
constexpr int firstHotkeyId = 0x5100;
}  // namespace

HotkeysAndTray::HotkeysAndTray(PresetRepository &repository, QWidget *window)
    : QObject(window), repository(repository), window(window)
{
    window->installEventFilter(this);
    platform::HotkeyEvents &events = platform::globalHotkeys().events();
    connect(&events, &platform::HotkeyEvents::pressed, this, &HotkeysAndTray::hotkeyPressed);
    connect(&events, &platform::HotkeyEvents::lost, this, &HotkeysAndTray::hotkeysLost);
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return;
    icon = new QSystemTrayIcon(QApplication::windowIcon(), this);
    icon->setObjectName(QStringLiteral("trayIcon"));
    menu = new QMenu(window);
    menu->setObjectName(QStringLiteral("trayMenu"));
    retranslate();
    connect(icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
            restoreWindow();
    });
    connect(menu, &QMenu::aboutToShow, this, [this] {
        if (sessionStart)
            sessionStart->setChecked(platform::isStartedWithSession());
    });
    icon->setContextMenu(menu);
    icon->show();
}

HotkeysAndTray::~HotkeysAndTray()
{
    unregisterHotkeys();
}

void HotkeysAndTray::registerHotkeys()
{
    unregisterHotkeys();

    const QList<PrintPreset> presets = repository.presets();  // a read error is reported by the cards
    registeredWindow = quintptr(window->winId());
    int nextId = firstHotkeyId;
    QStringList failures;
    for (const PrintPreset &preset : presets) {
        if (preset.hotkey.trimmed().isEmpty())
            continue;
        quint32 modifiers = 0;
        quint32 virtualKey = 0;
        if (nativeHotkey(preset.hotkey, &modifiers, &virtualKey) &&
            platform::globalHotkeys().registerHotKey(registeredWindow, nextId, modifiers, virtualKey,
                                                     preset.title)) {
            presetIdsByHotkey.insert(nextId, preset.id);
            ++nextId;
        } else {
            failures << preset.title + QChar(0xFF08) + preset.hotkey + QChar(0xFF09);
        }
    }
    if (!failures.isEmpty())
        emit statusChanged(
            I18n::text("Some hotkeys are unavailable: %1").arg(failures.join(QStringLiteral(", "))), true);
}

void HotkeysAndTray::unregisterHotkeys()
{
    for (auto it = presetIdsByHotkey.cbegin(); it != presetIdsByHotkey.cend(); ++it)
        platform::globalHotkeys().unregisterHotKey(registeredWindow, it.key());
    presetIdsByHotkey.clear();
}

bool HotkeysAndTray::handleNativeMessage(const QByteArray &eventType, void *message, qintptr *result)
{
    int hotkeyId = 0;
    if (!message || !platform::globalHotkeys().hotkeyMessageId(eventType, message, &hotkeyId))
        return false;
    hotkeyPressed(registeredWindow, hotkeyId);
    if (result)
        *result = 0;
    return true;
}

void HotkeysAndTray::hotkeyPressed(quintptr hotkeyWindow, int hotkeyId)
{
    // The preset is read fresh, so the hotkey prints with what is stored now (copies included).
    const int presetId = hotkeyWindow == registeredWindow ? presetIdsByHotkey.value(hotkeyId, 0) : 0;
    if (presetId == 0)
        return;
    const QList<PrintPreset> presets = repository.presets();
    for (const PrintPreset &preset : presets) {
        if (preset.id == presetId) {
            emit printRequested(preset);
            break;
        }
    }
}

void HotkeysAndTray::hotkeysLost(quintptr hotkeyWindow, const QList<int> &hotkeyIds)
{
    if (hotkeyWindow != registeredWindow)
        return;
    QStringList failures;
    const QList<PrintPreset> presets = repository.presets();
    for (int hotkeyId : hotkeyIds) {
        const int presetId = presetIdsByHotkey.take(hotkeyId);
        for (const PrintPreset &preset : presets) {
            if (preset.id == presetId)
                failures << preset.title + QChar(0xFF08) + preset.hotkey + QChar(0xFF09);
        }
    }
    if (!failures.isEmpty())
        emit statusChanged(
            I18n::text("Some hotkeys are unavailable: %1").arg(failures.join(QStringLiteral(", "))), true);
}

void HotkeysAndTray::retranslate()
{
    if (!icon || !menu)
        return;
    icon->setToolTip(I18n::text("Ollavan Quick - running in background"));
    menu->clear();
    QAction *show = menu->addAction(I18n::text("Show Ollavan Quick"));
    connect(show, &QAction::triggered, this, &HotkeysAndTray::restoreWindow);
    sessionStart = menu->addAction(I18n::text("Start with the session"));
    sessionStart->setObjectName(QStringLiteral("sessionStartAction"));
    sessionStart->setCheckable(true);
    sessionStart->setChecked(platform::isStartedWithSession());
    connect(sessionStart, &QAction::triggered, this, &HotkeysAndTray::setStartedWithSession);
    menu->addSeparator();
    QAction *exit = menu->addAction(I18n::text("Exit Ollavan Quick"));
    connect(exit, &QAction::triggered, this, &HotkeysAndTray::exitProgram);
}

void HotkeysAndTray::setStartedWithSession(bool enabled)
{
    QString error;
    if (!platform::setStartedWithSession(enabled, &error))
        emit statusChanged(I18n::text("The start with the session cannot be changed: %1").arg(error), true);
    if (sessionStart)
        sessionStart->setChecked(platform::isStartedWithSession());
}

void HotkeysAndTray::hideToTray()
{
    window->hide();
    if (icon && !noticeShown) {
        noticeShown = true;
        icon->showMessage(I18n::text("Ollavan Quick is still running"),
                          I18n::text("Global hotkeys remain active. Right-click the tray icon to exit."),
                          QSystemTrayIcon::Information, 3500);
    }
}

void HotkeysAndTray::restoreWindow()
{
    window->showNormal();
    window->raise();
    window->activateWindow();
}

void HotkeysAndTray::exitProgram()
{
    exiting = true;
    unregisterHotkeys();
    if (icon)
        icon->hide();
    QCoreApplication::quit();
}

bool HotkeysAndTray::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == window && event->type() == QEvent::Close && !exiting) {
        event->ignore();
        hideToTray();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
