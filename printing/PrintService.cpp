#include "printing/PrintService.h"

#include "base/I18n.h"
#include "platform/Automation.h"
#include "platform/WindowSystem.h"
#include "printing/AcrobatDocument.h"
#include "printing/AcrobatFileRoute.h"
#include "printing/ActiveAcrobatRoute.h"
#include "printing/ActiveOfficeRoute.h"
#include "printing/DocumentFile.h"
#include "printing/ImageRoute.h"
#include "printing/ImageViewerPicture.h"
#include "printing/OfficeFileRoute.h"
#include "printing/PdfEngineRoute.h"
#include "printing/SelfChecks.h"
#include "printing/SystemPdfRoute.h"

#include <QFileInfo>
#include <QStringList>


namespace {

const char *const unsupportedFileMessage =
    "Supported files: PDF, Word documents, WPS documents, and common image formats.";

PrintOutcome printDocument(DocumentFile &document, const PrintPreset &preset)
{
    switch (document.kind()) {
    case DocumentKind::Pdf: {
        SystemPdfRoute system(document);
        AcrobatFileRoute acrobat(document);
        PdfEngineRoute engine(document);
        return printThroughRoutes({&system, &acrobat, &engine}, preset);
    }
    case DocumentKind::Image: {
        ImageRoute image(document);
        return printThroughRoutes({&image}, preset);
    }
    case DocumentKind::WordDocument: {
        OfficeFileRoute office(document);
        return printThroughRoutes({&office}, preset);
    }
    }
    return PrintOutcome();
}

PrintOutcome printActiveAcrobatDocument(const PrintPreset &preset, const ForegroundWindowContext &foreground)
{
    const ActiveAcrobatDocument active =
        findActiveAcrobatDocument(foreground.processId, foreground.windowTitle);
    if (!active.found()) {
        PrintOutcome none;
        none.result = PrintResult::NoDocument;
        return none;
    }
    // The file behind the document, for the engine when Acrobat refuses: opened before anything is switched.
    std::unique_ptr<DocumentFile> file;
    if (!active.filePath.isEmpty())
        file = std::make_unique<DocumentFile>(active.filePath);
    ActiveAcrobatRoute acrobat(active);
    std::unique_ptr<PdfEngineRoute> engine;
    if (file && file->isOpen() && file->kind() == DocumentKind::Pdf)
        engine = std::make_unique<PdfEngineRoute>(*file);
    PrintOutcome outcome = printThroughRoutes({&acrobat, engine.get()}, preset);
    outcome.details.jobName = active.title;
    return outcome;
}

PrintOutcome printViewerPicture(const PrintService &service, const PrintPreset &preset,
                                const ForegroundWindowContext &foreground)
{
    PrintOutcome outcome;
    outcome.result = PrintResult::NoDocument;
    if (!platform::windowSystem().processExists(foreground.processId))
        return outcome;
    const QString path = resolveImageFromWindowTitle(foreground.windowTitle);
    if (path.isEmpty()) {
        outcome.message =
            I18n::text("The active image could not be located. Drag the image onto a printer preset.");
        return outcome;
    }
    return service.printFile(path, preset);
}

// Why a document the table knows is not printed; empty when it is found.
QString shownDocumentProblem(const platform::ShownDocument &shown)
{
    switch (shown.status) {
    case platform::ShownDocument::Status::Gone:
        return I18n::text(
                   "%1 was deleted or renamed after %2 opened it, so nothing was printed. Drag the file "
                   "onto a printer preset to print it.")
            .arg(shown.name, shown.programName);
    case platform::ShownDocument::Status::Unsure:
        return I18n::text(
                   "Ollavan Quick cannot tell which file %1 shows. Drag the file onto a printer preset "
                   "to print it.")
            .arg(shown.programName);
    default:
        return QString();
    }
}

// The file a program of the system's table shows, printed like a dropped file. The window is asked again, so
// a file deleted or renamed since the foreground poll is not printed.
PrintOutcome printShownDocument(const PrintService &service, const PrintPreset &preset,
                                const ForegroundWindowContext &foreground)
{
    platform::ShownDocument shown = foreground.document;
    platform::WindowSystem &windows = platform::windowSystem();
    if (windows.processExists(foreground.processId)) {
        const platform::ShownDocument now =
            windows.shownDocument(foreground.processId, foreground.windowTitle);
        if (now.status != platform::ShownDocument::Status::NotShown)
            shown = now;
    }
    if (shown.status != platform::ShownDocument::Status::Found) {
        PrintOutcome outcome;
        outcome.result = PrintResult::NoDocument;
        outcome.message = shownDocumentProblem(shown);
        outcome.details.jobName = shown.name;
        return outcome;
    }
    PrintOutcome outcome = service.printFile(shown.path, preset);
    if (outcome.sent() && shown.unsavedChanges)
        outcome.message =
            I18n::text("Sent %1 as last saved: its unsaved changes were not printed.").arg(shown.name);
    return outcome;
}

}  // namespace

