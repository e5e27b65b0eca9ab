#include "model/PresetRepository.h"

#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QUuid>
#include <QtTest>

namespace {

// A second, independent connection to a database file, for looking behind the repository's back.
class RawDatabase
{
public:
    explicit RawDatabase(const QString &path)
        : m_name(QStringLiteral("raw-%1").arg(QUuid::createUuid().toString(QUuid::Id128)))
    {
        QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        database.setDatabaseName(path);
        database.open();
    }
    ~RawDatabase()
    {
        {
            QSqlDatabase database = QSqlDatabase::database(m_name, false);
            database.close();
        }
        QSqlDatabase::removeDatabase(m_name);
    }
    bool exec(const QString &statement)
    {
        QSqlQuery query(QSqlDatabase::database(m_name));
        if (!query.exec(statement)) {
            qWarning() << statement << query.lastError().text();
            return false;
        }
        return true;
    }
    // Every row of a query, the cells as text joined by '|'.
    QStringList rows(const QString &statement)
    {
        QStringList result;
        QSqlQuery query(QSqlDatabase::database(m_name));
        if (!query.exec(statement)) {
            qWarning() << statement << query.lastError().text();
            return {QStringLiteral("<query failed>")};
        }
        while (query.next()) {
            QStringList cells;
            for (int i = 0; i < query.record().count(); ++i) {
                cells << (query.isNull(i) ? QStringLiteral("NULL") : query.value(i).toString());
            }
            result << cells.join(QLatin1Char('|'));
        }
        return result;
    }
    QStringList columns(const QString &table)
    {
        QStringList names;
        for (const QString &row : rows(QStringLiteral("PRAGMA table_info(%1)").arg(table))) {
            names << row.section(QLatin1Char('|'), 1, 1);
        }
        return names;
    }

private:
    QString m_name;
};

const QStringList AllPresetColumns = {
    QStringLiteral("id"),
    QStringLiteral("title"),
    QStringLiteral("color_mode"),
    QStringLiteral("duplex_mode"),
    QStringLiteral("paper_size"),
    QStringLiteral("printer_name"),
    QStringLiteral("background_color"),
    QStringLiteral("sort_order"),
    QStringLiteral("duplex_edge"),
    QStringLiteral("copies"),
    QStringLiteral("use_driver_settings"),
    QStringLiteral("hotkey"),
};

// The table as the first release created it, before the four later columns.
const char *const FirstReleasePresetsTable =
    "CREATE TABLE print_presets (id INTEGER PRIMARY KEY AUTOINCREMENT, title TEXT NOT NULL, color_mode TEXT "
    "NOT NULL CHECK(color_mode IN ('mono','color')), duplex_mode TEXT NOT NULL CHECK(duplex_mode IN "
    "('simplex','duplex')), paper_size TEXT NOT NULL, printer_name TEXT NOT NULL, background_color TEXT NOT "
    "NULL, sort_order INTEGER NOT NULL UNIQUE)";

PrintPreset makePreset(const QString &title, int sortOrder = -1)
{
    PrintPreset preset;
    preset.title = title;
    preset.colorMode = ColorMode::Mono;
    preset.duplexMode = DuplexMode::Duplex;
    preset.paperSize = QStringLiteral("A4");
    preset.printerName = QStringLiteral("Office Laser");
    preset.backgroundColor = QStringLiteral("#FF8A00");
    preset.sortOrder = sortOrder;
    return preset;
}

PrintHistoryEntry makeEntry(const QString &jobName)
{
    PrintHistoryEntry entry;
    entry.createdAt = QDateTime(QDate(2026, 12, 4), QTime(13, 24, 7, 123));
    entry.jobName = jobName;
    entry.printerName = QStringLiteral("Office Laser");
    entry.parameters = QStringLiteral("Mono \u00b7 Double-sided (long edge) \u00b7 A4");
    entry.copies = 2;
    entry.pageCount = 3;
    entry.totalPages = 6;
    return entry;
}

QStringList titlesAndPositions(const QList<PrintPreset> &presets)
{
    QStringList result;
    for (const PrintPreset &preset : presets) {
        result << QStringLiteral("%1@%2").arg(preset.title).arg(preset.sortOrder);
    }
    return result;
}

}  // namespace

