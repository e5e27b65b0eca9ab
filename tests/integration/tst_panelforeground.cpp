// The foreground window on a real X server (Xvfb with openbox): image-viewer titles, clients without
// _NET_WM_PID, the panel's own window, minimised windows, and the card click that acts on them.
#include "support/XSessionMain.h"

#include "base/AppIdentity.h"
#include "base/I18n.h"
#include "model/DatabaseLocation.h"
#include "model/PresetRepository.h"
#include "support/ModalDialogCloser.h"
#include "support/PrivateCups.h"
#include "support/TestDocuments.h"
#include "printing/ForegroundWindowContext.h"
#include "ui/MainWindow.h"
#include "ui/PresetCard.h"

#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMimeData>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <QWidget>

#include <cstdio>

class MainWindowTestAccess
{
public:
    static QString lastProgId(const MainWindow &window) { return window.lastProgId; }
    static quint32 lastProcessId(const MainWindow &window) { return window.lastProcessId; }
    static QList<PresetCard *> cards(const MainWindow &window) { return window.cards; }
    static bool printing(const MainWindow &window) { return window.printing; }
};

namespace {

XSession *session = nullptr;

QLabel *label(MainWindow &window, const char *name)
{
    return window.findChild<QLabel *>(QLatin1String(name));
}

// The test program doubles as a plain foreign application: "--show-window TITLE" shows one window.
int showWindow(int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QString::fromUtf8(argv[2]));
    window.resize(400, 300);
    window.show();
    return app.exec();
}

ForegroundWindowContext waitForContext(const std::function<bool(const ForegroundWindowContext &)> &done)
{
    ForegroundWindowContext context;
    for (int i = 0; i < 100; ++i) {
        context = foregroundWindowContext();
        if (done(context))
            break;
        QTest::qWait(100);
    }
    return context;
}

}  // namespace

class PanelForegroundTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void imageTitleInAnyProgramIsAnImageViewer();
    void clientWithoutPidPropertyStillHasItsProcess();
    void panelItselfIsOwnWindowAndKeepsTheMemory();
    void minimisedForeignWindowClearsTheMemory();
    void cardClickPrintsTheViewersPictureAfterRefusingAnUnsupportedWindow();
    void fileDroppedOnCardPrintsWithThePresetsSettings();

private:
    QProcess *showForeignWindow(const QString &title);
    quint32 activate(const QString &title);
    QList<QProcess *> clients;
    ollavan::testsupport::PrivateCups cups;
};

void PanelForegroundTest::initTestCase()
{
    AppIdentity::apply();
    I18n::setLanguage(QStringLiteral("en"));
    QFile::remove(DatabaseLocation::databasePath());
    QSettings().setValue(QStringLiteral("compatibilityNotice/pdfiumShown"), true);  // no first-run box
    // The print server comes first, so that every thread of the program sees it.
    QString error;
    QVERIFY2(cups.start(&error), qPrintable(error));
}

void PanelForegroundTest::cleanup()
{
    for (QProcess *client : std::as_const(clients)) {
        client->kill();
        client->waitForFinished(5000);
    }
    clients.clear();
}

QProcess *PanelForegroundTest::showForeignWindow(const QString &title)
{
    QProcess *client = session->startClient(QCoreApplication::applicationFilePath(),
                                            {QStringLiteral("--show-window"), title});
    clients.append(client);
    return client;
}

quint32 PanelForegroundTest::activate(const QString &title)
{
    const quint32 window = session->waitForWindow(QRegularExpression::escape(title));
    if (window) {
        session->xdotool(
            {QStringLiteral("windowactivate"), QStringLiteral("--sync"), QString::number(window)});
    }
    return window;
}

