// Global hotkeys through the desktop's GlobalShortcuts portal (org.freedesktop.portal.GlobalShortcuts on the
// session bus), which works for Wayland and X11 windows alike, and the choice between it and the X11 key
// grabs.
#include "base/AppIdentity.h"
#include "platform/GlobalHotkeys.h"
#include "platform/NativeHotkey.h"
#include "platform/linux/X11GlobalHotkeys.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHash>
#include <QList>
#include <QPointer>
#include <QTimer>
#include <QVariantMap>

#include <functional>
#include <memory>
#include <utility>

namespace platform {
namespace {

const QString portalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString shortcutsInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString requestInterface = QStringLiteral("org.freedesktop.portal.Request");
constexpr int probeTimeoutMs = 3000;

// One element of BindShortcuts' a(sa{sv}).
struct PortalShortcut
{
    QString id;
    QVariantMap properties;
};

QDBusArgument &operator<<(QDBusArgument &argument, const PortalShortcut &shortcut)
{
    argument.beginStructure();
    argument << shortcut.id << shortcut.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, PortalShortcut &shortcut)
{
    argument.beginStructure();
    argument >> shortcut.id >> shortcut.properties;
    argument.endStructure();
    return argument;
}

}  // namespace
}  // namespace platform

Q_DECLARE_METATYPE(platform::PortalShortcut)

namespace platform {
namespace {

// The trigger in the XDG shortcut notation the portal takes ("CTRL+ALT+p", "LOGO+F5"): the modifiers, then
// the key's xkbcommon keysym name. Empty for a combination that has none.
QString portalTrigger(quint32 modifiers, quint32 virtualKey)
{
    int count = 0;
    const hotkey::Key *keys = hotkey::keys(&count);
    quint32 keysym = 0;
    for (int row = 0; row < count && keysym == 0; ++row)
        keysym = keys[row].virtualKey == virtualKey ? keys[row].x11Keysym : 0;
    QString key;
    if ((keysym >= 0x61 && keysym <= 0x7a) || (keysym >= 0x30 && keysym <= 0x39))
        key = QChar(char16_t(keysym));
    else if (keysym >= 0xffbe && keysym <= 0xffd5)
        key = QStringLiteral("F%1").arg(keysym - 0xffbe + 1);
    else {
        static const QHash<quint32, QString> names = {
            {0x0020, QStringLiteral("space")},    {0xff0d, QStringLiteral("Return")},
            {0xff8d, QStringLiteral("KP_Enter")}, {0xff63, QStringLiteral("Insert")},
            {0xff50, QStringLiteral("Home")},     {0xff57, QStringLiteral("End")},
            {0xff55, QStringLiteral("Page_Up")},  {0xff56, QStringLiteral("Page_Down")}};
        key = names.value(keysym);
    }
    if (key.isEmpty())
        return QString();
    QString trigger;
    if (modifiers & hotkey::ModControl)
        trigger += QStringLiteral("CTRL+");
    if (modifiers & hotkey::ModAlt)
        trigger += QStringLiteral("ALT+");
    if (modifiers & hotkey::ModShift)
        trigger += QStringLiteral("SHIFT+");
    if (modifiers & hotkey::ModWin)
        trigger += QStringLiteral("LOGO+");
    return trigger + key;
}

// A portal request in flight: listens for its Response signal and hands the answer on once.
class PortalRequest : public QObject
{
    Q_OBJECT

public:
    using Done = std::function<void(uint response, const QVariantMap &results)>;

    PortalRequest(const QDBusConnection &bus, Done done, QObject *parent)
        : QObject(parent), bus(bus), done(std::move(done))
    {
    }

    void listen(const QString &path)
    {
        if (!paths.contains(path) &&
            bus.connect(portalService, path, requestInterface, QStringLiteral("Response"), this,
                        SLOT(respond(uint, QVariantMap))))
            paths.append(path);
    }

public slots:
    void respond(uint response, const QVariantMap &results)
    {
        for (const QString &path : std::as_const(paths))
            bus.disconnect(portalService, path, requestInterface, QStringLiteral("Response"), this,
                           SLOT(respond(uint, QVariantMap)));
        paths.clear();
        deleteLater();
        if (Done handler = std::exchange(done, nullptr))
            handler(response, results);
    }

private:
    QDBusConnection bus;
    Done done;
    QStringList paths;
};

// The panel's hotkeys as one portal session with one shortcut per hotkey, its id the preferred trigger. The
// portal binds a session's shortcuts once, so every change of the set closes the session and binds the new
// set in a new one (the desktop keeps the user's own trigger for each id). When the portal refuses (an error,
// or the user declines), everything falls back to the X11 key grabs for the rest of the run. The last session
// ends with the process's bus connection.
class PortalGlobalHotkeys final : public QObject, public GlobalHotkeys
{
    Q_OBJECT

public:
    PortalGlobalHotkeys(const QDBusConnection &bus, std::unique_ptr<GlobalHotkeys> fallback)
        : bus(bus), fallback(std::move(fallback))
    {
        qDBusRegisterMetaType<PortalShortcut>();
        qDBusRegisterMetaType<QList<PortalShortcut>>();
        this->bus.connect(portalService, portalPath, shortcutsInterface, QStringLiteral("Activated"), this,
                          SLOT(activated(QDBusObjectPath, QString, qulonglong, QVariantMap)));
    }

