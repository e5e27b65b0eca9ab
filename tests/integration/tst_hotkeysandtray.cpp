// The panel's hotkeys and tray on a real X server (Xvfb, openbox and the trayer notification area) with a
// private print server: a hotkey pressed with xdotool prints the foreground picture with its own preset,
// with NumLock off and on; a combination another client holds is reported with the preset's title; the tray
// icon, its menu and its one-time notice; and after the tray's exit no grab remains.
#include "support/ModalDialogCloser.h"
#include "support/OtherXClient.h"
#include "support/PrivateCups.h"
#include "support/XSessionMain.h"

#include "base/AppIdentity.h"
#include "base/I18n.h"
#include "model/DatabaseLocation.h"
#include "model/PresetRepository.h"
#include "ui/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTest>

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <cstdio>
#include <cstdlib>

using ollavan::testsupport::PrivateCups;

class MainWindowTestAccess
{
public:
    static QString lastProgId(const MainWindow &window) { return window.lastProgId; }
    static bool printing(const MainWindow &window) { return window.printing; }
    static QSystemTrayIcon *trayIcon(const MainWindow &window) { return window.trayIcon; }
    static QMenu *trayMenu(const MainWindow &window) { return window.trayMenu; }
};

namespace {

XSession *session = nullptr;

int showWindow(int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QString::fromUtf8(argv[2]));
    window.resize(400, 300);
    window.show();
    return app.exec();
}

constexpr uint16_t ctrlAlt = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1;

bool numLockOn()
{
    return OtherXClient(session->display()).modifierState() & XCB_MOD_MASK_2;
}

PrintPreset makePreset(const QString &title, const QString &printer, const QString &hotkey,
                       const QString &paper)
{
    PrintPreset p;
    p.title = title;
    p.colorMode = ColorMode::Mono;
    p.duplexMode = DuplexMode::Simplex;
    p.paperSize = paper;
    p.printerName = printer;
    p.backgroundColor = QStringLiteral("#ff8a00");
    p.hotkey = hotkey;
    p.sortOrder = -1;
    return p;
}

QString statusText(MainWindow &window)
{
    return window.findChild<QLabel *>(QStringLiteral("statusLabel"))->toolTip();
}

// The printers of the print history, oldest first.
QStringList historyPrinters()
{
    PresetRepository repository(DatabaseLocation::databasePath());
    repository.open();
    QStringList printers;
    const QList<PrintHistoryEntry> entries = repository.printHistory(100);
    for (auto it = entries.crbegin(); it != entries.crend(); ++it)
        printers << it->printerName;
    return printers;
}

QWidget *visibleBalloon()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && qstrcmp(widget->metaObject()->className(), "QBalloonTip") == 0)
            return widget;
    }
    return nullptr;
}

void clickAt(const QPoint &global, int button)
{
    session->xdotool({QStringLiteral("mousemove"), QString::number(global.x()), QString::number(global.y())});
    session->xdotool({QStringLiteral("click"), QString::number(button)});
}

}  // namespace

class HotkeysAndTrayTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void hotkeyPrintsTheForegroundPictureWithItsPreset();
    void trayIconMenuAndNotice();
    void exitFromTheTrayLeavesNoGrab();

private:
    PrivateCups cups;
    QTemporaryDir folder;
    OtherXClient *other = nullptr;
    QProcess *viewer = nullptr;
};

