#include "base/PrintOptions.h"
#include "model/PresetRepository.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QUuid>
#include <QtTest>

namespace {

// Runs statements on a connection of its own that never waits for a lock. Answers the rows of the last one
// (cells joined by '|'), or "error: " and the driver's text.
QStringList sql(const QString &path, const QStringList &statements)
{
    const QString name = QUuid::createUuid().toString();
    QStringList rows;
    {
        QSqlDatabase database = QSqlDatabase::addDatabase("QSQLITE", name);
        database.setDatabaseName(path);
        database.setConnectOptions("QSQLITE_BUSY_TIMEOUT=0");
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
    return file.open(QIODevice::ReadOnly) ? file.readAll() : "<unreadable>";
}

// Every field but the id, so that one comparison covers whole presets.
QStringList describe(const QList<PrintPreset> &presets)
{
    QStringList result;
    for (const PrintPreset &p : presets)
        result << QStringLiteral("%1@%2 %3 %4 %5 %6 %7 %8 %9 %10 %11")
                      .arg(p.title, QString::number(p.sortOrder), optionText(p.colorMode),
                           optionText(p.duplexMode), optionText(p.duplexEdge), p.paperSize, p.printerName,
                           p.backgroundColor, QString::number(p.copies),
                           QString(p.useDriverSettings ? "driver" : "-"), p.hotkey) +
                      (p.builtInPdfEngine ? " builtin" : "");
    return result;
}

PrintPreset preset(const QString &title, int sortOrder = -1, int copies = 1)
{
    return {0,     title, ColorMode::Mono, DuplexMode::Duplex, DuplexEdge::Long, "A4", "P", "#F80", copies,
            false, "",    sortOrder};
}

const QString firstRelease =
    "CREATE TABLE print_presets (id INTEGER PRIMARY KEY AUTOINCREMENT, title TEXT NOT NULL, color_mode TEXT "
    "NOT NULL CHECK(color_mode IN ('mono','color')), duplex_mode TEXT NOT NULL CHECK(duplex_mode IN "
    "('simplex',"
    "'duplex')), paper_size TEXT NOT NULL, printer_name TEXT NOT NULL, background_color TEXT NOT NULL, "
    "sort_order INTEGER NOT NULL UNIQUE)";
const QString insertOld = "INSERT INTO print_presets(title,color_mode,duplex_mode,paper_size,printer_name,"
                          "background_color,sort_order) VALUES('B','color','simplex','A3','P','#1',4),"
                          "('A','mono','duplex','A4','P','#2',2)";

}  // namespace

class TestStore : public QObject
{
    Q_OBJECT

private slots:
    void migratesOlderFiles_data()
    {
        QTest::addColumn<QStringList>("setUp");  // the statements that made the older file; none: no file
        QTest::addColumn<QStringList>("presets");
        QTest::addColumn<QString>("marker");
        const QString marker = "legacy_defaults_removed_v1|1", add = "ALTER TABLE print_presets ADD COLUMN ";
        QTest::newRow("no file") << QStringList() << QStringList() << marker;
        QTest::newRow("first release")
            << QStringList{firstRelease, insertOld}
            << QStringList{"A@2 mono duplex long A4 P #2 1 - ", "B@4 color simplex long A3 P #1 1 - "}
            << marker;
        QTest::newRow("edge column")
            << QStringList{firstRelease, add + "duplex_edge TEXT NOT NULL DEFAULT 'short'", insertOld}
            << QStringList{"A@2 mono duplex short A4 P #2 1 - ", "B@4 color simplex short A3 P #1 1 - "}
            << marker;
        QTest::newRow("no hotkey, copies 0")
            << QStringList{firstRelease, add + "duplex_edge TEXT NOT NULL DEFAULT 'long'",
                           add + "copies INTEGER NOT NULL DEFAULT 0",
                           add + "use_driver_settings INTEGER NOT NULL DEFAULT 1", insertOld}
            << QStringList{"A@2 mono duplex long A4 P #2 1 driver ",
                           "B@4 color simplex long A3 P #1 1 driver "}
            << marker;
        QTest::newRow("marked before")
            << QStringList{"CREATE TABLE app_meta(key TEXT PRIMARY KEY, value TEXT)",
                           "INSERT INTO app_meta VALUES('legacy_defaults_removed_v1',2)"}
            << QStringList() << "legacy_defaults_removed_v1|2";
    }
    void migratesOlderFiles()
    {
        QFETCH(QStringList, setUp);
        QFETCH(QStringList, presets);
        QFETCH(QString, marker);
        QTemporaryDir folder;
        const QString path = folder.filePath("vantap.sqlite");
        QVERIFY(setUp.isEmpty() || !sql(path, setUp).join(' ').startsWith("error"));
        QStringList schema;
        for (int round = 0; round < 2; ++round) {  // opening again changes nothing
            PresetRepository repository(path);
            QString error;
            QVERIFY2(repository.open(&error), qPrintable(error));
            QCOMPARE(describe(repository.presets(&error)), presets);
            QCOMPARE(sql(path, {"SELECT group_concat(name, ' ') FROM pragma_table_info('print_presets')"}),
                     QStringList("id title color_mode duplex_mode paper_size printer_name background_color "
                                 "sort_order duplex_edge copies use_driver_settings hotkey builtin_pdf_engine"));
            QCOMPARE(sql(path, {"SELECT * FROM app_meta"}), QStringList(marker));
            QVERIFY(round == 0 || schema == sql(path, {"SELECT sql FROM sqlite_master"}));
            schema = sql(path, {"SELECT sql FROM sqlite_master"});
        }
        QVERIFY(schema.join(' ').contains("CREATE TABLE print_history (id INTEGER PRIMARY KEY AUTOINCREMENT, "
                                          "created_at TEXT NOT NULL"));
    }