    bool registerHotKey(quintptr window, int id, quint32 modifiers, quint32 virtualKey,
                        const QString &description) override
    {
        if (fallenBack)
            return fallback->registerHotKey(window, id, modifiers, virtualKey, description);
        const Hotkey hotkey{window,     id,          modifiers,
                            virtualKey, description, portalTrigger(modifiers, virtualKey)};
        if (hotkey.trigger.isEmpty())
            return false;
        for (const Hotkey &other : std::as_const(hotkeys)) {
            if (other.trigger == hotkey.trigger)
                return false;
        }
        hotkeys.append(hotkey);
        scheduleBinding();
        return true;
    }

    bool unregisterHotKey(quintptr window, int id) override
    {
        if (fallenBack)
            return fallback->unregisterHotKey(window, id);
        for (auto it = hotkeys.begin(); it != hotkeys.end(); ++it) {
            if (it->window == window && it->id == id) {
                hotkeys.erase(it);
                scheduleBinding();
                return true;
            }
        }
        return false;
    }

    bool hotkeyMessageId(const QByteArray &eventType, void *message, int *id) override
    {
        return fallback->hotkeyMessageId(eventType, message, id);
    }

private slots:
    void activated(const QDBusObjectPath &session, const QString &shortcutId, qulonglong, const QVariantMap &)
    {
        if (session.path() != sessionHandle || sessionHandle.isEmpty())
            return;
        for (const Hotkey &hotkey : std::as_const(bound)) {
            if (hotkey.trigger == shortcutId)
                emit events().pressed(hotkey.window, hotkey.id);
        }
    }

private:
    struct Hotkey
    {
        quintptr window;
        int id;
        quint32 modifiers;
        quint32 virtualKey;
        QString description;
        QString trigger;

        bool operator==(const Hotkey &other) const
        {
            return window == other.window && id == other.id && trigger == other.trigger &&
                   description == other.description;
        }
    };

    // A registration pass registers one hotkey after the other; the set is bound once the pass is over.
    void scheduleBinding()
    {
        if (!bindingScheduled) {
            bindingScheduled = true;
            QTimer::singleShot(0, this, &PortalGlobalHotkeys::bind);
        }
    }

    void bind()
    {
        bindingScheduled = false;
        if (fallenBack || waiting || hotkeys == bound)
            return;
        closeSession();
        bound.clear();
        if (hotkeys.isEmpty())
            return;
        const QList<Hotkey> wanted = hotkeys;
        const QString token = nextToken();
        call(QStringLiteral("CreateSession"),
             {QVariantMap{{QStringLiteral("handle_token"), nextToken()},
                          {QStringLiteral("session_handle_token"), token}}},
             [this, wanted](const QVariantMap &results) {
                 const QVariant handle = results.value(QStringLiteral("session_handle"));
                 sessionHandle = handle.canConvert<QDBusObjectPath>() ? handle.value<QDBusObjectPath>().path()
                                                                      : handle.toString();
                 bindShortcuts(wanted);
             });
    }

    void bindShortcuts(const QList<Hotkey> &wanted)
    {
        QList<PortalShortcut> shortcuts;
        for (const Hotkey &hotkey : wanted)
            shortcuts.append({hotkey.trigger,
                              {{QStringLiteral("description"), hotkey.description},
                               {QStringLiteral("preferred_trigger"), hotkey.trigger}}});
        const quintptr window = wanted.isEmpty() ? 0 : wanted.first().window;
        const QString parent = QGuiApplication::platformName() == QLatin1String("xcb") && window != 0
                                   ? QStringLiteral("x11:%1").arg(window, 0, 16)
                                   : QString();
        call(QStringLiteral("BindShortcuts"),
             {QVariant::fromValue(QDBusObjectPath(sessionHandle)), QVariant::fromValue(shortcuts), parent,
              QVariantMap{{QStringLiteral("handle_token"), nextToken()}}},
             [this, wanted](const QVariantMap &) {
                 bound = wanted;
                 if (hotkeys != bound)
                     scheduleBinding();
             });
    }