class TestPresetRepository : public QObject
{
    Q_OBJECT

private slots:
    void freshFileGetsTheCompleteSchema();
    void connectionIsPrivateAndRemovedOnDestruction();
    void legacyTableGainsMissingColumnsAndKeepsRows_data();
    void legacyTableGainsMissingColumnsAndKeepsRows();
    void reopeningChangesNothing();
    void presetFieldsRoundTripAndUpdateKeepsPosition();
    void positionsAreAssignedAfterTheHighest();
    void copiesAreClampedOnWriteAndRead_data();
    void copiesAreClampedOnWriteAndRead();
    void historyIsNewestFirstWithRaisedCountsAndLimits();
    void failuresReportTheDriversText();
};

void TestPresetRepository::freshFileGetsTheCompleteSchema()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("vantap.sqlite"));
    {
        PresetRepository repository(path);
        QCOMPARE(repository.databasePath(), path);
        QVERIFY2(!QFileInfo::exists(path), "the constructor must not open anything");
        QString error;
        QVERIFY2(repository.open(&error), qPrintable(error));
        QVERIFY(error.isEmpty());
        QVERIFY(repository.presets(&error).isEmpty());
        QVERIFY(repository.printHistory(10, &error).isEmpty());
        QVERIFY(error.isEmpty());
    }
    RawDatabase raw(path);
    QCOMPARE(raw.columns(QStringLiteral("print_presets")), AllPresetColumns);
    QCOMPARE(raw.columns(QStringLiteral("print_history")),
             QStringList({"id", "created_at", "job_name", "printer_name", "parameters", "copies",
                          "page_count", "total_pages"}));
    QCOMPARE(raw.columns(QStringLiteral("app_meta")), QStringList({"key", "value"}));
    QCOMPARE(raw.rows(QStringLiteral("SELECT key, value FROM app_meta")),
             QStringList{QStringLiteral("legacy_defaults_removed_v1|1")});
    // The later columns carry their defaults, so rows written by older versions stay valid.
    QVERIFY(raw.exec(
        QStringLiteral("INSERT INTO print_presets(title,color_mode,duplex_mode,paper_size,printer_name,"
                       "background_color,sort_order) VALUES('t','color','simplex','A4','P','#000000',0)")));
    QCOMPARE(raw.rows(QStringLiteral(
                 "SELECT duplex_edge, copies, use_driver_settings, hotkey FROM print_presets")),
             QStringList{QStringLiteral("long|1|0|")});
    // The constraints of the first release are part of the table.
    QVERIFY(!raw.exec(
        QStringLiteral("INSERT INTO print_presets(title,color_mode,duplex_mode,paper_size,printer_name,"
                       "background_color,sort_order) VALUES('t','grey','simplex','A4','P','#0',1)")));
    QVERIFY(!raw.exec(
        QStringLiteral("INSERT INTO print_presets(title,color_mode,duplex_mode,paper_size,printer_name,"
                       "background_color,sort_order) VALUES('t','mono','simplex','A4','P','#0',0)")));
}

void TestPresetRepository::connectionIsPrivateAndRemovedOnDestruction()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("vantap.sqlite"));
    QString firstName;
    {
        PresetRepository first(path);
        PresetRepository second(path);
        firstName = first.connectionName();
        QVERIFY2(QRegularExpression(QStringLiteral("^vantap-[0-9a-f]{32}$")).match(firstName).hasMatch(),
                 qPrintable(firstName));
        QVERIFY(first.connectionName() != second.connectionName());
        QVERIFY(first.open());
        QVERIFY(second.open());
        QVERIFY(QSqlDatabase::contains(firstName));
        // Both see each other's writes: one file, two connections.
        QVERIFY(first.addPreset(makePreset(QStringLiteral("A"))));
        QCOMPARE(second.presets().size(), 1);
    }
    QVERIFY(!QSqlDatabase::contains(firstName));
    QVERIFY(!QSqlDatabase::connectionNames().join(QLatin1Char(',')).contains(QStringLiteral("vantap-")));
}

