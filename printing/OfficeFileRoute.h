#pragma once

#include "printing/PrintRoute.h"

class DocumentFile;

// A Word or WPS document file handed to the desktop's handler for printing it (a private copy of the checked
// file, named like it), with the preset's copies in the printer's settings.
class OfficeFileRoute final : public PrintRoute
{
public:
    explicit OfficeFileRoute(DocumentFile &document) : document(document) {}

    Kind kind() const override { return Kind::OfficeFile; }
    RouteAnswer print(const PrintPreset &preset, const QList<Kind> &passedOn) override;

private:
    DocumentFile &document;
};
