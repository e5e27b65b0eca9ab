#pragma once

#include "printing/PrintRoute.h"

#include <QString>

class DocumentFile;

// The print system's own way of printing a PDF file as it is (platform::PdfJobSubmission), first in the PDF
// chain; not available where the system has none (Windows). A printer that takes no PDF gets the document
// passed on at once. Else the document is checked as the built-in engine checks it, without rendering it,
// before anything is switched: a damaged, empty, truncated or locked PDF is refused with the engine's result
// and message, and its page count is the job's. The job is submitted while the preset's settings hold (one
// copy in the saved settings, the preset's copies on the job). When the server refuses the job, the document
// is passed on to the built-in engine, with nothing printed and nothing left switched.
class SystemPdfRoute final : public PrintRoute
{
public:
    // `sentMessage` replaces the message of a job that was sent ("Sent to CUPS as PDF: NAME").
    explicit SystemPdfRoute(DocumentFile &document, const QString &sentMessage = QString())
        : document(document), sentMessage(sentMessage)
    {
    }

    Kind kind() const override { return Kind::SystemPdf; }
    bool available() const override;
    RouteAnswer print(const PrintPreset &preset, const QList<Kind> &passedOn) override;
    // The same while the caller holds the preset's settings scope (the saved settings carry any copies: the
    // job asks for the preset's own).
    RouteAnswer printWhileSwitched(const PrintPreset &preset, const QList<Kind> &passedOn);

private:
    RouteAnswer send(const PrintPreset &preset, const QList<Kind> &passedOn, bool switchSettings);

    DocumentFile &document;
    const QString sentMessage;
};
