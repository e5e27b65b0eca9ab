#pragma once

#include <QString>

namespace platform {

// The PDFium library's file name as the platform's loader names it ("pdfium.dll" on Windows, "libpdfium.so"
// on Linux), used to find it beside the application and in the messages that say it is missing.
QString pdfiumLibraryFileName();

// The folder an installed copy keeps the library in, relative to the folder of the executables: on Linux the
// package's private library folder (for example "../lib/x86_64-linux-gnu/ollavan-quick", set by the build
// from the install layout), on Windows the executables' own folder (".").
QString installedPdfiumFolder();

}  // namespace platform
