#pragma once

#include "printing/PrintRoute.h"

class DocumentFile;

// A PDF file printed by Adobe Acrobat (a private copy of the checked file), with the preset's copies in the
// printer's settings. Not available on systems without automation servers. When Acrobat is missing or fails,
// the document is passed on to the built-in engine.
class AcrobatFileRoute final : public PrintRoute
{
public:
    explicit AcrobatFileRoute(DocumentFile &document) : document(document) {}

    Kind kind() const override { return Kind::Acrobat; }
    bool available() const override;
    RouteAnswer print(const PrintPreset &preset, const QList<Kind> &passedOn) override;

private:
    DocumentFile &document;
};
