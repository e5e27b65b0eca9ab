#pragma once

#include "printing/PrintRoute.h"

class DocumentFile;

// A PDF file printed by the built-in engine: the document is opened in the engine before anything is switched
// (a damaged or locked PDF is refused with nothing switched); the printer's settings carry one copy and the
// job asks for the preset's copies itself. Last in the PDF chains.
class PdfEngineRoute final : public PrintRoute
{
public:
    explicit PdfEngineRoute(DocumentFile &document) : document(document) {}

    Kind kind() const override { return Kind::PdfEngine; }
    RouteAnswer print(const PrintPreset &preset, const QList<Kind> &passedOn) override;

private:
    DocumentFile &document;
};
