// The panel on a real desktop: a private X session (Xvfb, openbox, the trayer notification area, xdotool as
// the user) and a private print server with capture queues. Global hotkeys with their lock variants and a
// key another program holds, the foreground memory with a real foreign window, docking and the tray.
#include "support/PanelFixture.h"
#include "support/PrivateCups.h"
#include "support/XSession.h"

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

namespace {

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

}  // namespace

class DesktopTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void hotkeysAndForegroundPrints();
    void dockingToTheEdges();
    void trayHidesRestoresAndExits();  // last: its exit quits the application

private:
    ollavan::testsupport::PrivateCups cups;
};

void DesktopTest::initTestCase()
{
    startPanelTest();
    QString error;
    QVERIFY2(cups.start(&error), qPrintable(error));
    QVERIFY(cups.addQueue(QStringLiteral("office")) && cups.addQueue(QStringLiteral("lab")));
    QList<PrintPreset> presets = {panelPreset(QStringLiteral("Office"), QStringLiteral("office")),
                                  panelPreset(QStringLiteral("Lab"), QStringLiteral("lab")),
                                  panelPreset(QStringLiteral("Taken"), QStringLiteral("office"))};
    for (int i = 0; i < 3; ++i)
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
    const QString title = picture + QStringLiteral(" - Photos");
    QVERIFY(session->startClient(QStringLiteral("xmessage"), {QStringLiteral("-title"), title, title}));
    activate(QRegularExpression::escape(title));
    auto *execution = window.findChild<PrintExecution *>();
    QTRY_COMPARE(execution->foregroundMemory().progId, QStringLiteral("Ollavan.ImageViewer"));
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
