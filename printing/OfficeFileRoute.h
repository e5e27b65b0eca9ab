#pragma once

#include "printing/PrintRoute.h"

class DocumentFile;

// A Word or WPS document file handed to the desktop's handler (a private copy of the checked file, named like
// it) while the preset's settings hold, with the preset's copies in the printer's settings. A handler that
// prints the document itself (Windows) is done then. When it makes a PDF of it instead (LibreOffice on
// Linux), that PDF goes the system's PDF route within the same settings scope, with the document's name; when
// the printer takes no PDF, when the server refuses it, or when `builtInEngine` says so, the built-in engine
// prints it, after the scope.
class OfficeFileRoute final : public PrintRoute
{
public:
    explicit OfficeFileRoute(DocumentFile &document, bool builtInEngine = false)
        : document(document), builtInEngine(builtInEngine)
    {
    }

    Kind kind() const override { return Kind::OfficeFile; }
    RouteAnswer print(const PrintPreset &preset, const QList<Kind> &passedOn) override;

private:
    DocumentFile &document;
    const bool builtInEngine;
};