void TestPresetRepository::legacyTableGainsMissingColumnsAndKeepsRows_data()
{
    QTest::addColumn<QStringList>("presentLaterColumns");
    QTest::newRow("first release") << QStringList{};
    QTest::newRow("only hotkey missing")
        << QStringList{"duplex_edge TEXT NOT NULL DEFAULT 'long'", "copies INTEGER NOT NULL DEFAULT 1",
                       "use_driver_settings INTEGER NOT NULL DEFAULT 0"};
    QTest::newRow("edge present") << QStringList{"duplex_edge TEXT NOT NULL DEFAULT 'long'"};
}

void TestPresetRepository::legacyTableGainsMissingColumnsAndKeepsRows()
{
    QFETCH(QStringList, presentLaterColumns);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("vantap.sqlite"));
    {
        RawDatabase raw(path);
        QVERIFY(raw.exec(QString::fromLatin1(FirstReleasePresetsTable)));
        for (const QString &column : presentLaterColumns) {
            QVERIFY(raw.exec(QStringLiteral("ALTER TABLE print_presets ADD COLUMN ") + column));
        }
        QVERIFY(raw.exec(QStringLiteral("INSERT INTO print_presets(title,color_mode,duplex_mode,paper_size,"
                                        "printer_name,background_color,sort_order) VALUES"
                                        "('Colour A3','color','simplex','A3','Plotter','#112233',4),"
                                        "('Mono A4','mono','duplex','A4','Laser','#445566',2)")));
    }
    PresetRepository repository(path);
    QString error;
    QVERIFY2(repository.open(&error), qPrintable(error));
    const QList<PrintPreset> presets = repository.presets(&error);
    QCOMPARE(titlesAndPositions(presets), QStringList({"Mono A4@2", "Colour A3@4"}));
    QCOMPARE(presets[1].colorMode, ColorMode::Color);
    QCOMPARE(presets[1].duplexMode, DuplexMode::Simplex);
    QCOMPARE(presets[1].paperSize, QStringLiteral("A3"));
    QCOMPARE(presets[1].printerName, QStringLiteral("Plotter"));
    QCOMPARE(presets[1].backgroundColor, QStringLiteral("#112233"));
    for (const PrintPreset &preset : presets) {
        QCOMPARE(preset.duplexEdge, DuplexEdge::Long);
        QCOMPARE(preset.copies, 1);
        QCOMPARE(preset.useDriverSettings, false);
        QVERIFY(preset.hotkey.isEmpty());
    }
    RawDatabase raw(path);
    QCOMPARE(raw.columns(QStringLiteral("print_presets")), AllPresetColumns);
    // The migrated table takes the new fields.
    PrintPreset changed = presets[0];
    changed.hotkey = QStringLiteral("Ctrl+Alt+P");
    changed.copies = 3;
    QVERIFY2(repository.updatePreset(changed, &error), qPrintable(error));
    QCOMPARE(repository.presets()[0].hotkey, QStringLiteral("Ctrl+Alt+P"));
    QCOMPARE(repository.presets()[0].copies, 3);
}

void TestPresetRepository::reopeningChangesNothing()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("vantap.sqlite"));
    QStringList schemaBefore;
    QStringList presetsBefore;
    {
        PresetRepository repository(path);
        QVERIFY(repository.open());
        QVERIFY(repository.addPreset(makePreset(QStringLiteral("First"))));
        QVERIFY(repository.addPrintHistory(makeEntry(QStringLiteral("report.pdf"))));
        RawDatabase raw(path);
        schemaBefore = raw.rows(QStringLiteral("SELECT type, name, sql FROM sqlite_master ORDER BY name"));
        presetsBefore = raw.rows(QStringLiteral("SELECT * FROM print_presets"));
    }
    for (int round = 0; round < 2; ++round) {
        PresetRepository repository(path);
        QString error;
        QVERIFY2(repository.open(&error), qPrintable(error));
        RawDatabase raw(path);
        QCOMPARE(raw.rows(QStringLiteral("SELECT type, name, sql FROM sqlite_master ORDER BY name")),
                 schemaBefore);
        QCOMPARE(raw.rows(QStringLiteral("SELECT * FROM print_presets")), presetsBefore);
        QCOMPARE(raw.rows(QStringLiteral("SELECT key, value FROM app_meta")),
                 QStringList{QStringLiteral("legacy_defaults_removed_v1|1")});
        QCOMPARE(raw.rows(QStringLiteral("SELECT COUNT(*) FROM print_history")),
                 QStringList{QStringLiteral("1")});
    }
    // A marker recorded by an earlier version is left as it is, and nothing else is touched.
    QTemporaryDir other;
    const QString markedPath = other.filePath(QStringLiteral("vantap.sqlite"));
    {
        RawDatabase raw(markedPath);
        QVERIFY(raw.exec(QStringLiteral("CREATE TABLE app_meta(key TEXT PRIMARY KEY, value TEXT NOT NULL)")));
        QVERIFY(raw.exec(QStringLiteral("INSERT INTO app_meta VALUES('legacy_defaults_removed_v1','yes')")));
    }
    PresetRepository repository(markedPath);
    QVERIFY(repository.open());
    RawDatabase raw(markedPath);
    QCOMPARE(raw.rows(QStringLiteral("SELECT key, value FROM app_meta")),
             QStringList{QStringLiteral("legacy_defaults_removed_v1|yes")});
}

