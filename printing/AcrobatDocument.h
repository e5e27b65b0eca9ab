#pragma once

#include "platform/Automation.h"

#include <QString>

#include <optional>

// Adobe Acrobat (or Reader) driven through its automation objects. Acrobat never prints with its own dialog
// or stored settings: every job goes through the document's JavaScript object with a PrintParams object
// whose printer, page range, scaling and interaction level are set explicitly. The copies reach Acrobat only
// through the printer's settings for the user, which the caller has switched.

// Prints `document` (an Acrobat PDDoc) with independent print parameters: printer `printerName`, pages
// 0..lastPage, shrink to fit, one page per sheet, silent. With `submit` false everything is prepared and
// nothing is printed. True on success.
bool printWithIndependentParams(const platform::DispatchPtr &document, const QString &printerName,
                                int lastPage, bool submit);

// Opens the file in Acrobat (starting a hidden instance of its own when none runs, and ending it
// afterwards), prints it with independent print parameters and closes it without saving. The document's
// page count on success; nothing when Acrobat is not installed or any step fails. With `submit` false
// nothing is printed.
std::optional<int> printFileInAcrobat(const QString &filePath, const QString &printerName, bool submit);

// The absolute path of the file behind an open Acrobat document (a PDDoc), from its JavaScript object's
// "path" ("file:" URLs and Acrobat's "/C/dir/file.pdf" form are understood); empty when the document has no
// such object or the path names no existing file.
QString pdfPathFromAcrobat(const platform::DispatchPtr &document);

// The document Acrobat shows in front, with the objects that lead to it (held until this goes).
struct ActiveAcrobatDocument
{
    platform::DispatchPtr application;
    platform::DispatchPtr view;
    platform::DispatchPtr document;
    QString title;
    int pageCount = 0;
    QString filePath;  // the file behind it; empty when there is none

    bool found() const { return bool(document); }
};

// The document of the Acrobat process `processId` in front, when its title is `windowTitle` (any title when
// that is empty) and it has pages; not found otherwise.
ActiveAcrobatDocument findActiveAcrobatDocument(quint32 processId, const QString &windowTitle);
