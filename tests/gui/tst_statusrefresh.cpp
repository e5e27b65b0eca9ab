#include "base/AppIdentity.h"
#include "base/I18n.h"
#include "model/DatabaseLocation.h"
#include "model/PresetRepository.h"
#include "printers/PrinterStatusMonitor.h"
#include "ui/MainWindow.h"
#include "ui/PresetCard.h"

#include <QDir>
#include <QFile>
#include <QFutureWatcherBase>
#include <QMutex>
#include <QSemaphore>
#include <QSettings>
#include <QThreadPool>
#include <QtTest>

class MainWindowTestAccess
{
public:
    static QList<PresetCard *> cards(const MainWindow &window) { return window.cards; }
    static bool running(const MainWindow &window) { return window.statusRefreshRunning; }
    static void refresh(MainWindow &window) { window.refreshPrinterStatuses(); }
};

namespace {

// The status monitor as the test scripts it: per printer name the snapshots of its successive checks (the
// last one repeats), every call recorded, and optionally a gate each check waits at.
struct ScriptedMonitor
{
    QMutex mutex;
    QHash<QString, QList<PrinterStatusSnapshot>> answers;
    QStringList calls;
    QSemaphore *gate = nullptr;
};
ScriptedMonitor monitor;

PrinterStatusSnapshot scriptedCheck(const QString &printerName)
{
    QSemaphore *gate = nullptr;
    {
        QMutexLocker lock(&monitor.mutex);
        gate = monitor.gate;
    }
    if (gate)
        gate->acquire();
    QMutexLocker lock(&monitor.mutex);
    const int earlier = int(monitor.calls.count(printerName));
    monitor.calls.append(printerName);
    const QList<PrinterStatusSnapshot> answers = monitor.answers.value(printerName);
    if (answers.isEmpty())
        return PrinterStatusSnapshot();
    return answers.at(qMin(earlier, int(answers.size()) - 1));
}

int callCount()
{
    QMutexLocker lock(&monitor.mutex);
    return int(monitor.calls.size());
}

QStringList calls()
{
    QMutexLocker lock(&monitor.mutex);
    return monitor.calls;
}

PrinterStatusSnapshot snapshot(int level, const QString &text, const QString &detail)
{
    PrinterStatusSnapshot result;
    result.level = level;
    result.text = text;
    result.detail = detail;
    return result;
}

PrinterStatusSnapshot silent()
{
    return snapshot(6, "Unknown", "SNMP did not respond; Windows queue reports no error · 10.0.0.9");
}

PrinterStatusSnapshot ready(const QString &detail = QStringLiteral("Live SNMP status · 10.0.0.9"))
{
    return snapshot(1, "Ready", detail);
}

void storePresets(const QStringList &printers)
{
    const QString path = DatabaseLocation::databasePath();
    QFile::remove(path);
    DatabaseLocation::createDatabaseFolder(path);
    PresetRepository repository(path);
    QString error;
    QVERIFY2(repository.open(&error), qPrintable(error));
    int order = 0;
    for (const QString &printer : printers) {
        PrintPreset preset;
        preset.title = QStringLiteral("Preset %1").arg(order);
        preset.colorMode = ColorMode::Mono;
        preset.duplexMode = DuplexMode::Simplex;
        preset.paperSize = QStringLiteral("A4");
        preset.printerName = printer;
        preset.backgroundColor = QStringLiteral("#2f80ed");
        preset.sortOrder = order++;
        QVERIFY2(repository.addPreset(preset, &error), qPrintable(error));
    }
}

// Marks a card so that the next snapshot it receives can be told from the one it shows.
void markUnset(PresetCard *card)
{
    card->setPrinterStatus(snapshot(-1, "unset", QString()));
}

}  // namespace

class TestStatusRefresh : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();
    void noPresetsStartsNothing();
    void checksEachPrinterOnceAndSharesTheResult();
    void silentPrinterRetriesTwiceThenShowsUnknown();
    void answeredPrinterKeepsItsLastValidStatus();
    void answerResetsTheFailureCount();
    void refreshWhileRunningIsDropped();
};

void TestStatusRefresh::initTestCase()
{
    AppIdentity::apply();
    I18n::setLanguage(QStringLiteral("en"));
    QVERIFY(DatabaseLocation::databasePath().startsWith(QDir::homePath()));
    PrinterStatusMonitor::setCheckForTesting(&scriptedCheck);
}

