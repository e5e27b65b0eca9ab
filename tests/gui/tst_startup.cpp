// The built ollavan-quick started as a user would start it, in a temporary HOME: the self-check and
// screenshot switches, their exit codes and settings writes, and the screenshots' colours.
#include <QColor>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Run
{
    bool finished = false;
    int exitCode = -1;
    QByteArray errors;
};

}  // namespace

class StartupTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void selfChecksExitWithoutWindow();
    void argumentsOutsideTheRulesStartNormally_data();
    void argumentsOutsideTheRulesStartNormally();
    void screenshotsShowEachThemeAndRememberIt();
    void screenshotThatCannotBeSavedExitsWithTwo();
    void missingLanguageMeansEnglish();
    void advertisementScreenshotWaitsLonger();
    void addDialogScreenshot();

private:
    Run start(const QStringList &arguments, int waitMs);
    QSettings storedSettings() const;
    QString path(const QString &name) const { return home->filePath(name); }

    std::unique_ptr<QTemporaryDir> home;
};

void StartupTest::init()
{
    home = std::make_unique<QTemporaryDir>();
    QVERIFY(home->isValid());
    for (const char *folder : {"config", "data", "cache", "runtime"})
        QVERIFY(QDir(home->path()).mkpath(QLatin1String(folder)));
    QFile::setPermissions(path(QStringLiteral("runtime")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

Run StartupTest::start(const QStringList &arguments, int waitMs)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home->path());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), path(QStringLiteral("config")));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), path(QStringLiteral("data")));
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), path(QStringLiteral("cache")));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), path(QStringLiteral("runtime")));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(OLLAVAN_BIN_DIR "/ollavan-quick"), arguments);
    Run run;
    if (!process.waitForStarted(10000))
        return run;
    run.finished = process.waitForFinished(waitMs);
    if (!run.finished) {
        process.kill();
        process.waitForFinished(10000);
    } else {
        run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }
    run.errors = process.readAllStandardError();
    return run;
}

QSettings StartupTest::storedSettings() const
{
    return QSettings(path(QStringLiteral("config/Ollavan/OllavanQuick.conf")), QSettings::IniFormat);
}

void StartupTest::selfChecksExitWithoutWindow()
{
    // No print server is reachable from the tests, so both checks fail, say why in one line, and exit 2.
    const Run driver = start({QStringLiteral("--verify-driver-isolation")}, 60000);
    QVERIFY(driver.finished);
    QCOMPARE(driver.exitCode, 2);
    const QByteArray driverLine = driver.errors.trimmed();
    QVERIFY(!driverLine.isEmpty());
    QVERIFY2(!driverLine.startsWith('"'), driverLine.constData());

    const Run acrobat =
        start({QStringLiteral("--verify-acrobat-isolation"), path(QStringLiteral("missing.pdf"))}, 60000);
    QVERIFY(acrobat.finished);
    QCOMPARE(acrobat.exitCode, 2);
    QVERIFY(!acrobat.errors.trimmed().isEmpty());
    QVERIFY(!acrobat.errors.trimmed().startsWith('"'));

    // Neither check opens the database.
    QVERIFY(!QFile::exists(path(QStringLiteral("data/Ollavan/OllavanQuick/vantap.sqlite"))));
}

void StartupTest::argumentsOutsideTheRulesStartNormally_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("driver check with an extra argument")
        << QStringList{QStringLiteral("--verify-driver-isolation"), QStringLiteral("extra")};
    QTest::newRow("acrobat check without a path")
        << QStringList{QStringLiteral("--verify-acrobat-isolation")};
    QTest::newRow("screenshot without a path") << QStringList{QStringLiteral("--screenshot")};
    QTest::newRow("switch in another case")
        << QStringList{QStringLiteral("--SCREENSHOT"), QStringLiteral("x.png")};
    QTest::newRow("screenshot with two paths")
        << QStringList{QStringLiteral("--screenshot"), QStringLiteral("a.png"), QStringLiteral("b.png")};
}

void StartupTest::argumentsOutsideTheRulesStartNormally()
{
    QFETCH(QStringList, arguments);
    const Run run = start(arguments, 4000);
    QVERIFY2(!run.finished, run.errors.constData());  // still running: the panel started and waits
    // A normal start opened the store in the temporary HOME.
    QVERIFY(QFile::exists(path(QStringLiteral("data/Ollavan/OllavanQuick/vantap.sqlite"))));
    QVERIFY(!QFile::exists(path(QStringLiteral("x.png"))));
}

