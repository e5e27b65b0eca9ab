#include "printing/PrivateCopy.h"

#include "base/I18n.h"
#include "printing/DocumentFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

constexpr qint64 chunkSize = 1 << 20;

}  // namespace

PrivateCopy::PrivateCopy(DocumentFile &document)
{
    folder = std::make_unique<QTemporaryDir>(QDir::temp().filePath(QStringLiteral("job-XXXXXX")));
    if (!folder->isValid()) {
        failureText = I18n::text("%1 could not be copied for printing: %2")
                          .arg(document.fileName(), folder->errorString());
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

