#include "platform/PdfiumLibrary.h"

namespace platform {

QString pdfiumLibraryFileName()
{
    return QStringLiteral("pdfium.dll");
}

}  // namespace platform
