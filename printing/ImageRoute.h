#pragma once

#include "printing/PrintRoute.h"

class DocumentFile;

// An image file painted by the program itself onto the preset's printer: decoded (within the decoder's
// allocation limit, turned as its EXIF orientation says) before anything is switched, centred and scaled to
// the paper in its own orientation. The printer's settings carry one copy and the job asks for the preset's
// copies itself.
class ImageRoute final : public PrintRoute
{
public:
    explicit ImageRoute(DocumentFile &document) : document(document) {}

    Kind kind() const override { return Kind::Image; }
    RouteAnswer print(const PrintPreset &preset, const QList<Kind> &passedOn) override;

private:
    DocumentFile &document;
};
