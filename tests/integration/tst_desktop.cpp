// The panel on a real desktop: a private X session (Xvfb, openbox, the trayer notification area, xdotool as
// the user) and a private print server with capture queues. Global hotkeys with their lock variants and a
// key another program holds, the documents real viewers, LibreOffice and image viewers show in front,
// docking and the tray.
#include "support/PanelFixture.h"
#include "support/PrivateCups.h"
#include "support/TestDocuments.h"
#include "support/XSession.h"

#include "platform/linux/ProcessDocuments.h"

#include "ui/EdgeDocking.h"
#include "ui/HotkeysAndTray.h"
#include "ui/MainWindow.h"
#include "ui/PresetCard.h"
#include "ui/PresetCards.h"
#include "ui/PrintExecution.h"

#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QtTest>

#include <utility>

namespace {

using ollavan::testsupport::makeMixedOrientationPdf;
using ollavan::testsupport::writeFile;

XSession *session = nullptr;
constexpr uint16_t ctrlAlt = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1;
constexpr uint16_t lockVariants[] = {0, XCB_MOD_MASK_LOCK, XCB_MOD_MASK_2,
                                     XCB_MOD_MASK_2 | XCB_MOD_MASK_LOCK};

void xdotool(const QStringList &arguments)
{
    session->run(QStringLiteral("xdotool"), arguments);
}

void mouseTo(const QPoint &global)
{
    xdotool({QStringLiteral("mousemove"), QString::number(global.x()), QString::number(global.y())});
}

void clickAt(const QPoint &global, int button)
{
    mouseTo(global);
    xdotool({QStringLiteral("click"), QString::number(button)});
}

void activate(const QString &namePattern)
{
    xdotool({"windowactivate", "--sync", QString::number(session->waitForWindow(namePattern))});
    QTest::qWait(300);  // the window manager finishes the activation
}

// The window of a document: titled by its name or path, maybe after other words and before a dash and more.
QString documentWindow(const QString &file)
{
    return QStringLiteral("(^|[ /])%1( - .*)?$").arg(QRegularExpression::escape(file));
}

// The pages of a captured job and the paper of its first page, as pdfinfo reports them ("3 A4").
QString pagesAndPaper(const QString &pdf)
{
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {pdf});
    info.waitForFinished(30000);
    const QString text = QString::fromUtf8(info.readAllStandardOutput());
    static const QRegularExpression pages(QStringLiteral("Pages:\\s+(\\d+)")),
        paper(QStringLiteral("Page size:.*\\((\\w+)\\)"));
    return pages.match(text).captured(1) + QLatin1Char(' ') + paper.match(text).captured(1);
}

// What happens to a viewer's file before its window comes to the front.
enum class FileChange { None, Deleted, Renamed };

}  // namespace

Q_DECLARE_METATYPE(FileChange)
Q_DECLARE_METATYPE(platform::ShownDocument::Status)

class DesktopTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void hotkeysAndForegroundPrints();
    void documentsInFront_data();
    void documentsInFront();
    void sandboxedAndMarkedDocuments_data();
    void sandboxedAndMarkedDocuments();
    void dockingToTheEdges();
    void trayHidesRestoresAndExits();  // last: its exit quits the application

private:
    ollavan::testsupport::PrivateCups cups;
    // Starts every viewer once, on its documents; false when one did not start or show its window.
    bool startViewers();

    QTemporaryDir documents;
    bool viewersStarted = false;
};

void DesktopTest::initTestCase()
{
    startPanelTest();
    QString error;
    QVERIFY2(cups.start(&error), qPrintable(error));
    QVERIFY(cups.addQueue(QStringLiteral("office")) && cups.addQueue(QStringLiteral("lab")) &&
            cups.addQueue(QStringLiteral("front")));
    QList<PrintPreset> presets = {panelPreset(QStringLiteral("Office"), QStringLiteral("office")),
                                  panelPreset(QStringLiteral("Lab"), QStringLiteral("lab")),
                                  panelPreset(QStringLiteral("Taken"), QStringLiteral("office")),
                                  panelPreset(QStringLiteral("Front"), QStringLiteral("front"))};
    for (int i = 0; i < 4; ++i)
        presets[i].hotkey = QStringLiteral("Ctrl+Alt+%1").arg(i + 1);
    presets[1].paperSize = QStringLiteral("A5");
    QVERIFY(storePresets(presets));
    // Another program holds Ctrl+Alt+3 before the panel starts.
    QVERIFY(session->grabKey('3', ctrlAlt));
}

