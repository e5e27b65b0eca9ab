#pragma once

#include "printing/PrintRoute.h"

class DocumentFile;

// The print system's own way of printing a PDF file as it is, first in the PDF chain. This system has none
// yet: the route is not available and the chain goes on to Acrobat and the built-in engine.
class SystemPdfRoute final : public PrintRoute
{
public:
    explicit SystemPdfRoute(DocumentFile &document) : document(document) {}

    Kind kind() const override { return Kind::SystemPdf; }
    bool available() const override;
    RouteAnswer print(const PrintPreset &preset, const QList<Kind> &passedOn) override;

private:
    DocumentFile &document;
};
