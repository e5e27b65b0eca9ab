#include "base/PrintOptions.h"
#include "model/PresetRepository.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QUuid>
#include <QtTest>

#include <sys/fsuid.h>
#include <unistd.h>

namespace {

// Runs statements on a connection of its own that never waits for a lock. Answers the rows of the last one
// (cells joined by '|'), or "error: " and the driver's text of the first that failed.
QStringList sql(const QString &path, const QStringList &statements)
{
    const QString name = QUuid::createUuid().toString();
    QStringList rows;
    {
        QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        database.setDatabaseName(path);
        database.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=0"));
        database.open();
        QSqlQuery query(database);
        for (const QString &statement : statements) {
            rows = query.exec(statement) ? QStringList() : QStringList("error: " + query.lastError().text());
            for (QStringList cells; query.next(); rows << cells.join('|'), cells.clear()) {
                for (int i = 0; i < query.record().count(); ++i)
                    cells << query.value(i).toString();
            }
        }
    }
    QSqlDatabase::removeDatabase(name);
    return rows;
}

QByteArray bytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// Every field but the id, so that one comparison covers whole presets.
QStringList describe(const QList<PrintPreset> &presets)
{
    QStringList result;
    for (const PrintPreset &p : presets) {
        result << QStringList{p.title + '@' + QString::number(p.sortOrder),
                              optionText(p.colorMode),
                              optionText(p.duplexMode),
                              optionText(p.duplexEdge),
                              p.paperSize,
                              p.printerName,
                              p.backgroundColor,
                              QString::number(p.copies),
                              p.useDriverSettings ? "driver" : "-",
                              p.hotkey}
                      .join(' ');
    }
    return result;
}

PrintPreset preset(const QString &title, int sortOrder = -1, int copies = 1)
{
    PrintPreset preset;
    preset.title = title;
    preset.paperSize = "A4";
    preset.printerName = "Laser";
    preset.backgroundColor = "#FF8A00";
    preset.sortOrder = sortOrder;
    preset.copies = copies;
    return preset;
}

const QString firstRelease =
    "CREATE TABLE print_presets (id INTEGER PRIMARY KEY AUTOINCREMENT, title TEXT NOT NULL, color_mode TEXT "
    "NOT "
    "NULL CHECK(color_mode IN ('mono','color')), duplex_mode TEXT NOT NULL CHECK(duplex_mode IN "
    "('simplex','duplex')), paper_size TEXT NOT NULL, printer_name TEXT NOT NULL, background_color TEXT NOT "
    "NULL, sort_order INTEGER NOT NULL UNIQUE)";
const QString insertOld = "INSERT INTO print_presets(title,color_mode,duplex_mode,paper_size,printer_name,"
                          "background_color,sort_order) VALUES('B','color','simplex','A3','P','#1',4),"
                          "('A','mono','duplex','A4','P','#2',2)";

// While alive, file permissions apply to this thread as to an ordinary user, also when the tests run as root.
struct OrdinaryFileAccess
{
    const bool root = geteuid() == 0;
    OrdinaryFileAccess()
    {
        if (root)
            setfsgid(65534), setfsuid(65534);
    }
    ~OrdinaryFileAccess()
    {
        if (root)
            setfsuid(0), setfsgid(0);
    }
};

void unusableRow(const char *name, const QString &kind, const QString &openError, const QString &writeError)
{
    QTest::newRow(name) << kind << openError << writeError;
}

}  // namespace

class TestStore : public QObject
{
    Q_OBJECT

private slots:
    void migratesOlderFiles_data();
    void migratesOlderFiles();
    void presetsKeepEveryFieldAndTheirPlace();
    void copiesAreClamped_data();
    void copiesAreClamped();
    void historyIsNewestFirst();
    void unusableFiles_data();
    void unusableFiles();
};

