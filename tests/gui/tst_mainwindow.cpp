// The main window under the offscreen platform: widget tree, status line, themes, title-bar dragging,
// cards from the store, the execution flow against a fake desktop, copies and drops.
#include "support/FakeWindowSystem.h"
#include "support/ModalDialogCloser.h"

#include "base/AppIdentity.h"
#include "base/I18n.h"
#include "model/DatabaseLocation.h"
#include "model/PresetRepository.h"
#include "ui/MainWindow.h"
#include "ui/PresetCard.h"

#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollArea>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using ollavan::testsupport::FakeWindowSystem;

class MainWindowTestAccess
{
public:
    static void poll(MainWindow &window) { window.updateForegroundOfficeContext(); }
    static QString lastProgId(const MainWindow &window) { return window.lastProgId; }
    static QString lastWindowTitle(const MainWindow &window) { return window.lastWindowTitle; }
    static quint32 lastProcessId(const MainWindow &window) { return window.lastProcessId; }
    static bool printing(const MainWindow &window) { return window.printing; }
    static QList<PresetCard *> cards(const MainWindow &window) { return window.cards; }
};

namespace {

PrintPreset preset(const QString &title, int sortOrder = -1)
{
    PrintPreset p;
    p.title = title;
    p.colorMode = ColorMode::Mono;
    p.duplexMode = DuplexMode::Simplex;
    p.paperSize = QStringLiteral("A4");
    p.printerName = QStringLiteral("Nowhere %1").arg(title);
    p.backgroundColor = QStringLiteral("#ff8a00");
    p.sortOrder = sortOrder;
    return p;
}

void removeDatabase()
{
    const QString path = DatabaseLocation::databasePath();
    QFile::remove(path);
    QDir(path).removeRecursively();
}

void storePresets(int count)
{
    removeDatabase();
    DatabaseLocation::createDatabaseFolder(DatabaseLocation::databasePath());
    PresetRepository repository(DatabaseLocation::databasePath());
    QString error;
    QVERIFY2(repository.open(&error), qPrintable(error));
    for (int i = 0; i < count; ++i)
        QVERIFY2(repository.addPreset(preset(QStringLiteral("P%1").arg(i)), &error), qPrintable(error));
}

QList<PrintHistoryEntry> storedHistory()
{
    PresetRepository repository(DatabaseLocation::databasePath());
    repository.open();
    return repository.printHistory(100);
}

QLabel *label(MainWindow &window, const char *name)
{
    return window.findChild<QLabel *>(QLatin1String(name));
}

void sendMouse(QWidget *target, QEvent::Type type, const QPoint &local, Qt::MouseButton button,
               Qt::MouseButtons buttons)
{
    QMouseEvent event(type, QPointF(local), QPointF(target->mapToGlobal(local)), button, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

}  // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void widgetTreeAndFixedSize();
    void statusLine();
    void themeSwitchesAndRemembersOnlyWhenToggled();
    void titleBarDragMovesOnlyFromTheBarItself();
    void cardListHeightFollowsPresetCount();
    void unopenableStoreShowsCriticalBoxAndStillOpens();
    void foregroundMemoryFollowsForeignWindows();
    void unsupportedForegroundShowsTheBox();
    void secondRequestWhileSubmittingOnlyShowsBusyStatus();
    void failedDropShowsWarningWithoutHistory();
    void copiesChangeIsStored();
    void dropsOnTheWindowUseFirstPresetAndFirstSupportedFile();
};

void MainWindowTest::initTestCase()
{
    AppIdentity::apply();
    I18n::setLanguage(QStringLiteral("en"));
    // Only ever the test's own HOME.
    QVERIFY(DatabaseLocation::databasePath().startsWith(QDir::homePath()));
}

void MainWindowTest::init()
{
    QSettings().clear();
    QSettings().setValue(QStringLiteral("compatibilityNotice/pdfiumShown"), true);  // no first-run box
    storePresets(0);
}

void MainWindowTest::widgetTreeAndFixedSize()
{
    MainWindow window;
    QCOMPARE(window.size(), QSize(320, 752));
    QCOMPARE(window.minimumSize(), QSize(320, 752));
    QCOMPARE(window.maximumSize(), QSize(320, 752));
    QVERIFY(window.windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(window.windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(!(window.windowFlags() & Qt::Tool & ~Qt::Window));
    QCOMPARE(window.windowTitle(), QStringLiteral("Ollavan Quick"));
    QVERIFY(window.acceptDrops());

    for (const char *name : {"frame", "titleBar", "content", "cardHost", "dropZone", "edgeHandle"})
        QVERIFY2(window.findChild<QWidget *>(QLatin1String(name)), name);
    struct Button
    {
        const char *name;
        QSize size;
        QString toolTip;
    };
    const Button buttons[] = {{"historyButton", {26, 26}, QStringLiteral("Print history")},
                              {"languageButton", {30, 26}, QStringLiteral("Language")},
                              {"dockButton", {26, 26}, QString()},
                              {"themeButton", {26, 26}, QStringLiteral("Switch to dark mode")},
                              {"minimizeButton", {30, 30}, QStringLiteral("Minimize")},
                              {"closeButton", {30, 30}, QStringLiteral("Hide to system tray")}};
    for (const Button &b : buttons) {
        auto *button = window.findChild<QPushButton *>(QLatin1String(b.name));
        QVERIFY2(button, b.name);
        QCOMPARE(button->size(), b.size);
        QCOMPARE(button->focusPolicy(), Qt::NoFocus);
        QCOMPARE(button->cursor().shape(), Qt::PointingHandCursor);
        if (!b.toolTip.isNull())
            QCOMPARE(button->toolTip(), b.toolTip);
    }
    QCOMPARE(window.findChild<QPushButton *>(QStringLiteral("languageButton"))->text(), QStringLiteral("EN"));
    auto *add = window.findChild<QPushButton *>(QStringLiteral("addPrinterButton"));
    QCOMPARE(add->text(), QStringLiteral("\uff0b  Add printer preset"));
    QCOMPARE(add->height(), 48);
    auto *handle = window.findChild<QWidget *>(QStringLiteral("edgeHandle"));
    QVERIFY(handle->isHidden());
    QVERIFY(handle->testAttribute(Qt::WA_TransparentForMouseEvents));
    QCOMPARE(label(window, "statusLabel")->text(), QStringLiteral("Ready"));

    // Neither theme nor language changes the size.
    window.show();
    window.applyTheme(true, false);
    I18n::setLanguage(QStringLiteral("de"));
    window.retranslateUi();
    QCOMPARE(window.size(), QSize(320, 752));
    QCOMPARE(add->text(), QStringLiteral("\uff0b  ") + I18n::text("Add printer preset"));
    QVERIFY(add->text() != QStringLiteral("\uff0b  Add printer preset"));
    I18n::setLanguage(QStringLiteral("en"));
}

void MainWindowTest::statusLine()
{
    MainWindow window;
    QLabel *status = label(window, "statusLabel");
    QLabel *dot = label(window, "statusDot");

    window.setStatus(QStringLiteral("Something"), false);
    window.setStatus(QString(), false);
    QCOMPARE(status->text(), QStringLiteral("Ready"));
    QCOMPARE(status->toolTip(), QStringLiteral("Ready"));

    const QString longText = QStringLiteral("Sent: a very long document name that cannot fit.pdf");
    window.setStatus(longText, false);
    QVERIFY(status->text().endsWith(QChar(0x2026)));
    QVERIFY(status->text().size() < longText.size());
    QVERIFY(QFontMetrics(status->font()).horizontalAdvance(status->text()) <= 56);
    QCOMPARE(status->toolTip(), longText);
    QVERIFY(dot->styleSheet().contains(QStringLiteral("#22c55e")));

    window.setStatus(QStringLiteral("Printer is out of paper"), true);
    QCOMPARE(status->text(), QStringLiteral("Attention"));
    QCOMPARE(status->toolTip(), QStringLiteral("Printer is out of paper"));
    QCOMPARE(dot->styleSheet(), QStringLiteral("color:#ef4444;font-size:12px;"));

    // A theme change turns the dot green again and leaves the text.
    window.applyTheme(true, false);
    QCOMPARE(dot->styleSheet(), QStringLiteral("color:#22c55e;font-size:12px;"));
    QCOMPARE(status->text(), QStringLiteral("Attention"));
}

void MainWindowTest::themeSwitchesAndRemembersOnlyWhenToggled()
{
    QSettings().setValue(QStringLiteral("appearance/darkMode"), true);
    MainWindow window;
    auto *frame = window.findChild<QWidget *>(QStringLiteral("frame"));
    auto *theme = window.findChild<QPushButton *>(QStringLiteral("themeButton"));
    QVERIFY(frame->styleSheet().contains(QStringLiteral("#151719")));
    QCOMPARE(theme->toolTip(), QStringLiteral("Switch to light mode"));

    QSettings().remove(QStringLiteral("appearance/darkMode"));
    const QString darkFrame = frame->styleSheet();
    const QString darkTitle = window.findChild<QWidget *>(QStringLiteral("titleBar"))->styleSheet();

    QTest::mouseClick(theme, Qt::LeftButton);
    QVERIFY(frame->styleSheet().contains(QStringLiteral("#f7f8fa")));
    QVERIFY(frame->styleSheet().contains(QStringLiteral("#d8dde5")));
    QCOMPARE(theme->toolTip(), QStringLiteral("Switch to dark mode"));
    QCOMPARE(QSettings().value(QStringLiteral("appearance/darkMode")).toString(), QStringLiteral("false"));

    QTest::mouseClick(theme, Qt::LeftButton);
    QCOMPARE(frame->styleSheet(), darkFrame);
    QCOMPARE(window.findChild<QWidget *>(QStringLiteral("titleBar"))->styleSheet(), darkTitle);
    QCOMPARE(QSettings().value(QStringLiteral("appearance/darkMode")).toBool(), true);

    // Construction reads the key but never writes it.
    QSettings().remove(QStringLiteral("appearance/darkMode"));
    MainWindow second;
    QVERIFY(!QSettings().contains(QStringLiteral("appearance/darkMode")));
}

void MainWindowTest::titleBarDragMovesOnlyFromTheBarItself()
{
    MainWindow window;
    window.move(100, 100);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QWidget *bar = window.findChild<QWidget *>(QStringLiteral("titleBar"));
    const QPoint start = window.pos();

    sendMouse(bar, QEvent::MouseButtonPress, QPoint(120, 18), Qt::LeftButton, Qt::LeftButton);
    sendMouse(bar, QEvent::MouseMove, QPoint(150, 58), Qt::NoButton, Qt::LeftButton);
    QCOMPARE(window.pos(), start + QPoint(30, 40));
    sendMouse(bar, QEvent::MouseButtonRelease, QPoint(150, 58), Qt::LeftButton, Qt::NoButton);
    const QPoint afterDrag = window.pos();
    sendMouse(bar, QEvent::MouseMove, QPoint(10, 10), Qt::NoButton, Qt::NoButton);
    QCOMPARE(window.pos(), afterDrag);

    // Right button: no drag.
    sendMouse(bar, QEvent::MouseButtonPress, QPoint(120, 18), Qt::RightButton, Qt::RightButton);
    sendMouse(bar, QEvent::MouseMove, QPoint(200, 30), Qt::NoButton, Qt::RightButton);
    QCOMPARE(window.pos(), afterDrag);
    sendMouse(bar, QEvent::MouseButtonRelease, QPoint(200, 30), Qt::RightButton, Qt::NoButton);

    // A move that arrives without the left button (it was let go elsewhere) ends the drag without moving.
    sendMouse(bar, QEvent::MouseButtonPress, QPoint(120, 18), Qt::LeftButton, Qt::LeftButton);
    sendMouse(bar, QEvent::MouseMove, QPoint(90, 18), Qt::NoButton, Qt::RightButton);
    sendMouse(bar, QEvent::MouseMove, QPoint(60, 18), Qt::NoButton, Qt::LeftButton);
    QCOMPARE(window.pos(), afterDrag);

    // A press on a title-bar button belongs to the button (which then opens its dialog).
    ModalDialogCloser closer;
    auto *history = window.findChild<QPushButton *>(QStringLiteral("historyButton"));
    sendMouse(history, QEvent::MouseButtonPress, QPoint(5, 5), Qt::LeftButton, Qt::LeftButton);
    sendMouse(bar, QEvent::MouseMove, QPoint(0, 0), Qt::NoButton, Qt::LeftButton);
    sendMouse(history, QEvent::MouseButtonRelease, QPoint(5, 5), Qt::LeftButton, Qt::NoButton);
    QCOMPARE(window.pos(), afterDrag);
}

void MainWindowTest::cardListHeightFollowsPresetCount()
{
    auto area = [](MainWindow &w) { return w.findChild<QScrollArea *>(); };
    {
        MainWindow window;
        window.show();
        QVERIFY(area(window)->isHidden());
        QCOMPARE(label(window, "dropHint")->text(),
                 QStringLiteral("Add a printer preset, then drop a file here"));
        QVERIFY(MainWindowTestAccess::cards(window).isEmpty());
    }
    storePresets(3);
    {
        MainWindow window;
        window.show();
        QVERIFY(!area(window)->isHidden());
        QCOMPARE(area(window)->height(), 318);
        QCOMPARE(MainWindowTestAccess::cards(window).size(), 3);
        QCOMPARE(
            label(window, "dropHint")->text(),
            QStringLiteral("Drop a file onto a printer preset to print\nor bring a supported document to the "
                           "foreground"));
        QCOMPARE(window.findChildren<QWidget *>(QStringLiteral("presetCard")).size(), 3);
        // A rebuild replaces the cards instead of adding to them.
        window.rebuildPresetButtons();
        QCOMPARE(window.findChildren<QWidget *>(QStringLiteral("presetCard")).size(), 3);
        QCOMPARE(MainWindowTestAccess::cards(window).size(), 3);
    }
    storePresets(4);
    {
        MainWindow window;
        window.show();
        QCOMPARE(area(window)->height(), 360);
        const QList<PresetCard *> cards = MainWindowTestAccess::cards(window);
        QCOMPARE(cards.size(), 4);
        for (int i = 0; i < cards.size(); ++i)
            QCOMPARE(cards.at(i)->currentPreset().title, QStringLiteral("P%1").arg(i));
    }
}

void MainWindowTest::unopenableStoreShowsCriticalBoxAndStillOpens()
{
    removeDatabase();
    QVERIFY(QDir().mkpath(DatabaseLocation::databasePath()));  // a folder where the file should be
    ModalDialogCloser closer;
    {
        MainWindow window;
        QCOMPARE(closer.seen().size(), 1);
        QVERIFY2(closer.seen().first().startsWith(QStringLiteral("Database error|")),
                 qPrintable(closer.seen().first()));
        QVERIFY(closer.seen().first().size() > int(qstrlen("Database error|")));
        QVERIFY(MainWindowTestAccess::cards(window).isEmpty());
        QCOMPARE(window.size(), QSize(320, 752));
        QCOMPARE(label(window, "statusLabel")->text(), QStringLiteral("Attention"));
    }
    removeDatabase();
}

void MainWindowTest::foregroundMemoryFollowsForeignWindows()
{
    FakeWindowSystem desktop;
    desktop.setCurrentProcessId(100);
    desktop.addProcess(100, QStringLiteral("/opt/ollavan/ollavan-quick"));
    desktop.addProcess(200, QStringLiteral("C:/Program Files/Microsoft Office/WINWORD.EXE"));
    desktop.addProcess(300, QStringLiteral("/usr/bin/eog"));
    desktop.addProcess(400, QStringLiteral("/usr/bin/gedit"));
    desktop.addWindow(1, 100, QStringLiteral("Ollavan Quick"));
    desktop.addWindow(2, 200, QStringLiteral("Report.docx - Word"));
    desktop.addWindow(3, 300, QStringLiteral("holiday.PNG - Some Viewer"));
    desktop.addWindow(4, 400, QStringLiteral("notes.png.txt - gedit"));

    MainWindow window;
    QVERIFY(MainWindowTestAccess::lastProgId(window).isEmpty());

    desktop.setForegroundWindow(2);
    MainWindowTestAccess::poll(window);
    QCOMPARE(MainWindowTestAccess::lastProgId(window), QStringLiteral("Word.Application"));
    QCOMPARE(MainWindowTestAccess::lastWindowTitle(window), QStringLiteral("Report.docx - Word"));
    QCOMPARE(MainWindowTestAccess::lastProcessId(window), 200u);

    // The panel in front keeps the memory.
    desktop.setForegroundWindow(1);
    MainWindowTestAccess::poll(window);
    QCOMPARE(MainWindowTestAccess::lastProgId(window), QStringLiteral("Word.Application"));
    desktop.setWindowMinimized(1, true);
    MainWindowTestAccess::poll(window);
    QCOMPARE(MainWindowTestAccess::lastProcessId(window), 200u);

    desktop.setForegroundWindow(3);
    MainWindowTestAccess::poll(window);
    QCOMPARE(MainWindowTestAccess::lastProgId(window), QStringLiteral("Ollavan.ImageViewer"));
    QCOMPARE(MainWindowTestAccess::lastWindowTitle(window), QStringLiteral("holiday.PNG - Some Viewer"));

    // An unsupported application replaces the memory, title and process id included.
    desktop.setForegroundWindow(4);
    MainWindowTestAccess::poll(window);
    QVERIFY(MainWindowTestAccess::lastProgId(window).isEmpty());
    QVERIFY(MainWindowTestAccess::lastWindowTitle(window).isEmpty());
    QCOMPARE(MainWindowTestAccess::lastProcessId(window), 0u);

    // A minimised foreign window clears it, and so does a moment without any foreground window.
    desktop.setForegroundWindow(2);
    MainWindowTestAccess::poll(window);
    desktop.setWindowMinimized(2, true);
    MainWindowTestAccess::poll(window);
    QVERIFY(MainWindowTestAccess::lastProgId(window).isEmpty());
    desktop.setWindowMinimized(2, false);
    MainWindowTestAccess::poll(window);
    QVERIFY(!MainWindowTestAccess::lastProgId(window).isEmpty());
    desktop.setForegroundWindow(0);
    MainWindowTestAccess::poll(window);
    QVERIFY(MainWindowTestAccess::lastProgId(window).isEmpty());

    // A process whose image path cannot be read is not supported, whatever its title says.
    desktop.addProcess(500);
    desktop.addWindow(5, 500, QStringLiteral("photo.jpg - Viewer"));
    desktop.setForegroundWindow(5);
    MainWindowTestAccess::poll(window);
    QVERIFY(MainWindowTestAccess::lastProgId(window).isEmpty());
}

void MainWindowTest::unsupportedForegroundShowsTheBox()
{
    storePresets(1);
    FakeWindowSystem desktop;
    desktop.setCurrentProcessId(100);
    desktop.addProcess(200, QStringLiteral("/usr/bin/wps.exe"));
    desktop.addProcess(400, QStringLiteral("/usr/bin/gedit"));
    desktop.addWindow(2, 200, QStringLiteral("Draft - WPS"));
    desktop.addWindow(4, 400, QStringLiteral("notes - gedit"));
    MainWindow window;
    window.show();
    PresetCard *card = MainWindowTestAccess::cards(window).first();
    ModalDialogCloser closer;

    // Nothing foreign seen since start-up.
    QTest::mouseClick(card, Qt::LeftButton, Qt::NoModifier, QPoint(40, 40));
    const QString box = QStringLiteral(
        "Foreground app not supported|Ollavan Quick cannot identify the active document in this "
        "application.\n\nDrag the PDF, Word document, or image onto a printer preset to print it.");
    QCOMPARE(closer.seen(), QStringList{box});
    QCOMPARE(label(window, "statusLabel")->toolTip(),
             QStringLiteral("Use drag-and-drop for this application."));
    QCOMPARE(label(window, "statusLabel")->text(), QStringLiteral("Attention"));

    // From a supported editor to an unsupported application: the latter counts.
    closer.clear();
    desktop.setForegroundWindow(2);
    MainWindowTestAccess::poll(window);
    desktop.setForegroundWindow(4);
    MainWindowTestAccess::poll(window);
    QTest::mouseClick(card, Qt::LeftButton, Qt::NoModifier, QPoint(40, 40));
    QCOMPARE(closer.seen(), QStringList{box});
    QVERIFY(!MainWindowTestAccess::printing(window));
    QVERIFY(card->isEnabled());
}

void MainWindowTest::secondRequestWhileSubmittingOnlyShowsBusyStatus()
{
    storePresets(2);
    MainWindow window;
    ModalDialogCloser closer;
    const QList<PresetCard *> cards = MainWindowTestAccess::cards(window);
    auto *add = window.findChild<QPushButton *>(QStringLiteral("addPrinterButton"));
    auto *history = window.findChild<QPushButton *>(QStringLiteral("historyButton"));
    const QString missing = QDir::temp().filePath(
        QStringLiteral("ollavan-missing-%1.pdf").arg(QCoreApplication::applicationPid()));

    window.executePreset(cards.first()->currentPreset(), missing);
    QVERIFY(MainWindowTestAccess::printing(window));
    QCOMPARE(label(window, "statusLabel")->toolTip(), QStringLiteral("Sending to Nowhere P0…"));
    for (PresetCard *card : cards)
        QVERIFY(!card->isEnabled());
    QVERIFY(!add->isEnabled());
    QVERIFY(history->isEnabled());
    QCOMPARE(window.cursor().shape(), Qt::BusyCursor);

    window.executePreset(cards.last()->currentPreset(), missing);
    QCOMPARE(label(window, "statusLabel")->toolTip(),
             QStringLiteral("A print job is already being submitted. Please wait…"));
    QCOMPARE(label(window, "statusLabel")->text(), QStringLiteral("Attention"));

    // The one job ends: controls back, exactly one warning.
    QTRY_VERIFY_WITH_TIMEOUT(!MainWindowTestAccess::printing(window), 30000);
    QTRY_COMPARE_WITH_TIMEOUT(closer.seen().size(), 1, 10000);
    for (PresetCard *card : cards)
        QVERIFY(card->isEnabled());
    QVERIFY(add->isEnabled());
    QCOMPARE(window.cursor().shape(), Qt::ArrowCursor);
    QTest::qWait(200);
    QCOMPARE(closer.seen().size(), 1);
}

void MainWindowTest::failedDropShowsWarningWithoutHistory()
{
    storePresets(1);
    MainWindow window;
    ModalDialogCloser closer;
    QTemporaryDir dir;
    const QString notes = dir.filePath(QStringLiteral("notes.txt"));
    QFile file(notes);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("not printable");
    file.close();

    window.executePreset(MainWindowTestAccess::cards(window).first()->currentPreset(), notes);
    QTRY_VERIFY_WITH_TIMEOUT(!MainWindowTestAccess::printing(window), 30000);
    QTRY_COMPARE_WITH_TIMEOUT(closer.seen().size(), 1, 10000);
    const QString seen = closer.seen().first();
    QVERIFY2(seen.startsWith(QStringLiteral("Ollavan Quick|")), qPrintable(seen));
    const QString message = seen.mid(int(qstrlen("Ollavan Quick|")));
    QVERIFY(!message.isEmpty());
    QCOMPARE(label(window, "statusLabel")->toolTip(), message);  // the route's message, unchanged
    QVERIFY(
        !message.contains(QStringLiteral("drag the file onto a printer preset")));  // a drop gets no advice
    QVERIFY(storedHistory().isEmpty());
}

void MainWindowTest::copiesChangeIsStored()
{
    storePresets(2);
    MainWindow window;
    PresetCard *second = MainWindowTestAccess::cards(window).at(1);
    auto *plus = [&] {
        for (QPushButton *b : second->findChildren<QPushButton *>(QStringLiteral("stepButton")))
            if (b->text() == QStringLiteral("+"))
                return b;
        return static_cast<QPushButton *>(nullptr);
    }();
    QTest::mouseClick(plus, Qt::LeftButton);
    QTest::mouseClick(plus, Qt::LeftButton);
    QCOMPARE(label(window, "statusLabel")->toolTip(), QStringLiteral("Copies set to 3"));
    PresetRepository repository(DatabaseLocation::databasePath());
    QVERIFY(repository.open());
    const QList<PrintPreset> stored = repository.presets();
    QCOMPARE(stored.at(0).copies, 1);
    QCOMPARE(stored.at(1).copies, 3);
    // The card was not replaced.
    QCOMPARE(MainWindowTestAccess::cards(window).at(1), second);
}

void MainWindowTest::dropsOnTheWindowUseFirstPresetAndFirstSupportedFile()
{
    QTemporaryDir dir;
    const QUrl text = QUrl::fromLocalFile(dir.filePath(QStringLiteral("a.txt")));
    const QUrl first = QUrl::fromLocalFile(dir.filePath(QStringLiteral("first.txt.pdf")));
    const QUrl second = QUrl::fromLocalFile(dir.filePath(QStringLiteral("second.png")));
    QMimeData mime;
    mime.setUrls({QUrl(QStringLiteral("https://example.org/x.pdf")), text, first, second});
    QMimeData unsupported;
    unsupported.setUrls({text});

    {
        // No presets: neither accepted nor printed.
        MainWindow window;
        QDragEnterEvent enter(QPoint(50, 600), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        enter.setAccepted(false);
        QApplication::sendEvent(&window, &enter);
        QVERIFY(!enter.isAccepted());
        QDropEvent drop(QPointF(50, 600), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        drop.setAccepted(false);
        QApplication::sendEvent(&window, &drop);
        QVERIFY(!MainWindowTestAccess::printing(window));
    }

    removeDatabase();
    DatabaseLocation::createDatabaseFolder(DatabaseLocation::databasePath());
    {
        PresetRepository repository(DatabaseLocation::databasePath());
        QVERIFY(repository.open());
        QVERIFY(repository.addPreset(preset(QStringLiteral("Later"), 5)));
        QVERIFY(repository.addPreset(preset(QStringLiteral("Earliest"), 1)));
    }
    MainWindow window;
    ModalDialogCloser closer;
    QDragEnterEvent refused(QPoint(50, 600), Qt::CopyAction, &unsupported, Qt::LeftButton, Qt::NoModifier);
    refused.setAccepted(false);
    QApplication::sendEvent(&window, &refused);
    QVERIFY(!refused.isAccepted());

    QDragEnterEvent enter(QPoint(50, 600), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    enter.setAccepted(false);
    QApplication::sendEvent(&window, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(50, 600), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &drop);
    QVERIFY(drop.isAccepted());
    QVERIFY(MainWindowTestAccess::printing(window));
    QCOMPARE(label(window, "statusLabel")->toolTip(), QStringLiteral("Sending to Nowhere Earliest…"));
    QTRY_VERIFY_WITH_TIMEOUT(!MainWindowTestAccess::printing(window), 30000);
    // The file does not exist, so the route refuses it and names it.
    QTRY_COMPARE_WITH_TIMEOUT(closer.seen().size(), 1, 10000);
}

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
