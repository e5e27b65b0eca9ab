// Edge docking on a real X server (Xvfb 1280 x 1024 with openbox, no notification area): the docked
// positions and handle rectangles of both edges inside the screen's bounds, the dock menu, the slide out
// and back with the mouse, the collapse postponed while a menu is open or a print runs, the saved position
// and the start-up restore. Without a notification area the system close command still only hides.
#include "support/XSessionMain.h"

#include "base/AppIdentity.h"
#include "base/I18n.h"
#include "model/DatabaseLocation.h"
#include "ui/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QProcess>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>

#include <cstdio>

class MainWindowTestAccess
{
public:
    static void setDockEdge(MainWindow &w, DockEdge edge, bool persist) { w.setDockEdge(edge, persist); }
    static QRect screenArea(const MainWindow &w) { return w.dockScreenGeometry(); }
    static DockEdge edge(const MainWindow &w) { return w.dockEdge; }
    static void restoreDockState(MainWindow &w) { w.restoreDockState(); }
    static bool expanded(const MainWindow &w) { return w.dockExpanded; }
    static bool ready(const MainWindow &w) { return w.dockReady; }
    static QPoint floating(const MainWindow &w) { return w.floatingPosition; }
    static void collapse(MainWindow &w) { w.collapseDockedWindow(); }
    static void expandTo(MainWindow &w, const QPoint &p) { w.animateDockTo(p, true); }
    static bool sliding(const MainWindow &w) { return w.dockAnimation; }
    static bool collapsePending(const MainWindow &w) { return w.collapseTimer->isActive(); }
    static void setPrinting(MainWindow &w, bool on) { w.printing = on; }
    static QWidget *handle(const MainWindow &w) { return w.edgeHandle; }
};

namespace {

XSession *session = nullptr;

void mouseTo(int x, int y)
{
    session->xdotool({QStringLiteral("mousemove"), QString::number(x), QString::number(y)});
}

// Picks an entry of the dock menu once it is open (by its position: 0 floating, 1 right, 2 top) and reports
// the entries' texts and check marks.
void chooseInDockMenu(int entry, QStringList *texts)
{
    auto *timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, entry, texts] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (!menu)
            return;
        timer->stop();
        timer->deleteLater();
        for (QAction *action : menu->actions())
            *texts << action->text() + (action->isChecked() ? QStringLiteral(" [x]") : QString());
        QAction *chosen = menu->actions().value(entry);
        if (chosen)
            QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier, menu->actionGeometry(chosen).center());
        else
            menu->close();
    });
    timer->start();
}

}  // namespace

class EdgeDockingTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void dockedGeometryOfBothEdges();
    void dockMenuSlideOutAndBack();
    void collapseWaitsForMenusAndPrints();
    void startUpRestoreAndSavedPosition();
    void closeWithoutNotificationAreaOnlyHides();
    void screenshotRunLeavesTheDockSettingUnapplied();
};

void EdgeDockingTest::initTestCase()
{
    AppIdentity::apply();
    I18n::setLanguage(QStringLiteral("en"));
    QFile::remove(DatabaseLocation::databasePath());
}

void EdgeDockingTest::init()
{
    QSettings settings;
    settings.remove(QStringLiteral("dock"));
    settings.setValue(QStringLiteral("compatibilityNotice/pdfiumShown"), true);
    mouseTo(5, 5);
}

void EdgeDockingTest::dockedGeometryOfBothEdges()
{
    MainWindow window;  // not shown: positions are exactly what the docking code sets
    QTest::qWait(50);   // the deferred restore
    QVERIFY(MainWindowTestAccess::ready(window));
    const QRect area = MainWindowTestAccess::screenArea(window);
    QCOMPARE(area, QGuiApplication::primaryScreen()->availableGeometry());
    QVERIFY(area.width() <= 1280 && area.height() <= 1024 && area.height() > 752);

    // Right edge from a floating window far below the screen: the bottom of the area.
    window.move(40, 5000);
    MainWindowTestAccess::setDockEdge(window, DockEdge::Right, true);
    QCOMPARE(window.pos(), QPoint(area.right() - 320 + 1, area.bottom() - 752 + 1));
    QVERIFY(area.contains(window.geometry()));
    QCOMPARE(MainWindowTestAccess::handle(window)->geometry(), QRect(0, 336, 8, 80));
    QVERIFY(MainWindowTestAccess::handle(window)->isHidden());
    QCOMPARE(QSettings().value(QStringLiteral("dock/edge")).toString(), QStringLiteral("right"));
    QCOMPARE(QSettings().value(QStringLiteral("dock/floatingPosition")).toPoint(), QPoint(40, 5000));
    QCOMPARE(window.findChild<QPushButton *>(QStringLiteral("dockButton"))->text(), QString(QChar(0x21E5)));
    QCOMPARE(window.findChild<QPushButton *>(QStringLiteral("dockButton"))->toolTip(),
             QStringLiteral("Docked to the right; click to change position"));

    // Back to floating: the stored position is pulled inside the area.
    MainWindowTestAccess::setDockEdge(window, DockEdge::None, false);
    QCOMPARE(window.pos(), QPoint(40, area.bottom() - 752 + 1));

    // Top edge keeps the floating x, bounded to the area; the handle lies along the bottom side.
    window.move(3000, 200);
    MainWindowTestAccess::setDockEdge(window, DockEdge::Top, false);
    QCOMPARE(window.pos(), QPoint(area.right() - 320 + 1, area.top()));
    QCOMPARE(MainWindowTestAccess::handle(window)->geometry(), QRect(120, 744, 80, 8));
    QCOMPARE(window.findChild<QPushButton *>(QStringLiteral("dockButton"))->text(), QString(QChar(0x21E7)));

    // An unknown stored edge is floating.
    QSettings().setValue(QStringLiteral("dock/edge"), QStringLiteral("left"));
    MainWindowTestAccess::restoreDockState(window);
    QCOMPARE(MainWindowTestAccess::edge(window), DockEdge::None);
    QCOMPARE(window.findChild<QPushButton *>(QStringLiteral("dockButton"))->text(), QString(QChar(0x25C7)));
}

