#include "printing/ImageRoute.h"

#include "base/I18n.h"
#include "platform/PrintJobOptions.h"
#include "printing/DocumentFile.h"
#include "printing/PresetPrinter.h"
#include "printing/PresetSettings.h"
#include "printing/PrinterSettingsScope.h"

#include <QImage>
#include <QImageReader>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>

RouteAnswer ImageRoute::print(const PrintPreset &preset, const QList<Kind> &)
{
    RouteAnswer answer;
    PrintOutcome &outcome = answer.outcome;
    outcome.details.jobName = document.fileName();

    QImageReader reader(&document.rewound(), document.imageFormat());
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    const qint64 limit = qint64(QImageReader::allocationLimit()) * 1024 * 1024 / 4;
    if (limit > 0 && size.isValid() && qint64(size.width()) * size.height() > limit) {
        outcome.result = PrintResult::Unsupported;
        outcome.message =
            I18n::text("%1 is too large an image to print (%2 × %3 pixels). Make it smaller in an "
                       "image editor and print it again.")
                .arg(document.fileName())
                .arg(size.width())
                .arg(size.height());
        return answer;
    }
    const QImage image = reader.read();
    if (image.isNull()) {
        outcome.message =
            I18n::text("Unable to read image: %1")
                .arg(document.fileName() + QStringLiteral(" (") + reader.errorString() + QLatin1Char(')'));
        return answer;
    }
    outcome.details.pageCount = 1;

    PresetSettings settings;
    const QString error = settings.apply(preset, CopiesFrom::Job);
    if (!error.isEmpty()) {
        outcome.message = error;
        return answer;
    }

    QPrinter printer(QPrinter::HighResolution);
    applyPresetToPrinter(printer, preset);
    if (!preset.useDriverSettings) {
        printer.setPageSize(pageSizeForName(preset.paperSize));
        printer.setPageOrientation(image.width() > image.height() ? QPageLayout::Landscape
                                                                  : QPageLayout::Portrait);
    }
    // Qt turns a printer it does not know into a PDF writer without a file: that is no printer either.
    if (!printer.isValid() || printer.outputFormat() != QPrinter::NativeFormat) {
        outcome.message = I18n::text("Printer unavailable: %1").arg(preset.printerName);
        return answer;
    }
    platform::printJobOptions().prepare(printer, preset.useDriverSettings);

    QPainter painter;
    if (!painter.begin(&printer)) {
        outcome.message = I18n::text("Unable to create the image print job.");
        return answer;
    }
    const QRect paintRect = printer.pageLayout().paintRectPixels(printer.resolution());
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(centredTarget(paintRect, image.size()), image);
    painter.end();
    outcome.result = PrintResult::Sent;
    outcome.message = I18n::text("Image sent: %1").arg(document.fileName());
    return answer;
}
