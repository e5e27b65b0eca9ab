#include "printing/AcrobatDocument.h"

#include "platform/WindowSystem.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

#include <utility>

using platform::DispatchPtr;
using platform::Variant;

namespace {

// Runs an action when the enclosing block is left, on every path, once armed.
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

bool printWithIndependentParams(const DispatchPtr &document, const QString &printerName, int lastPage,
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

std::optional<int> printFileInAcrobat(const QString &filePath, const QString &printerName, bool submit)
{
    platform::Automation &automation = platform::automation();
    QUuid applicationClass;
    QUuid documentViewClass;
    if (!automation.classIdFromProgId(QStringLiteral("AcroExch.App"), &applicationClass) ||
        !automation.classIdFromProgId(QStringLiteral("AcroExch.AVDoc"), &documentViewClass))
        return std::nullopt;

    const bool alreadyRunning = static_cast<bool>(automation.activeObject(applicationClass));

    // Declared in acquisition order, so the way out releases the document, closes and releases the view,
    // ends an instance the program started, and releases the application, in that order.
    const DispatchPtr application = automation.createLocalServer(applicationClass);
    if (!application)
        return std::nullopt;
    ScopeExit endStartedInstance(
        [&application] { platform::invokeMethod(application, QStringLiteral("Exit"), {}); });
    if (!alreadyRunning) {
        platform::invokeMethod(application, QStringLiteral("Hide"), {});
        endStartedInstance.arm();
    }

    const DispatchPtr documentView = automation.createLocalServer(documentViewClass);
    if (!documentView)
        return std::nullopt;

    const QFileInfo file(filePath);
    Variant opened;
    if (!platform::invokeMethod(documentView, QStringLiteral("Open"),
                                {platform::stringVariant(QDir::toNativeSeparators(file.absoluteFilePath())),
                                 platform::stringVariant(file.fileName())},
                                &opened) ||
        opened.type != Variant::Type::Bool || !opened.boolean)
        return std::nullopt;
    ScopeExit closeView([&documentView] {
        platform::invokeMethod(documentView, QStringLiteral("Close"), {platform::boolVariant(true)});
    });
    closeView.arm();

    const DispatchPtr document = platform::invokeDispatchMethod(documentView, QStringLiteral("GetPDDoc"));
    if (!document)
        return std::nullopt;
    const qint64 pages = platform::invokeIntegerMethod(document, QStringLiteral("GetNumPages"), -1);
    if (pages <= 0)
        return std::nullopt;

    if (!printWithIndependentParams(document, printerName, int(pages - 1), submit))
        return std::nullopt;
    return int(pages);
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

ActiveAcrobatDocument findActiveAcrobatDocument(quint32 processId, const QString &windowTitle)
{
    ActiveAcrobatDocument active;
    // The foreground Acrobat must still exist; the handle is only opened to check that.
    if (!platform::windowSystem().processExists(processId))
        return active;

    platform::Automation &automation = platform::automation();
    QUuid applicationClass;
    if (!automation.classIdFromProgId(QStringLiteral("AcroExch.App"), &applicationClass))
        return active;
    active.application = automation.createLocalServer(applicationClass);
    if (!active.application)
        return active;
    active.view = platform::invokeDispatchMethod(active.application, QStringLiteral("GetActiveDoc"));
    if (!active.view)
        return active;
    active.title = platform::invokeStringMethod(active.view, QStringLiteral("GetTitle"));
    if (active.title.isEmpty() || (!windowTitle.isEmpty() && windowTitle != active.title))
        return active;
    DispatchPtr document = platform::invokeDispatchMethod(active.view, QStringLiteral("GetPDDoc"));
    if (!document)
        return active;
    const qint64 pages = platform::invokeIntegerMethod(document, QStringLiteral("GetNumPages"), -1);
    if (pages <= 0)
        return active;
    active.pageCount = int(pages);
    active.filePath = pdfPathFromAcrobat(document);
    active.document = std::move(document);
    return active;
}
