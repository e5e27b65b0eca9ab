// Panel benchmarks (not a test; driven by bench/panel-run):
//
//   panel-bench stall PDF QUEUE SILENT_QUEUE
//       The longest gap between 10 ms timer ticks on the GUI thread of a real MainWindow: idle, while a
//       40-page PDF prints from a card (a drop on the card's preset) through QUEUE, and while a status
//       refresh waits on SILENT_QUEUE, whose printer's SNMP agent never answers.
//   panel-bench first-paint PROGRAM [ARGS...]
//       Milliseconds from starting PROGRAM on $DISPLAY until its window shows the accent colour #ff8a00
//       (the panel's add button, or the bare window's whole area).
//   panel-bench bare-window
//       A bare Qt widget program: one 320 x 752 window filled with #ff8a00.
#include "base/AppIdentity.h"
#include "model/DatabaseLocation.h"
#include "model/PresetRepository.h"
#include "ui/MainWindow.h"
#include "ui/PrintExecution.h"
#include "ui/StatusRefresh.h"

#include <QApplication>
#include <QColor>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QPalette>
#include <QProcess>
#include <QSettings>
#include <QThread>
#include <QTimer>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>

namespace {

// Runs the event loop until done() or the time-out and answers the longest gap between 10 ms ticks; *at
// receives when (ms after the start) that gap ended.
qint64 longestStall(const std::function<bool()> &done, int timeoutMs, qint64 *at = nullptr)
{
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0;
    qint64 longest = 0;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(10);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        if (now - last > longest) {
            longest = now - last;
            if (at)
                *at = now;
        }
        last = now;
    });
    ticker.start();
    const QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired() && !done())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return longest;
}

PrintPreset presetFor(const QString &queue, int sortOrder)
{
    PrintPreset preset;
    preset.title = queue;
    preset.colorMode = ColorMode::Mono;
    preset.duplexMode = DuplexMode::Duplex;
    preset.paperSize = QStringLiteral("A4");
    preset.printerName = queue;
    preset.backgroundColor = QStringLiteral("#ff8a00");
    preset.sortOrder = sortOrder;
    return preset;
}

int stall(int argc, char **argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: panel-bench stall PDF QUEUE SILENT_QUEUE\n");
        return 2;
    }
    QApplication app(argc, argv);
    AppIdentity::apply();
    QSettings().setValue(QStringLiteral("compatibilityNotice/pdfiumShown"), true);
    const QString pdf = QString::fromLocal8Bit(argv[2]);
    const QString queue = QString::fromLocal8Bit(argv[3]);
    const QString silent = QString::fromLocal8Bit(argv[4]);
    {
        DatabaseLocation::createDatabaseFolder(DatabaseLocation::databasePath());
        PresetRepository repository(DatabaseLocation::databasePath());
        QString error;
        if (!repository.open(&error) || !repository.addPreset(presetFor(queue, 0), &error) ||
            !repository.addPreset(presetFor(silent, 1), &error)) {
            std::fprintf(stderr, "panel-bench: %s\n", qPrintable(error));
            return 2;
        }
    }
    MainWindow window;
    window.show();
    PrintExecution *execution = window.findChild<PrintExecution *>();
    StatusRefresh *statuses = window.findChild<StatusRefresh *>();
    // Let the start-up refresh (100 ms after the cards) run out first.
    longestStall([&] { return false; }, 500);
    longestStall([&] { return !statuses->isRunning(); }, 30000);

    const qint64 idle = longestStall([] { return false; }, 3000);

    QElapsedTimer printClock;
    printClock.start();
    execution->execute(presetFor(queue, 0), pdf);
    qint64 printStallAt = 0;
    const qint64 printing = longestStall([&] { return !execution->isBusy(); }, 300000, &printStallAt);
    const qint64 printMs = printClock.elapsed();

    QElapsedTimer refreshClock;
    refreshClock.start();
    statuses->refresh();
    qint64 refreshStallAt = 0;
    const qint64 refreshing = longestStall(
        [&] { return refreshClock.elapsed() > 500 && !statuses->isRunning(); }, 60000, &refreshStallAt);
    const qint64 refreshMs = refreshClock.elapsed();

    std::printf("GUI-thread stall, idle:                      %4lld ms\n", static_cast<long long>(idle));
    std::printf("GUI-thread stall, 40-page PDF from a card:   %4lld ms  (at %lld ms of a %lld ms job)\n",
                static_cast<long long>(printing), static_cast<long long>(printStallAt),
                static_cast<long long>(printMs));
    std::printf("GUI-thread stall, status refresh, silent:    %4lld ms  (at %lld ms of a %lld ms refresh)\n",
                static_cast<long long>(refreshing), static_cast<long long>(refreshStallAt),
                static_cast<long long>(refreshMs));
    std::printf("target: under 50 ms\n");
    return 0;
}

