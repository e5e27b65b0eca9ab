#pragma once

#include <QString>

namespace platform {

// The PDFium library's file name as the platform's loader names it ("pdfium.dll" on Windows, "libpdfium.so"
// on Linux), used to find it beside the application and in the messages that say it is missing.
QString pdfiumLibraryFileName();

}  // namespace platform
