#include "platform/PdfiumLibrary.h"

namespace platform {

QString pdfiumLibraryFileName()
{
    return QStringLiteral("pdfium.dll");
}

QString installedPdfiumFolder()
{
    return QStringLiteral(".");
}

}  // namespace platform
