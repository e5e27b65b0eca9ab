// The built `ollavan` program against databases in a private home folder: written by the store, by the
// sqlite3 command-line client, missing, or unusable.
#include "model/PresetRepository.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct CliResult
{
    int exitCode = -1;
    QString out;
    QString err;
};

// A private home for one run of the program: HOME and the XDG folders point into a temporary folder.
class PrivateHome
{
public:
    // With `xdgFolders` false only HOME is set, so the program uses the platform's default layout below it.
    explicit PrivateHome(bool xdgFolders = true) : m_xdgFolders(xdgFolders) {}
    bool isValid() const { return m_dir.isValid(); }
    QString path(const QString &relative = QString()) const
    {
        return relative.isEmpty() ? m_dir.path() : m_dir.filePath(relative);
    }
    QString dataHome() const
    {
        return m_xdgFolders ? path(QStringLiteral("data")) : path(QStringLiteral(".local/share"));
    }
    QString configHome() const
    {
        return m_xdgFolders ? path(QStringLiteral("config")) : path(QStringLiteral(".config"));
    }
    QString databasePath() const
    {
        return dataHome() + QStringLiteral("/Ollavan/OllavanQuick/vantap.sqlite");
    }

    CliResult run(const QStringList &arguments) const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_DIRS",
                                 "XDG_CONFIG_DIRS", "DISPLAY", "WAYLAND_DISPLAY"}) {
            environment.remove(QString::fromLatin1(name));
        }
        environment.insert(QStringLiteral("HOME"), path());
        if (m_xdgFolders) {
            environment.insert(QStringLiteral("XDG_DATA_HOME"), dataHome());
            environment.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome());
            environment.insert(QStringLiteral("XDG_CACHE_HOME"), path(QStringLiteral("cache")));
        }
        QProcess process;
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(path());
        process.start(QStringLiteral(OLLAVAN_BIN_DIR "/ollavan"), arguments);
        CliResult result;
        if (!process.waitForStarted(30000) || !process.waitForFinished(60000)) {
            process.kill();
            process.waitForFinished(5000);
            result.err = QStringLiteral("<did not run: %1>").arg(process.errorString());
            return result;
        }
        result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        result.out = QString::fromUtf8(process.readAllStandardOutput());
        result.err = QString::fromUtf8(process.readAllStandardError());
        return result;
    }

private:
    QTemporaryDir m_dir;
    bool m_xdgFolders;
};

QString describe(const CliResult &result)
{
    return QStringLiteral("exit %1\nstdout:\n%2\nstderr:\n%3")
        .arg(result.exitCode)
        .arg(result.out, result.err);
}

QJsonArray jsonArray(const CliResult &result)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(result.out.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError || !document.isArray()) {
        qWarning() << "not a JSON array:" << result.out << error.errorString();
        return {QStringLiteral("<not a JSON array>")};
    }
    return document.array();
}

bool runSqlite(const QString &databasePath, const QString &script, QString *output = nullptr)
{
    const QString client = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    if (client.isEmpty()) {
        qWarning() << "the sqlite3 command-line client is not installed";
        return false;
    }
    QProcess process;
    process.start(client, {QStringLiteral("-batch"), databasePath});
    process.write(script.toUtf8());
    process.closeWriteChannel();
    if (!process.waitForFinished(30000) || process.exitCode() != 0) {
        qWarning() << "sqlite3 failed:" << process.readAllStandardError();
        return false;
    }
    if (output) {
        *output = QString::fromUtf8(process.readAllStandardOutput());
    }
    return true;
}

PrintPreset makePreset(const QString &title)
{
    PrintPreset preset;
    preset.title = title;
    preset.colorMode = ColorMode::Mono;
    preset.duplexMode = DuplexMode::Duplex;
    preset.paperSize = QStringLiteral("A4");
    preset.printerName = QStringLiteral("Office Laser");
    preset.backgroundColor = QStringLiteral("#FF8A00");
    preset.sortOrder = -1;
    return preset;
}

}  // namespace

