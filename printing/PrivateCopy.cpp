#include "printing/PrivateCopy.h"

#include "base/I18n.h"
#include "printing/DocumentFile.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

namespace {

const QString folderPrefix = QStringLiteral("ollavan-print-");
constexpr qint64 chunkSize = 1 << 20;

QString lockPath(const QString &folder)
{
    return folder + QStringLiteral(".lock");
}

// This process's folder in the temporary folder: its lock file is taken before the folder is made and held
// until the process ends, so that no other process takes the folder for a leftover.
class ProcessFolder
{
public:
    static ProcessFolder &instance()
    {
        static ProcessFolder folder;
        return folder;
    }

    QString path() const { return folder; }

private:
    ProcessFolder()
    {
        for (int attempt = 0; attempt < 8 && folder.isEmpty(); ++attempt) {
            const QString candidate = QDir::temp().filePath(
                folderPrefix + QString::number(QRandomGenerator::system()->generate64(), 36));
            auto candidateLock = std::make_unique<QLockFile>(lockPath(candidate));
            candidateLock->setStaleLockTime(0);
            if (!candidateLock->tryLock(0))
                continue;
            if (QDir().mkdir(candidate,
                             QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner)) {
                lock = std::move(candidateLock);
                folder = candidate;
            }
        }
    }

    ~ProcessFolder()
    {
        // Only an empty folder goes now: copies still in use stay for the next start's clean-up.
        if (!folder.isEmpty())
            QDir().rmdir(folder);
    }

    std::unique_ptr<QLockFile> lock;
    QString folder;
};

}  // namespace

PrivateCopy::PrivateCopy(DocumentFile &document)
{
    const QString base = ProcessFolder::instance().path();
    if (!base.isEmpty())
        folder = std::make_unique<QTemporaryDir>(base + QStringLiteral("/job-XXXXXX"));
    if (!folder || !folder->isValid()) {
        failureText = I18n::text("%1 could not be copied for printing: %2")
                          .arg(document.fileName(), folder ? folder->errorString() : QDir::tempPath());
        return;
    }
    QFile copy(folder->filePath(document.fileName()));
    if (!copy.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        failureText = I18n::text("%1 could not be copied for printing: %2")
                          .arg(document.fileName(), copy.errorString());
        return;
    }
    QIODevice &source = document.rewound();
    qint64 copied = 0;
    for (QByteArray chunk = source.read(chunkSize); !chunk.isEmpty() && copied <= DocumentFile::sizeLimit;
         chunk = source.read(chunkSize)) {
        copied += chunk.size();
        if (copy.write(chunk) != chunk.size()) {
            failureText = I18n::text("%1 could not be copied for printing: %2")
                              .arg(document.fileName(), copy.errorString());
            return;
        }
    }
    if (copied != document.size()) {
        failureText = document.readFailure();
        return;
    }
    if (!copy.flush()) {
        failureText = I18n::text("%1 could not be copied for printing: %2")
                          .arg(document.fileName(), copy.errorString());
        return;
    }
    filePath = copy.fileName();
}

PrivateCopy::~PrivateCopy() = default;

void PrivateCopy::keep()
{
    folder->setAutoRemove(false);
}

void PrivateCopy::removeLeftovers()
{
    // A process's own folder is locked by it: this process's is passed over like those of others that run.
    const QFileInfoList entries =
        QDir::temp().entryInfoList({folderPrefix + QLatin1Char('*')}, QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QFileInfo &entry : entries) {
        const QString folder = entry.absoluteFilePath();
        QLockFile lock(lockPath(folder));
        lock.setStaleLockTime(0);
        if (lock.tryLock(0))  // no process holds it any more
            QDir(folder).removeRecursively();
    }
}
