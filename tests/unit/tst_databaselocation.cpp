#include "base/AppIdentity.h"
#include "base/SettingsKeys.h"
#include "model/DatabaseLocation.h"
#include "model/PresetRepository.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

// Where the program keeps its database and settings once its identity is applied, in a private home.
class TestDatabaseLocation : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void identitySelectsTheDataAndSettingsFolders();
    void folderIsCreatedWithItsParents();

private:
    QTemporaryDir m_home;
};

void TestDatabaseLocation::initTestCase()
{
    QVERIFY(m_home.isValid());
    qputenv("HOME", QFile::encodeName(m_home.path()));
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_home.filePath(QStringLiteral("data"))));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.filePath(QStringLiteral("config"))));
    AppIdentity::apply();
    // Where the data folder does not follow HOME and the XDG variables (Windows), nothing here may run:
    // it would touch the real user's folders.
    if (!DatabaseLocation::databasePath().startsWith(m_home.path() + QLatin1Char('/'))) {
        QSKIP("the per-user data folder of this platform is not below HOME");
    }
}

void TestDatabaseLocation::identitySelectsTheDataAndSettingsFolders()
{
    QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("OllavanQuick"));
    QCOMPARE(QCoreApplication::organizationName(), QStringLiteral("Ollavan"));
    QCOMPARE(QCoreApplication::applicationVersion(), QStringLiteral("0.2.1"));
    QVERIFY(!QCoreApplication::organizationDomain().isEmpty());
    QCOMPARE(QGuiApplication::applicationDisplayName(), QStringLiteral("Ollavan Quick"));

    const QString expected = m_home.filePath(QStringLiteral("data/Ollavan/OllavanQuick/vantap.sqlite"));
    QCOMPARE(DatabaseLocation::databasePath(), expected);
    // Applying the identity again changes nothing.
    AppIdentity::apply();
    QCOMPARE(DatabaseLocation::databasePath(), expected);

    // The settings of a default-constructed settings object land in the organization's folder.
    {
        QSettings settings;
        settings.setValue(QLatin1String(SettingsKeys::DarkMode), true);
        settings.setValue(QLatin1String(SettingsKeys::Language), QStringLiteral("ja"));
    }
    QSettings file(m_home.filePath(QStringLiteral("config/Ollavan/OllavanQuick.conf")), QSettings::IniFormat);
    QCOMPARE(file.value(QStringLiteral("appearance/darkMode")).toBool(), true);
    QCOMPARE(file.value(QStringLiteral("ui/language")).toString(), QStringLiteral("ja"));
}

void TestDatabaseLocation::folderIsCreatedWithItsParents()
{
    const QString path = DatabaseLocation::databasePath();
    QVERIFY(!QFileInfo::exists(QFileInfo(path).path()));
    QVERIFY(DatabaseLocation::createDatabaseFolder(path));
    QVERIFY(QFileInfo(QFileInfo(path).path()).isDir());
    QVERIFY(!QFileInfo::exists(path));
    // An existing folder is fine.
    QVERIFY(DatabaseLocation::createDatabaseFolder(path));
    // The store opens there.
    {
        PresetRepository repository(path);
        QString error;
        QVERIFY2(repository.open(&error), qPrintable(error));
    }
    QVERIFY(QFileInfo(path).isFile());

    // A file where a folder should be: the folder cannot be created and the store reports why.
    const QString blocked = m_home.filePath(QStringLiteral("blocked"));
    {
        QFile file(blocked);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    const QString blockedPath = blocked + QStringLiteral("/Ollavan/OllavanQuick/vantap.sqlite");
    QVERIFY(!DatabaseLocation::createDatabaseFolder(blockedPath));
    PresetRepository repository(blockedPath);
    QString error;
    QVERIFY(!repository.open(&error));
    QVERIFY2(error.contains(QStringLiteral("unable to open database file")), qPrintable(error));
}

QTEST_MAIN(TestDatabaseLocation)
#include "tst_databaselocation.moc"