void EdgeDockingTest::dockMenuSlideOutAndBack()
{
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window, 20000));
    QTRY_VERIFY(MainWindowTestAccess::ready(window));
    const QRect area = MainWindowTestAccess::screenArea(window);

    QStringList texts;
    chooseInDockMenu(1, &texts);
    QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("dockButton")), Qt::LeftButton);
    QCOMPARE(texts, QStringList({QString(QChar(0x25C7)) + QStringLiteral("  Floating window [x]"),
                                 QString(QChar(0x21E5)) + QStringLiteral("  Dock to right edge"),
                                 QString(QChar(0x21E7)) + QStringLiteral("  Dock to top edge")}));
    QCOMPARE(MainWindowTestAccess::edge(window), DockEdge::Right);
    const QPoint expanded = window.pos();
    QCOMPARE(expanded.x(), area.right() - 320 + 1);
    QCOMPARE(QSettings().value(QStringLiteral("dock/edge")).toString(), QStringLiteral("right"));

    // The mouse is elsewhere: after the collapse delay the window slides out, 8 pixels stay on screen.
    mouseTo(10, 10);
    QTRY_COMPARE_WITH_TIMEOUT(window.pos(), QPoint(area.right() - 7, expanded.y()), 5000);
    QVERIFY(!MainWindowTestAccess::expanded(window));
    QVERIFY(MainWindowTestAccess::handle(window)->isVisible());

    // Touching the strip brings it back; the handle goes once it has arrived.
    mouseTo(area.right() - 3, expanded.y() + 376);
    QTRY_COMPARE_WITH_TIMEOUT(window.pos(), expanded, 5000);
    QTRY_VERIFY_WITH_TIMEOUT(MainWindowTestAccess::handle(window)->isHidden(), 5000);
    QVERIFY(MainWindowTestAccess::expanded(window));

    // Asked to expand where it already is: no slide, handle hidden.
    MainWindowTestAccess::handle(window)->show();
    MainWindowTestAccess::expandTo(window, window.pos());
    QVERIFY(!MainWindowTestAccess::sliding(window));
    QVERIFY(MainWindowTestAccess::handle(window)->isHidden());

    // The menu's other edge docks there at once.
    texts.clear();
    chooseInDockMenu(2, &texts);
    QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("dockButton")), Qt::LeftButton);
    QVERIFY(texts.value(1).endsWith(QLatin1String("[x]")));
    QCOMPARE(MainWindowTestAccess::edge(window), DockEdge::Top);
    QTRY_COMPARE_WITH_TIMEOUT(window.pos().y(), area.top(), 5000);
    mouseTo(10, 900);
    QTRY_COMPARE_WITH_TIMEOUT(window.pos().y(), area.top() - 752 + 8, 5000);
}

void EdgeDockingTest::collapseWaitsForMenusAndPrints()
{
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window, 20000));
    QTRY_VERIFY(MainWindowTestAccess::ready(window));
    MainWindowTestAccess::setDockEdge(window, DockEdge::Right, false);
    const QPoint expanded = window.pos();
    mouseTo(10, 10);

    // A menu is open when the timer fires: the window stays and the timer runs again.
    QMenu menu;
    menu.addAction(QStringLiteral("entry"));
    menu.popup(QPoint(100, 100));
    QTRY_VERIFY(QApplication::activePopupWidget() == &menu);
    MainWindowTestAccess::collapse(window);
    QCOMPARE(window.pos(), expanded);
    QVERIFY(MainWindowTestAccess::collapsePending(window));
    menu.close();

    // While a print runs nothing happens, not even a new timer.
    MainWindowTestAccess::setPrinting(window, true);
    QTest::qWait(1200);
    QCOMPARE(window.pos(), expanded);
    QVERIFY(!MainWindowTestAccess::collapsePending(window));
    QVERIFY(MainWindowTestAccess::expanded(window));
    MainWindowTestAccess::setPrinting(window, false);
    MainWindowTestAccess::collapse(window);
    QTRY_COMPARE_WITH_TIMEOUT(window.pos().x(), MainWindowTestAccess::screenArea(window).right() - 7, 5000);
}

