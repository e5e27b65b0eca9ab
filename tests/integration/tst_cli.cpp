// `ollavan` end to end: its verbs against a private cupsd and a database that the test holds open the whole
// time, as the panel does; a write meeting another program's lock; the database's location and unusable
// files.
#include "base/AppIdentity.h"
#include "model/DatabaseLocation.h"
#include "model/PresetRepository.h"
#include "support/PrivateCups.h"
#include "support/TestDocuments.h"

#include <QtTest>

#include <unistd.h>

using namespace ollavan::testsupport;

namespace {

struct Run
{
    int code = -1;
    QString out, err;
};

// With `ordinaryUser`, the program runs as nobody when the tests run as root, so that file permissions apply.
Run runOllavan(const QStringList &arguments, const QString &folder,
               const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment(),
               bool ordinaryUser = false)
{
    QProcess process;
    if (ordinaryUser && geteuid() == 0)
        process.setChildProcessModifier([] {
            if (setgid(65534) != 0 || setuid(65534) != 0)
                _exit(126);
        });
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
    PrivateCups cups;
    QTemporaryDir work;
    std::unique_ptr<PresetRepository> panel;

private slots:
    void initTestCase()
    {
        QString error;
        QVERIFY2(cups.start(&error) && cups.addQueue("office", cups.Ppd, &error) &&
                     cups.setServerDefault("office", &error),
                 qPrintable(error));
        QVERIFY(writeFile(work.filePath("good.pdf"), makeMixedOrientationPdf(2)) &&
                writeFile(work.filePath("-x.pdf"), makeMixedOrientationPdf(2)));
        qputenv("XDG_DATA_HOME", work.filePath("data").toUtf8());  // where the command line looks too
        qputenv("XDG_CONFIG_HOME", work.filePath("config").toUtf8());
        AppIdentity::apply();
        QVERIFY(DatabaseLocation::createDatabaseFolder(DatabaseLocation::databasePath()));
        panel = std::make_unique<PresetRepository>(DatabaseLocation::databasePath());
        QVERIFY2(panel->open(&error), qPrintable(error));
        for (const char *printer : {"office", "cellar"})
            QVERIFY(panel->addPreset({0, printer == QLatin1String("office") ? "Office" : "Ghost",
                                      ColorMode::Mono, DuplexMode::Duplex, DuplexEdge::Long, "A4", printer,
                                      "", 1, false, "", -1}));
        for (const char *job : {"job 1", "job 2", "job 3"})
            QVERIFY(panel->addPrintHistory({0, QDateTime::currentDateTime(), job, "office", "", 1, 0, 0}));
    }

    void verbs_data()
    {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("out");  // regular expressions, in which . matches line breaks too
        QTest::addColumn<QString>("err");
        const auto row = [](const char *arguments, int code, const char *out, const char *err = "^$") {
            QTest::newRow(arguments) << QString(arguments) << code << QString(out) << QString(err);
        };
        row("presets --json", 0, "\"title\": \"Office\".*\"title\": \"Ghost\"");
        row("presets", 0,
            "^ID +POSITION.*\n1 +0 +Office +office +Mono · Double-sided \\(long edge\\) · A4 +1 +auto +\n2 ");
        row("history 2", 0,
            "^ID +TIME +JOB[^\n]*\n\\d+ +\\S+ \\S+ +job 3 [^\n]*\n\\d+ +\\S+ \\S+ +job 2 [^\n]*\n$");
        row("history 5000", 0, "job 1");
        row("history 99999999999", 1, "^$",
            "^ollavan: history: N must be a whole number from 1 to 5000, not "
            "\"99999999999\"\n$");
        row("history 0", 1, "^$", "from 1 to 5000, not \"0\"");
        row("presets extra", 1, "^$", "unexpected argument \"extra\"");
        row("-- --json", 1, "^$", "unknown verb \"--json\"");
        row("--help", 0, "\n  --  +ends the options.*ollavan print --preset ID\\|TITLE \\[--engine");
        row("print --help", 0, "worst result");
        row("printers --json", 0, "\"default\": true,\\s*\"name\": \"office\"");
        row("settings office", 0, "paperSize +A4");
        row("settings -- --json", 2, "^$", "Unable to open printer \"--json\"");
        row("status office", 0, "\noffice +1 +Ready");
        row("print --preset Office -x.pdf", 1, "^$",
            "print: unknown option \"-x.pdf\"; put -- before a file");
        row("print --preset Office -- -x.pdf --json", 2, "^Sent[^\n]*: -x.pdf\n$",
            "^ollavan: /\\S*/--json: ");
        row("print --preset Office good.pdf missing.pdf", 2, "^Sent[^\n]*: good.pdf\n$",
            "^ollavan: /\\S*/missing.pdf: ");
        row("print --preset Office missing.pdf good.pdf", 2, "^Sent[^\n]*: good.pdf\n$", "/missing.pdf: ");
        row("print --preset Ghost good.pdf missing.pdf", 3, "^$", "/good.pdf: .*/missing.pdf: ");
        row("--json print --preset 2 good.pdf missing.pdf", 3,
            "\"file\": \"/\\S*/good.pdf\",\\s*\"jobName\": \"good.pdf\",\\s*\"message\": \"[^\"]+\",\\s*"
            "\"pageCount\": 2,\\s*\"result\": 3\\s*},\\s*\\{\\s*\"file\": "
            "\"/\\S*/missing.pdf\",.*\"result\": 2");
        row("--json print --preset=Office good.pdf", 0,
            "\"historySaved\": true,\\s*\"jobName\": \"good.pdf\",.*\"result\": 0,\\s*\"totalPages\": 2");
    }
    void verbs()
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

    void aWriteWaitsForTheOtherProgram()
    {
        // An older file, without the marker: opening writes it while another program holds the write lock
        // for a while, and waits for the lock instead of failing with "database is locked".
        QProcess other;
        other.start("sqlite3", {panel->databasePath()});
        other.write("DELETE FROM app_meta;\nBEGIN IMMEDIATE;\nSELECT 'locked';\n");
        QVERIFY(other.waitForReadyRead(10000) && other.readAll() == "locked\n");
        QProcess command;
        command.start(OLLAVAN_BIN_DIR "/ollavan", {"presets"});
        QVERIFY(!command.waitForFinished(1500));  // still waiting
        other.write("ROLLBACK;\n");
        QVERIFY(other.waitForBytesWritten(10000) && command.waitForFinished(10000));
        QVERIFY2(command.exitCode() == 0 && command.readAll().contains("Office"),
                 command.readAllStandardError());
        other.write("SELECT value FROM app_meta;\n");
        other.closeWriteChannel();
        QVERIFY(other.waitForFinished(10000) && other.readAll() == "1\n");
        QCOMPARE(panel->presets().size(), 2);
    }

    void databaseFiles_data()
    {
        QTest::addColumn<QString>("kind");  // of the database file, or the data folder "a file"
        QTest::addColumn<QString>("language");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("err");  // %1: the database's path
        QTest::newRow("fresh home") << "none"
                                    << "en" << 0 << "";
        QTest::newRow("empty") << "empty"
                               << "en" << 2 << "The preset database %1 is an empty file.";
        QTest::newRow("text") << "text"
                              << "en" << 2 << "The file %1 is not a preset database.";
        QTest::newRow("text, German") << "text"
                                      << "de" << 2 << "Die Datei %1 ist keine Vorgabendatenbank.";
        QTest::newRow("a file") << "a file"
                                << "en" << 2 << "database %1: unable to open database file";
        QTest::newRow("read-only") << "read-only"
                                   << "en" << 0 << "";
        QTest::newRow("read-only, older") << "read-only older"
                                          << "en" << 2 << "database %1: attempt to write a readonly database";
    }
    void databaseFiles()
    {
        QFETCH(QString, kind);
        QFETCH(QString, language);
        QFETCH(int, code);
        QFETCH(QString, err);
        QTemporaryDir home;  // only HOME: the program uses the platform's layout below it
        const QString path = home.filePath(".local/share/Ollavan/OllavanQuick/vantap.sqlite");
        QVERIFY(kind != "a file" || writeFile(home.filePath(".local/share/Ollavan"), "x"));
        QVERIFY(kind == "none" || kind == "a file" || kind.startsWith("read-only") ||
                writeFile(path, kind == "text" ? "x\n" : ""));
        if (kind.startsWith("read-only")) {
            PresetRepository written(path);
            QVERIFY(DatabaseLocation::createDatabaseFolder(path) && written.open() && written.addPreset({}));
            QVERIFY(kind == "read-only" || QProcess::execute("sqlite3", {path, "DELETE FROM app_meta"}) == 0);
            QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadOther));
        }
        QVERIFY(writeFile(home.filePath(".config/Ollavan/OllavanQuick.conf"),
                          "[ui]\nlanguage=" + language.toLatin1()));
        QProcess::execute("chmod", {"-R", "a+rX", home.path()});
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("HOME", home.path());
        environment.remove("XDG_DATA_HOME");
        environment.remove("XDG_CONFIG_HOME");
        QFile file(path);
        const QByteArray before = file.open(QIODevice::ReadOnly) ? file.readAll() : "none";
        file.close();
        const Run run = runOllavan({"presets"}, home.path(), environment, kind.startsWith("read-only"));
        QVERIFY2(run.code == code && run.err.contains(err.arg(path)) &&
                     (code || !run.err.contains("ollavan:")),
                 qPrintable(run.err));
        QVERIFY(file.open(QIODevice::ReadOnly) ||
                kind == "a file");  // created when missing, else kept as it was
        QVERIFY(kind == "none" || kind == "a file" || file.readAll() == before);
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