void StartupTest::screenshotsShowEachThemeAndRememberIt()
{
    struct Theme
    {
        const char *argument;
        bool dark;
        QColor border, titleBar, background;
    };
    const Theme themes[] = {
        {"--screenshot-light", false, QColor(0xd8dde5), QColor(0xffffff), QColor(0xf7f8fa)},
        {"--screenshot-dark", true, QColor(0x34383d), QColor(0x181a1c), QColor(0x151719)},
    };
    for (const Theme &theme : themes) {
        const QString output = path(QStringLiteral("panel-%1.png").arg(theme.dark ? "dark" : "light"));
        const Run run = start({QLatin1String(theme.argument), output}, 60000);
        QVERIFY(run.finished);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(storedSettings().value(QStringLiteral("appearance/darkMode")).toBool(), theme.dark);

        QImage image(output);
        QVERIFY(!image.isNull());
        QCOMPARE(image.size(), QSize(320, 752));
        // The frame's border shows left, right and below; the title bar covers it at the top.
        QCOMPARE(image.pixelColor(0, 400), theme.border);
        QCOMPARE(image.pixelColor(319, 400), theme.border);
        QCOMPARE(image.pixelColor(160, 751), theme.border);
        QCOMPARE(image.pixelColor(110, 2), theme.titleBar);
        QCOMPARE(image.pixelColor(110, 35), theme.border);  // the title bar's bottom line
        QCOMPARE(image.pixelColor(8, 200), theme.background);
        QCOMPARE(image.pixelColor(300, 500), theme.background);
        int accentRows = 0;
        for (int y = 560; y < 752; ++y)
            accentRows += image.pixelColor(30, y) == QColor(0xff8a00) ? 1 : 0;
        QVERIFY2(accentRows >= 40, qPrintable(QString::number(accentRows)));  // the 48-pixel add button
    }

    // A plain screenshot afterwards keeps the stored dark theme.
    const Run plain = start({QStringLiteral("--screenshot"), path(QStringLiteral("plain.png"))}, 60000);
    QCOMPARE(plain.exitCode, 0);
    QCOMPARE(QImage(path(QStringLiteral("plain.png"))).pixelColor(8, 200), QColor(0x151719));
    QCOMPARE(storedSettings().value(QStringLiteral("appearance/darkMode")).toBool(), true);
}

void StartupTest::screenshotThatCannotBeSavedExitsWithTwo()
{
    const Run run =
        start({QStringLiteral("--screenshot"), path(QStringLiteral("no/such/folder/panel.png"))}, 60000);
    QVERIFY(run.finished);
    QCOMPARE(run.exitCode, 2);
    QVERIFY(!QFile::exists(path(QStringLiteral("no/such/folder/panel.png"))));
}

void StartupTest::missingLanguageMeansEnglish()
{
    const QString none = path(QStringLiteral("none.png"));
    QCOMPARE(start({QStringLiteral("--screenshot"), none}, 60000).exitCode, 0);
    QVERIFY(!storedSettings().contains(QStringLiteral("ui/language")));

    {
        QSettings settings = storedSettings();
        settings.setValue(QStringLiteral("ui/language"), QStringLiteral("en"));
    }
    const QString english = path(QStringLiteral("en.png"));
    QCOMPARE(start({QStringLiteral("--screenshot"), english}, 60000).exitCode, 0);
    {
        QSettings settings = storedSettings();
        settings.setValue(QStringLiteral("ui/language"), QStringLiteral("de"));
    }
    const QString german = path(QStringLiteral("de.png"));
    QCOMPARE(start({QStringLiteral("--screenshot"), german}, 60000).exitCode, 0);

    QCOMPARE(QImage(none), QImage(english));
    QVERIFY(QImage(german) != QImage(english));
}

void StartupTest::advertisementScreenshotWaitsLonger()
{
    const QString output = path(QStringLiteral("advert.png"));
    QElapsedTimer elapsed;
    elapsed.start();
    const Run run = start({QStringLiteral("--screenshot-advertisement"), output}, 60000);
    QCOMPARE(run.exitCode, 0);
    QVERIFY(elapsed.elapsed() >= 6000);
    QCOMPARE(QImage(output).size(), QSize(320, 752));
}

void StartupTest::addDialogScreenshot()
{
    const QString output = path(QStringLiteral("dialog.png"));
    const Run run = start({QStringLiteral("--screenshot-add-dialog"), output}, 60000);
    QVERIFY(run.finished);
    QCOMPARE(run.exitCode, 0);
    const QImage image(output);
    QVERIFY(!image.isNull());
    QVERIFY(image.width() > 100 && image.height() > 100);
}

QTEST_GUILESS_MAIN(StartupTest)
#include "tst_startup.moc"
