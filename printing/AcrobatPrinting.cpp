#include "printing/AcrobatPrinting.h"

#include "base/I18n.h"
#include "platform/PrinterSettings.h"
#include "platform/SystemTexts.h"
#include "platform/WindowSystem.h"
#include "printing/PrintService.h"
#include "printing/PrinterSettingsScope.h"
#include "printing/pdf/PdfiumFallback.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

#include <utility>

using platform::DispatchPtr;
using platform::Variant;

namespace {

// Runs an action when the enclosing block is left, on every path.
template <typename Action> class ScopeExit
{
public:
    explicit ScopeExit(Action action) : action(std::move(action)) {}
    ~ScopeExit()
    {
        if (armed)
            action();
    }
    void arm() { armed = true; }
    ScopeExit(const ScopeExit &) = delete;
    ScopeExit &operator=(const ScopeExit &) = delete;

private:
    Action action;
    bool armed = false;
};

// Acrobat's device-independent path: a slash, one drive letter, a slash, the rest.
const QRegularExpression &acrobatDrivePath()
{
    static const QRegularExpression expression(QStringLiteral("^/([A-Za-z])/(.*)$"));
    return expression;
}

Variant dispatchVariant(const DispatchPtr &object)
{
    Variant variant;
    variant.type = Variant::Type::Dispatch;
    variant.dispatch = object;
    return variant;
}

}  // namespace

bool invokePdfPrintIndependent(const DispatchPtr &document, const QString &printerName, int lastPage,
                               bool submit)
{
    const DispatchPtr javaScript = platform::invokeDispatchMethod(document, QStringLiteral("GetJSObject"));
    if (!javaScript)
        return false;
    const DispatchPtr printParams =
        platform::invokeDispatchMethod(javaScript, QStringLiteral("getPrintParams"));
    if (!printParams)
        return false;
    const DispatchPtr constants = platform::dispatchProperty(printParams, QStringLiteral("constants"));
    if (!constants)
        return false;
    const DispatchPtr handling = platform::dispatchProperty(constants, QStringLiteral("handling"));
    if (!handling)
        return false;
    const DispatchPtr interactionLevel =
        platform::dispatchProperty(constants, QStringLiteral("interactionLevel"));
    if (!interactionLevel)
        return false;

    Variant shrink;
    if (!platform::variantProperty(handling, QStringLiteral("shrink"), &shrink))
        return false;
    Variant silent;
    if (!platform::variantProperty(interactionLevel, QStringLiteral("silent"), &silent))
        return false;

    const std::pair<QString, Variant> writes[] = {
        {QStringLiteral("printerName"), platform::stringVariant(printerName)},
        {QStringLiteral("firstPage"), platform::intVariant(0)},
        {QStringLiteral("lastPage"), platform::intVariant(lastPage)},
        {QStringLiteral("pageHandling"), shrink},
        {QStringLiteral("nUpNumPagesH"), platform::intVariant(1)},
        {QStringLiteral("nUpNumPagesV"), platform::intVariant(1)},
        {QStringLiteral("nUpAutoRotate"), platform::boolVariant(false)},
        {QStringLiteral("nUpPageBorder"), platform::boolVariant(false)},
        {QStringLiteral("interactive"), silent},
    };
    for (const auto &write : writes) {
        const bool written = write.second.type == Variant::Type::String
                                 ? platform::setStringProperty(printParams, write.first, write.second.string)
                                 : platform::setVariantProperty(printParams, write.first, write.second);
        if (!written)
            return false;
    }

    if (!submit)
        return true;
    return platform::invokeMethod(javaScript, QStringLiteral("print"), {dispatchVariant(printParams)});
}

bool executeAcrobatPdfPrint(const QString &filePath, const QString &printerName, int *pageCount, bool submit)
{
    platform::Automation &automation = platform::automation();
    QUuid applicationClass;
    QUuid documentViewClass;
    if (!automation.classIdFromProgId(QStringLiteral("AcroExch.App"), &applicationClass) ||
        !automation.classIdFromProgId(QStringLiteral("AcroExch.AVDoc"), &documentViewClass))
        return false;

    const bool alreadyRunning = static_cast<bool>(automation.activeObject(applicationClass));

    // Declared in acquisition order, so the way out releases the document, closes and releases the view,
    // ends an instance the program started, and releases the application, in that order.
    const DispatchPtr application = automation.createLocalServer(applicationClass);
    if (!application)
        return false;
    ScopeExit endStartedInstance(
        [&application] { platform::invokeMethod(application, QStringLiteral("Exit"), {}); });
    if (!alreadyRunning) {
        platform::invokeMethod(application, QStringLiteral("Hide"), {});
        endStartedInstance.arm();
    }

    const DispatchPtr documentView = automation.createLocalServer(documentViewClass);
    if (!documentView)
        return false;

    const QFileInfo file(filePath);
    Variant opened;
    if (!platform::invokeMethod(documentView, QStringLiteral("Open"),
                                {platform::stringVariant(QDir::toNativeSeparators(file.absoluteFilePath())),
                                 platform::stringVariant(file.fileName())},
                                &opened) ||
        opened.type != Variant::Type::Bool || !opened.boolean)
        return false;
    ScopeExit closeView([&documentView] {
        platform::invokeMethod(documentView, QStringLiteral("Close"), {platform::boolVariant(true)});
    });
    closeView.arm();

    const DispatchPtr document = platform::invokeDispatchMethod(documentView, QStringLiteral("GetPDDoc"));
    if (!document)
        return false;
    const qint64 pages = platform::invokeIntegerMethod(document, QStringLiteral("GetNumPages"), -1);
    if (pages <= 0)
        return false;

    if (!invokePdfPrintIndependent(document, printerName, int(pages - 1), submit))
        return false;
    if (pageCount)
        *pageCount = int(pages);
    return true;
}