void PanelForegroundTest::imageTitleInAnyProgramIsAnImageViewer()
{
    const QString title = QStringLiteral("holiday.PNG - Some Viewer");
    QProcess *viewer = showForeignWindow(title);
    QVERIFY(viewer);
    QVERIFY(activate(title));
    const ForegroundWindowContext context =
        waitForContext([&](const ForegroundWindowContext &c) { return c.windowTitle == title; });
    QCOMPARE(context.windowTitle, title);
    QVERIFY(!context.ownWindow);
    QCOMPARE(context.processId, quint32(viewer->processId()));
    QCOMPARE(context.progId, QStringLiteral("Ollavan.ImageViewer"));

    // The suffix must end the name: a text file named after a picture is not an image.
    const QString notImage = QStringLiteral("notes.png.txt - Some Editor");
    showForeignWindow(notImage);
    QVERIFY(activate(notImage));
    const ForegroundWindowContext other =
        waitForContext([&](const ForegroundWindowContext &c) { return c.windowTitle == notImage; });
    QCOMPARE(other.windowTitle, notImage);
    QVERIFY(other.progId.isEmpty());
    QVERIFY(other.processId != 0);
}

void PanelForegroundTest::clientWithoutPidPropertyStillHasItsProcess()
{
    QProcess *message = session->startClient(
        QStringLiteral("xmessage"), {QStringLiteral("-title"), QStringLiteral("photo.jpg from xmessage"),
                                     QStringLiteral("no pid property here")});
    QVERIFY(message);
    clients.append(message);
    const quint32 window = activate(QStringLiteral("photo.jpg from xmessage"));
    QVERIFY(window);
    // xmessage really sets no _NET_WM_PID, so the id must come from the X-Resource extension.
    QVERIFY(!session
                 ->run(QStringLiteral("xprop"),
                       {QStringLiteral("-id"), QString::number(window), QStringLiteral("_NET_WM_PID")})
                 .contains(QStringLiteral("= ")));
    const ForegroundWindowContext context = waitForContext([](const ForegroundWindowContext &c) {
        return c.windowTitle.startsWith(QStringLiteral("photo.jpg"));
    });
    QCOMPARE(context.processId, quint32(message->processId()));
    QCOMPARE(context.progId, QStringLiteral("Ollavan.ImageViewer"));
}

void PanelForegroundTest::panelItselfIsOwnWindowAndKeepsTheMemory()
{
    const QString title = QStringLiteral("holiday.PNG - Some Viewer");
    QProcess *viewer = showForeignWindow(title);
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window, 20000));
    QVERIFY(activate(title));
    QTRY_COMPARE_WITH_TIMEOUT(MainWindowTestAccess::lastProgId(window), QStringLiteral("Ollavan.ImageViewer"),
                              10000);
    QCOMPARE(MainWindowTestAccess::lastProcessId(window), quint32(viewer->processId()));

    QVERIFY(activate(QStringLiteral("Ollavan Quick")));
    const ForegroundWindowContext context =
        waitForContext([](const ForegroundWindowContext &c) { return c.ownWindow; });
    QVERIFY(context.ownWindow);
    QCOMPARE(context.processId, quint32(QCoreApplication::applicationPid()));
    QVERIFY(context.windowTitle.isEmpty());
    QVERIFY(context.progId.isEmpty());
    QTest::qWait(300);  // several polls with the panel in front
    QCOMPARE(MainWindowTestAccess::lastProgId(window), QStringLiteral("Ollavan.ImageViewer"));
    QCOMPARE(MainWindowTestAccess::lastProcessId(window), quint32(viewer->processId()));
}

void PanelForegroundTest::minimisedForeignWindowClearsTheMemory()
{
    const QString title = QStringLiteral("holiday.PNG - Some Viewer");
    showForeignWindow(title);
    MainWindow window;  // not shown: nothing of ours can come to the front
    const quint32 viewer = activate(title);
    QVERIFY(viewer);
    QTRY_COMPARE_WITH_TIMEOUT(MainWindowTestAccess::lastProgId(window), QStringLiteral("Ollavan.ImageViewer"),
                              10000);
    session->xdotool({QStringLiteral("windowminimize"), QStringLiteral("--sync"), QString::number(viewer)});
    QTRY_VERIFY_WITH_TIMEOUT(MainWindowTestAccess::lastProgId(window).isEmpty(), 10000);
    QCOMPARE(MainWindowTestAccess::lastProcessId(window), 0u);
}

