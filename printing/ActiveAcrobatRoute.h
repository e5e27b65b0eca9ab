#pragma once

#include "printing/PrintRoute.h"

struct ActiveAcrobatDocument;

// The PDF that Acrobat shows in front, printed by Acrobat itself with the preset's copies in the printer's
// settings. When Acrobat refuses, the document is passed on (to the built-in engine when the file behind it
// is known). Not available on systems without automation servers.
class ActiveAcrobatRoute final : public PrintRoute
{
public:
    explicit ActiveAcrobatRoute(const ActiveAcrobatDocument &document) : document(document) {}

    Kind kind() const override { return Kind::ActiveAcrobat; }
    bool available() const override;
    RouteAnswer print(const PrintPreset &preset, const QList<Kind> &passedOn) override;

private:
    const ActiveAcrobatDocument &document;
};