class TestCliStore : public QObject
{
    Q_OBJECT

private slots:
    void freshHomeGetsTheDatabaseInTheDataFolder_data();
    void freshHomeGetsTheDatabaseInTheDataFolder();
    void presetsWrittenByTheStore();
    void rowsWrittenByAnotherClientAreClamped();
    void historyTakesTheNewestEntries();
    void unusableDatabaseGivesTheDriversMessage_data();
    void unusableDatabaseGivesTheDriversMessage();
    void helpAndUsageErrors();
    void summaryFollowsThePanelsLanguage();
};

void TestCliStore::freshHomeGetsTheDatabaseInTheDataFolder_data()
{
    QTest::addColumn<bool>("xdgFolders");
    QTest::newRow("XDG folders set") << true;
    QTest::newRow("only HOME set") << false;
}

void TestCliStore::freshHomeGetsTheDatabaseInTheDataFolder()
{
    QFETCH(bool, xdgFolders);
    PrivateHome home(xdgFolders);
    QVERIFY(home.isValid());
    QVERIFY(!QFileInfo::exists(home.dataHome()));

    const CliResult presets = home.run({QStringLiteral("presets"), QStringLiteral("--json")});
    QVERIFY2(presets.exitCode == 0, qPrintable(describe(presets)));
    QCOMPARE(jsonArray(presets), QJsonArray());
    QVERIFY2(QFileInfo(home.databasePath()).isFile(), qPrintable(home.databasePath()));
    if (!xdgFolders) {
        QVERIFY(
            QFileInfo::exists(home.path(QStringLiteral(".local/share/Ollavan/OllavanQuick/vantap.sqlite"))));
    }

    // "--json" may stand before the verb too.
    const CliResult history = home.run({QStringLiteral("--json"), QStringLiteral("history")});
    QVERIFY2(history.exitCode == 0, qPrintable(describe(history)));
    QCOMPARE(jsonArray(history), QJsonArray());

    // The file the program created is a complete store.
    PresetRepository repository(home.databasePath());
    QString error;
    QVERIFY2(repository.open(&error), qPrintable(error));
    QVERIFY(repository.addPreset(makePreset(QStringLiteral("After"))));
}

