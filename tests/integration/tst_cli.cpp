// `ollavan` end to end: its verbs against a private cupsd and a database that the test holds open the whole
// time, as the panel does; the database's location and unusable files; a write meeting another program's
// lock.
#include "base/AppIdentity.h"
#include "model/DatabaseLocation.h"
#include "model/PresetRepository.h"
#include "support/PrivateCups.h"
#include "support/TestDocuments.h"

#include <QProcess>
#include <QtTest>

using namespace ollavan::testsupport;

namespace {

struct Run
{
    int code = -1;
    QString out;
    QString err;
};

Run runOllavan(const QStringList &arguments, const QString &folder,
               const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(folder);
    process.start(OLLAVAN_BIN_DIR "/ollavan", arguments);
    process.waitForFinished(120000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

}  // namespace

class TestCli : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void verbs_data();
    void verbs();
    void aWriteWaitsForTheOtherProgram();
    void databaseFiles_data();
    void databaseFiles();

private:
    PrivateCups cups;
    QTemporaryDir work;
    std::unique_ptr<PresetRepository> panel;
};

void TestCli::initTestCase()
{
    QString error;
    QVERIFY2(cups.start(&error) && cups.addQueue("office", PrivateCups::Ppd, &error) &&
                 cups.setServerDefault("office", &error),
             qPrintable(error));
    for (const char *file : {"good.pdf", "-x.pdf"})
        QVERIFY(writeFile(work.filePath(file), makeMixedOrientationPdf(2)));
    qputenv("XDG_DATA_HOME", work.filePath("data").toUtf8());      // the panel's database, where the command
    qputenv("XDG_CONFIG_HOME", work.filePath("config").toUtf8());  // line finds it
    AppIdentity::apply();
    const QString path = DatabaseLocation::databasePath();
    QVERIFY(DatabaseLocation::createDatabaseFolder(path));
    panel = std::make_unique<PresetRepository>(path);
    QVERIFY2(panel->open(&error), qPrintable(error));
    for (const char *title : {"Office", "Ghost"}) {
        PrintPreset preset;
        preset.title = title;
        preset.printerName = title == QLatin1String("Office") ? "office" : "cellar";
        preset.paperSize = "A4";
        preset.sortOrder = -1;
        QVERIFY(panel->addPreset(preset));
    }
    for (int job = 1; job <= 3; ++job) {
        PrintHistoryEntry entry;
        entry.jobName = QStringLiteral("job %1").arg(job);
        QVERIFY(panel->addPrintHistory(entry));
    }
}

void TestCli::verbs_data()
{
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("out");  // regular expressions (. matches line breaks too)
    QTest::addColumn<QString>("err");
    const auto row = [](const char *arguments, int code, const char *out, const char *err) {
        QTest::newRow(arguments) << QString(arguments) << code << QString(out) << QString(err);
    };
    row("presets --json", 0, "\"title\": \"Office\".*\"title\": \"Ghost\"", "^$");
    row("presets", 0,
        "^ID +POSITION.*\n1 +0 +Office +office +Mono · Double-sided \\(long edge\\) · A4 +1 +\n2 +1 +Ghost",
        "^$");
    row("history 2", 0, "^ID +TIME +JOB[^\n]*\n\\d+ +job 3 [^\n]*\n\\d+ +job 2 [^\n]*\n$", "^$");
    row("history 5000", 0, "job 1", "^$");
    row("history 99999999999", 1, "^$",
        "^ollavan: history: N must be a whole number from 1 to 5000, not \"99999999999\"\n$");
    row("history 0", 1, "^$", "from 1 to 5000, not \"0\"");
    row("presets extra", 1, "^$", "unexpected argument \"extra\"");
    row("prezets", 1, "^$", "unknown verb \"prezets\"");
    row("-- --json", 1, "^$", "unknown verb \"--json\"");
    row("--help", 0, "\n  --  +ends the options.*ollavan print --preset ID\\|TITLE FILE", "^$");
    row("print --help", 0, "worst result", "^$");
    row("printers --json", 0, "\"default\": true,\\s*\"name\": \"office\"", "^$");
    row("settings office", 0, "paperSize +A4", "^$");
    row("settings -- --json", 2, "^$", "Unable to open printer \"--json\"");
    row("status office", 0, "\noffice +1 +Ready", "^$");
    row("print --preset Office -x", 1, "^$", "print: unknown option \"-x\"; put -- before a file");
    row("print --preset Office -- -x.pdf --json", 2, "^Sent[^\n]*: -x.pdf\n$", "^ollavan: /\\S*/--json: ");
    row("print --preset Office good.pdf missing.pdf", 2, "^Sent[^\n]*: good.pdf\n$",
        "^ollavan: /\\S*/missing.pdf: Supported");
    row("print --preset Office missing.pdf good.pdf", 2, "^Sent[^\n]*: good.pdf\n$", "/missing.pdf: ");
    row("print --preset Ghost good.pdf missing.pdf", 3, "^$", "/good.pdf: .*/missing.pdf: ");
    row("--json print --preset 2 good.pdf missing.pdf", 3,
        "\"file\": \"/\\S*/good.pdf\",\\s*\"jobName\": \"good.pdf\",\\s*\"message\": "
        "\"[^\"]+\",\\s*\"pageCount\": 2,\\s*"
        "\"result\": 3\\s*},\\s*\\{\\s*\"file\": \"/\\S*/missing.pdf\",.*\"result\": 2",
        "^$");
    row("--json print --preset=Office good.pdf", 0,
        "\"historySaved\": true,\\s*\"jobName\": \"good.pdf\",.*\"pageCount\": 2,\\s*\"result\": "
        "0,\\s*\"totalPages\": 2",
        "^$");
}

void TestCli::verbs()
{
    QFETCH(QString, arguments);
    QFETCH(int, code);
    QFETCH(QString, out);
    QFETCH(QString, err);
    const Run run = runOllavan(arguments.split(' '), work.path());
    const auto matches = [](const QString &text, const QString &pattern) {
        return QRegularExpression(pattern, QRegularExpression::DotMatchesEverythingOption)
            .match(text)
            .hasMatch();
    };
    QVERIFY2(run.code == code && matches(run.out, out) && matches(run.err, err),
             qPrintable(QStringLiteral("exit %1\n%2\n%3").arg(run.code).arg(run.out, run.err)));
}

void TestCli::aWriteWaitsForTheOtherProgram()
{
    // An older file, without the marker: the command line's open writes it while another program holds the
    // write lock for a while; it waits for the lock instead of failing with "database is locked".
    QProcess other;
    other.start("sqlite3", {panel->databasePath()});
    other.write("DELETE FROM app_meta;\nBEGIN IMMEDIATE;\nSELECT 'locked';\n");
    QVERIFY(other.waitForReadyRead(10000) && other.readAll().startsWith("locked"));
    QProcess command;
    command.start(OLLAVAN_BIN_DIR "/ollavan", {"history", "1"});
    QVERIFY(!command.waitForFinished(1500));  // still waiting
    other.write("ROLLBACK;\n");
    QVERIFY(other.waitForBytesWritten(10000) && command.waitForFinished(10000));
    QVERIFY2(command.exitCode() == 0, command.readAllStandardError().constData());
    other.write("SELECT value FROM app_meta;\n");
    other.closeWriteChannel();
    QVERIFY(other.waitForFinished(10000));
    QCOMPARE(other.readAll(), QByteArray("1\n"));
    QCOMPARE(panel->presets().size(), 2);
}

void TestCli::databaseFiles_data()
{
    QTest::addColumn<QByteArray>("content");  // of the database file; "folder": the data folder is a file
    QTest::addColumn<QString>("language");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("err");  // %1: the database's path
    QTest::newRow("fresh home") << QByteArray() << "en" << 0 << "";
    QTest::newRow("empty file") << QByteArray("") << "en" << 2
                                << "ollavan: The preset database %1 is an empty file. Move it elsewhere";
    QTest::newRow("not a database") << QByteArray("presets\n") << "en" << 2
                                    << "The file %1 is not a preset database.";
    QTest::newRow("German") << QByteArray("presets\n") << "de" << 2
                            << "Die Datei %1 ist keine Vorgabendatenbank.";
    QTest::newRow("data folder is a file")
        << QByteArray("folder") << "en" << 2
        << "Cannot open the preset database %1: unable to open database file";
}

void TestCli::databaseFiles()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, language);
    QFETCH(int, code);
    QFETCH(QString, err);
    QTemporaryDir home;  // only HOME: the program uses the platform's layout below it
    const QString path = home.filePath(".local/share/Ollavan/OllavanQuick/vantap.sqlite");
    if (content == "folder")
        QVERIFY(writeFile(home.filePath(".local/share/Ollavan"), "x"));
    else if (!content.isNull())
        QVERIFY(writeFile(path, content));
    QVERIFY(writeFile(home.filePath(".config/Ollavan/OllavanQuick.conf"),
                      "[ui]\nlanguage=" + language.toLatin1()));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HOME", home.path());
    environment.remove("XDG_DATA_HOME");
    environment.remove("XDG_CONFIG_HOME");
    const Run run = runOllavan({"presets"}, home.path(), environment);
    QCOMPARE(run.code, code);
    QVERIFY2(run.err.contains(err.arg(path)) && (code != 0 || run.err.isEmpty()), qPrintable(run.err));
    QFile file(path);
    QVERIFY(content == "folder" ||
            (file.open(QIODevice::ReadOnly) && (content.isNull() || file.readAll() == content)));
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
