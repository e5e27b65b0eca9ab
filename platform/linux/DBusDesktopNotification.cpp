#include "platform/DesktopNotification.h"

#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>

namespace platform {
namespace {

constexpr int CallTimeoutMs = 5000;

QDBusMessage notificationsCall(const char *method)
{
    return QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QLatin1String(method));
}

bool fail(QString *error, const QString &message)
{
    if (error)
        *error = message;
    return false;
}

}  // namespace

bool showDesktopNotification(const DesktopNotification &notification, QString *error)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return fail(error, QStringLiteral("no D-Bus session bus: %1").arg(bus.lastError().message()));

    // A service that reads markup in the body would take "<" and "&" of a file name as markup.
    const QDBusMessage capabilities =
        bus.call(notificationsCall("GetCapabilities"), QDBus::Block, CallTimeoutMs);
    if (capabilities.type() == QDBusMessage::ErrorMessage)
        return fail(error, QStringLiteral("no notification service: %1").arg(capabilities.errorMessage()));
    const bool markup =
        !capabilities.arguments().isEmpty() &&
        capabilities.arguments().constFirst().toStringList().contains(QLatin1String("body-markup"));

    QDBusMessage notify = notificationsCall("Notify");
    const QVariantMap hints{{QStringLiteral("desktop-entry"), notification.desktopEntry},
                            {QStringLiteral("urgency"), QVariant::fromValue(uchar(1))}};
    notify << notification.applicationName << uint(0) << notification.desktopEntry << notification.summary
           << (markup ? notification.body.toHtmlEscaped() : notification.body) << QStringList() << hints
           << int(-1);
    const QDBusMessage reply = bus.call(notify, QDBus::Block, CallTimeoutMs);
    if (reply.type() == QDBusMessage::ErrorMessage)
        return fail(error, QStringLiteral("the notification service refused the notification: %1")
                               .arg(reply.errorMessage()));
    return true;
}

}  // namespace platform
