// Where the single-instance channel lives on Linux: a Unix socket in a folder only this user can enter, named
// after the desktop's display, so each session of the user has its own panel.
#include "platform/InstanceChannel.h"

#include "base/AppIdentity.h"
#include "base/I18n.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

// A folder (not a link) owned by this user that nobody else may enter.
bool isPrivateFolder(const QByteArray &path)
{
    struct stat status = {};
    return !path.isEmpty() && ::lstat(path.constData(), &status) == 0 && S_ISDIR(status.st_mode) &&
           status.st_uid == ::geteuid() && (status.st_mode & (S_IRWXG | S_IRWXO)) == 0;
}

// "-_0" for DISPLAY=:0 or :0.0, "-wayland_0" for a Wayland-only session; empty without a display.
QString sessionTag()
{
    QString display = qEnvironmentVariable("DISPLAY");
    const int colon = display.lastIndexOf(QLatin1Char(':'));
    const int dot = display.indexOf(QLatin1Char('.'), colon + 1);
    if (colon >= 0 && dot > colon)
        display.truncate(dot);  // the screen does not make another session
    if (display.isEmpty())
        display = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (display.isEmpty())
        return QString();
    QString tag = QStringLiteral("-");
    for (const QChar c : display)
        tag += c.isLetterOrNumber() && c.unicode() < 0x80 ? c : QLatin1Char('_');
    return tag;
}

}  // namespace

bool instanceChannelAddress(QString *serverName, QString *lockFile, QString *error)
{
    QByteArray folder = qgetenv("XDG_RUNTIME_DIR");
    if (!isPrivateFolder(folder)) {
        // The runtime folder is missing or shared: a folder of our own in /tmp, made private before use.
        folder = QByteArray("/tmp/ollavan-quick-") + QByteArray::number(::geteuid());
        if (::mkdir(folder.constData(), S_IRWXU) != 0 && errno != EEXIST) {
            *error = I18n::text("The folder %1 cannot be made: %2")
                         .arg(QFile::decodeName(folder), QString::fromLocal8Bit(std::strerror(errno)));
            return false;
        }
        if (!isPrivateFolder(folder)) {
            *error = I18n::text("The folder %1 is not private to this user.").arg(QFile::decodeName(folder));
            return false;
        }
    }
    const QString base = QFile::decodeName(folder) + QLatin1Char('/') +
                         QLatin1String(AppIdentity::DesktopEntryId) + sessionTag();
    *serverName = base + QStringLiteral(".socket");
    *lockFile = base + QStringLiteral(".lock");
    return true;
}

bool isSameUserPeer(qintptr socketDescriptor)
{
    struct ucred credentials = {};
    socklen_t length = sizeof(credentials);
    return socketDescriptor >= 0 &&
           ::getsockopt(int(socketDescriptor), SOL_SOCKET, SO_PEERCRED, &credentials, &length) == 0 &&
           length == sizeof(credentials) && credentials.uid == ::geteuid();
}

}  // namespace platform
