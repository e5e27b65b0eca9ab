#pragma once

#include <QByteArray>
#include <QList>
#include <QSize>
#include <QString>

namespace ollavan::testsupport {

// A small, well-formed PDF (correct cross-reference table) with pages of the given sizes in points, each
// filled light grey with a black 20-point square in its top left corner.
QByteArray makePdf(const QList<QSize> &pages);
// The same with `pages` pages alternating portrait A4 and landscape A4.
QByteArray makeMixedOrientationPdf(int pages);
// The same document encrypted with a user password (needs mutool); empty when encryption failed.
QByteArray encryptPdf(const QByteArray &pdf, const QString &userPassword, QString *error = nullptr);
// Writes bytes to a file (creating folders); false on failure.
bool writeFile(const QString &path, const QByteArray &bytes);

}  // namespace ollavan::testsupport