QString pdfPathFromAcrobat(const DispatchPtr &document)
{
    const DispatchPtr javaScript = platform::invokeDispatchMethod(document, QStringLiteral("GetJSObject"));
    if (!javaScript)
        return QString();
    QString path = platform::invokeStringProperty(javaScript, QStringLiteral("path")).trimmed();
    if (path.startsWith(QLatin1String("file:"), Qt::CaseInsensitive))
        path = QUrl(path).toLocalFile();
    const QRegularExpressionMatch drive = acrobatDrivePath().match(path);
    if (drive.hasMatch())
        path = drive.captured(1) + QStringLiteral(":/") + drive.captured(2);
    path = QDir::fromNativeSeparators(path);
    const QFileInfo file(path);
    if (path.isEmpty() || !file.exists() || !file.isFile())
        return QString();
    return file.absoluteFilePath();
}

int PrintService::printActivePdfDocument(quint32 processId, const QString &windowTitle,
                                         const PrintPreset &preset, QString *message,
                                         JobDetails *details) const
{
    // The foreground Acrobat must still exist; the handle is only opened to check that.
    if (!platform::windowSystem().processExists(processId))
        return NoDocument;

    platform::Automation &automation = platform::automation();
    QUuid applicationClass;
    if (!automation.classIdFromProgId(QStringLiteral("AcroExch.App"), &applicationClass))
        return NoDocument;
    const DispatchPtr application = automation.createLocalServer(applicationClass);
    if (!application)
        return NoDocument;
    const DispatchPtr documentView =
        platform::invokeDispatchMethod(application, QStringLiteral("GetActiveDoc"));
    if (!documentView)
        return NoDocument;
    const QString title = platform::invokeStringMethod(documentView, QStringLiteral("GetTitle"));
    if (title.isEmpty() || (!windowTitle.isEmpty() && windowTitle != title))
        return NoDocument;
    const DispatchPtr document = platform::invokeDispatchMethod(documentView, QStringLiteral("GetPDDoc"));
    if (!document)
        return NoDocument;
    const qint64 pages = platform::invokeIntegerMethod(document, QStringLiteral("GetNumPages"), -1);
    if (pages <= 0)
        return NoDocument;

    if (details) {
        details->jobName = title;
        details->pageCount = int(pages);
    }
    const QString filePath = pdfPathFromAcrobat(document);

    {
        PrinterSettingsScope scope;
        QString scopeError;
        if (!scope.apply(preset, &scopeError)) {
            if (message)
                *message = scopeError;
            return Failed;
        }
        if (invokePdfPrintIndependent(document, preset.printerName, int(pages - 1), true)) {
            if (message)
                *message = I18n::text("PDF sent to %1").arg(preset.printerName);
            return Sent;
        }
    }  // Acrobat failed: its settings switch is undone before the engine gets its own

    if (filePath.isEmpty()) {
        if (message)
            *message = I18n::text("Adobe Acrobat could not submit the PDF with independent print settings.");
        return Failed;
    }

    PrintPreset singleCopy = preset;
    singleCopy.copies = 1;  // the engine requests the copies on its printer object
    PrinterSettingsScope engineScope;
    QString scopeError;
    if (!engineScope.apply(singleCopy, &scopeError)) {
        if (message)
            *message = scopeError;
        return Failed;
    }
    int enginePages = 0;
    QString engineError;
    if (!PdfiumFallback::printDocument(filePath, preset, &enginePages, &engineError)) {
        if (message)
            *message =
                I18n::text(
                    "Adobe Acrobat failed and the built-in PDF engine could not print the document: %1")
                    .arg(engineError);
        return Failed;
    }
    if (details && enginePages > 0)
        details->pageCount = enginePages;
    if (message)
        *message = I18n::text("Sent with built-in PDF engine: %1").arg(QFileInfo(filePath).fileName());
    return Sent;
}

bool PrintService::verifyAcrobatIsolation(const QString &pdfPath, QString *message)
{
    const auto finish = [message](bool passed, const QString &text) {
        if (message)
            *message = text;
        return passed;
    };

    const QFileInfo file(pdfPath);
    if (!file.exists() || !file.isFile() || !file.isReadable() ||
        file.suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) != 0)
        return finish(false, QStringLiteral("A readable PDF test file is required."));

    const platform::AutomationApartment apartment;

    platform::DefaultPrinter current;
    const platform::DefaultPrinterRead read = platform::printerSettingsSystem().defaultPrinter(&current);
    if (read == platform::DefaultPrinterRead::None)
        return finish(false,
                      QString::fromUtf8(platform::systemText("No Windows default printer is configured.")));
    if (read == platform::DefaultPrinterRead::Failed)
        return finish(
            false, QString::fromUtf8(platform::systemText("The Windows default printer could not be read.")));
    const QString defaultPrinter = current.name;

    // No settings switch and no lock: nothing is printed.
    int pageCount = 0;
    if (!executeAcrobatPdfPrint(pdfPath, defaultPrinter, &pageCount, false))
        return finish(
            false,
            QStringLiteral("Acrobat did not expose the independent PrintParams required for safe printing."));
    return finish(true,
                  QStringLiteral("Acrobat independent PrintParams available; PDF opened with %1 page(s), no "
                                 "print job submitted.")
                      .arg(pageCount));
}
