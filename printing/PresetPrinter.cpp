#include "printing/PresetPrinter.h"

#include <QPrinter>

void applyPresetToPrinter(QPrinter &printer, const PrintPreset &preset)
{
    printer.setPrinterName(preset.printerName);
    printer.setCopyCount(qBound(1, preset.copies, 9999));
    if (preset.useDriverSettings)
        return;
    printer.setColorMode(preset.colorMode == ColorMode::Color ? QPrinter::Color : QPrinter::GrayScale);
    if (preset.duplexMode == DuplexMode::Simplex)
        printer.setDuplex(QPrinter::DuplexNone);
    else if (preset.duplexEdge == DuplexEdge::Short)
        printer.setDuplex(QPrinter::DuplexShortSide);
    else
        printer.setDuplex(QPrinter::DuplexLongSide);
}

QRect centredTarget(const QRect &paintRect, const QSize &imageSize)
{
    const QSize scaled = imageSize.scaled(paintRect.size(), Qt::KeepAspectRatio);
    return QRect((paintRect.width() - scaled.width()) / 2, (paintRect.height() - scaled.height()) / 2,
                 scaled.width(), scaled.height());
}