void PanelForegroundTest::cardClickPrintsTheViewersPictureAfterRefusingAnUnsupportedWindow()
{
    QString error;
    QVERIFY2(cups.addQueue(QStringLiteral("office"), ollavan::testsupport::PrivateCups::Ppd, &error),
             qPrintable(error));
    {
        DatabaseLocation::createDatabaseFolder(DatabaseLocation::databasePath());
        PresetRepository repository(DatabaseLocation::databasePath());
        QVERIFY(repository.open());
        PrintPreset preset;
        preset.title = QStringLiteral("Office");
        preset.colorMode = ColorMode::Mono;
        preset.duplexMode = DuplexMode::Simplex;
        preset.paperSize = QStringLiteral("A4");
        preset.printerName = QStringLiteral("office");
        preset.backgroundColor = QStringLiteral("#ff8a00");
        preset.copies = 2;
        QVERIFY(repository.addPreset(preset));
    }
    QTemporaryDir pictures;
    const QString picture = pictures.filePath(QStringLiteral("holiday.png"));
    QImage image(320, 200, QImage::Format_RGB32);
    image.fill(Qt::red);
    QVERIFY(image.save(picture));

    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window, 20000));
    PresetCard *card = MainWindowTestAccess::cards(window).value(0);
    QVERIFY(card);
    ModalDialogCloser closer;

    // An editor the program does not know: the click explains instead of printing.
    const QString editor = QStringLiteral("notes - Some Editor");
    showForeignWindow(editor);
    QVERIFY(activate(editor));
    QTRY_VERIFY_WITH_TIMEOUT(MainWindowTestAccess::lastProcessId(window) == 0 &&
                                 foregroundWindowContext().windowTitle == editor,
                             10000);
    QVERIFY(activate(QStringLiteral("Ollavan Quick")));
    QTest::mouseClick(card, Qt::LeftButton, Qt::NoModifier, QPoint(30, 30));
    QCOMPARE(closer.seen().size(), 1);
    QVERIFY2(closer.seen().first().startsWith(QStringLiteral("Foreground app not supported|")),
             qPrintable(closer.seen().first()));
    QVERIFY(!MainWindowTestAccess::printing(window));

    // A viewer showing the picture: the click prints it on the preset's printer and records it.
    closer.clear();
    const QString viewerTitle = picture + QStringLiteral(" - nomacs");
    QProcess *viewer = showForeignWindow(viewerTitle);
    QVERIFY(activate(viewerTitle));
    QTRY_COMPARE_WITH_TIMEOUT(MainWindowTestAccess::lastProgId(window), QStringLiteral("Ollavan.ImageViewer"),
                              10000);
    QCOMPARE(MainWindowTestAccess::lastProcessId(window), quint32(viewer->processId()));
    QVERIFY(activate(QStringLiteral("Ollavan Quick")));
    QTest::mouseClick(card, Qt::LeftButton, Qt::NoModifier, QPoint(30, 30));
    QVERIFY(MainWindowTestAccess::printing(window));
    QVERIFY(!card->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(!MainWindowTestAccess::printing(window), 120000);
    QVERIFY2(closer.seen().isEmpty(), qPrintable(closer.seen().join(QLatin1Char('\n'))));
    QVERIFY(card->isEnabled());
    QVERIFY(cups.waitForJobs(QStringLiteral("office"), 1));
    const ollavan::testsupport::CapturedJob job = cups.jobs(QStringLiteral("office")).constLast();
    QCOMPARE(job.options.value(QStringLiteral("PageSize")), QStringLiteral("A4"));

    PresetRepository repository(DatabaseLocation::databasePath());
    QVERIFY(repository.open());
    const QList<PrintHistoryEntry> history = repository.printHistory(10);
    QCOMPARE(history.size(), 1);
    QCOMPARE(history.first().printerName, QStringLiteral("office"));
    QCOMPARE(history.first().copies, 2);
    QVERIFY(history.first().jobName.contains(QStringLiteral("holiday.png")));
    QCOMPARE(history.first().parameters, QStringLiteral("Mono \u00b7 Single-sided \u00b7 A4"));
    QVERIFY(!label(window, "statusLabel")->toolTip().isEmpty());
    QVERIFY(label(window, "statusLabel")->text() != QStringLiteral("Attention"));
}