void TestStore::migratesOlderFiles_data()
{
    QTest::addColumn<QStringList>("setUp");  // the statements that made the older file; none: no file at all
    QTest::addColumn<QStringList>("presets");
    QTest::addColumn<QString>("marker");
    const QString marker = "legacy_defaults_removed_v1|1";
    const QString add = "ALTER TABLE print_presets ADD COLUMN ";
    QTest::newRow("no file") << QStringList() << QStringList() << marker;
    QTest::newRow("first release") << QStringList{firstRelease, insertOld}
                                   << QStringList{"A@2 mono duplex long A4 P #2 1 - ",
                                                  "B@4 color simplex long A3 P #1 1 - "}
                                   << marker;
    QTest::newRow("edge column") << QStringList{firstRelease,
                                                add + "duplex_edge TEXT NOT NULL DEFAULT 'short'", insertOld}
                                 << QStringList{"A@2 mono duplex short A4 P #2 1 - ",
                                                "B@4 color simplex short A3 P #1 1 - "}
                                 << marker;
    QTest::newRow("no hotkey column, copies 0")
        << QStringList{firstRelease, add + "duplex_edge TEXT NOT NULL DEFAULT 'long'",
                       add + "copies INTEGER NOT NULL DEFAULT 0",
                       add + "use_driver_settings INTEGER NOT NULL DEFAULT 1", insertOld}
        << QStringList{"A@2 mono duplex long A4 P #2 1 driver ", "B@4 color simplex long A3 P #1 1 driver "}
        << marker;
    QTest::newRow("marked by an older version")
        << QStringList{"CREATE TABLE app_meta(key TEXT PRIMARY KEY, value TEXT NOT NULL)",
                       "INSERT INTO app_meta VALUES('legacy_defaults_removed_v1','yes')"}
        << QStringList() << "legacy_defaults_removed_v1|yes";
}

void TestStore::migratesOlderFiles()
{
    QFETCH(QStringList, setUp);
    QFETCH(QStringList, presets);
    QFETCH(QString, marker);
    QTemporaryDir folder;
    const QString path = folder.filePath("vantap.sqlite");
    if (!setUp.isEmpty())
        QVERIFY(!sql(path, setUp).join(' ').startsWith("error"));
    const QStringList schema = {"SELECT group_concat(name, ' ') FROM pragma_table_info('print_presets')",
                                "SELECT group_concat(name, ' ') FROM pragma_table_info('print_history')",
                                "SELECT * FROM app_meta"};
    QStringList afterFirstOpen;
    for (int round = 0; round < 2; ++round) {  // opening again changes nothing
        PresetRepository repository(path);
        QString error;
        QVERIFY2(repository.open(&error), qPrintable(error));
        QCOMPARE(describe(repository.presets(&error)), presets);
        QCOMPARE(sql(path, schema.mid(0, 1)),
                 QStringList("id title color_mode duplex_mode paper_size printer_name "
                             "background_color sort_order duplex_edge copies "
                             "use_driver_settings hotkey"));
        QCOMPARE(sql(path, schema.mid(1, 1)),
                 QStringList("id created_at job_name printer_name parameters copies page_count total_pages"));
        QCOMPARE(sql(path, schema.mid(2)), QStringList(marker));
        const QStringList now = sql(path, {"SELECT sql FROM sqlite_master"});
        QVERIFY(round == 0 || now == afterFirstOpen);
        afterFirstOpen = now;
    }
}

