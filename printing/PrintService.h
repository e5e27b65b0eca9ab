#pragma once

#include "base/Records.h"
#include "printing/ForegroundWindowContext.h"
#include "printing/PrintOutcome.h"

#include <QString>
#include <QtGlobal>

// The single entry point for printing: a preset plus a file or the foreground application's document.
// Stateless: construct one on the spot. Every message pointer receives one translated line on success as
// well as on failure; every JobDetails pointer receives the job's name and page count for the history.
class PrintService
{
public:
    // The result codes of the int-returning operations below (the values of PrintResult).
    enum Result : int {
        Sent = 0,         // the job was handed over (spooler, application or shell handler)
        NoDocument = 1,   // the foreground application has no printable document, or not the expected one
        Unsupported = 2,  // the file does not exist or its kind is not supported
        Failed = 3        // printing was attempted and failed; the message says why
    };

    using JobDetails = ::JobDetails;

    // True when the path's suffix (lowercased) is one of the printable kinds. Does not look at the file.
    static bool isSupportedFile(const QString &path);

    // A dropped file: PDF (Acrobat, then the built-in engine), Word/WPS (shell verb) or image.
    PrintOutcome printFile(const QString &filePath, const PrintPreset &preset) const;
    // The document of the application that was in front (a card click or a hotkey).
    PrintOutcome printActiveDocument(const PrintPreset &preset,
                                     const ForegroundWindowContext &foreground) const;

    int printFile(const QString &filePath, const PrintPreset &preset, QString *message,
                  JobDetails *details = nullptr) const;

    // The foreground application's document, chosen by its automation ProgID.
    int printActiveDocument(const PrintPreset &preset, const QString &progId, quint32 processId,
                            const QString &windowTitle, QString *message = nullptr,
                            JobDetails *details = nullptr) const;

    // Word or WPS active document through COM automation.
    int printActiveComDocument(const QString &progId, quint32 processId, const PrintPreset &preset,
                               QString *message = nullptr, JobDetails *details = nullptr) const;

    // The PDF open in Acrobat in the foreground.
    int printActivePdfDocument(quint32 processId, const QString &windowTitle, const PrintPreset &preset,
                               QString *message = nullptr, JobDetails *details = nullptr) const;

    // An image file, painted by the program itself.
    int printImageFile(const QString &imagePath, const PrintPreset &preset, QString *message = nullptr,
                       JobDetails *details = nullptr) const;

    // The picture shown by a recognised image viewer in the foreground, found from its window title.
    int printActiveImageDocument(quint32 processId, const QString &windowTitle, const PrintPreset &preset,
                                 QString *message = nullptr, JobDetails *details = nullptr) const;

    // Command-line self-checks: nothing is printed; the message is untranslated.
    static bool verifyDriverIsolation(QString *message = nullptr);
    static bool verifyAcrobatIsolation(const QString &pdfPath, QString *message = nullptr);
};
