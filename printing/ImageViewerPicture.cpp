#include "printing/ImageViewerPicture.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

namespace {

// Honeyview and BandiView show "folder > file.jpg [3/12] - Honeyview".
const QRegularExpression &honeyviewPattern()
{
    static const QRegularExpression pattern(
        QString::fromUtf8(
            u8R"((?:^|>\s*)([^<>]+?\.(?:jpe?g|png|bmp|gif|tiff?|webp))\s*(?:\[\d+\s*/\s*\d+\])?\s*[-—]\s*(?:Honeyview|BandiView))"),
        QRegularExpression::CaseInsensitiveOption);
    return pattern;
}

// Every viewer: the file name at the start, optionally a position, a dash and the viewer's name.
const QRegularExpression &genericPattern()
{
    static const QRegularExpression pattern(
        QString::fromUtf8(
            u8R"(([^<>|]+?\.(?:jpe?g|png|bmp|gif|tiff?|webp))(?:\s*(?:\[\d+\s*/\s*\d+\])?\s*[-—]\s*(?:Paint|Photos|Windows Photo Viewer|Honeyview|BandiView|IrfanView|XnView|FastStone|ImageGlass|nomacs|qView))?$)"),
        QRegularExpression::CaseInsensitiveOption);
    return pattern;
}

}  // namespace

QString resolveImageFromWindowTitle(const QString &windowTitle)
{
    const QString trimmedTitle = windowTitle.trimmed();
    QRegularExpressionMatch match = honeyviewPattern().match(trimmedTitle);
    if (!match.hasMatch())
        match = genericPattern().match(trimmedTitle);
    if (!match.hasMatch())
        return QString();

    const QString candidate = match.captured(1).trimmed();
    const QFileInfo candidateInfo(candidate);
    if (candidateInfo.isFile())
        return candidateInfo.absoluteFilePath();
    const QString name = candidateInfo.fileName();
    if (name.isEmpty())
        return QString();

    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    QStringList folders = {desktop, QStandardPaths::writableLocation(QStandardPaths::PicturesLocation),
                           QStandardPaths::writableLocation(QStandardPaths::DownloadLocation),
                           QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)};
    const int separator = windowTitle.indexOf(QLatin1Char('>'));
    const QString hint = (separator < 0 ? windowTitle : windowTitle.left(separator)).trimmed();
    const QFileInfo hintInfo(hint);
    if (!hint.isEmpty() && hintInfo.isDir())
        folders.prepend(hintInfo.absoluteFilePath());
    if (hint.compare(QLatin1String("Desktop"), Qt::CaseInsensitive) == 0 ||
        hint == QString::fromUtf8(u8"桌面"))
        folders.prepend(desktop);
    folders.removeAll(QString());
    folders.removeDuplicates();

    for (const QString &folder : folders) {
        const QFileInfo direct(QDir(folder).filePath(name));
        if (direct.isFile())
            return direct.absoluteFilePath();
    }
    for (const QString &folder : folders) {
        QDirIterator it(folder, QStringList{name}, QDir::Files, QDirIterator::Subdirectories);
        if (it.hasNext()) {
            it.next();
            return it.fileInfo().absoluteFilePath();
        }
    }
    return QString();
}
