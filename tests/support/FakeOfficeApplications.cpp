#include "FakeOfficeApplications.h"

namespace ollavan::testsupport {

using platform::Variant;

FakeWordProcessor::FakeWordProcessor(FakeAutomationLog *log, FakeWindowSystem *windows, const QString &label,
                                     quintptr window, quint32 processId)
    : window(window), processId(processId), application(log, label),
      activeWindow(log, label + QStringLiteral("-window")), document(log, label + QStringLiteral("-document"))
{
    windows->addWindow(window, processId, QStringLiteral("Report.docx - ") + label);

    application.setProperty(QStringLiteral("Hwnd"), platform::intVariant(qint32(window)));
    application.setObjectProperty(QStringLiteral("ActiveWindow"), &activeWindow);
    application.setProperty(QStringLiteral("ActivePrinter"),
                            platform::stringVariant(QStringLiteral("Previous")));
    application.setObjectProperty(QStringLiteral("ActiveDocument"), &document);

    activeWindow.setProperty(QStringLiteral("Hwnd"), platform::intVariant(qint32(window)));

    document.setProperty(QStringLiteral("Name"), platform::stringVariant(QStringLiteral("Report.docx")));
    document.setMethod(QStringLiteral("ComputeStatistics"), platform::intVariant(3));
    document.setMethod(QStringLiteral("PrintOut"));
}

void FakeWordProcessor::registerOn(FakeAutomationRegistry &registry, const QString &progId)
{
    registry.registerClass(progId, &application);
}

FakeAcrobat::FakeAcrobat(FakeAutomationLog *log, FakeWindowSystem *windows, quintptr window,
                         quint32 processId)
    : window(window), processId(processId), application(log, QStringLiteral("acrobat")),
      view(log, QStringLiteral("avdoc")), document(log, QStringLiteral("pddoc")),
      javaScript(log, QStringLiteral("js")), printParams(log, QStringLiteral("printparams")),
      constants(log, QStringLiteral("constants")), handling(log, QStringLiteral("handling")),
      interactionLevel(log, QStringLiteral("interactionlevel"))
{
    windows->addWindow(window, processId, QStringLiteral("Quarterly.pdf"));

    application.setMethod(QStringLiteral("Hide"), platform::boolVariant(true));
    application.setMethod(QStringLiteral("Exit"), platform::boolVariant(true));
    application.setObjectMethod(QStringLiteral("GetActiveDoc"), &view);

    view.setMethod(QStringLiteral("Open"), platform::boolVariant(true));
    view.setMethod(QStringLiteral("Close"), platform::boolVariant(true));
    view.setMethod(QStringLiteral("GetTitle"), platform::stringVariant(QStringLiteral("Quarterly.pdf")));
    view.setObjectMethod(QStringLiteral("GetPDDoc"), &document);

    document.setMethod(QStringLiteral("GetNumPages"), platform::intVariant(4));
    document.setObjectMethod(QStringLiteral("GetJSObject"), &javaScript);

    javaScript.setProperty(QStringLiteral("path"),
                           platform::stringVariant(QStringLiteral("/c/Reports/Quarterly.pdf")));
    javaScript.setObjectMethod(QStringLiteral("getPrintParams"), &printParams);
    javaScript.setMethod(QStringLiteral("print"));

    printParams.setObjectProperty(QStringLiteral("constants"), &constants);
    printParams.setProperty(QStringLiteral("printerName"), platform::stringVariant(QString()));
    printParams.setProperty(QStringLiteral("firstPage"), platform::intVariant(0));
    printParams.setProperty(QStringLiteral("lastPage"), platform::intVariant(-1));
    printParams.setProperty(QStringLiteral("pageHandling"), platform::intVariant(1));
    printParams.setProperty(QStringLiteral("nUpNumPagesH"), platform::intVariant(2));
    printParams.setProperty(QStringLiteral("nUpNumPagesV"), platform::intVariant(2));
    printParams.setProperty(QStringLiteral("nUpAutoRotate"), platform::boolVariant(true));
    printParams.setProperty(QStringLiteral("nUpPageBorder"), platform::boolVariant(true));
    printParams.setProperty(QStringLiteral("interactive"), platform::intVariant(1));

    constants.setObjectProperty(QStringLiteral("handling"), &handling);
    constants.setObjectProperty(QStringLiteral("interactionLevel"), &interactionLevel);
    handling.setProperty(QStringLiteral("fit"), platform::intVariant(1));
    handling.setProperty(QStringLiteral("shrink"), platform::intVariant(2));
    interactionLevel.setProperty(QStringLiteral("full"), platform::intVariant(1));
    interactionLevel.setProperty(QStringLiteral("silent"), platform::intVariant(2));
}

void FakeAcrobat::registerOn(FakeAutomationRegistry &registry, bool running)
{
    registry.registerClass(QStringLiteral("AcroExch.App"), running ? &application : nullptr,
                           [this] { return &application; });
    registry.registerClass(QStringLiteral("AcroExch.AVDoc"), nullptr, [this] { return &view; });
}

}  // namespace ollavan::testsupport
