#pragma once

#include <QByteArray>
#include <QList>
#include <QSize>
#include <QSizeF>
#include <QString>

namespace ollavan::testsupport {

// One page of a hand-written PDF: its MediaBox size in points, its /Rotate and its content stream.
struct PdfPageSpec
{
    QSizeF size;
    int rotate = 0;
    QByteArray content;
};

// A small, well-formed PDF (correct cross-reference table) with the given pages.
QByteArray makePdf(const QList<PdfPageSpec> &pages);
// A PDF of `pages` pages alternating portrait A4 and landscape A4, each with a black frame and its number.
QByteArray makeMixedOrientationPdf(int pages);
// The same document encrypted with a user password (needs mutool); empty when encryption failed.
QByteArray encryptPdf(const QByteArray &pdf, const QString &userPassword, QString *error = nullptr);

// A JPEG of `stored` pixels (wider than high when stored.width() > stored.height()) whose EXIF block says
// the camera was turned: orientation 6 ("rotate 90 degrees clockwise to display").
QByteArray makeJpegWithExifOrientation(const QSize &stored, int orientation = 6);

// Writes bytes to a file (creating folders); false on failure.
bool writeFile(const QString &path, const QByteArray &bytes);

}  // namespace ollavan::testsupport
