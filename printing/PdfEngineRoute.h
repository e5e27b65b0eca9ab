#pragma once

#include "printing/PrintRoute.h"

#include <optional>

class DocumentFile;

// The PDF opened in the built-in engine and closed again, nothing rendered, as the engine's route opens it
// before anything is switched: its page count, or nothing with the engine's refusal (its result and message,
// after Acrobat's failure when Acrobat tried first) in *refusal.
std::optional<int> checkedPageCount(DocumentFile &document, const QList<PrintRoute::Kind> &passedOn,
                                    PrintOutcome *refusal);

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
