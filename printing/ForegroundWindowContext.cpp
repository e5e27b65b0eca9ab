#include "printing/ForegroundWindowContext.h"

#include "platform/WindowSystem.h"

#include <QRegularExpression>

#include <algorithm>

namespace {

struct ProgIdRow
{
    const char *executable;
    const char *progId;
};

const char *const imageViewerMarker = "Ollavan.ImageViewer";

const ProgIdRow progIdRows[] = {
    {"winword.exe", "Word.Application"},
    {"wps.exe", "KWPS.Application"},
    {"acrobat.exe", "AcroExch.App"},
    {"acrord32.exe", "AcroExch.App"},
    {"mspaint.exe", imageViewerMarker},
    {"photos.exe", imageViewerMarker},
    {"microsoft.photos.exe", imageViewerMarker},
    {"honeyview.exe", imageViewerMarker},
    {"honeyview2.exe", imageViewerMarker},
    {"bandiview.exe", imageViewerMarker},
    {"i_view64.exe", imageViewerMarker},
    {"i_view32.exe", imageViewerMarker},
    {"xnview.exe", imageViewerMarker},
    {"xnviewmp.exe", imageViewerMarker},
    {"fsviewer.exe", imageViewerMarker},
    {"imageglass.exe", imageViewerMarker},
    {"nomacs.exe", imageViewerMarker},
    {"qview.exe", imageViewerMarker},
};

constexpr int titleBufferLength = 2048;

}  // namespace

QString foregroundProgId(const QString &executablePath, const QString &windowTitle)
{
    // The file name after the last separator of either kind: Windows reports paths with backslashes.
    const qsizetype slash =
        std::max(executablePath.lastIndexOf(QLatin1Char('/')), executablePath.lastIndexOf(QLatin1Char('\\')));
    const QString name = executablePath.mid(slash + 1).toLower();
    for (const ProgIdRow &row : progIdRows) {
        if (name == QLatin1String(row.executable))
            return QString::fromLatin1(row.progId);
    }
    static const QRegularExpression imageTitle(QStringLiteral("\\.(?:jpe?g|png|bmp|gif|tiff?|webp)(?:\\s|$)"),
                                               QRegularExpression::CaseInsensitiveOption);
    if (imageTitle.match(windowTitle).hasMatch())
        return QString::fromLatin1(imageViewerMarker);
    return QString();
}

ForegroundWindowContext foregroundWindowContext()
{
    ForegroundWindowContext context;
    platform::WindowSystem &windows = platform::windowSystem();
    const quintptr window = windows.foregroundWindow();
    if (!window)
        return context;
    context.processId = windows.windowProcessId(window);
    context.ownWindow = context.processId == windows.currentProcessId();
    if (context.ownWindow || !windows.isWindowVisible(window) || windows.isWindowMinimized(window))
        return context;
    const QString title = windows.windowTitle(window, titleBufferLength - 1);
    if (!title.isEmpty())
        context.windowTitle = title;
    if (!windows.processExists(context.processId))
        return context;
    context.document = windows.shownDocument(context.processId, context.windowTitle);
    QString imagePath;
    if (context.document.status != platform::ShownDocument::Status::NoTable ||
        !windows.processImagePath(context.processId, &imagePath))
        return context;
    context.progId = foregroundProgId(imagePath, context.windowTitle);
    return context;
}