void PanelForegroundTest::fileDroppedOnCardPrintsWithThePresetsSettings()
{
    QString error;
    QFile::remove(DatabaseLocation::databasePath());
    QVERIFY2(cups.addQueue(QStringLiteral("booklets"), ollavan::testsupport::PrivateCups::Ppd, &error),
             qPrintable(error));
    {
        DatabaseLocation::createDatabaseFolder(DatabaseLocation::databasePath());
        PresetRepository repository(DatabaseLocation::databasePath());
        QVERIFY(repository.open());
        PrintPreset preset;
        preset.title = QStringLiteral("Booklets");
        preset.colorMode = ColorMode::Mono;
        preset.duplexMode = DuplexMode::Duplex;
        preset.duplexEdge = DuplexEdge::Short;
        preset.paperSize = QStringLiteral("A5");
        preset.printerName = QStringLiteral("booklets");
        preset.backgroundColor = QStringLiteral("#3366cc");
        preset.copies = 3;
        QVERIFY(repository.addPreset(preset));
    }
    // The built-in PDF engine looks for its library beside the running program, here the test.
    const QString library = QStringLiteral(OLLAVAN_BIN_DIR "/libpdfium.so");
    QVERIFY2(QFile::exists(library), "libpdfium.so is not built");
    const QString besideTest =
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("libpdfium.so"));
    if (!QFile::exists(besideTest))
        QVERIFY(QFile::link(library, besideTest));

    QTemporaryDir documents;
    const QString pdf = documents.filePath(QStringLiteral("minutes.pdf"));
    QVERIFY(ollavan::testsupport::writeFile(pdf, ollavan::testsupport::makeMixedOrientationPdf(2)));

    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window, 20000));
    PresetCard *card = nullptr;
    for (PresetCard *candidate : MainWindowTestAccess::cards(window)) {
        if (candidate->currentPreset().printerName == QLatin1String("booklets"))
            card = candidate;
    }
    QVERIFY(card);
    ModalDialogCloser closer;
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(pdf)});
    QDragEnterEvent enter(QPoint(30, 30), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    enter.setAccepted(false);
    QApplication::sendEvent(card, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(30, 30), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(card, &drop);
    QVERIFY(MainWindowTestAccess::printing(window));
    QTRY_VERIFY_WITH_TIMEOUT(!MainWindowTestAccess::printing(window), 120000);
    QVERIFY2(closer.seen().isEmpty(), qPrintable(closer.seen().join(QLatin1Char('\n'))));

    QVERIFY(cups.waitForJobs(QStringLiteral("booklets"), 1));
    const ollavan::testsupport::CapturedJob job = cups.jobs(QStringLiteral("booklets")).constLast();
    QCOMPARE(job.options.value(QStringLiteral("PageSize")), QStringLiteral("A5"));
    QCOMPARE(job.options.value(QStringLiteral("Duplex")), QStringLiteral("DuplexTumble"));
    QCOMPARE(job.options.value(QStringLiteral("ColorModel")), QStringLiteral("Gray"));

    PresetRepository repository(DatabaseLocation::databasePath());
    QVERIFY(repository.open());
    const QList<PrintHistoryEntry> history = repository.printHistory(1);
    QCOMPARE(history.size(), 1);
    QCOMPARE(history.first().printerName, QStringLiteral("booklets"));
    QCOMPARE(history.first().jobName, QStringLiteral("minutes.pdf"));
    QCOMPARE(history.first().copies, 3);
    QCOMPARE(history.first().pageCount, 2);
    QCOMPARE(history.first().totalPages, 6);
    QCOMPARE(history.first().parameters, QStringLiteral("Mono \u00b7 Double-sided (short edge) \u00b7 A5"));
}

int main(int argc, char **argv)
{
    if (argc == 3 && qstrcmp(argv[1], "--show-window") == 0)
        return showWindow(argc, argv);
    return runTestInXSession<PanelForegroundTest>(argc, argv, false, &session);
}

#include "tst_panelforeground.moc"