    void presetsKeepEveryFieldAndTheirPlace()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath("vantap.sqlite");
        PresetRepository repository(path);
        QVERIFY(!QFileInfo::exists(path));  // nothing happens before open()
        QVERIFY(repository.open());
        PrintPreset full = preset("Büro '); DROP TABLE print_presets; --", 7, 42);
        full.colorMode = ColorMode::Color, full.duplexEdge = DuplexEdge::Short, full.paperSize = "A5";
        full.useDriverSettings = true, full.hotkey = "Ctrl+F5", full.builtInPdfEngine = true;
        PrintPreset plain;  // null texts are stored as empty ones
        plain.sortOrder = -1;
        QString error;
        QVERIFY2(repository.addPreset(full, &error) && repository.addPreset(plain, &error),
                 qPrintable(error));
        QCOMPARE(describe(repository.presets()),
                 QStringList({"Büro '); DROP TABLE print_presets; --@7 color duplex short A5 P #F80 42 "
                              "driver Ctrl+F5 builtin",
                              "@8 mono duplex long    1 - "}));
        PrintPreset changed = preset("Renamed", 0, 5);  // every field but the position changes
        changed.id = repository.presets()[0].id;
        QVERIFY2(repository.updatePreset(changed, &error), qPrintable(error));
        QCOMPARE(describe(repository.presets())[0],
                 QStringLiteral("Renamed@7 mono duplex long A4 P #F80 5 - "));
        // Copies are clamped into [1, 9999] when written, and when read (another program may store any
        // number).
        QStringList clamped;
        for (const qint64 copies :
             {0LL, -7LL, 250LL, 12000LL, qint64(INT_MIN), qint64(INT_MAX), 12000000000LL}) {
            changed.copies = int(std::clamp<qint64>(copies, INT_MIN, INT_MAX));
            QVERIFY(repository.updatePreset(changed));
            clamped << sql(path, {"SELECT copies FROM print_presets WHERE title='Renamed'"});
            sql(path,
                {QStringLiteral("UPDATE print_presets SET copies=%1 WHERE title='Renamed'").arg(copies)});
            clamped.last() += '/' + QString::number(repository.presets()[0].copies);
        }
        QCOMPARE(clamped.join(' '), QStringLiteral("1/1 1/1 250/250 9999/9999 1/1 9999/9999 9999/9999"));

