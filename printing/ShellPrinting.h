#pragma once

#include <QString>
#include <QtGlobal>

// Hands a Word or WPS document to the handler the desktop registered for printing it to a named printer (the
// shell's "printto" verb), and waits for the handler: at most 10 s until it is ready for input, then at most
// 30 s until it ends. A handler that runs longer is left running and the job counts as sent. Only the printer
// name is passed: the caller's printer settings scope carries colour, duplex, paper and copies.
// False when no handler could be started, with the Windows error code in *windowsError (1155: no handler for
// the file type).
bool executeShellPrint(const QString &filePath, const QString &printerName, quint32 *windowsError = nullptr);

// The document's page count from the shell's properties; 0 when it has none.
int shellDocumentPageCount(const QString &path);
