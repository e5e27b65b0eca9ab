#include "platform/SessionAutostart.h"

#include "base/AppIdentity.h"
#include "base/I18n.h"

#include <QCoreApplication>
#include <QDir>
#include <QSettings>

namespace platform {
namespace {

const QString runKey = QStringLiteral("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run");

}  // namespace

bool isStartedWithSession()
{
    return QSettings(runKey, QSettings::NativeFormat).contains(QLatin1String(AppIdentity::DisplayName));
}

bool setStartedWithSession(bool enabled, QString *error)
{
    QSettings run(runKey, QSettings::NativeFormat);
    const QString name = QLatin1String(AppIdentity::DisplayName);
    if (enabled)
        run.setValue(name, QLatin1Char('"') +
                               QDir::toNativeSeparators(QCoreApplication::applicationFilePath()) +
                               QLatin1Char('"'));
    else
        run.remove(name);
    run.sync();
    if (run.status() == QSettings::NoError)
        return true;
    *error = I18n::text("%1 cannot be changed.").arg(runKey + QLatin1Char('\\') + name);
    return false;
}

}  // namespace platform
