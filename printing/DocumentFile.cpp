#include "printing/DocumentFile.h"

#include "base/I18n.h"
#include "platform/RegularFile.h"

#include <QFile>
#include <QFileInfo>

namespace {

// How far into the file a PDF header may start, and how much of the start is read to tell the kind.
constexpr qint64 headerLength = 1024;

struct Signature
{
    QByteArray magic;
    int offset;
    DocumentKind kind;
    const char *format;
};

// The kind and image format by the file's first bytes; false when it is none of them.
bool kindOf(const QByteArray &head, DocumentKind *kind, QByteArray *format)
{
    static const Signature signatures[] = {
        {QByteArrayLiteral("\xFF\xD8\xFF"), 0, DocumentKind::Image, "jpeg"},
        {QByteArrayLiteral("\x89PNG\r\n\x1A\n"), 0, DocumentKind::Image, "png"},
        {QByteArrayLiteral("GIF87a"), 0, DocumentKind::Image, "gif"},
        {QByteArrayLiteral("GIF89a"), 0, DocumentKind::Image, "gif"},
        {QByteArrayLiteral("BM"), 0, DocumentKind::Image, "bmp"},
        {QByteArrayLiteral("II*\0"), 0, DocumentKind::Image, "tiff"},
        {QByteArrayLiteral("MM\0*"), 0, DocumentKind::Image, "tiff"},
        {QByteArrayLiteral("WEBP"), 8, DocumentKind::Image, "webp"},
        {QByteArrayLiteral("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"), 0, DocumentKind::WordDocument, ""},
        {QByteArrayLiteral("PK\x03\x04"), 0, DocumentKind::WordDocument, ""},
        {QByteArrayLiteral("{\\rtf"), 0, DocumentKind::WordDocument, ""},
    };
    for (const Signature &signature : signatures) {
        if (head.mid(signature.offset, signature.magic.size()) == signature.magic &&
            (signature.offset == 0 || head.startsWith("RIFF"))) {
            *kind = signature.kind;
            *format = signature.format;
            return true;
        }
    }
    if (head.contains("%PDF-")) {
        *kind = DocumentKind::Pdf;
        format->clear();
        return true;
    }
    return false;
}

}  // namespace

DocumentFile::DocumentFile(const QString &path) : filePath(QFileInfo(path).absoluteFilePath())
{
    refused.details.jobName = fileName();
    open();
}

void DocumentFile::open()
{
    platform::OpenedFile opening = platform::openRegularFile(filePath);
    switch (opening.status) {
    case platform::FileOpenStatus::Opened:
        break;
    case platform::FileOpenStatus::Missing:
        return refuse(PrintResult::Unsupported, I18n::text("%1 does not exist.").arg(fileName()));
    case platform::FileOpenStatus::NotRegularFile:
        return refuse(
            PrintResult::Unsupported,
            I18n::text("%1 is not a regular file. Only document files can be printed.").arg(fileName()));
    case platform::FileOpenStatus::NoAccess:
        return refuse(PrintResult::Failed,
                      I18n::text("You may not read %1. Ask its owner for read access.").arg(fileName()));
    case platform::FileOpenStatus::Failed:
        return refuse(PrintResult::Failed,
                      I18n::text("%1 could not be read: %2").arg(fileName(), opening.failure));
    }
    file = std::move(opening.file);
    if (opening.size == 0)
        return refuse(PrintResult::Unsupported,
                      I18n::text("%1 is empty: there is nothing to print.").arg(fileName()));
    if (opening.size > sizeLimit)
        return refuse(
            PrintResult::Unsupported,
            I18n::text("%1 is larger than 1 GiB and is not printed. Split it into smaller documents.")
                .arg(fileName()));
    const QByteArray head = file->read(headerLength);
    if (head.isEmpty())
        return refuse(PrintResult::Failed, readFailure());
    if (!kindOf(head, &documentKind, &format))
        return refuse(
            PrintResult::Unsupported,
            I18n::text("The content of %1 is not a PDF, a Word or WPS document or an image. Save it "
                       "in one of these formats and print it again.")
                .arg(fileName()));
    opened = true;
}

DocumentFile::~DocumentFile() = default;

QString DocumentFile::fileName() const
{
    return QFileInfo(filePath).fileName();
}

qint64 DocumentFile::size() const
{
    return file ? file->size() : 0;
}

QIODevice &DocumentFile::rewound()
{
    file->seek(0);
    return *file;
}

std::optional<QByteArray> DocumentFile::readAll()
{
    if (!file->seek(0))
        return std::nullopt;
    QByteArray bytes = file->read(sizeLimit + 1);
    if (bytes.isEmpty() || bytes.size() > sizeLimit)
        return std::nullopt;
    return bytes;
}

QString DocumentFile::readFailure() const
{
    if (!file || file->error() == QFileDevice::NoError)
        return I18n::text("%1 changed while it was being read. Print it again.").arg(fileName());
    return I18n::text("%1 could not be read: %2").arg(fileName(), file->errorString());
}

void DocumentFile::refuse(PrintResult result, const QString &message)
{
    file.reset();
    refused.result = result;
    refused.message = message;
}
