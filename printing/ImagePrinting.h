#pragma once

#include <QString>

// Image printing: pictures are painted by the program itself onto a QPrinter for the preset's printer
// (PrintService::printImageFile), and the picture shown by an image viewer is found from its window title
// (PrintService::printActiveImageDocument).

// True for the image suffixes the program prints ("jpg", "jpeg", "png", "bmp", "gif", "tif", "tiff", "webp"),
// in any case.
bool isImageSuffix(const QString &suffix);

// The absolute path of the image file a viewer's window title names, looked for as a full path, in the
// folder the title names and in the user's Desktop, Pictures, Downloads and Documents folders (directly,
// then recursively); empty when the title names no image or the file is not found.
QString resolveImageFromWindowTitle(const QString &windowTitle);
