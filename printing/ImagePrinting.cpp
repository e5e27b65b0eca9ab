#include "printing/ImagePrinting.h"

#include "base/I18n.h"
#include "platform/PrintJobOptions.h"
#include "platform/WindowSystem.h"
#include "printing/PresetPrinter.h"
#include "printing/PrintService.h"
#include "printing/PrinterSettingsScope.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStringList>

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

QString fileNameOf(const QString &path)
{
    return QFileInfo(path).fileName();
}

}  // namespace

bool isImageSuffix(const QString &suffix)
{
    static const QStringList suffixes = {
        QStringLiteral("jpg"), QStringLiteral("jpeg"), QStringLiteral("png"),  QStringLiteral("bmp"),
        QStringLiteral("gif"), QStringLiteral("tif"),  QStringLiteral("tiff"), QStringLiteral("webp")};
    return suffixes.contains(suffix.toLower());
}

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

int PrintService::printImageFile(const QString &imagePath, const PrintPreset &preset, QString *message,
                                 JobDetails *details) const
{
    const auto finish = [message](int result, const QString &text) {
        if (message)
            *message = text;
        return result;
    };
    const QString fileName = fileNameOf(imagePath);

    QImageReader reader(imagePath);
    reader.setAutoTransform(true);
    const QImage image = reader.read();
    if (image.isNull())
        return finish(Failed, I18n::text("Unable to read image: %1").arg(reader.errorString()));

    if (details) {
        details->jobName = fileName;
        details->pageCount = 1;
    }

    PrintPreset scopePreset = preset;
    scopePreset.copies = 1;
    PrinterSettingsScope scope;
    QString scopeError;
    if (!scope.apply(scopePreset, &scopeError))
        return finish(Failed, scopeError);

    QPrinter printer(QPrinter::HighResolution);
    applyPresetToPrinter(printer, preset);
    if (!preset.useDriverSettings) {
        printer.setPageSize(pageSizeForName(preset.paperSize));
        printer.setPageOrientation(image.width() > image.height() ? QPageLayout::Landscape
                                                                  : QPageLayout::Portrait);
    }
    // Qt turns a printer it does not know into a PDF writer without a file: that is no printer either.
    if (!printer.isValid() || printer.outputFormat() != QPrinter::NativeFormat)
        return finish(Failed, I18n::text("Printer unavailable: %1").arg(preset.printerName));
    platform::printJobOptions().prepare(printer, preset.useDriverSettings);

    QPainter painter;
    if (!painter.begin(&printer))
        return finish(Failed, I18n::text("Unable to create the image print job."));
    const QRect paintRect = printer.pageLayout().paintRectPixels(printer.resolution());
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(centredTarget(paintRect, image.size()), image);
    painter.end();
    return finish(Sent, I18n::text("Image sent: %1").arg(fileName));
}

int PrintService::printActiveImageDocument(quint32 processId, const QString &windowTitle,
                                           const PrintPreset &preset, QString *message,
                                           JobDetails *details) const
{
    if (!platform::windowSystem().processExists(processId))
        return NoDocument;
    const QString path = resolveImageFromWindowTitle(windowTitle);
    if (path.isEmpty()) {
        if (message)
            *message =
                I18n::text("The active image could not be located. Drag the image onto a printer preset.");
        return NoDocument;
    }
    return printImageFile(path, preset, message, details);
}