void TestPresetRepository::presetFieldsRoundTripAndUpdateKeepsPosition()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("vantap.sqlite"));
    PresetRepository repository(path);
    QVERIFY(repository.open());

    PrintPreset preset;
    // Quotes and SQL in a value must arrive as text: values are bound, never spliced into statements.
    preset.title = QStringLiteral("Büro '); DROP TABLE print_presets; --");
    preset.colorMode = ColorMode::Color;
    preset.duplexMode = DuplexMode::Duplex;
    preset.duplexEdge = DuplexEdge::Short;
    preset.paperSize = QStringLiteral("Custom 100x150");
    preset.printerName = QStringLiteral("HP LaserJet \"4\"");
    preset.backgroundColor = QStringLiteral("#1E88E5");
    preset.copies = 42;
    preset.useDriverSettings = true;
    preset.hotkey = QStringLiteral("Ctrl+Shift+F5");
    preset.sortOrder = 7;
    QString error;
    QVERIFY2(repository.addPreset(preset, &error), qPrintable(error));
    // A default preset has null strings; an empty hotkey is stored as empty text, not rejected as NULL.
    PrintPreset plain = makePreset(QStringLiteral("Plain"));
    QVERIFY(plain.hotkey.isNull());
    QVERIFY2(repository.addPreset(plain, &error), qPrintable(error));

    QList<PrintPreset> stored = repository.presets(&error);
    QCOMPARE(stored.size(), 2);
    const PrintPreset &back = stored[0];
    QVERIFY(back.id > 0);
    QCOMPARE(back.title, preset.title);
    QCOMPARE(back.colorMode, preset.colorMode);
    QCOMPARE(back.duplexMode, preset.duplexMode);
    QCOMPARE(back.duplexEdge, preset.duplexEdge);
    QCOMPARE(back.paperSize, preset.paperSize);
    QCOMPARE(back.printerName, preset.printerName);
    QCOMPARE(back.backgroundColor, preset.backgroundColor);
    QCOMPARE(back.copies, 42);
    QCOMPARE(back.useDriverSettings, true);
    QCOMPARE(back.hotkey, preset.hotkey);
    QCOMPARE(back.sortOrder, 7);
    QCOMPARE(stored[1].sortOrder, 8);
    QCOMPARE(stored[1].hotkey, QString());
    RawDatabase raw(path);
    QCOMPARE(
        raw.rows(QStringLiteral("SELECT color_mode, duplex_mode, duplex_edge, use_driver_settings, hotkey "
                                "FROM print_presets ORDER BY sort_order")),
        QStringList({"color|duplex|short|1|Ctrl+Shift+F5", "mono|duplex|long|0|"}));

    // Update rewrites every field by id but never the position.
    PrintPreset changed = back;
    changed.title = QStringLiteral("Renamed");
    changed.colorMode = ColorMode::Mono;
    changed.duplexMode = DuplexMode::Simplex;
    changed.duplexEdge = DuplexEdge::Long;
    changed.paperSize = QStringLiteral("Letter");
    changed.printerName = QStringLiteral("Other");
    changed.backgroundColor = QStringLiteral("#000000");
    changed.copies = 5;
    changed.useDriverSettings = false;
    changed.hotkey = QString();
    changed.sortOrder = 0;
    QVERIFY2(repository.updatePreset(changed, &error), qPrintable(error));
    stored = repository.presets();
    QCOMPARE(stored[0].id, back.id);
    QCOMPARE(stored[0].title, QStringLiteral("Renamed"));
    QCOMPARE(stored[0].colorMode, ColorMode::Mono);
    QCOMPARE(stored[0].duplexMode, DuplexMode::Simplex);
    QCOMPARE(stored[0].duplexEdge, DuplexEdge::Long);
    QCOMPARE(stored[0].paperSize, QStringLiteral("Letter"));
    QCOMPARE(stored[0].printerName, QStringLiteral("Other"));
    QCOMPARE(stored[0].backgroundColor, QStringLiteral("#000000"));
    QCOMPARE(stored[0].copies, 5);
    QCOMPARE(stored[0].useDriverSettings, false);
    QCOMPARE(stored[0].hotkey, QString());
    QCOMPARE(stored[0].sortOrder, 7);
    QCOMPARE(stored[1].title, QStringLiteral("Plain"));

    // Deleting removes exactly that row; deleting an id that does not exist is not an error.
    QVERIFY(repository.deletePreset(back.id, &error));
    QCOMPARE(titlesAndPositions(repository.presets()), QStringList{QStringLiteral("Plain@8")});
    QVERIFY(repository.deletePreset(987654, &error));
    QCOMPARE(repository.presets().size(), 1);
    // A word the table does not admit is refused by its CHECK constraint.
    QVERIFY(!raw.exec(QStringLiteral("INSERT INTO print_presets(title,color_mode,duplex_mode,paper_size,"
                                     "printer_name,background_color,sort_order) VALUES"
                                     "('Grey','grey','duplex','A4','Laser','#000000',20)")));
    QCOMPARE(repository.presets().size(), 1);
}

