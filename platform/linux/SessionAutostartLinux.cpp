#include "platform/SessionAutostart.h"

#include "base/AppIdentity.h"
#include "base/I18n.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace platform {
namespace {

QString entryPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/autostart/ollavan-quick.desktop");
}

// The program as the Exec key wants it: quoted when it holds a reserved character (inside the quotes ", `, $
// and \ escaped), % doubled, and then every \ doubled again because the value is a string of the entry.
QString execValue(const QString &program)
{
    QString argument = program;
    argument.replace(QLatin1Char('%'), QStringLiteral("%%"));
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool quoted = false;
    for (const QChar c : argument)
        quoted = quoted || reserved.contains(c);
    if (quoted) {
        QString inside;
        for (const QChar c : argument) {
            if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
                c == QLatin1Char('\\'))
                inside += QLatin1Char('\\');
            inside += c;
        }
        argument = QLatin1Char('"') + inside + QLatin1Char('"');
    }
    argument.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    argument.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    argument.replace(QLatin1Char('\t'), QStringLiteral("\\t"));
    return argument;
}

}  // namespace

bool isStartedWithSession()
{
    return QFile::exists(entryPath());
}

bool setStartedWithSession(bool enabled, QString *error)
{
    const QString path = entryPath();
    if (!enabled) {
        QFile entry(path);
        if (!entry.exists() || entry.remove())
            return true;
        *error = I18n::text("%1 cannot be removed: %2").arg(path, entry.errorString());
        return false;
    }
    QSaveFile entry(path);
    if (!QDir().mkpath(QFileInfo(path).path()) || !entry.open(QIODevice::WriteOnly)) {
        *error = I18n::text("%1 cannot be written: %2").arg(path, entry.errorString());
        return false;
    }
    const QString text =
        QStringLiteral("[Desktop Entry]\n"
                       "Type=Application\n"
                       "Name=%1\n"
                       "Exec=%2\n"
                       "Icon=%3\n"
                       "Terminal=false\n")
            .arg(QLatin1String(AppIdentity::DisplayName), execValue(QCoreApplication::applicationFilePath()),
                 QLatin1String(AppIdentity::DesktopEntryId));
    entry.write(text.toUtf8());
    if (!entry.commit()) {
        *error = I18n::text("%1 cannot be written: %2").arg(path, entry.errorString());
        return false;
    }
    return true;
}

}  // namespace platform
