#pragma once

#include <QByteArray>
#include <QString>

namespace ollavan::testsupport {

// A small, well-formed PDF (correct cross-reference table) of `pages` pages alternating portrait A4 and
// landscape A4, each with a black frame.
QByteArray makeMixedOrientationPdf(int pages);
// The same document encrypted with a user password (needs mutool); empty when encryption failed.
QByteArray encryptPdf(const QByteArray &pdf, const QString &userPassword, QString *error = nullptr);
// Writes bytes to a file (creating folders); false on failure.
bool writeFile(const QString &path, const QByteArray &bytes);

}  // namespace ollavan::testsupport
