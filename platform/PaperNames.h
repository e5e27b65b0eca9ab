#pragma once

#include <QPageSize>
#include <QString>

namespace platform {

// The paper of a preset, by name: trimmed, upper case, the first matching prefix of A3 A4 A5 A6 B4 B5 LETTER
// LEGAL; anything else is A4.

// As a Windows DMPAPER code (A3 8, A4 9, A5 11, A6 70, B4 12, B5 13, LETTER 1, LEGAL 5).
int paperCodeForName(const QString &name);
// As a page size.
QPageSize pageSizeForName(const QString &name);

}  // namespace platform