void DesktopTest::hotkeysAndForegroundPrints()
{
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window, 20000));
    QCOMPARE(statusMessage(window),
             QStringLiteral("Some hotkeys are unavailable: Taken\uff08Ctrl+Alt+3\uff09"));
    for (uint16_t lock : lockVariants)  // the panel holds its hotkeys in every lock state
        QVERIFY(!session->grabKey('1', ctrlAlt | lock) && !session->grabKey('2', ctrlAlt | lock));

    // A picture viewer in front, titled with the picture's path.
    QTemporaryDir folder;
    const QString picture = folder.filePath(QStringLiteral("poster.png"));
    QImage image(400, 300, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    QVERIFY(image.save(picture));
    QVERIFY(session->startClient(QStringLiteral("eog"), {picture}));
    activate(documentWindow(QStringLiteral("poster.png")));
    auto *execution = window.findChild<PrintExecution *>();
    QTRY_COMPARE(execution->foregroundMemory().document.path, picture);
    ModalDialogCloser closer;

    // Lab's hotkey prints the picture on Lab's printer and paper, also with NumLock or CapsLock on; the key
    // another program holds prints nothing.
    int jobs = 0;
    for (const char *lock : {"", "Num_Lock", "Caps_Lock"}) {
        if (*lock)
            xdotool({QStringLiteral("key"), QLatin1String(lock)});
        QTRY_VERIFY(!*lock || session->modifierState() & (*lock == 'N' ? XCB_MOD_MASK_2 : XCB_MOD_MASK_LOCK));
        xdotool({QStringLiteral("key"), QStringLiteral("ctrl+alt+2")});
        ++jobs;
        QTRY_COMPARE_WITH_TIMEOUT(cups.jobs(QStringLiteral("lab")).size(), jobs, 60000);
        QCOMPARE(cups.jobs(QStringLiteral("lab")).constLast().options.value(QStringLiteral("PageSize")),
                 QStringLiteral("A5"));
        QTRY_VERIFY_WITH_TIMEOUT(!execution->isBusy(), 30000);
        if (*lock)
            xdotool({QStringLiteral("key"), QLatin1String(lock)});
    }
    xdotool({QStringLiteral("key"), QStringLiteral("ctrl+alt+3")});
    QTest::qWait(1000);
    QVERIFY(!execution->isBusy());

    // A click on a card brings the panel to the front; it still prints the viewer's picture.
    activate(QStringLiteral("^Ollavan Quick$"));
    clickAt(window.findChild<PresetCards *>()->cards().at(0)->mapToGlobal(QPoint(40, 40)), 1);
    QTRY_COMPARE_WITH_TIMEOUT(cups.jobs(QStringLiteral("office")).size(), 1, 60000);
    QTRY_VERIFY_WITH_TIMEOUT(!execution->isBusy(), 30000);
    QVERIFY2(closer.seen.isEmpty(), qPrintable(closer.seen.join(QLatin1Char('\n'))));
    // Every job handed over has its row, named after the picture.
    QStringList rows;
    for (const PrintHistoryEntry &entry : storedHistory())
        rows << entry.printerName + QLatin1Char(' ') + entry.jobName;
    QCOMPARE(rows, QStringList({"office poster.png", "lab poster.png", "lab poster.png", "lab poster.png"}));
}