struct FreeDeleter
{
    void operator()(void *p) const { std::free(p); }
};

// True when a viewable top-level window of the process shows #ff8a00 at one of the probe points.
bool showsAccent(xcb_connection_t *connection, xcb_window_t root, quint32 pid)
{
    const xcb_intern_atom_cookie_t cookie = xcb_intern_atom(connection, 0, 11, "_NET_WM_PID");
    std::unique_ptr<xcb_intern_atom_reply_t, FreeDeleter> atom(
        xcb_intern_atom_reply(connection, cookie, nullptr));
    std::unique_ptr<xcb_query_tree_reply_t, FreeDeleter> tree(
        xcb_query_tree_reply(connection, xcb_query_tree(connection, root), nullptr));
    if (!atom || !tree)
        return false;
    const xcb_window_t *children = xcb_query_tree_children(tree.get());
    for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i) {
        std::unique_ptr<xcb_get_property_reply_t, FreeDeleter> owner(xcb_get_property_reply(
            connection, xcb_get_property(connection, 0, children[i], atom->atom, XCB_ATOM_CARDINAL, 0, 1),
            nullptr));
        if (!owner || xcb_get_property_value_length(owner.get()) < 4 ||
            *static_cast<quint32 *>(xcb_get_property_value(owner.get())) != pid)
            continue;
        std::unique_ptr<xcb_get_window_attributes_reply_t, FreeDeleter> attributes(
            xcb_get_window_attributes_reply(connection, xcb_get_window_attributes(connection, children[i]),
                                            nullptr));
        if (!attributes || attributes->map_state != XCB_MAP_STATE_VIEWABLE)
            continue;
        for (const auto &point : {std::pair<int, int>{30, 690}, std::pair<int, int>{160, 400}}) {
            std::unique_ptr<xcb_get_image_reply_t, FreeDeleter> image(
                xcb_get_image_reply(connection,
                                    xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, children[i],
                                                  int16_t(point.first), int16_t(point.second), 1, 1, ~0u),
                                    nullptr));
            if (!image || xcb_get_image_data_length(image.get()) < 3)
                continue;
            const uint8_t *bgr = xcb_get_image_data(image.get());
            if (bgr[2] == 0xff && bgr[1] == 0x8a && bgr[0] == 0x00)
                return true;
        }
    }
    return false;
}

int firstPaint(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: panel-bench first-paint PROGRAM [ARGS...]\n");
        return 2;
    }
    int screen = 0;
    xcb_connection_t *connection = xcb_connect(nullptr, &screen);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "panel-bench: no X display\n");
        return 2;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    QStringList arguments;
    for (int i = 3; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QProcess program;
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    QElapsedTimer clock;
    clock.start();
    program.start(QString::fromLocal8Bit(argv[2]), arguments);
    program.waitForStarted(10000);
    const quint32 pid = quint32(program.processId());
    qint64 painted = -1;
    while (clock.elapsed() < 30000) {
        if (showsAccent(connection, root, pid)) {
            painted = clock.elapsed();
            break;
        }
        QThread::usleep(1000);
    }
    program.kill();
    program.waitForFinished(10000);
    xcb_disconnect(connection);
    std::printf("%lld\n", static_cast<long long>(painted));
    return painted >= 0 ? 0 : 2;
}

int bareWindow(int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setFixedSize(320, 752);
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, QColor(0xff8a00));
    window.setPalette(palette);
    window.setAutoFillBackground(true);
    window.show();
    return app.exec();
}

}  // namespace

int main(int argc, char **argv)
{
    const QByteArray mode = argc > 1 ? QByteArray(argv[1]) : QByteArray();
    if (mode == "stall")
        return stall(argc, argv);
    if (mode == "first-paint")
        return firstPaint(argc, argv);
    if (mode == "bare-window")
        return bareWindow(argc, argv);
    std::fprintf(stderr, "usage: panel-bench stall|first-paint|bare-window ...\n");
    return 2;
}
