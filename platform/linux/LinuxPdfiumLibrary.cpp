#include "platform/PdfiumLibrary.h"

// OLLAVAN_PDFIUM_FOLDER_FROM_BINARY: defined by the build from the install layout (cmake/Packaging.cmake).

namespace platform {

QString pdfiumLibraryFileName()
{
    return QStringLiteral("libpdfium.so");
}

QString installedPdfiumFolder()
{
    return QStringLiteral(OLLAVAN_PDFIUM_FOLDER_FROM_BINARY);
}

}  // namespace platform
