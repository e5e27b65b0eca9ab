// libFuzzer target for the image viewers' window-title resolver. The resolver looks for the named picture on
// disk, so the fuzzer runs with HOME and its working folder in an empty sandbox (tests/fuzz/run), and a title
// whose folder hint names a real folder outside the sandbox is passed over: it would only walk the disks.
#include "printing/ImageViewerPicture.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 4096)
        return 0;
    const QString title = QString::fromUtf8(reinterpret_cast<const char *>(data), int(size));
    const QFileInfo hint(title.section(QLatin1Char('>'), 0, 0).trimmed());
    const QString sandbox = QDir::current().canonicalPath();
    if (!hint.filePath().isEmpty() && hint.isDir() && hint.canonicalFilePath() != sandbox &&
        !hint.canonicalFilePath().startsWith(sandbox + QLatin1Char('/')))
        return 0;
    // A result is always an existing file, named by an absolute path with a picture suffix.
    const QString path = resolveImageFromWindowTitle(title);
    if (!path.isEmpty()) {
        const QFileInfo found(path);
        static const QRegularExpression picture(QStringLiteral("^(jpe?g|png|bmp|gif|tiff?|webp)$"),
                                                QRegularExpression::CaseInsensitiveOption);
        if (!found.isAbsolute() || !found.isFile() || !picture.match(found.suffix()).hasMatch())
            std::abort();
    }
    return 0;
}