QString PrintService::foregroundStatus(const ForegroundWindowContext &foreground)
{
    const platform::ShownDocument &shown = foreground.document;
    if (shown.status != platform::ShownDocument::Status::Found)
        return shownDocumentProblem(shown);
    return shown.unsavedChanges
               ? I18n::text("Ready to print %1 as last saved: its unsaved changes will not be printed.")
                     .arg(shown.name)
               : I18n::text("Ready to print %1").arg(shown.name);
}

bool PrintService::isSupportedFile(const QString &path)
{
    static const QStringList suffixes = {
        QStringLiteral("pdf"), QStringLiteral("doc"),  QStringLiteral("docx"), QStringLiteral("wps"),
        QStringLiteral("jpg"), QStringLiteral("jpeg"), QStringLiteral("png"),  QStringLiteral("bmp"),
        QStringLiteral("gif"), QStringLiteral("tif"),  QStringLiteral("tiff"), QStringLiteral("webp"),
        QStringLiteral("odt"), QStringLiteral("rtf")};
    return suffixes.contains(QFileInfo(path).suffix().toLower());
}

PrintOutcome PrintService::printFile(const QString &filePath, const PrintPreset &preset) const
{
    const platform::AutomationApartment apartment;
    if (!isSupportedFile(filePath)) {
        PrintOutcome outcome;
        outcome.result = PrintResult::Unsupported;
        outcome.message = I18n::text(unsupportedFileMessage);
        outcome.details.jobName = QFileInfo(filePath).fileName();
        return outcome;
    }
    DocumentFile document(filePath);
    if (!document.isOpen())
        return document.refusal();
    return printDocument(document, preset);
}

PrintOutcome PrintService::printActiveDocument(const PrintPreset &preset,
                                               const ForegroundWindowContext &foreground) const
{
    const platform::AutomationApartment apartment;
    PrintOutcome outcome;
    if (foreground.document.status != platform::ShownDocument::Status::NoTable) {
        outcome = printShownDocument(*this, preset, foreground);
    } else if (foreground.progId == QLatin1String("AcroExch.App")) {
        outcome = printActiveAcrobatDocument(preset, foreground);
    } else if (foreground.progId == QLatin1String("Ollavan.ImageViewer")) {
        outcome = printViewerPicture(*this, preset, foreground);
    } else {
        ActiveOfficeRoute office(foreground.progId, foreground.processId);
        outcome = printThroughRoutes({&office}, preset);
    }
    if (outcome.result == PrintResult::NoDocument && outcome.message.isEmpty())
        outcome.message = I18n::text("Bring a supported document to the foreground, or drag the file onto a "
                                     "printer preset.");
    return outcome;
}

bool PrintService::verifyDriverIsolation(QString *message)
{
    const SelfCheck check = checkDriverIsolation();
    if (message)
        *message = check.message;
    return check.passed;
}

bool PrintService::verifyAcrobatIsolation(const QString &pdfPath, QString *message)
{
    const SelfCheck check = checkAcrobatIsolation(pdfPath);
    if (message)
        *message = check.message;
    return check.passed;
}
