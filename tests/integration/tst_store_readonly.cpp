// The store on a database file the user may read but not write. Linux only: when the tests run as root,
// file permissions are enforced by switching the file-system identity of this thread to an unprivileged
// user around each access, which drops root's permission override for exactly those calls.
#include "model/PresetRepository.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/fsuid.h>
#include <unistd.h>

namespace {

constexpr uid_t UnprivilegedUser = 65534;   // nobody
constexpr gid_t UnprivilegedGroup = 65534;  // nogroup

// While alive, file-system permission checks of this thread apply as for an ordinary user.
class OrdinaryFileAccess
{
public:
    OrdinaryFileAccess() : m_switched(geteuid() == 0)
    {
        if (m_switched) {
            setfsgid(UnprivilegedGroup);
            setfsuid(UnprivilegedUser);
        }
    }
    ~OrdinaryFileAccess()
    {
        if (m_switched) {
            setfsuid(0);
            setfsgid(0);
        }
    }
    OrdinaryFileAccess(const OrdinaryFileAccess &) = delete;
    OrdinaryFileAccess &operator=(const OrdinaryFileAccess &) = delete;

private:
    bool m_switched;
};

PrintPreset makePreset(const QString &title)
{
    PrintPreset preset;
    preset.title = title;
    preset.colorMode = ColorMode::Color;
    preset.duplexMode = DuplexMode::Simplex;
    preset.paperSize = QStringLiteral("A4");
    preset.printerName = QStringLiteral("Laser");
    preset.backgroundColor = QStringLiteral("#FF8A00");
    preset.sortOrder = -1;
    return preset;
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Gives the owner write access back when the test ends, so the temporary folder can be removed.
class WritableAgainOnExit
{
public:
    WritableAgainOnExit(const QString &folder, const QString &file) : m_folder(folder), m_file(file) {}
    ~WritableAgainOnExit()
    {
        QFile::setPermissions(m_folder, QFile::permissions(m_folder) | QFile::WriteOwner);
        QFile::setPermissions(m_file, QFile::permissions(m_file) | QFile::WriteOwner);
    }
    WritableAgainOnExit(const WritableAgainOnExit &) = delete;
    WritableAgainOnExit &operator=(const WritableAgainOnExit &) = delete;

private:
    QString m_folder;
    QString m_file;
};

bool makeReadOnly(const QString &folder, const QString &file)
{
    return QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther) &&
           QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                             QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
}

}  // namespace

class TestStoreReadOnly : public QObject
{
    Q_OBJECT

private slots:
    void completeReadOnlyFileIsReadableButRefusesWrites();
    void readOnlyFileNeedingMigrationFailsToOpen();
};

void TestStoreReadOnly::completeReadOnlyFileIsReadableButRefusesWrites()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("vantap.sqlite"));
    {
        PresetRepository writer(path);
        QVERIFY(writer.open());
        QVERIFY(writer.addPreset(makePreset(QStringLiteral("Kept"))));
    }
    const QByteArray before = fileBytes(path);
    const WritableAgainOnExit restore(dir.path(), path);
    QVERIFY(makeReadOnly(dir.path(), path));
    {
        OrdinaryFileAccess ordinary;
        QFile probe(path);
        QVERIFY2(!probe.open(QIODevice::ReadWrite), "the file must not be writable for this test");
    }

    QString error;
    {
        OrdinaryFileAccess ordinary;
        PresetRepository repository(path);
        // Every table and the marker exist, so opening needs no write.
        QVERIFY2(repository.open(&error), qPrintable(error));
        const QList<PrintPreset> presets = repository.presets(&error);
        QCOMPARE(presets.size(), 1);
        QCOMPARE(presets[0].title, QStringLiteral("Kept"));
        QVERIFY(!repository.addPreset(makePreset(QStringLiteral("New")), &error));
        QVERIFY2(error.contains(QStringLiteral("attempt to write a readonly database")), qPrintable(error));
        error.clear();
        PrintPreset changed = presets[0];
        changed.title = QStringLiteral("Changed");
        QVERIFY(!repository.updatePreset(changed, &error));
        QVERIFY2(error.contains(QStringLiteral("readonly")), qPrintable(error));
        error.clear();
        QVERIFY(!repository.deletePreset(presets[0].id, &error));
        QVERIFY2(error.contains(QStringLiteral("readonly")), qPrintable(error));
        error.clear();
        PrintHistoryEntry entry;
        entry.createdAt = QDateTime::currentDateTime();
        entry.jobName = QStringLiteral("job");
        QVERIFY(!repository.addPrintHistory(entry, &error));
        QVERIFY2(error.contains(QStringLiteral("readonly")), qPrintable(error));
        QCOMPARE(repository.presets().size(), 1);
    }
    QCOMPARE(fileBytes(path), before);
}

void TestStoreReadOnly::readOnlyFileNeedingMigrationFailsToOpen()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("vantap.sqlite"));
    {
        // An empty file is a valid, empty database that needs every table.
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    const WritableAgainOnExit restore(dir.path(), path);
    QVERIFY(makeReadOnly(dir.path(), path));
    QString error;
    {
        OrdinaryFileAccess ordinary;
        PresetRepository repository(path);
        QVERIFY(!repository.open(&error));
        QVERIFY2(error.contains(QStringLiteral("attempt to write a readonly database")), qPrintable(error));
        error.clear();
        QVERIFY(!repository.addPreset(makePreset(QStringLiteral("New")), &error));
        QVERIFY(!error.isEmpty());
    }
    QCOMPARE(QFileInfo(path).size(), qint64(0));
}

QTEST_GUILESS_MAIN(TestStoreReadOnly)
#include "tst_store_readonly.moc"