void TestPresetRepository::positionsAreAssignedAfterTheHighest()
{
    QTemporaryDir dir;
    PresetRepository repository(dir.filePath(QStringLiteral("vantap.sqlite")));
    QVERIFY(repository.open());
    QString error;
    for (const char *title : {"A", "B", "C"}) {
        QVERIFY2(repository.addPreset(makePreset(QLatin1String(title)), &error), qPrintable(error));
    }
    QCOMPARE(titlesAndPositions(repository.presets()), QStringList({"A@0", "B@1", "C@2"}));

    // Freed positions are not reused: the new card goes after the highest.
    QVERIFY(repository.deletePreset(repository.presets().first().id));
    QVERIFY(repository.addPreset(makePreset(QStringLiteral("D"))));
    QCOMPARE(titlesAndPositions(repository.presets()), QStringList({"B@1", "C@2", "D@3"}));

    // An explicit position is kept as given, and the list stays ordered by position.
    QVERIFY(repository.addPreset(makePreset(QStringLiteral("E"), 10)));
    QVERIFY(repository.addPreset(makePreset(QStringLiteral("F"), 0)));
    QVERIFY(repository.addPreset(makePreset(QStringLiteral("G"), -7)));
    QCOMPARE(titlesAndPositions(repository.presets()),
             QStringList({"F@0", "B@1", "C@2", "D@3", "E@10", "G@11"}));

    // A position already taken is refused with the driver's message and nothing changes.
    error.clear();
    QVERIFY(!repository.addPreset(makePreset(QStringLiteral("H"), 2), &error));
    QVERIFY2(error.contains(QStringLiteral("UNIQUE constraint failed: print_presets.sort_order")),
             qPrintable(error));
    QCOMPARE(repository.presets().size(), 6);

    // An emptied table starts at 0 again.
    for (const PrintPreset &preset : repository.presets()) {
        QVERIFY(repository.deletePreset(preset.id));
    }
    QVERIFY(repository.addPreset(makePreset(QStringLiteral("I"))));
    QCOMPARE(titlesAndPositions(repository.presets()), QStringList{QStringLiteral("I@0")});
}