        // A new preset goes after the highest position, also after a delete; a taken position is refused.
        for (const PrintPreset &old : repository.presets())
            QVERIFY(repository.deletePreset(old.id));
        for (const PrintPreset &next : {preset("A"), preset("B"), preset("C")})
            QVERIFY(repository.addPreset(next));
        QVERIFY(repository.deletePreset(repository.presets()[0].id) && repository.deletePreset(987654));
        for (const PrintPreset &next : {preset("D"), preset("E", 10), preset("F", 0), preset("G", -7)})
            QVERIFY2(repository.addPreset(next, &error), qPrintable(error));
        QVERIFY(!repository.addPreset(preset("H", 2), &error));
        QVERIFY2(error.contains("UNIQUE constraint failed: print_presets.sort_order"), qPrintable(error));
        QStringList order;
        for (const QString &each : describe(repository.presets()))
            order << each.section(' ', 0, 0);
        QCOMPARE(order.join(' '), QStringLiteral("F@0 B@1 C@2 D@3 E@10 G@11"));
        // No lock is held between operations: another program may write at once.
        QCOMPARE(sql(path, {"BEGIN EXCLUSIVE", "ROLLBACK"}), QStringList());
    }

    void historyIsNewestFirst()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath("vantap.sqlite");
        PresetRepository repository(path);
        const PrintHistoryEntry entry{
            0, QDateTime(QDate(2026, 12, 4), QTime(13, 24, 7, 123)), "a.pdf", "P", "Mono · A4", 0, -3, -9};
        QString error;
        QVERIFY(repository.open());
        QVERIFY2(repository.addPrintHistory(entry, &error) && repository.addPrintHistory({}, &error),
                 qPrintable(error));
        QCOMPARE(sql(path, {"SELECT created_at, job_name, printer_name, parameters, copies, page_count, "
                            "total_pages FROM print_history ORDER BY id"}),
                 QStringList({"2026-12-04T13:24:07.123|a.pdf|P|Mono · A4|1|0|0", "||||1|0|0"}));
        QList<PrintHistoryEntry> newest = repository.printHistory(2);
        QVERIFY(newest.size() == 2 && newest[0].jobName.isEmpty() && newest[0].id > newest[1].id);
        QCOMPARE(newest[1].createdAt, entry.createdAt);
        // Read as another program stored it; the count is clamped into [1, 5000].
        sql(path, {"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<5100) INSERT INTO "
                   "print_history(created_at,job_name,printer_name,parameters,copies,page_count,total_pages) "
                   "SELECT '','job '||i,'P','x',-4,-2,-8 FROM n"});
        newest = repository.printHistory(0);
        QVERIFY(newest.size() == 1 && newest[0].jobName == "job 5100" && newest[0].copies == -4 &&
                newest[0].pageCount == -2 && newest[0].totalPages == -8);
        QCOMPARE(repository.printHistory(-5).size(), 1);
        QCOMPARE(repository.printHistory(9000).size(), 5000);
        QCOMPARE(repository.printHistory(9000).last().jobName, QStringLiteral("job 101"));
    }

    void unusableFiles_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("openError");  // and then every operation's
        QTest::addColumn<QString>("writeError");
        for (const char *row : {"empty|is an empty file. Move it|is an empty file",
                                "text|is not a preset database. Move it|is not a preset database",
                                "damaged|database disk image is malformed|malformed",
                                "no/folder/vantap.sqlite|unable to open database file|unable to open",
                                ".|Cannot open the preset database|"})
            QTest::newRow(row) << QString(row).section('|', 0, 0) << QString(row).section('|', 1, 1)
                               << QString(row).section('|', 2);
    }
    void unusableFiles()
    {
        QFETCH(QString, kind);
        QFETCH(QString, openError);
        QFETCH(QString, writeError);
        QTemporaryDir folder;
        const QString path = folder.filePath(kind.contains('/') || kind == "." ? kind : "vantap.sqlite");
        if (kind == "damaged")
            sql(path, {firstRelease, insertOld});
        const QByteArray content = kind == "text"      ? QByteArray("presets: none\n")
                                   : kind == "damaged" ? bytes(path).replace(100, 3900, QByteArray(3900, 'x'))
                                                       : QByteArray();
        QFile file(path);
        if (kind == "empty" || kind == "text" || kind == "damaged")
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
        file.close();
        const QByteArray before = bytes(path);
        PresetRepository repository(path);
        QString error;
        QVERIFY(!repository.open(&error));
        QVERIFY2(error.contains(openError) && error.contains(QFileInfo(path).absoluteFilePath()),
                 qPrintable(error));  // the message names the file
        QVERIFY(!repository.addPreset(preset("New"), &error));
        QVERIFY2(error.contains(writeError), qPrintable(error));
        QCOMPARE(bytes(path), before);  // nothing lost, nothing written
    }
};

QTEST_GUILESS_MAIN(TestStore)
#include "tst_store.moc"
