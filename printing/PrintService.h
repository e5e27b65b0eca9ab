#pragma once

#include "base/Records.h"
#include "printing/ForegroundWindowContext.h"
#include "printing/PrintOutcome.h"

#include <QString>

// The single entry point for printing: a preset plus a file or the foreground application's document.
// Stateless: construct one on the spot. Every outcome carries one translated line, on success as well as on
// failure, and the job's name and page count for the history.
//
// A file is opened and checked once (DocumentFile) and goes to the routes of its kind by content: a PDF to
// the system's own PDF route, then Acrobat, then the built-in engine; an image to the image route; a Word,
// WPS, OpenDocument or RTF document to the desktop's handler. The application in front: Word or WPS through
// automation, Acrobat's document (then the built-in engine), or the picture an image viewer shows.
class PrintService
{
public:
    // The values of PrintResult as plain integers (the command line's exit codes).
    enum Result : int {
        Sent = int(PrintResult::Sent),
        NoDocument = int(PrintResult::NoDocument),
        Unsupported = int(PrintResult::Unsupported),
        Failed = int(PrintResult::Failed)
    };

    using JobDetails = ::JobDetails;

    // True when the path's suffix (lowercased) is one of the printable kinds. Does not look at the file.
    static bool isSupportedFile(const QString &path);

    // A dropped file (or one named on the command line). A file whose suffix is not supported is refused
    // without being opened.
    PrintOutcome printFile(const QString &filePath, const PrintPreset &preset) const;
    // The document of the application that was in front (a card click or a hotkey). A document that the
    // system's table of programs found prints exactly as if its file had been dropped.
    PrintOutcome printActiveDocument(const PrintPreset &preset,
                                     const ForegroundWindowContext &foreground) const;

    // One translated line on what a click would print from this foreground: the document the system's table
    // found (noting unsaved changes), or why it prints nothing; empty for applications outside that table.
    static QString foregroundStatus(const ForegroundWindowContext &foreground);

    // Command-line self-checks: nothing is printed; the message is untranslated.
    static bool verifyDriverIsolation(QString *message = nullptr);
    static bool verifyAcrobatIsolation(const QString &pdfPath, QString *message = nullptr);
};
