#pragma once

#include "platform/Automation.h"

#include <QString>

// Printing PDFs through Adobe Acrobat or Acrobat Reader. Acrobat never prints with its own dialog or
// stored settings: every job goes through the document's JavaScript object with a PrintParams object
// whose printer, page range, scaling and interaction level are set explicitly. The copies reach Acrobat
// only through the printer's per-user settings, which the caller's settings scope has set.

// Prints `document` (an Acrobat PDDoc) with independent print parameters: printer `printerName`, pages
// 0..lastPage, shrink to fit, one page per sheet, silent. With `submit` false everything is prepared and
// nothing is printed. True on success.
bool invokePdfPrintIndependent(const platform::DispatchPtr &document, const QString &printerName,
                               int lastPage, bool submit);

// Opens the file in Acrobat (starting a hidden instance of its own when none runs, and ending it
// afterwards), prints it with independent print parameters and closes it without saving. `pageCount`,
// when given, receives the document's page count on success. False when Acrobat is not installed or any
// step fails; with `submit` false nothing is printed.
bool executeAcrobatPdfPrint(const QString &filePath, const QString &printerName, int *pageCount = nullptr,
                            bool submit = true);

// The absolute path of the file behind an open Acrobat document (a PDDoc), from its JavaScript object's
// "path" ("file:" URLs and Acrobat's "/C/dir/file.pdf" form are understood); empty when the document has
// no such object or the path names no existing file.
QString pdfPathFromAcrobat(const platform::DispatchPtr &document);