void DesktopTest::documentsInFront_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("printed");  // pages and paper; empty: nothing is printed
    QTest::addColumn<FileChange>("change");
    QTest::newRow("Document Viewer") << "alpha.pdf"
                                     << "3 A4" << FileChange::None;
    QTest::newRow("Atril") << "beta.pdf"
                           << "2 A4" << FileChange::None;
    QTest::newRow("Zathura, titled with the path") << "gamma.pdf"
                                                   << "4 A4" << FileChange::None;
    QTest::newRow("MuPDF, a window without a process id") << "delta.pdf"
                                                          << "5 A4" << FileChange::None;
    QTest::newRow("feh, no file open") << "photo.jpg"
                                       << "1 A4" << FileChange::None;
    QTest::newRow("LibreOffice, second window") << "letter.rtf"
                                                << "2 A4" << FileChange::None;
    QTest::newRow("LibreOffice, first window of the same process") << "memo.rtf"
                                                                   << "1 A4" << FileChange::None;
    QTest::newRow("Document Viewer, file deleted") << "doomed.pdf"
                                                   << "" << FileChange::Deleted;
    QTest::newRow("Atril, file renamed") << "moving.pdf"
                                         << "" << FileChange::Renamed;
}

bool DesktopTest::startViewers()
{
    // Every viewer starts once, before the first row, on documents named relative to its working folder;
    // LibreOffice shows two documents in one process and, in its fresh profile, no tip.
    const QByteArray rtf = "{\\rtf1\\ansi\\paperw11906\\paperh16838 Memo\\par}";
    QImage photo(300, 400, QImage::Format_RGB32);
    photo.fill(Qt::blue);
    bool written =
        photo.save(documents.filePath(QStringLiteral("photo.jpg"))) &&
        writeFile(documents.filePath("alpha.pdf"), makeMixedOrientationPdf(3)) &&
        writeFile(documents.filePath("beta.pdf"), makeMixedOrientationPdf(2)) &&
        writeFile(documents.filePath("gamma.pdf"), makeMixedOrientationPdf(4)) &&
        writeFile(documents.filePath("delta.pdf"), makeMixedOrientationPdf(5)) &&
        writeFile(documents.filePath("doomed.pdf"), makeMixedOrientationPdf(1)) &&
        writeFile(documents.filePath("moving.pdf"), makeMixedOrientationPdf(1)) &&
        writeFile(documents.filePath("memo.rtf"), rtf) &&
        writeFile(documents.filePath("letter.rtf"), QByteArray(rtf).replace("Memo", "Page\\page Page")) &&
        writeFile(cups.home() + "/.config/libreoffice/4/user/registrymodifications.xcu",
                  "<oor:items xmlns:oor=\"http://openoffice.org/2001/registry\"><item "
                  "oor:path=\"/org.openoffice.Office.Common/Misc\"><prop oor:name=\"ShowTipOfTheDay\" "
                  "oor:op=\"fuse\"><value>false</value></prop></item></oor:items>");
    const QList<QStringList> viewers = {
        {"evince", "alpha.pdf"},  {"atril", "beta.pdf"},
        {"zathura", "gamma.pdf"}, {"mupdf", "delta.pdf"},
        {"feh", "photo.jpg"},     {"evince", "doomed.pdf"},
        {"atril", "moving.pdf"},  {"soffice", "--norestore", "memo.rtf", "letter.rtf"}};
    for (const QStringList &viewer : viewers)
        written = written && session->startClient(viewer.first(), viewer.mid(1), documents.path());
    for (const QStringList &viewer : viewers) {  // LibreOffice starts slowly
        written =
            written &&
            QTest::qWaitFor([&] { return session->waitForWindow(documentWindow(viewer.last())); }, 120000);
    }
    return written;
}