void TestStatusRefresh::init()
{
    QSettings().clear();
    QSettings().setValue(QStringLiteral("compatibilityNotice/pdfiumShown"), true);
    QMutexLocker lock(&monitor.mutex);
    monitor.answers.clear();
    monitor.calls.clear();
    monitor.gate = nullptr;
}

void TestStatusRefresh::cleanup()
{
    // No check of one case may reach the next.
    QThreadPool::globalInstance()->waitForDone();
}

void TestStatusRefresh::cleanupTestCase()
{
    PrinterStatusMonitor::setCheckForTesting(nullptr);
}

void TestStatusRefresh::noPresetsStartsNothing()
{
    storePresets({});
    MainWindow window;
    window.show();
    MainWindowTestAccess::refresh(window);
    QTest::qWait(400);
    QCOMPARE(callCount(), 0);
    QVERIFY(!MainWindowTestAccess::running(window));
    QVERIFY(window.findChildren<QFutureWatcherBase *>().isEmpty());
}

void TestStatusRefresh::checksEachPrinterOnceAndSharesTheResult()
{
    storePresets({" Office Laser ", "office laser", "Label", "OFFICE LASER  "});
    {
        QMutexLocker lock(&monitor.mutex);
        monitor.answers.insert(" Office Laser ", {snapshot(4, "Paper jam", "Live SNMP status · 10.0.0.9")});
        monitor.answers.insert("Label", {ready(QStringLiteral("Windows print queue status"))});
    }
    MainWindow window;
    window.show();
    const QList<PresetCard *> cards = MainWindowTestAccess::cards(window);
    QCOMPARE(cards.size(), 4);
    // The refresh scheduled after the cards were built.
    QTRY_COMPARE_WITH_TIMEOUT(cards.at(3)->printerStatus().level, 4, 10000);
    QTRY_VERIFY(!MainWindowTestAccess::running(window));
    // One check per printer key, with the first preset's name as written.
    QCOMPARE(calls(), (QStringList{" Office Laser ", "Label"}));
    for (int i : {0, 1, 3}) {
        QCOMPARE(cards.at(i)->printerStatus().text, QStringLiteral("Paper jam"));
        QCOMPARE(cards.at(i)->printerStatus().detail, QStringLiteral("Live SNMP status · 10.0.0.9"));
    }
    QCOMPARE(cards.at(2)->printerStatus().level, 1);
    // Nothing was silent, so nothing is retried.
    QTest::qWait(2600);
    QCOMPARE(callCount(), 2);
}

void TestStatusRefresh::silentPrinterRetriesTwiceThenShowsUnknown()
{
    storePresets({"Network"});
    {
        QMutexLocker lock(&monitor.mutex);
        monitor.answers.insert("Network", {silent()});
    }
    MainWindow window;
    window.show();
    PresetCard *card = MainWindowTestAccess::cards(window).value(0);
    QVERIFY(card);

    for (int attempt = 1; attempt <= 2; ++attempt) {
        QTRY_COMPARE_WITH_TIMEOUT(card->printerStatus().text, QStringLiteral("Retrying"), 10000);
        QCOMPARE(callCount(), attempt);
        QCOMPARE(card->printerStatus().level, 0);
        QCOMPARE(card->printerStatus().detail,
                 QStringLiteral("SNMP did not respond. Retrying in 2 seconds."));
        markUnset(card);
    }
    QTRY_COMPARE_WITH_TIMEOUT(card->printerStatus().level, 6, 10000);
    QCOMPARE(callCount(), 3);
    QCOMPARE(card->printerStatus().text, QStringLiteral("Unknown"));
    QCOMPARE(card->printerStatus().detail, silent().detail);
    // Given up: no more retries every 2 seconds.
    QTest::qWait(3000);
    QCOMPARE(callCount(), 3);

    // The next periodic refresh shows the monitor's answer again, still without retries.
    markUnset(card);
    MainWindowTestAccess::refresh(window);
    QTRY_COMPARE_WITH_TIMEOUT(card->printerStatus().level, 6, 10000);
    QTest::qWait(2600);
    QCOMPARE(callCount(), 4);
}