void HotkeysAndTrayTest::initTestCase()
{
    AppIdentity::apply();
    I18n::setLanguage(QStringLiteral("en"));
    QString error;
    QVERIFY2(cups.start(&error), qPrintable(error));
    QVERIFY(cups.addQueue(QStringLiteral("office")));
    QVERIFY(cups.addQueue(QStringLiteral("lab")));
    QSettings().setValue(QStringLiteral("compatibilityNotice/pdfiumShown"), true);

    const QString path = DatabaseLocation::databasePath();
    QFile::remove(path);
    DatabaseLocation::createDatabaseFolder(path);
    PresetRepository repository(path);
    QVERIFY(repository.open());
    QVERIFY(repository.addPreset(makePreset(QStringLiteral("Office"), QStringLiteral("office"),
                                            QStringLiteral("Ctrl+Alt+1"), QStringLiteral("A4"))));
    QVERIFY(repository.addPreset(makePreset(QStringLiteral("Lab"), QStringLiteral("lab"),
                                            QStringLiteral("Ctrl+Alt+2"), QStringLiteral("A5"))));
    QVERIFY(repository.addPreset(makePreset(QStringLiteral("Taken"), QStringLiteral("office"),
                                            QStringLiteral("Ctrl+Alt+3"), QStringLiteral("A4"))));
    // Another program holds Ctrl+Alt+3 before the panel starts.
    other = new OtherXClient(session->display());
    QVERIFY(other->grab(0x33, ctrlAlt));
}

void HotkeysAndTrayTest::cleanupTestCase()
{
    delete other;
    if (viewer) {
        viewer->kill();
        viewer->waitForFinished(5000);
    }
    cups.stop();
}

void HotkeysAndTrayTest::hotkeyPrintsTheForegroundPictureWithItsPreset()
{
    const QString picture = folder.filePath(QStringLiteral("poster.png"));
    QImage image(400, 300, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    QVERIFY(image.save(picture));

    MainWindow window;
    QCOMPARE(statusText(window), QString::fromUtf8("Some hotkeys are unavailable: Taken（Ctrl+Alt+3）"));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window, 20000));

    // A picture viewer in front, showing the file's full path.
    const QString title = picture + QStringLiteral(" - Photos");
    viewer = session->startClient(QCoreApplication::applicationFilePath(),
                                  {QStringLiteral("--show-window"), title});
    QVERIFY(viewer);
    const quint32 viewerWindow = session->waitForWindow(QRegularExpression::escape(title));
    QVERIFY(viewerWindow);
    session->xdotool(
        {QStringLiteral("windowactivate"), QStringLiteral("--sync"), QString::number(viewerWindow)});
    QTRY_COMPARE_WITH_TIMEOUT(MainWindowTestAccess::lastProgId(window), QStringLiteral("Ollavan.ImageViewer"),
                              10000);

    ModalDialogCloser closer;
    QTest::qWait(300);  // let the window manager finish the activation
    session->xdotool({QStringLiteral("key"), QStringLiteral("ctrl+alt+2")});
    // The print went out with the Lab preset: the job is in the history under its printer.
    QTRY_COMPARE_WITH_TIMEOUT(historyPrinters(), QStringList({QStringLiteral("lab")}), 60000);
    QTRY_VERIFY_WITH_TIMEOUT(!MainWindowTestAccess::printing(window), 30000);
    QCOMPARE(statusText(window), QStringLiteral("Image sent: poster.png"));

    // NumLock on: the same hotkey still arrives.
    session->xdotool({QStringLiteral("key"), QStringLiteral("Num_Lock")});
    QTRY_VERIFY_WITH_TIMEOUT(numLockOn(), 5000);
    QTest::qWait(300);
    session->xdotool({QStringLiteral("key"), QStringLiteral("ctrl+alt+2")});
    QTRY_COMPARE_WITH_TIMEOUT(historyPrinters(), QStringList({QStringLiteral("lab"), QStringLiteral("lab")}),
                              60000);
    QTRY_VERIFY_WITH_TIMEOUT(!MainWindowTestAccess::printing(window), 30000);
    session->xdotool({QStringLiteral("key"), QStringLiteral("Num_Lock")});
    QTRY_VERIFY_WITH_TIMEOUT(!numLockOn(), 5000);

    // The combination another client holds prints nothing.
    session->xdotool({QStringLiteral("key"), QStringLiteral("ctrl+alt+3")});
    QTest::qWait(1000);
    QCOMPARE(historyPrinters().size(), 2);
    QVERIFY2(closer.seen().isEmpty(), qPrintable(closer.seen().join(QLatin1Char('\n'))));
}