void EdgeDockingTest::startUpRestoreAndSavedPosition()
{
    {
        QSettings settings;
        settings.setValue(QStringLiteral("dock/edge"), QStringLiteral("top"));
        settings.setValue(QStringLiteral("dock/floatingPosition"), QPoint(200, 150));
    }
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window, 20000));
    QTRY_VERIFY(MainWindowTestAccess::ready(window));
    const QRect area = MainWindowTestAccess::screenArea(window);
    QCOMPARE(MainWindowTestAccess::edge(window), DockEdge::Top);
    // Docking a floating window takes its position at that moment as the floating position; the stored
    // one is not rewritten by the restore, and the collapse follows 900 ms later.
    const QPoint floating = MainWindowTestAccess::floating(window);
    QCOMPARE(QSettings().value(QStringLiteral("dock/floatingPosition")).toPoint(), QPoint(200, 150));
    // A null floating position (the window still at the origin) centres the window along the top edge.
    const int x = floating.isNull() ? area.center().x() - 160
                                    : qBound(area.left(), floating.x(), area.right() - 320 + 1);
    QTRY_COMPARE_WITH_TIMEOUT(window.pos(), QPoint(x, area.top() - 752 + 8), 5000);

    // Floating again, every move is written at once.
    MainWindowTestAccess::setDockEdge(window, DockEdge::None, true);
    QTRY_COMPARE_WITH_TIMEOUT(window.pos(),
                              QPoint(qBound(area.left(), floating.x(), area.right() - 320 + 1),
                                     qBound(area.top(), floating.y(), area.bottom() - 752 + 1)),
                              5000);
    window.move(260, 180);
    QTRY_COMPARE_WITH_TIMEOUT(QSettings().value(QStringLiteral("dock/floatingPosition")).toPoint(),
                              QPoint(260, 180), 5000);
    window.move(300, 190);
    QTRY_COMPARE_WITH_TIMEOUT(QSettings().value(QStringLiteral("dock/floatingPosition")).toPoint(),
                              QPoint(300, 190), 5000);
}

void EdgeDockingTest::closeWithoutNotificationAreaOnlyHides()
{
    QVERIFY(!QSystemTrayIcon::isSystemTrayAvailable());
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window, 20000));
    const quint32 panel = session->waitForWindow(QStringLiteral("^Ollavan Quick$"));
    QVERIFY(panel);
    session->xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), QString::number(panel)});
    session->xdotool({QStringLiteral("key"), QStringLiteral("alt+F4")});
    QTRY_VERIFY_WITH_TIMEOUT(!window.isVisible(), 10000);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window, 20000));
}

void EdgeDockingTest::screenshotRunLeavesTheDockSettingUnapplied()
{
    QSettings().setValue(QStringLiteral("dock/edge"), QStringLiteral("right"));
    QSettings().sync();
    QProcess child;
    child.setProcessEnvironment(QProcessEnvironment::systemEnvironment());
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--screenshot-probe")});
    QVERIFY(child.waitForFinished(30000));
    QCOMPARE(child.exitCode(), 0);
    // Restored as far as a screenshot run goes: ready, floating, where the window started, button floating.
    QCOMPARE(QString::fromUtf8(child.readAllStandardOutput()).trimmed(),
             QStringLiteral("ready 1 edge none at 10,20 button ") + QChar(0x25C7));
    QCOMPARE(QSettings().value(QStringLiteral("dock/edge")).toString(), QStringLiteral("right"));
}

namespace {

const char *edgeName(DockEdge edge)
{
    switch (edge) {
    case DockEdge::Right:
        return "right";
    case DockEdge::Top:
        return "top";
    case DockEdge::None:
        break;
    }
    return "none";
}

}  // namespace

// "--screenshot-probe": the program's arguments begin with "--screenshot"; the window reports its dock state.
int screenshotProbe(int argc, char **argv)
{
    QApplication app(argc, argv);
    AppIdentity::apply();
    MainWindow window;
    window.move(10, 20);
    QTimer::singleShot(300, &app, [&window] {
        std::printf(
            "ready %d edge %s at %d,%d button %s\n", int(MainWindowTestAccess::ready(window)),
            edgeName(MainWindowTestAccess::edge(window)), window.pos().x(), window.pos().y(),
            window.findChild<QPushButton *>(QStringLiteral("dockButton"))->text().toUtf8().constData());
        std::fflush(stdout);
        QCoreApplication::exit(0);
    });
    return app.exec();
}

int main(int argc, char **argv)
{
    if (argc == 2 && qstrcmp(argv[1], "--screenshot-probe") == 0)
        return screenshotProbe(argc, argv);
    return runTestInXSession<EdgeDockingTest>(argc, argv, false, &session, false);
}

#include "tst_edgedocking.moc"
