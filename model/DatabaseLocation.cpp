#include "model/DatabaseLocation.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace DatabaseLocation {

QString databasePath()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return QDir(folder).filePath(QLatin1String(FileName));
}

bool createDatabaseFolder(const QString &databasePath)
{
    const QString folder = QFileInfo(databasePath).absolutePath();
    return QDir().mkpath(folder) && QFileInfo(folder).isDir();
}

}  // namespace DatabaseLocation
