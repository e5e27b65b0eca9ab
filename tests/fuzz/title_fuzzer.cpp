// libFuzzer target for the image viewers' window-title resolver. The resolver looks for the named picture
// on disk, so the fuzzer runs with HOME and the working folder in an empty sandbox, and inputs whose folder
// hint names a real folder outside the sandbox are passed over: they would only walk the machine's disks.
#include "printing/ImageViewerPicture.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <cstdint>
#include <cstdlib>

namespace {

bool hintLeavesSandbox(const QString &title)
{
    const int separator = title.indexOf(QLatin1Char('>'));
    const QString hint = (separator < 0 ? title : title.left(separator)).trimmed();
    if (hint.isEmpty())
        return false;
    const QFileInfo info(hint);
    if (!info.isDir())
        return false;
    const QString sandbox = QDir::current().canonicalPath();
    const QString folder = info.canonicalFilePath();
    return folder != sandbox && !folder.startsWith(sandbox + QLatin1Char('/'));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 4096)
        return 0;
    const QString title = QString::fromUtf8(reinterpret_cast<const char *>(data), int(size));
    if (hintLeavesSandbox(title))
        return 0;
    const QString path = resolveImageFromWindowTitle(title);
    // A result is always an existing file, named by an absolute path with a picture suffix.
    if (!path.isEmpty()) {
        const QFileInfo found(path);
        static const QRegularExpression picture(QStringLiteral("^(jpe?g|png|bmp|gif|tiff?|webp)$"),
                                                QRegularExpression::CaseInsensitiveOption);
        if (!found.isAbsolute() || !found.isFile() || !picture.match(found.suffix()).hasMatch())
            std::abort();
    }
    return 0;
}