void DesktopTest::documentsInFront()
{
    QFETCH(QString, file);
    QFETCH(QString, printed);
    QFETCH(FileChange, change);
    if (!std::exchange(viewersStarted, true))
        QVERIFY2(startViewers(), "a viewer did not start");
    const QString path = documents.filePath(file);
    if (change == FileChange::Deleted)
        QVERIFY(QFile::remove(path));
    if (change == FileChange::Renamed)
        QVERIFY(QFile::rename(path, documents.filePath(QStringLiteral("moved.pdf"))));
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window, 20000));
    PresetCard *card = window.findChild<PresetCards *>()->cards().at(3);
    ModalDialogCloser closer;
    const int jobs = cups.jobs(QStringLiteral("front")).size();
    const int rows = storedHistory().size();
    activate(documentWindow(file));

    // Before anything is pressed the status line names the document, and so do the cards when it prints.
    QTRY_VERIFY(statusMessage(window).contains(file));
    QCOMPARE(card->toolTip().contains(file), !printed.isEmpty());
    xdotool({QStringLiteral("key"), QStringLiteral("ctrl+alt+4")});
    if (printed.isEmpty()) {  // the reason, with the advice to drag the file, and nothing printed
        QTRY_COMPARE_WITH_TIMEOUT(closer.seen.size(), 1, 30000);
        QCOMPARE(closer.seen.first(), QStringLiteral("Ollavan Quick|") + statusMessage(window));
        QVERIFY(statusMessage(window).contains(file));
        QCOMPARE(cups.jobs(QStringLiteral("front")).size(), jobs);
        QCOMPARE(storedHistory().size(), rows);
        return;
    }
    QTRY_COMPARE_WITH_TIMEOUT(cups.jobs(QStringLiteral("front")).size(), jobs + 1, 90000);
    QCOMPARE(pagesAndPaper(cups.jobs(QStringLiteral("front")).value(jobs).dataPath), printed);
    QTRY_VERIFY_WITH_TIMEOUT(!window.findChild<PrintExecution *>()->isBusy(), 60000);
    QVERIFY2(closer.seen.isEmpty(), qPrintable(closer.seen.join(QLatin1Char('\n'))));
    QCOMPARE(storedHistory().first().jobName, file);
}

void DesktopTest::sandboxedAndMarkedDocuments_data()
{
    QTest::addColumn<QStringList>("process");  // executable, then the command line
    QTest::addColumn<QStringList>("openFiles");
    QTest::addColumn<QString>("title");
    QTest::addColumn<platform::ShownDocument::Status>("status");
    QTest::addColumn<QString>("found");
    QTest::addColumn<bool>("unsaved");
    using Status = platform::ShownDocument::Status;
    QTest::newRow("document portal as Flatpak mounts it")
        << QStringList{"/app/bin/evince", "evince"} << QStringList{"/run/flatpak/doc/ab12/report.pdf"}
        << "report.pdf" << Status::Found << "runtime/doc/ab12/report.pdf" << false;
    QTest::newRow("document portal on the command line")
        << QStringList{"/usr/bin/eog", "eog", "--", "/run/user/1000/doc/cd34/scan.png"} << QStringList()
        << "*scan.png" << Status::Found << "runtime/doc/cd34/scan.png" << true;
    QTest::newRow("inside the sandbox's root, unsaved")
        << QStringList{"/app/bin/okular", "okular"} << QStringList{"/sandboxed/notes.pdf"}
        << "notes.pdf * \u2013 Okular" << Status::Found << "proc/7/root/sandboxed/notes.pdf" << true;
    QTest::newRow("the document's own title, one file")
        << QStringList{"/usr/bin/mupdf-gl", "mupdf-gl", "files/a.pdf"} << QStringList()
        << "Annual report - 1/3" << Status::Found << "files/a.pdf" << false;
    QTest::newRow("the document's own title, the open file")
        << QStringList{"/usr/bin/evince", "evince", "a.pdf"} << QStringList{"/R/files/a.pdf"}
        << "Annual report" << Status::Found << "files/a.pdf" << false;
    QTest::newRow("a read-only note")
        << QStringList{"/opt/lo/program/soffice.bin", "soffice.bin"}
        << QStringList{"/R/files/b.pdf", "/R/files/a.odt"} << "a.odt (read-only) - LibreOffice Writer"
        << Status::Found << "files/a.odt" << false;
    QTest::newRow("the document's own title, two files")
        << QStringList{"/usr/bin/qpdfview", "qpdfview"} << QStringList{"/R/files/a.pdf", "/R/files/b.pdf"}
        << "Annual report - qpdfview" << Status::Unsure << "" << false;
    QTest::newRow("a spreadsheet in the office suite")
        << QStringList{"/opt/lo/program/soffice.bin", "soffice.bin"} << QStringList{"/R/files/a.ods"}
        << "a.ods - LibreOffice Calc" << Status::NotShown << "" << false;
}

