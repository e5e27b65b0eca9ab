#include "platform/linux/DocumentPrograms.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace platform {
namespace {

using Program = ShownDocument::Program;

const DocumentProgram programs[] = {
    // PDF viewers
    {"Document Viewer", "evince", Program::PdfViewer, "{doc}", TitleNaming::FileOrMetadata},
    {"Okular", "okular", Program::PdfViewer, "{doc} - Okular", TitleNaming::FileOrMetadata},
    {"Atril", "atril", Program::PdfViewer, "{doc}", TitleNaming::FileOrMetadata},
    {"Xreader", "xreader", Program::PdfViewer, "{doc}", TitleNaming::FileOrMetadata},
    {"qpdfview", "qpdfview", Program::PdfViewer, "{doc} - qpdfview", TitleNaming::FileOrMetadata},
    {"Zathura", "zathura", Program::PdfViewer, "{doc}", TitleNaming::FileName},
    {"MuPDF", "mupdf mupdf-x11 mupdf-gl", Program::PdfViewer, "{doc} - {*}", TitleNaming::FileOrMetadata},
    // Word processors
    {"LibreOffice Writer", "soffice.bin", Program::OfficeSuite, "{doc} - LibreOffice Writer",
     TitleNaming::FileName},
    {"WPS Office", "wps", Program::OfficeSuite, "{doc} - WPS{*}", TitleNaming::FileName},
    // Image viewers
    {"Image Viewer", "eog", Program::ImageViewer, "{doc}", TitleNaming::FileName},
    {"Loupe", "loupe", Program::ImageViewer, "{doc}", TitleNaming::FileName},
    {"gThumb", "gthumb", Program::ImageViewer, "{doc} - gThumb|{doc}", TitleNaming::FileName},
    {"Gwenview", "gwenview", Program::ImageViewer, "{doc} - Gwenview", TitleNaming::FileName},
    {"Ristretto", "ristretto", Program::ImageViewer, "{doc} - {*}", TitleNaming::FileName},
    {"feh", "feh", Program::ImageViewer, "feh [{*}] - {doc}|{doc}", TitleNaming::FileName},
    {"nomacs", "nomacs", Program::ImageViewer, "{doc} - nomacs{*}", TitleNaming::FileName},
    {"qView", "qview", Program::ImageViewer, "{doc} - qView|{doc}", TitleNaming::FileName},
    {"Shotwell", "shotwell", Program::ImageViewer, "{doc} - Shotwell|{doc}", TitleNaming::FileName},
};

// Programs that run another program's script: the script names the program.
const QRegularExpression &interpreterPattern()
{
    static const QRegularExpression pattern(
        QStringLiteral("^(?:python[0-9.]*|perl|ruby|node|gjs|java|sh|bash)$"));
    return pattern;
}

QString fileName(const QString &path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

bool hasExecutable(const DocumentProgram &program, const QString &name)
{
    return !name.isEmpty() && QString::fromLatin1(program.executables).split(QLatin1Char(' ')).contains(name);
}

// A title template as a regular expression whose first group is the document.
QRegularExpression titlePattern(const QString &title)
{
    static const QRegularExpression token(QStringLiteral("\\{doc\\}|\\{\\*\\}| - "));
    QString pattern = QStringLiteral("^");
    qsizetype from = 0;
    for (QRegularExpressionMatchIterator it = token.globalMatch(title); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        pattern += QRegularExpression::escape(title.mid(from, match.capturedStart() - from));
        if (match.captured() == QLatin1String("{doc}"))
            pattern += QStringLiteral("(.+)");
        else if (match.captured() == QLatin1String("{*}"))
            pattern += QStringLiteral(".*");
        else
            pattern += QStringLiteral("\\s+[-\u2013\u2014]\\s+");
        from = match.capturedEnd();
    }
    return QRegularExpression(pattern + QRegularExpression::escape(title.mid(from)) + QLatin1Char('$'));
}

}  // namespace

const DocumentProgram *documentProgram(const QString &executable, const QStringList &arguments)
{
    const QString name = fileName(executable);
    const QString command = arguments.isEmpty() ? QString() : fileName(arguments.first());
    const QString script = arguments.size() > 1 && (interpreterPattern().match(name).hasMatch() ||
                                                    interpreterPattern().match(command).hasMatch())
                               ? fileName(arguments.at(1))
                               : QString();
    for (const QString &candidate : {name, command, script}) {
        for (const DocumentProgram &program : programs) {
            if (hasExecutable(program, candidate))
                return &program;
        }
    }
    return nullptr;
}

QString documentInTitle(const DocumentProgram &program, const QString &title, bool *unsaved)
{
    static const QRegularExpression unsavedMark(
        QStringLiteral("^\\*\\s*|\\s*(?:\\*|\\[\\*\\]|\\[modified\\])$"));
    const QStringList alternatives = QString::fromUtf8(program.titles).split(QLatin1Char('|'));
    for (const QString &alternative : alternatives) {
        const QRegularExpressionMatch match = titlePattern(alternative).match(title.trimmed());
        if (!match.hasMatch())
            continue;
        // A note after the file's name, such as LibreOffice's "(read-only)", is not part of it.
        static const QRegularExpression note(QStringLiteral("^(.+\\.\\w+)\\s+\\([^()]*\\)$"));
        QString document = match.captured(1);
        *unsaved = document.contains(unsavedMark);
        document.remove(unsavedMark);
        document = document.trimmed();
        const QRegularExpressionMatch noted = note.match(document);
        return noted.hasMatch() ? noted.captured(1) : document;
    }
    *unsaved = false;
    return QString();
}

bool isDocumentOfKind(const QString &fileName, ShownDocument::Program kind)
{
    static const QStringList pdf = {QStringLiteral("pdf")};
    static const QStringList office = {QStringLiteral("doc"), QStringLiteral("docx"), QStringLiteral("wps"),
                                       QStringLiteral("odt"), QStringLiteral("rtf")};
    static const QStringList image = {QStringLiteral("jpg"),  QStringLiteral("jpeg"), QStringLiteral("png"),
                                      QStringLiteral("bmp"),  QStringLiteral("gif"),  QStringLiteral("tif"),
                                      QStringLiteral("tiff"), QStringLiteral("webp")};
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    switch (kind) {
    case Program::PdfViewer:
        return pdf.contains(suffix);
    case Program::OfficeSuite:
        return office.contains(suffix);
    case Program::ImageViewer:
        return image.contains(suffix);
    }
    return false;
}

}  // namespace platform