void TestCliStore::presetsWrittenByTheStore()
{
    PrivateHome home;
    QVERIFY(QDir().mkpath(QFileInfo(home.databasePath()).path()));
    {
        PresetRepository repository(home.databasePath());
        QVERIFY(repository.open());
        PrintPreset colour = makePreset(QString::fromUtf8("Farbe Büro"));
        colour.colorMode = ColorMode::Color;
        colour.duplexMode = DuplexMode::Simplex;
        colour.paperSize = QStringLiteral("A3");
        colour.copies = 12;
        colour.hotkey = QStringLiteral("Ctrl+Alt+P");
        colour.sortOrder = 5;
        QVERIFY(repository.addPreset(colour));
        PrintPreset driver = makePreset(QStringLiteral("Driver"));
        driver.duplexEdge = DuplexEdge::Short;
        driver.useDriverSettings = true;
        driver.sortOrder = 2;
        QVERIFY(repository.addPreset(driver));
        QVERIFY(repository.addPreset(makePreset(QStringLiteral("Last"))));
    }

    const CliResult json = home.run({QStringLiteral("presets"), QStringLiteral("--json")});
    QVERIFY2(json.exitCode == 0, qPrintable(describe(json)));
    QVERIFY(json.err.isEmpty());
    const QJsonArray presets = jsonArray(json);
    QCOMPARE(presets.size(), 3);
    const QJsonObject first = presets[0].toObject();
    QCOMPARE(first[QStringLiteral("title")].toString(), QStringLiteral("Driver"));
    QCOMPARE(first[QStringLiteral("position")].toInt(), 2);
    QCOMPARE(first[QStringLiteral("printer")].toString(), QStringLiteral("Office Laser"));
    QCOMPARE(first[QStringLiteral("settings")].toString(),
             QString::fromUtf8("Mono · Double-sided (short edge) · A4 · Driver settings"));
    QCOMPARE(first[QStringLiteral("copies")].toInt(), 1);
    QCOMPARE(first[QStringLiteral("hotkey")].toString(), QString());
    QCOMPARE(first[QStringLiteral("useDriverSettings")].toBool(), true);
    const QJsonObject second = presets[1].toObject();
    QCOMPARE(second[QStringLiteral("title")].toString(), QString::fromUtf8("Farbe Büro"));
    QCOMPARE(second[QStringLiteral("position")].toInt(), 5);
    QCOMPARE(second[QStringLiteral("settings")].toString(), QString::fromUtf8("Color · Single-sided · A3"));
    QCOMPARE(second[QStringLiteral("copies")].toInt(), 12);
    QCOMPARE(second[QStringLiteral("hotkey")].toString(), QStringLiteral("Ctrl+Alt+P"));
    QVERIFY(second[QStringLiteral("id")].toInt() > 0);
    const QJsonObject third = presets[2].toObject();
    QCOMPARE(third[QStringLiteral("title")].toString(), QStringLiteral("Last"));
    QCOMPARE(third[QStringLiteral("position")].toInt(), 6);

    // The plain listing: a header and one line per preset in the same order, with the same summary.
    const CliResult text = home.run({QStringLiteral("presets")});
    QVERIFY2(text.exitCode == 0, qPrintable(describe(text)));
    const QStringList lines = text.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 4);
    QVERIFY(lines[0].startsWith(QStringLiteral("ID")));
    QVERIFY(lines[0].contains(QStringLiteral("HOTKEY")));
    QVERIFY(lines[1].contains(QString::fromUtf8("Mono · Double-sided (short edge) · A4 · Driver settings")));
    QVERIFY(lines[2].contains(QString::fromUtf8("Farbe Büro")));
    QVERIFY(lines[2].trimmed().endsWith(QStringLiteral("Ctrl+Alt+P")));
    QVERIFY(lines[3].contains(QStringLiteral("Last")));
}

