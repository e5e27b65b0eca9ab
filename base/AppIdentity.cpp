#include "base/AppIdentity.h"

#include <QCoreApplication>
#include <QGuiApplication>

namespace AppIdentity {

void apply()
{
    QCoreApplication::setApplicationName(QString::fromLatin1(ApplicationName));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(Version));
    QCoreApplication::setOrganizationName(QString::fromLatin1(OrganizationName));
    QCoreApplication::setOrganizationDomain(QString::fromLatin1(OrganizationDomain));
    // The display name belongs to GUI applications; the command-line companion has none.
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        QGuiApplication::setApplicationDisplayName(QString::fromLatin1(DisplayName));
        QGuiApplication::setDesktopFileName(QString::fromLatin1(DesktopEntryId));
    }
}

}  // namespace AppIdentity
