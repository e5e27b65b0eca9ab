#pragma once

// What the print routes that draw pages themselves (images and the built-in PDF engine) set up alike on their
// QPrinter, and how they place a picture on the page.

#include "base/Records.h"

#include <QRect>
#include <QSize>

class QPrinter;

// Points the printer at the preset's printer with the preset's copies (1 to 9999) and, unless the preset
// keeps the driver's own settings, its colour mode and sides. Paper and orientation are the caller's.
void applyPresetToPrinter(QPrinter &printer, const PrintPreset &preset);

// The picture scaled to fit the paint rectangle (in the page's pixels, as QPageLayout::paintRectPixels gives
// it), keeping its aspect ratio, centred on it: in the painter's coordinates, whose origin is the paint
// rectangle's top left corner.
QRect centredTarget(const QRect &paintRect, const QSize &imageSize);