void TestCliStore::rowsWrittenByAnotherClientAreClamped()
{
    PrivateHome home;
    QVERIFY(QDir().mkpath(QFileInfo(home.databasePath()).path()));
    // A database as an older version left it: the first-release preset table, no marker.
    QVERIFY(runSqlite(
        home.databasePath(),
        QStringLiteral(
            "CREATE TABLE print_presets (id INTEGER PRIMARY KEY AUTOINCREMENT, title TEXT NOT NULL, "
            "color_mode TEXT NOT NULL CHECK(color_mode IN ('mono','color')), duplex_mode TEXT NOT "
            "NULL CHECK(duplex_mode IN ('simplex','duplex')), paper_size TEXT NOT NULL, printer_name "
            "TEXT NOT NULL, background_color TEXT NOT NULL, sort_order INTEGER NOT NULL UNIQUE);\n"
            "ALTER TABLE print_presets ADD COLUMN duplex_edge TEXT NOT NULL DEFAULT 'long';\n"
            "ALTER TABLE print_presets ADD COLUMN copies INTEGER NOT NULL DEFAULT 1;\n"
            "INSERT INTO print_presets(title,color_mode,duplex_mode,paper_size,printer_name,"
            "background_color,sort_order,copies) VALUES "
            "('none','mono','simplex','A4','P1','#000000',0,0),"
            "('many','color','duplex','Letter','P2','#FFFFFF',1,12000),"
            "('negative','mono','duplex','A5','P3','#123456',2,-5),"
            "('fine','mono','duplex','A5','P4','#123456',3,7);\n"
            "CREATE TABLE print_history (id INTEGER PRIMARY KEY AUTOINCREMENT, created_at TEXT NOT "
            "NULL, job_name TEXT NOT NULL, printer_name TEXT NOT NULL, parameters TEXT NOT NULL, "
            "copies INTEGER NOT NULL, page_count INTEGER NOT NULL DEFAULT 0, total_pages INTEGER NOT "
            "NULL DEFAULT 0);\n"
            "INSERT INTO print_history(created_at,job_name,printer_name,parameters,copies,page_count,"
            "total_pages) VALUES ('2026-12-04T13:24:07.123','old.pdf','P1','Mono',1,2,2),"
            "('2026-12-05T08:00:00.500','new.docx','P2','Color',3,4,12);\n")));

    const CliResult presets = home.run({QStringLiteral("presets"), QStringLiteral("--json")});
    QVERIFY2(presets.exitCode == 0, qPrintable(describe(presets)));
    const QJsonArray array = jsonArray(presets);
    QCOMPARE(array.size(), 4);
    QCOMPARE(array[0].toObject()[QStringLiteral("copies")].toInt(), 1);
    QCOMPARE(array[1].toObject()[QStringLiteral("copies")].toInt(), 9999);
    QCOMPARE(array[2].toObject()[QStringLiteral("copies")].toInt(), 1);
    QCOMPARE(array[3].toObject()[QStringLiteral("copies")].toInt(), 7);
    QCOMPARE(array[1].toObject()[QStringLiteral("settings")].toString(),
             QString::fromUtf8("Color · Double-sided (long edge) · Letter"));
    QCOMPARE(array[1].toObject()[QStringLiteral("hotkey")].toString(), QString());

    const CliResult history = home.run({QStringLiteral("history"), QStringLiteral("--json")});
    QVERIFY2(history.exitCode == 0, qPrintable(describe(history)));
    const QJsonArray entries = jsonArray(history);
    QCOMPARE(entries.size(), 2);
    const QJsonObject newest = entries[0].toObject();
    QCOMPARE(newest[QStringLiteral("jobName")].toString(), QStringLiteral("new.docx"));
    QCOMPARE(newest[QStringLiteral("createdAt")].toString(), QStringLiteral("2026-12-05T08:00:00.500"));
    QCOMPARE(newest[QStringLiteral("printer")].toString(), QStringLiteral("P2"));
    QCOMPARE(newest[QStringLiteral("settings")].toString(), QStringLiteral("Color"));
    QCOMPARE(newest[QStringLiteral("copies")].toInt(), 3);
    QCOMPARE(newest[QStringLiteral("pageCount")].toInt(), 4);
    QCOMPARE(newest[QStringLiteral("totalPages")].toInt(), 12);
    QCOMPARE(entries[1].toObject()[QStringLiteral("jobName")].toString(), QStringLiteral("old.pdf"));

    // Opening brought the old file up to date, and the other client still reads it.
    QString columns;
    QVERIFY(
        runSqlite(home.databasePath(),
                  QStringLiteral("SELECT group_concat(name, ',') FROM pragma_table_info('print_presets');\n"
                                 "SELECT key || '=' || value FROM app_meta;\n"),
                  &columns));
    QCOMPARE(columns,
             QStringLiteral("id,title,color_mode,duplex_mode,paper_size,printer_name,background_color,"
                            "sort_order,duplex_edge,copies,use_driver_settings,hotkey\n"
                            "legacy_defaults_removed_v1=1\n"));
}

