#pragma once

#include <QImage>

class QByteArray;
class QString;

// A small PNG reader for the program's own images (the window icon). Qt's image reader loads and
// instantiates every installed image-format plugin the first time it reads anything, whatever the format;
// this reader needs none of them.
//
// It reads non-interlaced images with 8 bits per sample: grey, grey with alpha, RGB, RGB with alpha, and
// palette images (with or without a transparency chunk). Images with alpha come back as
// QImage::Format_ARGB32, the others as QImage::Format_RGB32; colour-space chunks are ignored. Anything else
// (interlaced, 1/2/4/16 bits, damaged data) gives a null image and an English detail text; callers fall back
// to Qt's reader, which handles every PNG.
namespace PngDecoder {

QImage decode(const QByteArray &data, QString *errorText = nullptr);

// Reads the file (resource paths included) and decodes it.
QImage load(const QString &path, QString *errorText = nullptr);

}  // namespace PngDecoder