void TestStore::presetsKeepEveryFieldAndTheirPlace()
{
    QTemporaryDir folder;
    const QString path = folder.filePath("vantap.sqlite");
    PresetRepository repository(path);
    QVERIFY(!QFileInfo::exists(path));  // nothing happens before open()
    QVERIFY(repository.open());
    PrintPreset full = preset("Büro '); DROP TABLE print_presets; --", 7, 42);
    full.colorMode = ColorMode::Color;
    full.duplexEdge = DuplexEdge::Short;
    full.useDriverSettings = true;
    full.hotkey = "Ctrl+Shift+F5";
    PrintPreset plain;  // null strings are stored as empty texts
    plain.sortOrder = -1;
    QString error;
    QVERIFY2(repository.addPreset(full, &error) && repository.addPreset(plain, &error), qPrintable(error));
    const QList<PrintPreset> stored = repository.presets();
    QCOMPARE(describe(stored), QStringList({describe({full}).first(), "@8 mono duplex long    1 - "}));

    PrintPreset changed = preset("Renamed", 0, 5);  // every field but the position changes
    changed.id = stored[0].id;
    changed.duplexMode = DuplexMode::Simplex;
    QVERIFY2(repository.updatePreset(changed, &error), qPrintable(error));
    QCOMPARE(describe(repository.presets()).first(),
             QStringLiteral("Renamed@7 mono simplex long A4 Laser #FF8A00 5 - "));

    // A new preset goes after the highest position, also after a delete; a taken position is refused.
    for (const PrintPreset &old : repository.presets())
        QVERIFY(repository.deletePreset(old.id));
    for (const PrintPreset &next : {preset("A"), preset("B"), preset("C")})
        QVERIFY(repository.addPreset(next));
    QVERIFY(repository.deletePreset(repository.presets().first().id) && repository.deletePreset(987654));
    for (const PrintPreset &next : {preset("D"), preset("E", 10), preset("F", 0), preset("G", -7)})
        QVERIFY2(repository.addPreset(next, &error), qPrintable(error));
    QVERIFY(!repository.addPreset(preset("H", 2), &error));
    QVERIFY2(error.contains("UNIQUE constraint failed: print_presets.sort_order"), qPrintable(error));
    QCOMPARE(sql(path, {"SELECT group_concat(title || sort_order, ' ') FROM print_presets"}),
             QStringList("B1 C2 D3 E10 F0 G11"));
    QCOMPARE(describe(repository.presets()).first().section(' ', 0, 0), QStringLiteral("F@0"));
    // No lock is held between operations: another program may write at once.
    QCOMPARE(sql(path, {"BEGIN EXCLUSIVE", "ROLLBACK"}), QStringList());
}

void TestStore::copiesAreClamped_data()
{
    QTest::addColumn<qint64>("copies");
    QTest::addColumn<int>("stored");
    QTest::newRow("zero") << qint64(0) << 1;
    QTest::newRow("negative") << qint64(-7) << 1;
    QTest::newRow("ordinary") << qint64(250) << 250;
    QTest::newRow("maximum") << qint64(9999) << 9999;
    QTest::newRow("above maximum") << qint64(12000) << 9999;
    QTest::newRow("largest int") << qint64(INT_MAX) << 9999;
    QTest::newRow("smallest int") << qint64(INT_MIN) << 1;
    QTest::newRow("beyond 32 bits") << qint64(12000000000) << 9999;  // written by another program only
}

void TestStore::copiesAreClamped()
{
    QFETCH(qint64, copies);
    QFETCH(int, stored);
    QTemporaryDir folder;
    const QString path = folder.filePath("vantap.sqlite");
    PresetRepository repository(path);
    QVERIFY(repository.open());
    const int asInt = int(std::clamp<qint64>(copies, INT_MIN, INT_MAX));
    QVERIFY(repository.addPreset(preset("Added", -1, asInt)));
    QCOMPARE(sql(path, {"SELECT copies FROM print_presets"}), QStringList(QString::number(stored)));
    PrintPreset updated = repository.presets().first();
    updated.copies = asInt;
    sql(path, {"UPDATE print_presets SET copies=3"});
    QVERIFY(repository.updatePreset(updated));
    QCOMPARE(sql(path, {"SELECT copies FROM print_presets"}), QStringList(QString::number(stored)));
    sql(path, {QStringLiteral("UPDATE print_presets SET copies=%1").arg(copies)});
    QCOMPARE(repository.presets().first().copies, stored);
}