// A process table of one process (7) in a folder of the test, its files in a sandbox root and the portal.
void DesktopTest::sandboxedAndMarkedDocuments()
{
    QFETCH(QStringList, process);
    QFETCH(QStringList, openFiles);
    QFETCH(QString, title);
    QFETCH(platform::ShownDocument::Status, status);
    QFETCH(QString, found);
    QFETCH(bool, unsaved);
    QTemporaryDir root;
    const QString table = root.filePath(QStringLiteral("proc/7"));
    const auto link = [&](const QString &target, const QString &name) {
        QDir().mkpath(QFileInfo(table + name).path());
        QVERIFY(QFile::link(QString(target).replace(QLatin1String("/R/"), root.path() + '/'), table + name));
    };
    for (const char *file : {"runtime/doc/ab12/report.pdf", "runtime/doc/cd34/scan.png",
                             "rootfs/sandboxed/notes.pdf", "files/a.pdf", "files/b.pdf", "files/a.odt"})
        QVERIFY(writeFile(root.filePath(file), "%PDF-"));
    link(process.takeFirst(), "/exe");
    link(root.path(), "/cwd");
    link(root.filePath(QStringLiteral("rootfs")), "/root");
    for (int i = 0; i < openFiles.size(); ++i)
        link(openFiles.at(i), QStringLiteral("/fd/%1").arg(i + 3));
    QVERIFY(writeFile(table + "/cmdline", process.join(QChar(0)).toUtf8() + '\0'));
    const platform::ShownDocument shown = platform::ProcessDocuments(root.filePath(QStringLiteral("proc")),
                                                                     root.filePath(QStringLiteral("runtime")))
                                              .shownDocument(7, title);
    QCOMPARE(shown.status, status);
    QCOMPARE(shown.path, found.isEmpty() ? found : root.filePath(found));
    QCOMPARE(shown.unsavedChanges, unsaved);
}