void HotkeysAndTrayTest::trayIconMenuAndNotice()
{
    QVERIFY(QSystemTrayIcon::isSystemTrayAvailable());
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window, 20000));
    QSystemTrayIcon *icon = MainWindowTestAccess::trayIcon(window);
    QMenu *menu = MainWindowTestAccess::trayMenu(window);
    QVERIFY(icon && menu);
    QVERIFY(icon->isVisible());
    QCOMPARE(icon->toolTip(), QStringLiteral("Ollavan Quick - running in background"));
    QCOMPARE(icon->contextMenu(), menu);
    const QList<QAction *> actions = menu->actions();
    QCOMPARE(actions.size(), 3);
    QCOMPARE(actions.at(0)->text(), QStringLiteral("Show Ollavan Quick"));
    QVERIFY(actions.at(1)->isSeparator());
    QCOMPARE(actions.at(2)->text(), QStringLiteral("Exit Ollavan Quick"));
    // The icon sits in the notification area.
    QTRY_VERIFY_WITH_TIMEOUT(icon->geometry().isValid() && !icon->geometry().isEmpty(), 10000);

    // The system close command hides the window and shows the notice once.
    const quint32 panel = session->waitForWindow(QStringLiteral("^Ollavan Quick$"));
    QVERIFY(panel);
    session->xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), QString::number(panel)});
    session->xdotool({QStringLiteral("key"), QStringLiteral("alt+F4")});
    QTRY_VERIFY_WITH_TIMEOUT(!window.isVisible(), 10000);
    QTRY_VERIFY_WITH_TIMEOUT(visibleBalloon(), 10000);
    visibleBalloon()->close();

    // A click on the icon brings the window back; hidden again, there is no second notice.
    clickAt(icon->geometry().center(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(window.isVisible(), 10000);
    QVERIFY(window.close() == false);
    QVERIFY(!window.isVisible());
    QTest::qWait(500);
    QVERIFY(!visibleBalloon());

    // The menu's first item restores it too.
    clickAt(icon->geometry().center(), 3);
    QTRY_VERIFY_WITH_TIMEOUT(menu->isVisible(), 10000);
    clickAt(menu->mapToGlobal(menu->actionGeometry(actions.at(0)).center()), 1);
    QTRY_VERIFY_WITH_TIMEOUT(window.isVisible(), 10000);
    QVERIFY(!menu->isVisible());
}

void HotkeysAndTrayTest::exitFromTheTrayLeavesNoGrab()
{
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window, 20000));
    OtherXClient probe(session->display());
    QVERIFY(!probe.grab(0x31, ctrlAlt));  // held by the panel
    QSystemTrayIcon *icon = MainWindowTestAccess::trayIcon(window);
    QMenu *menu = MainWindowTestAccess::trayMenu(window);
    QTRY_VERIFY_WITH_TIMEOUT(icon->geometry().isValid() && !icon->geometry().isEmpty(), 10000);

    clickAt(icon->geometry().center(), 3);
    QTRY_VERIFY_WITH_TIMEOUT(menu->isVisible(), 10000);
    QSignalSpy quit(QCoreApplication::instance(), &QCoreApplication::aboutToQuit);
    clickAt(menu->mapToGlobal(menu->actionGeometry(menu->actions().at(2)).center()), 1);
    QTRY_VERIFY_WITH_TIMEOUT(!icon->isVisible(), 10000);

    // Every combination the panel held is free again, in every lock variant.
    for (xcb_keysym_t key : {xcb_keysym_t(0x31), xcb_keysym_t(0x32)}) {
        for (uint16_t lock : {uint16_t(0), uint16_t(XCB_MOD_MASK_LOCK), uint16_t(XCB_MOD_MASK_2)})
            QVERIFY(probe.grab(key, ctrlAlt | lock));
    }
    // Exiting really ends: the window now accepts closing.
    QVERIFY(window.close());
}

int main(int argc, char **argv)
{
    if (argc == 3 && qstrcmp(argv[1], "--show-window") == 0)
        return showWindow(argc, argv);
    return runTestInXSession<HotkeysAndTrayTest>(argc, argv, true, &session, false);
}

#include "tst_hotkeysandtray.moc"