void TestCliStore::historyTakesTheNewestEntries()
{
    PrivateHome home;
    QVERIFY(QDir().mkpath(QFileInfo(home.databasePath()).path()));
    {
        PresetRepository repository(home.databasePath());
        QVERIFY(repository.open());
        for (int i = 1; i <= 25; ++i) {
            PrintHistoryEntry entry;
            entry.createdAt = QDateTime(QDate(2026, 12, 5), QTime(9, 0).addSecs(i * 60));
            entry.jobName = QStringLiteral("job %1").arg(i);
            entry.printerName = QStringLiteral("Laser");
            entry.parameters = QString::fromUtf8("Mono · Single-sided · A4");
            entry.copies = 2;
            entry.pageCount = i % 5;
            entry.totalPages = 2 * (i % 5);
            QVERIFY(repository.addPrintHistory(entry));
        }
    }
    const CliResult standard = home.run({QStringLiteral("history"), QStringLiteral("--json")});
    QVERIFY2(standard.exitCode == 0, qPrintable(describe(standard)));
    const QJsonArray twenty = jsonArray(standard);
    QCOMPARE(twenty.size(), 20);
    QCOMPARE(twenty.first().toObject()[QStringLiteral("jobName")].toString(), QStringLiteral("job 25"));
    QCOMPARE(twenty.last().toObject()[QStringLiteral("jobName")].toString(), QStringLiteral("job 6"));
    QCOMPARE(twenty.first().toObject()[QStringLiteral("createdAt")].toString(),
             QStringLiteral("2026-12-05T09:25:00.000"));
    for (int i = 1; i < twenty.size(); ++i) {
        QVERIFY(twenty[i - 1].toObject()[QStringLiteral("id")].toInt() >
                twenty[i].toObject()[QStringLiteral("id")].toInt());
    }

    const CliResult three =
        home.run({QStringLiteral("history"), QStringLiteral("3"), QStringLiteral("--json")});
    QVERIFY2(three.exitCode == 0, qPrintable(describe(three)));
    QCOMPARE(jsonArray(three).size(), 3);
    const CliResult all =
        home.run({QStringLiteral("history"), QStringLiteral("100"), QStringLiteral("--json")});
    QCOMPARE(jsonArray(all).size(), 25);

    // The plain listing: header plus N lines, unknown page counts shown as such.
    const CliResult text = home.run({QStringLiteral("history"), QStringLiteral("5")});
    QVERIFY2(text.exitCode == 0, qPrintable(describe(text)));
    const QStringList lines = text.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 6);
    QVERIFY(lines[1].contains(QStringLiteral("2026-12-05 09:25:00")));
    QVERIFY(lines[1].contains(QStringLiteral("job 25")));
    QVERIFY2(lines[1].trimmed().endsWith(QStringLiteral("?")), qPrintable(lines[1]));  // 25 % 5 == 0 pages

    for (const QStringList &bad :
         {QStringList{QStringLiteral("history"), QStringLiteral("0")},
          QStringList{QStringLiteral("history"), QStringLiteral("-4")},
          QStringList{QStringLiteral("history"), QStringLiteral("ten")},
          QStringList{QStringLiteral("history"), QStringLiteral("2"), QStringLiteral("3")},
          QStringList{QStringLiteral("presets"), QStringLiteral("extra")}}) {
        const CliResult result = home.run(bad);
        QVERIFY2(result.exitCode == 1, qPrintable(describe(result)));
        QVERIFY(result.out.isEmpty());
        QVERIFY(result.err.startsWith(QStringLiteral("ollavan: ")));
    }
}

void TestCliStore::unusableDatabaseGivesTheDriversMessage_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QString>("driverMessage");
    QTest::newRow("not a database") << "corrupt"
                                    << "file is not a database";
    QTest::newRow("data folder is a file") << "data-is-file"
                                           << "unable to open database file";
    QTest::newRow("database is a folder") << "database-is-folder"
                                          << "";
}

void TestCliStore::unusableDatabaseGivesTheDriversMessage()
{
    QFETCH(QString, damage);
    QFETCH(QString, driverMessage);
    PrivateHome home;
    QByteArray corruptBytes(2048, '\x5a');
    if (damage == QLatin1String("corrupt")) {
        QVERIFY(QDir().mkpath(QFileInfo(home.databasePath()).path()));
        QFile file(home.databasePath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(corruptBytes);
    } else if (damage == QLatin1String("data-is-file")) {
        QFile file(home.dataHome());
        QVERIFY(file.open(QIODevice::WriteOnly));
    } else {
        QVERIFY(QDir().mkpath(home.databasePath()));
    }
    for (const QString &verb : {QStringLiteral("presets"), QStringLiteral("history")}) {
        for (const bool json : {false, true}) {
            QStringList arguments{verb};
            if (json) {
                arguments << QStringLiteral("--json");
            }
            const CliResult result = home.run(arguments);
            QVERIFY2(result.exitCode == 2, qPrintable(describe(result)));
            QVERIFY2(result.out.isEmpty(), qPrintable(describe(result)));
            QVERIFY2(result.err.contains(home.databasePath()), qPrintable(describe(result)));
            QVERIFY2(result.err.contains(driverMessage), qPrintable(describe(result)));
            QVERIFY(result.err.trimmed().size() > home.databasePath().size() + 20);
        }
    }
    // Nothing was lost: the unusable file is as it was.
    if (damage == QLatin1String("corrupt")) {
        QFile file(home.databasePath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), corruptBytes);
    }
}

