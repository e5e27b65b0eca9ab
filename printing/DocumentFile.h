#pragma once

#include "printing/PrintOutcome.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>

class QFile;
class QIODevice;

// The kinds of document the program prints, as their content shows them.
enum class DocumentKind {
    Pdf,          // "%PDF-" within the first kilobyte
    Image,        // JPEG, PNG, GIF, BMP, TIFF or WebP
    WordDocument  // an OLE compound file (.doc, .wps), a ZIP package (.docx, .odt) or RTF
};

// A file to print, opened and checked once before anything is switched: it must be a regular file (pipes,
// devices, sockets and folders are refused without waiting on them), hold 1 byte to 1 GiB and be of a
// printable kind by its content. The routes read the file that was checked through this object, never by
// its name again.
class DocumentFile
{
public:
    static constexpr qint64 sizeLimit = qint64(1) << 30;

    explicit DocumentFile(const QString &path);
    ~DocumentFile();
    DocumentFile(const DocumentFile &) = delete;
    DocumentFile &operator=(const DocumentFile &) = delete;

    bool isOpen() const { return opened; }
    // Why the file is not printed (when it is not open): Unsupported for a file that is missing, not a
    // regular file, empty, too large or of no printable kind; Failed when it could not be read. The message
    // names the file; the details carry its name.
    const PrintOutcome &refusal() const { return refused; }

    QString path() const { return filePath; }
    QString fileName() const;
    DocumentKind kind() const { return documentKind; }
    // The image format for QImageReader ("jpeg", "png", ...); empty for other kinds.
    QByteArray imageFormat() const { return format; }
    qint64 size() const;

    // The opened file, from its first byte.
    QIODevice &rewound();
    // The whole file as it is read now (at most sizeLimit bytes); nothing when reading failed.
    std::optional<QByteArray> readAll();
    // One translated line: the file could not be read, naming it and the system's reason.
    QString readFailure() const;

private:
    void open();
    void refuse(PrintResult result, const QString &message);

    QString filePath;
    std::unique_ptr<QFile> file;
    bool opened = false;
    PrintOutcome refused;
    DocumentKind documentKind = DocumentKind::Pdf;
    QByteArray format;
};