void TestStatusRefresh::answeredPrinterKeepsItsLastValidStatus()
{
    storePresets({"Network", "Quiet"});
    {
        QMutexLocker lock(&monitor.mutex);
        monitor.answers.insert("Network", {ready(), silent()});
        // A cached snapshot without detail gets the notice alone.
        monitor.answers.insert("Quiet", {ready(QString()), silent()});
    }
    MainWindow window;
    window.show();
    PresetCard *card = MainWindowTestAccess::cards(window).value(0);
    PresetCard *quiet = MainWindowTestAccess::cards(window).value(1);
    QTRY_COMPARE_WITH_TIMEOUT(card->printerStatus().level, 1, 10000);
    QTRY_VERIFY(!MainWindowTestAccess::running(window));
    QCOMPARE(callCount(), 2);

    const QString notice = QStringLiteral("This status refresh failed; showing the last valid status.");
    MainWindowTestAccess::refresh(window);
    for (int attempt = 1; attempt <= 2; ++attempt) {
        markUnset(card);
        markUnset(quiet);
        QTRY_COMPARE_WITH_TIMEOUT(card->printerStatus().level, 1, 10000);
        QTRY_COMPARE(quiet->printerStatus().level, 1);
        QCOMPARE(callCount(), 2 + 2 * attempt);
        QCOMPARE(card->printerStatus().text, QStringLiteral("Ready"));
        // The cached detail with the notice on a line of its own, never piled up.
        QCOMPARE(card->printerStatus().detail, "Live SNMP status · 10.0.0.9\n" + notice);
        QCOMPARE(quiet->printerStatus().detail, notice);
    }
    markUnset(card);
    QTRY_COMPARE_WITH_TIMEOUT(card->printerStatus().level, 6, 10000);
    QCOMPARE(callCount(), 8);
    QCOMPARE(card->printerStatus().detail, silent().detail);
}

void TestStatusRefresh::answerResetsTheFailureCount()
{
    storePresets({"Network"});
    {
        QMutexLocker lock(&monitor.mutex);
        monitor.answers.insert("Network", {silent(), ready(), silent()});
    }
    MainWindow window;
    window.show();
    PresetCard *card = MainWindowTestAccess::cards(window).value(0);
    QTRY_COMPARE_WITH_TIMEOUT(card->printerStatus().text, QStringLiteral("Retrying"), 10000);
    // The retry brings the answer; no further retry follows it.
    QTRY_COMPARE_WITH_TIMEOUT(card->printerStatus().level, 1, 10000);
    QCOMPARE(callCount(), 2);
    QTest::qWait(2600);
    QCOMPARE(callCount(), 2);

    // Silent again: two retries again, showing the cached answer, before "Unknown".
    MainWindowTestAccess::refresh(window);
    for (int attempt = 1; attempt <= 2; ++attempt) {
        markUnset(card);
        QTRY_COMPARE_WITH_TIMEOUT(card->printerStatus().level, 1, 10000);
        QCOMPARE(callCount(), 2 + attempt);
    }
    markUnset(card);
    QTRY_COMPARE_WITH_TIMEOUT(card->printerStatus().level, 6, 10000);
    QCOMPARE(callCount(), 5);
}

void TestStatusRefresh::refreshWhileRunningIsDropped()
{
    storePresets({"Network", "Label"});
    QSemaphore gate;
    {
        QMutexLocker lock(&monitor.mutex);
        monitor.answers.insert("Network", {snapshot(3, "Cover open", "Live SNMP status · 10.0.0.9")});
        monitor.answers.insert("Label", {ready(QStringLiteral("Windows print queue status"))});
        monitor.gate = &gate;
    }
    MainWindow window;
    window.show();
    QTRY_VERIFY_WITH_TIMEOUT(MainWindowTestAccess::running(window), 10000);
    // Timer ticks while the worker waits start nothing new.
    MainWindowTestAccess::refresh(window);
    MainWindowTestAccess::refresh(window);
    QCOMPARE(window.findChildren<QFutureWatcherBase *>().size(), 1);
    gate.release(100);
    const QList<PresetCard *> cards = MainWindowTestAccess::cards(window);
    QTRY_COMPARE_WITH_TIMEOUT(cards.at(0)->printerStatus().text, QStringLiteral("Cover open"), 10000);
    QTRY_COMPARE(cards.at(1)->printerStatus().level, 1);
    QTRY_VERIFY(!MainWindowTestAccess::running(window));
    QCOMPARE(calls(), (QStringList{"Network", "Label"}));
    // The watcher goes once the result is applied.
    QTRY_VERIFY(window.findChildren<QFutureWatcherBase *>().isEmpty());
    QMutexLocker lock(&monitor.mutex);
    monitor.gate = nullptr;
}

QTEST_MAIN(TestStatusRefresh)
#include "tst_statusrefresh.moc"