void TestCliStore::helpAndUsageErrors()
{
    PrivateHome home;
    const CliResult help = home.run({QStringLiteral("--help")});
    QVERIFY2(help.exitCode == 0, qPrintable(describe(help)));
    for (const char *expected :
         {"ollavan presets", "ollavan history [N]", "--json", "--help", "Exit codes"}) {
        QVERIFY2(help.out.contains(QLatin1String(expected)), expected);
    }
    QCOMPARE(home.run({QStringLiteral("help")}).out, help.out);
    // Asking for help opens nothing.
    QVERIFY(!QFileInfo::exists(home.dataHome()));

    const CliResult verbHelp = home.run({QStringLiteral("history"), QStringLiteral("--help")});
    QVERIFY2(verbHelp.exitCode == 0, qPrintable(describe(verbHelp)));
    QVERIFY(verbHelp.out.contains(QStringLiteral("ollavan history [N]")));
    QVERIFY(!verbHelp.out.contains(QStringLiteral("ollavan presets")));
    QCOMPARE(home.run({QStringLiteral("help"), QStringLiteral("history")}).out, verbHelp.out);

    const CliResult version = home.run({QStringLiteral("--version")});
    QCOMPARE(version.exitCode, 0);
    QCOMPARE(version.out, QStringLiteral("ollavan 0.2.1\n"));

    const CliResult nothing = home.run({});
    QCOMPARE(nothing.exitCode, 1);
    QVERIFY(nothing.err.contains(QStringLiteral("ollavan presets")));

    const CliResult unknown = home.run({QStringLiteral("prezets")});
    QCOMPARE(unknown.exitCode, 1);
    QVERIFY(unknown.err.contains(QStringLiteral("prezets")));
    QVERIFY(unknown.out.isEmpty());
}

void TestCliStore::summaryFollowsThePanelsLanguage()
{
    PrivateHome home;
    QVERIFY(QDir().mkpath(QFileInfo(home.databasePath()).path()));
    {
        PresetRepository repository(home.databasePath());
        QVERIFY(repository.open());
        PrintPreset preset = makePreset(QStringLiteral("Colour"));
        preset.colorMode = ColorMode::Color;
        QVERIFY(repository.addPreset(preset));
    }
    // The panel's settings file on Linux.
    QVERIFY(QDir().mkpath(home.configHome() + QStringLiteral("/Ollavan")));
    QFile settings(home.configHome() + QStringLiteral("/Ollavan/OllavanQuick.conf"));
    QVERIFY(settings.open(QIODevice::WriteOnly));
    settings.write("[ui]\nlanguage=de\n");
    settings.close();

    const CliResult result = home.run({QStringLiteral("presets"), QStringLiteral("--json")});
    QVERIFY2(result.exitCode == 0, qPrintable(describe(result)));
    const QString summary = jsonArray(result)[0].toObject()[QStringLiteral("settings")].toString();
    QVERIFY2(summary.startsWith(QString::fromUtf8("Farbe · ")), qPrintable(summary));
    QVERIFY(summary.endsWith(QString::fromUtf8(" · A4")));
}

QTEST_GUILESS_MAIN(TestCliStore)
#include "tst_cli_store.moc"
