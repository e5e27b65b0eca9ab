#include "platform/PdfiumLibrary.h"

namespace platform {

QString pdfiumLibraryFileName()
{
    return QStringLiteral("libpdfium.so");
}

}  // namespace platform