void TestPresetRepository::copiesAreClampedOnWriteAndRead_data()
{
    QTest::addColumn<qint64>("copies");
    QTest::addColumn<int>("expected");
    QTest::newRow("zero") << qint64(0) << 1;
    QTest::newRow("negative") << qint64(-7) << 1;
    QTest::newRow("one") << qint64(1) << 1;
    QTest::newRow("ordinary") << qint64(250) << 250;
    QTest::newRow("maximum") << qint64(9999) << 9999;
    QTest::newRow("above maximum") << qint64(12000) << 9999;
    QTest::newRow("largest int") << qint64(std::numeric_limits<int>::max()) << 9999;
    QTest::newRow("smallest int") << qint64(std::numeric_limits<int>::min()) << 1;
}

void TestPresetRepository::copiesAreClampedOnWriteAndRead()
{
    QFETCH(qint64, copies);
    QFETCH(int, expected);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("vantap.sqlite"));
    PresetRepository repository(path);
    QVERIFY(repository.open());
    const bool fitsInt =
        copies >= std::numeric_limits<int>::min() && copies <= std::numeric_limits<int>::max();

    // Written by the store: clamped before it reaches the file, on add and on update.
    PrintPreset preset = makePreset(QStringLiteral("Added"));
    preset.copies = int(copies);
    QVERIFY(fitsInt);
    QVERIFY(repository.addPreset(preset));
    RawDatabase raw(path);
    QCOMPARE(raw.rows(QStringLiteral("SELECT copies FROM print_presets")),
             QStringList{QString::number(expected)});
    PrintPreset updated = repository.presets().first();
    updated.copies = int(copies);
    QVERIFY(repository.updatePreset(updated));
    QCOMPARE(raw.rows(QStringLiteral("SELECT copies FROM print_presets")),
             QStringList{QString::number(expected)});

    // Written by someone else: clamped when read, including values beyond 32 bits.
    for (const qint64 stored : {copies, copies * 1000000}) {
        QVERIFY(raw.exec(QStringLiteral("UPDATE print_presets SET copies=%1").arg(stored)));
        const int read = repository.presets().first().copies;
        QCOMPARE(read, stored == copies ? expected : (stored > 0 ? 9999 : 1));
    }
}

void TestPresetRepository::historyIsNewestFirstWithRaisedCountsAndLimits()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("vantap.sqlite"));
    PresetRepository repository(path);
    QVERIFY(repository.open());
    QString error;

    PrintHistoryEntry odd = makeEntry(QStringLiteral("odd.pdf"));
    odd.copies = 0;
    odd.pageCount = -3;
    odd.totalPages = -9;
    QVERIFY2(repository.addPrintHistory(odd, &error), qPrintable(error));
    QVERIFY(repository.addPrintHistory(makeEntry(QStringLiteral("second.docx"))));
    PrintHistoryEntry unnamed;
    QVERIFY2(repository.addPrintHistory(unnamed, &error), qPrintable(error));

    RawDatabase raw(path);
    QCOMPARE(raw.rows(QStringLiteral(
                 "SELECT created_at, job_name, copies, page_count, total_pages FROM print_history "
                 "ORDER BY id")),
             QStringList({"2026-12-04T13:24:07.123|odd.pdf|1|0|0",
                          "2026-12-04T13:24:07.123|second.docx|2|3|6", "||1|0|0"}));

    QList<PrintHistoryEntry> entries = repository.printHistory(2, &error);
    QCOMPARE(entries.size(), 2);
    QVERIFY(entries[0].id > entries[1].id);
    QVERIFY(entries[0].jobName.isEmpty());
    QCOMPARE(entries[1].jobName, QStringLiteral("second.docx"));
    QCOMPARE(entries[1].createdAt, QDateTime(QDate(2026, 12, 4), QTime(13, 24, 7, 123)));
    QCOMPARE(entries[1].printerName, QStringLiteral("Office Laser"));
    QCOMPARE(entries[1].parameters, QStringLiteral("Mono \u00b7 Double-sided (long edge) \u00b7 A4"));
    QCOMPARE(entries[1].copies, 2);
    QCOMPARE(entries[1].pageCount, 3);
    QCOMPARE(entries[1].totalPages, 6);

    // Reading does not clamp: what another client stored is shown as stored.
    QVERIFY(raw.exec(
        QStringLiteral("INSERT INTO print_history(created_at,job_name,printer_name,parameters,copies,"
                       "page_count,total_pages) VALUES('2026-01-02T03:04:05.006','raw','P','x',-4,-2,-8)")));
    entries = repository.printHistory(1);
    QCOMPARE(entries.size(), 1);
    QCOMPARE(entries[0].jobName, QStringLiteral("raw"));
    QCOMPARE(entries[0].copies, -4);
    QCOMPARE(entries[0].pageCount, -2);
    QCOMPARE(entries[0].totalPages, -8);

    // The count is clamped into [1, 5000].
    QCOMPARE(repository.printHistory(0).size(), 1);
    QCOMPARE(repository.printHistory(-5).size(), 1);
    QCOMPARE(repository.printHistory(3).size(), 3);
    QVERIFY(raw.exec(
        QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<5100) "
                       "INSERT INTO print_history(created_at,job_name,printer_name,parameters,copies) "
                       "SELECT '2026-01-01T00:00:00.000','bulk '||i,'P','x',1 FROM n")));
    entries = repository.printHistory(9000);
    QCOMPARE(entries.size(), 5000);
    QCOMPARE(entries.first().jobName, QStringLiteral("bulk 5100"));
    QCOMPARE(entries.last().jobName, QStringLiteral("bulk 101"));
    QCOMPARE(repository.printHistory(std::numeric_limits<int>::min()).size(), 1);
}