void TestStore::historyIsNewestFirst()
{
    QTemporaryDir folder;
    const QString path = folder.filePath("vantap.sqlite");
    PresetRepository repository(path);
    QVERIFY(repository.open());
    PrintHistoryEntry entry;
    entry.createdAt = QDateTime(QDate(2026, 12, 4), QTime(13, 24, 7, 123));
    entry.jobName = "report.pdf";
    entry.printerName = "Laser";
    entry.parameters = "Mono · A4";
    entry.copies = 0;
    entry.pageCount = -3;
    entry.totalPages = -9;
    QString error;
    QVERIFY2(repository.addPrintHistory(entry, &error), qPrintable(error));
    QVERIFY2(repository.addPrintHistory(PrintHistoryEntry(), &error), qPrintable(error));
    QCOMPARE(
        sql(path, {"SELECT created_at, job_name, printer_name, parameters, copies, page_count, total_pages "
                   "FROM print_history ORDER BY id"}),
        QStringList({"2026-12-04T13:24:07.123|report.pdf|Laser|Mono · A4|1|0|0", "||||1|0|0"}));
    QList<PrintHistoryEntry> newest = repository.printHistory(2);
    QCOMPARE(newest.size(), 2);
    QVERIFY(newest[0].jobName.isEmpty() && newest[0].id > newest[1].id);
    QCOMPARE(newest[1].createdAt, entry.createdAt);
    // Read as another program stored it; the count is clamped into [1, 5000].
    sql(path, {"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<5100) INSERT INTO "
               "print_history(created_at,job_name,printer_name,parameters,copies,page_count,total_pages) "
               "SELECT '','job '||i,'P','x',-4,-2,-8 FROM n"});
    newest = repository.printHistory(0);
    QCOMPARE(newest.size(), 1);
    QCOMPARE(QStringLiteral("%1 %2 %3 %4")
                 .arg(newest[0].jobName)
                 .arg(newest[0].copies)
                 .arg(newest[0].pageCount)
                 .arg(newest[0].totalPages),
             QStringLiteral("job 5100 -4 -2 -8"));
    QCOMPARE(repository.printHistory(-5).size(), 1);
    QCOMPARE(repository.printHistory(9000).size(), 5000);
    QCOMPARE(repository.printHistory(9000).last().jobName, QStringLiteral("job 101"));
}

void TestStore::unusableFiles_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("openError");  // empty: opens, but writes fail with the next column's text
    QTest::addColumn<QString>("writeError");
    unusableRow("empty file", "empty", "is an empty file. Move it", "is an empty file");
    unusableRow("text file", "text", "is not a preset database. Move it", "is not a preset database");
    unusableRow("damaged database", "damaged", "database disk image is malformed", "malformed");
    unusableRow("missing folder", "no/folder/vantap.sqlite", "unable to open database file",
                "unable to open");
    unusableRow("folder", ".", "Cannot open the preset database", "");
    unusableRow("read-only", "read-only", "", "attempt to write a readonly database");
    unusableRow("read-only, older", "read-only older", "attempt to write a readonly database", "");
}

void TestStore::unusableFiles()
{
    QFETCH(QString, kind);
    QFETCH(QString, openError);
    QFETCH(QString, writeError);
    QTemporaryDir folder;
    QFile::setPermissions(folder.path(),
                          QFile::permissions(folder.path()) | QFile::ReadOther | QFile::ExeOther);
    QString path = folder.filePath("vantap.sqlite");
    QFile file(path);
    if (kind == "empty" || kind == "text") {
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(kind == "text" ? "presets: none\n" : "");
        file.close();
    } else if (kind == "damaged" || kind == "read-only older") {
        sql(path, {firstRelease, insertOld});
    } else if (kind == "read-only") {
        QVERIFY(PresetRepository(path).open());
    } else {
        path = folder.filePath(kind);
    }
    if (kind == "damaged") {
        const QByteArray damaged = bytes(path).replace(100, 3900, QByteArray(3900, '\xff'));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(damaged) == damaged.size());
        file.close();
    }
    file.setPermissions(kind.startsWith("read-only") ? QFile::ReadOwner | QFile::ReadOther
                                                     : file.permissions());
    const QByteArray before = bytes(path);
    {
        std::optional<OrdinaryFileAccess> ordinary;
        if (kind.startsWith("read-only"))
            ordinary.emplace();
        PresetRepository repository(path);
        QString error;
        QCOMPARE(repository.open(&error), openError.isEmpty());
        QVERIFY2(error.contains(openError), qPrintable(error));
        if (!openError.isEmpty())  // the message names the file
            QVERIFY2(error.contains(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath())),
                     qPrintable(error));
        QVERIFY(writeError.isEmpty() || !repository.addPreset(preset("New"), &error));
        QVERIFY2(error.contains(writeError), qPrintable(error));
    }
    QCOMPARE(bytes(path), before);  // nothing lost, nothing written
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
}

QTEST_GUILESS_MAIN(TestStore)
#include "tst_store.moc"
