#include "printing/PrintService.h"

#include "base/I18n.h"
#include "platform/Automation.h"
#include "printing/AcrobatPrinting.h"
#include "printing/ImagePrinting.h"
#include "printing/PrinterSettingsScope.h"
#include "printing/ShellPrinting.h"
#include "printing/pdf/PdfiumFallback.h"

#include <QFileInfo>

namespace {

const char *const unsupportedFileMessage =
    "Supported files: PDF, Word documents, WPS documents, and common image formats.";

int finish(QString *message, int result, const QString &text)
{
    if (message)
        *message = text;
    return result;
}

bool isPdfSuffix(const QString &suffix)
{
    return suffix.compare(QLatin1String("pdf"), Qt::CaseInsensitive) == 0;
}

bool isWordSuffix(const QString &suffix)
{
    const QString lower = suffix.toLower();
    return lower == QLatin1String("doc") || lower == QLatin1String("docx") || lower == QLatin1String("wps");
}

}  // namespace

bool PrintService::isSupportedFile(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix();
    return isPdfSuffix(suffix) || isWordSuffix(suffix) || isImageSuffix(suffix);
}

PrintOutcome PrintService::printFile(const QString &filePath, const PrintPreset &preset) const
{
    PrintOutcome outcome;
    outcome.result = PrintResult(printFile(filePath, preset, &outcome.message, &outcome.details));
    return outcome;
}

PrintOutcome PrintService::printActiveDocument(const PrintPreset &preset,
                                               const ForegroundWindowContext &foreground) const
{
    PrintOutcome outcome;
    outcome.result =
        PrintResult(printActiveDocument(preset, foreground.progId, foreground.processId,
                                        foreground.windowTitle, &outcome.message, &outcome.details));
    return outcome;
}

int PrintService::printFile(const QString &filePath, const PrintPreset &preset, QString *message,
                            JobDetails *details) const
{
    platform::AutomationApartment apartment;

    const QFileInfo info(filePath);
    const QString fileName = info.fileName();
    if (details) {
        details->jobName = fileName;
        details->pageCount = shellDocumentPageCount(info.absoluteFilePath());
    }
    if (!info.exists() || !isSupportedFile(filePath))
        return finish(message, Unsupported, I18n::text(unsupportedFileMessage));

    const QString suffix = info.suffix();
    if (isImageSuffix(suffix))
        return printImageFile(filePath, preset, message, details);

    QString error;

    if (isPdfSuffix(suffix)) {
        int pageCount = 0;
        {
            PrinterSettingsScope scope;
            if (!scope.apply(preset, &error))
                return finish(message, Failed, error);
            if (executeAcrobatPdfPrint(filePath, preset.printerName, &pageCount, true)) {
                if (details && pageCount > 0)
                    details->pageCount = pageCount;
                return finish(message, Sent, I18n::text("Sent: %1").arg(fileName));
            }
        }

        // The engine requests the copies on its printer object, so the printer's settings carry one copy.
        PrintPreset singleCopy = preset;
        singleCopy.copies = 1;
        PrinterSettingsScope scope;
        if (!scope.apply(singleCopy, &error))
            return finish(message, Failed, error);
        pageCount = 0;
        QString engineError;
        if (!PdfiumFallback::printDocument(filePath, preset, &pageCount, &engineError))
            return finish(message, Failed,
                          I18n::text("Adobe Acrobat failed and the built-in PDF engine could not print the "
                                     "document: %1")
                              .arg(engineError));
        if (details && pageCount > 0)
            details->pageCount = pageCount;
        return finish(message, Sent, I18n::text("Sent with built-in PDF engine: %1").arg(fileName));
    }

    PrinterSettingsScope scope;
    if (!scope.apply(preset, &error))
        return finish(message, Failed, error);
    quint32 shellError = 0;
    if (!executeShellPrint(filePath, preset.printerName, &shellError))
        return finish(
            message, Failed,
            I18n::text("Windows has no print handler for this document (error %1).").arg(shellError));
    return finish(message, Sent, I18n::text("Sent: %1").arg(fileName));
}

int PrintService::printActiveDocument(const PrintPreset &preset, const QString &progId, quint32 processId,
                                      const QString &windowTitle, QString *message, JobDetails *details) const
{
    platform::AutomationApartment apartment;

    int result = Failed;
    if (progId == QLatin1String("AcroExch.App"))
        result = printActivePdfDocument(processId, windowTitle, preset, message, details);
    else if (progId == QLatin1String("Ollavan.ImageViewer"))
        result = printActiveImageDocument(processId, windowTitle, preset, message, details);
    else
        result = printActiveComDocument(progId, processId, preset, message, details);

    if (result == NoDocument && message && message->isEmpty())
        *message = I18n::text("Bring a supported document to the foreground, or drag the file onto a printer "
                              "preset.");
    return result;
}