void DesktopTest::dockingToTheEdges()
{
    QSettings().setValue(QStringLiteral("dock/edge"), QStringLiteral("top"));
    mouseTo(QPoint(5, 5));
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window, 20000));
    auto *docking = window.findChild<EdgeDocking *>();
    auto *handle = window.findChild<QWidget *>(QStringLiteral("edgeHandle"));
    QTRY_VERIFY(docking->isReady());
    const QRect area = docking->screenArea();
    // Restored to the top edge, then slid up out of sight but for 8 pixels.
    QCOMPARE(docking->edge(), DockEdge::Top);
    QTRY_COMPARE_WITH_TIMEOUT(window.pos().y(), area.top() - 752 + 8, 5000);
    QVERIFY(!docking->isExpanded() && handle->isVisible());

    // The right edge from the dock menu, saved; with the mouse elsewhere it slides out to the right.
    QCOMPARE(chooseFromMenu(window.findChild<QPushButton *>(QStringLiteral("dockButton")), 1),
             QStringList(
                 {"\u25c7  Floating window", "\u21e5  Dock to right edge", "\u21e7  Dock to top edge [x]"}));
    QCOMPARE(docking->edge(), DockEdge::Right);
    QCOMPARE(QSettings().value(QStringLiteral("dock/edge")).toString(), QStringLiteral("right"));
    const QPoint expanded = window.pos();
    QCOMPARE(expanded.x(), area.right() - 320 + 1);
    QCOMPARE(handle->geometry(), QRect(0, 336, 8, 80));
    QTRY_COMPARE_WITH_TIMEOUT(window.pos(), QPoint(area.right() - 7, expanded.y()), 5000);
    QVERIFY(handle->isVisible());
    mouseTo(QPoint(area.right() - 3, expanded.y() + 376));  // touching the strip brings it back
    QTRY_COMPARE_WITH_TIMEOUT(window.pos(), expanded, 5000);
    QTRY_VERIFY(handle->isHidden() && docking->isExpanded());

    // It stays under the mouse, and while a job is being submitted.
    mouseTo(QPoint(area.right() - 100, expanded.y() + 376));
    docking->collapse();
    QTest::qWait(1000);
    QCOMPARE(window.pos(), expanded);
    docking->setBusy(true);
    mouseTo(QPoint(10, 10));
    QTest::qWait(1200);
    docking->collapse();
    QCOMPARE(window.pos(), expanded);
    docking->setBusy(false);
    docking->collapse();
    QTRY_COMPARE_WITH_TIMEOUT(window.pos().x(), area.right() - 7, 5000);

    // Dragging the docked window's title bar makes it float, held by the middle of the bar.
    auto *titleBar = window.findChild<QWidget *>(QStringLiteral("titleBar"));
    const QPoint grabbed = titleBar->mapToGlobal(QPoint(100, 10));
    QTest::mousePress(titleBar, Qt::LeftButton, Qt::NoModifier, QPoint(100, 10));
    QCOMPARE(docking->edge(), DockEdge::None);
    QCOMPARE(QSettings().value(QStringLiteral("dock/edge")).toString(), QStringLiteral("none"));
    QCOMPARE(window.pos(), grabbed - QPoint(160, 18));
    QTest::mouseRelease(titleBar, Qt::LeftButton, Qt::NoModifier, QPoint(100, 10));
}

void DesktopTest::trayHidesRestoresAndExits()
{
    QTRY_VERIFY(QSystemTrayIcon::isSystemTrayAvailable());
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window, 20000));
    auto *tray = window.findChild<HotkeysAndTray *>();
    QSystemTrayIcon *icon = tray->trayIcon();
    QVERIFY(icon && icon->isVisible());
    QCOMPARE(icon->toolTip(), QStringLiteral("Ollavan Quick - running in background"));
    QTRY_VERIFY_WITH_TIMEOUT(!icon->geometry().isEmpty(), 10000);
    const auto chooseFromTray = [&](int entry) {
        clickAt(icon->geometry().center(), 3);
        QTest::qWaitFor([&] { return tray->trayMenu()->isVisible(); }, 10000);
        QAction *action = tray->trayMenu()->actions().at(entry);
        const QString text = action->text();
        clickAt(tray->trayMenu()->mapToGlobal(tray->trayMenu()->actionGeometry(action).center()), 1);
        return text;
    };

    // The window manager's close command hides the window; the icon brings it back, and so does its menu.
    activate(QStringLiteral("^Ollavan Quick$"));
    xdotool({QStringLiteral("key"), QStringLiteral("alt+F4")});
    QTRY_VERIFY_WITH_TIMEOUT(!window.isVisible(), 10000);
    clickAt(icon->geometry().center(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(window.isVisible(), 10000);
    QVERIFY(!window.close() && !window.isVisible());
    QCOMPARE(chooseFromTray(0), QStringLiteral("Show Ollavan Quick"));
    QTRY_VERIFY_WITH_TIMEOUT(window.isVisible(), 10000);

    // Exit from the menu releases every hotkey and lets the window close.
    QVERIFY(!session->grabKey('1', ctrlAlt));
    QCOMPARE(chooseFromTray(3), QStringLiteral("Exit Ollavan Quick"));
    QTRY_VERIFY_WITH_TIMEOUT(!icon->isVisible(), 10000);
    for (uint16_t lock : lockVariants)
        QVERIFY(session->grabKey('1', ctrlAlt | lock) && session->grabKey('2', ctrlAlt | lock));
    QVERIFY(window.close());
}

int main(int argc, char **argv)
{
    return runTestInXSession<DesktopTest>(argc, argv, &session);
}

#include "tst_desktop.moc"