void TestPresetRepository::failuresReportTheDriversText()
{
    QTemporaryDir dir;
    QString error;

    // The folder does not exist: the store does not create it, the open fails with the driver's text, and
    // every later operation fails too instead of pretending to succeed.
    PresetRepository missing(dir.filePath(QStringLiteral("no/such/folder/vantap.sqlite")));
    QVERIFY(!missing.open(&error));
    QVERIFY2(error.contains(QStringLiteral("unable to open database file")), qPrintable(error));
    QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("no"))));
    const QString openError = error;
    const auto expectOpenError = [&openError](bool failed, const QString &operationError) {
        return failed && operationError == openError;
    };
    QVERIFY(expectOpenError(missing.presets(&error).isEmpty(), error));
    error.clear();
    QVERIFY(expectOpenError(!missing.addPreset(makePreset(QStringLiteral("A")), &error), error));
    error.clear();
    QVERIFY(expectOpenError(!missing.updatePreset(makePreset(QStringLiteral("A")), &error), error));
    error.clear();
    QVERIFY(expectOpenError(!missing.deletePreset(1, &error), error));
    error.clear();
    QVERIFY(expectOpenError(!missing.addPrintHistory(makeEntry(QStringLiteral("x")), &error), error));
    error.clear();
    QVERIFY(expectOpenError(missing.printHistory(10, &error).isEmpty(), error));
    // A repository that was never opened fails the same way, with a text.
    PresetRepository unopened(dir.filePath(QStringLiteral("never.sqlite")));
    error.clear();
    QVERIFY(unopened.presets(&error).isEmpty());
    QVERIFY(!error.isEmpty());
    error.clear();
    QVERIFY(!unopened.addPreset(makePreset(QStringLiteral("A")), &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("never.sqlite"))));
    // Without an error pointer a failure is still just a result.
    QVERIFY(!missing.addPreset(makePreset(QStringLiteral("A"))));

    // A file that is not a database: the open fails on the first statement, and the file is left alone.
    const QString corruptPath = dir.filePath(QStringLiteral("corrupt.sqlite"));
    QByteArray garbage(4096, 'x');
    {
        QFile file(corruptPath);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(garbage);
    }
    PresetRepository corrupt(corruptPath);
    error.clear();
    QVERIFY(!corrupt.open(&error));
    QVERIFY2(error.contains(QStringLiteral("file is not a database")), qPrintable(error));
    error.clear();
    QVERIFY(corrupt.presets(&error).isEmpty());
    QVERIFY2(error.contains(QStringLiteral("file is not a database")), qPrintable(error));
    QFile file(corruptPath);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), garbage);

    // A path that names a folder cannot be opened as a database.
    PresetRepository folder(dir.path());
    error.clear();
    QVERIFY(!folder.open(&error));
    QVERIFY(!error.isEmpty());
}

QTEST_GUILESS_MAIN(TestPresetRepository)
#include "tst_presetrepository.moc"