    // Calls a portal method that answers through a request object; a refusal at any step falls back.
    void call(const QString &method, const QVariantList &arguments,
              std::function<void(const QVariantMap &)> done)
    {
        waiting = true;
        const QString handleToken =
            arguments.constLast().toMap().value(QStringLiteral("handle_token")).toString();
        auto *request = new PortalRequest(
            bus,
            [this, done](uint response, const QVariantMap &results) {
                waiting = false;
                if (response != 0)
                    fallBack();
                else
                    done(results);
            },
            this);
        request->listen(requestPath(handleToken));
        QDBusMessage message =
            QDBusMessage::createMethodCall(portalService, portalPath, shortcutsInterface, method);
        message.setArguments(arguments);
        auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(message), this);
        // The response may be handled (and the request gone) before the reply is.
        connect(watcher, &QDBusPendingCallWatcher::finished, this,
                [this, watcher, pending = QPointer(request)] {
                    watcher->deleteLater();
                    const QDBusPendingReply<QDBusObjectPath> reply = *watcher;
                    if (!pending)
                        return;
                    if (reply.isError()) {
                        pending->deleteLater();
                        waiting = false;
                        fallBack();
                        return;
                    }
                    pending->listen(reply.value().path());  // older portals choose the path themselves
                });
    }

    // Everything goes to the X11 grabs; those they cannot have are reported as lost.
    void fallBack()
    {
        if (fallenBack)
            return;
        fallenBack = true;
        closeSession();
        QHash<quintptr, QList<int>> lost;
        for (const Hotkey &hotkey : std::as_const(hotkeys)) {
            if (!fallback->registerHotKey(hotkey.window, hotkey.id, hotkey.modifiers, hotkey.virtualKey,
                                          hotkey.description))
                lost[hotkey.window].append(hotkey.id);
        }
        hotkeys.clear();
        bound.clear();
        for (auto it = lost.cbegin(); it != lost.cend(); ++it)
            emit events().lost(it.key(), it.value());
    }

    void closeSession()
    {
        if (sessionHandle.isEmpty())
            return;
        bus.send(QDBusMessage::createMethodCall(portalService, std::exchange(sessionHandle, QString()),
                                                QStringLiteral("org.freedesktop.portal.Session"),
                                                QStringLiteral("Close")));
    }

    QString nextToken()
    {
        return QStringLiteral("ollavan_%1_%2").arg(QCoreApplication::applicationPid()).arg(++tokens);
    }

    // Where the portal puts a request made with this token: .../request/SENDER/TOKEN, the sender being the
    // bus's unique name without the colon and with its dots as underscores.
    QString requestPath(const QString &token) const
    {
        QString sender = bus.baseService().mid(1);
        sender.replace(QLatin1Char('.'), QLatin1Char('_'));
        return portalPath + QStringLiteral("/request/") + sender + QLatin1Char('/') + token;
    }

    QDBusConnection bus;
    std::unique_ptr<GlobalHotkeys> fallback;
    QList<Hotkey> hotkeys;  // registered now
    QList<Hotkey> bound;    // bound in the session now
    QString sessionHandle;
    int tokens = 0;
    bool bindingScheduled = false;
    bool waiting = false;
    bool fallenBack = false;
};

// Whether the session bus has a portal with the GlobalShortcuts interface. The application is first named to
// the portal by its desktop entry (desktops list the shortcuts under it); older portals ignore that.
bool portalOffersGlobalShortcuts(const QDBusConnection &bus)
{
    if (!bus.isConnected())
        return false;
    QDBusMessage registration = QDBusMessage::createMethodCall(
        portalService, portalPath, QStringLiteral("org.freedesktop.host.portal.Registry"),
        QStringLiteral("Register"));
    registration << QString::fromLatin1(AppIdentity::DesktopEntryId) << QVariantMap();
    bus.call(registration, QDBus::Block, probeTimeoutMs);
    QDBusMessage probe = QDBusMessage::createMethodCall(
        portalService, portalPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    probe << shortcutsInterface << QStringLiteral("version");
    return bus.call(probe, QDBus::Block, probeTimeoutMs).type() == QDBusMessage::ReplyMessage;
}

}  // namespace

std::unique_ptr<GlobalHotkeys> createSystemGlobalHotkeys()
{
    std::unique_ptr<GlobalHotkeys> grabs = createX11GlobalHotkeys();
    // Without a session bus to find, the bus library would try to launch one.
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS") &&
        !QFileInfo::exists(qEnvironmentVariable("XDG_RUNTIME_DIR") + QStringLiteral("/bus")))
        return grabs;
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (!portalOffersGlobalShortcuts(bus))
        return grabs;
    return std::make_unique<PortalGlobalHotkeys>(bus, std::move(grabs));
}

}  // namespace platform

#include "PortalGlobalHotkeys.moc"
