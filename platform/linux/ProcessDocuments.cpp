#include "platform/linux/ProcessDocuments.h"

#include "platform/linux/DocumentPrograms.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

#include <climits>
#include <unistd.h>

namespace platform {
namespace {

using Status = ShownDocument::Status;

// The target of a link as the kernel gives it: the process table's links name paths as the process sees
// them, which need not exist here.
QString readLink(const QString &link)
{
    const QByteArray encoded = QFile::encodeName(link);
    char target[PATH_MAX];
    const ssize_t length = ::readlink(encoded.constData(), target, sizeof target);
    return length > 0 ? QFile::decodeName(QByteArray(target, int(length))) : QString();
}

QStringList commandLine(const QString &processFolder)
{
    QFile file(processFolder + QStringLiteral("/cmdline"));
    QStringList arguments;
    if (!file.open(QIODevice::ReadOnly))
        return arguments;
    QByteArray data = file.readAll();
    if (data.endsWith('\0'))
        data.chop(1);
    for (const QByteArray &argument : data.split('\0'))
        arguments << QFile::decodeName(argument);
    return arguments;
}

QString fileName(const QString &path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

bool isFile(const QString &path)
{
    return QFileInfo(path).isFile();
}

// A document file of the process: one it has open, or one its command line names.
struct Candidate
{
    QString path;  // outside the sandbox
    bool open = false;
};

// What the process table tells of one process, with its paths translated to paths outside its sandbox.
class Process
{
public:
    Process(const QString &folder, const QString &runtimeFolder)
        : folder(folder), runtimeFolder(runtimeFolder)
    {
        root = readLink(folder + QStringLiteral("/root"));
        workingFolder = readLink(folder + QStringLiteral("/cwd"));
        arguments = commandLine(folder);
    }

    QString executable() const { return readLink(folder + QStringLiteral("/exe")); }

    // The path outside the sandbox of a path the process sees.
    QString outside(const QString &seen) const
    {
        static const QRegularExpression portal(QStringLiteral("^/run/(?:flatpak|user/\\d+)/doc/(.+)$"));
        const QRegularExpressionMatch document = portal.match(seen);
        if (document.hasMatch())
            return runtimeFolder + QStringLiteral("/doc/") + document.captured(1);
        if (root.isEmpty() || root == QLatin1String("/") || QFileInfo::exists(seen))
            return seen;
        const QString inside = folder + QStringLiteral("/root") + seen;
        return QFileInfo::exists(inside) ? inside : seen;
    }

    QList<Candidate> candidates(ShownDocument::Program kind) const
    {
        QList<Candidate> found;
        const auto add = [&](QString seen, bool open) {
            if (open && seen.endsWith(QLatin1String(" (deleted)")))
                seen.chop(10);
            if (!seen.startsWith(QLatin1Char('/')) || !isDocumentOfKind(fileName(seen), kind))
                return;
            const QString path = QDir::cleanPath(outside(seen));
            for (Candidate &candidate : found) {
                if (candidate.path == path) {
                    candidate.open = candidate.open || open;
                    return;
                }
            }
            found.append({path, open});
        };
        const QString descriptors = folder + QStringLiteral("/fd");
        const QStringList entries =
            QDir(descriptors).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
        for (const QString &entry : entries)
            add(readLink(descriptors + QLatin1Char('/') + entry), true);
        bool options = true;
        for (QString argument : arguments.mid(1)) {
            if (options && argument == QLatin1String("--")) {
                options = false;
            } else if (!options || !argument.startsWith(QLatin1Char('-'))) {
                if (argument.startsWith(QLatin1String("file:")))
                    argument = QUrl(argument).toLocalFile();
                else if (!argument.startsWith(QLatin1Char('/')) && !workingFolder.isEmpty())
                    argument = workingFolder + QLatin1Char('/') + argument;
                add(argument, false);
            }
        }
        return found;
    }

    QString outsideWorkingFolder() const
    {
        return workingFolder.isEmpty() ? QString() : outside(workingFolder);
    }

    QStringList arguments;

private:
    QString folder;
    QString runtimeFolder;
    QString root;
    QString workingFolder;
};

QString defaultRuntimeFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return runtime.isEmpty() ? QStringLiteral("/run/user/%1").arg(::getuid()) : runtime;
}

}  // namespace

ProcessDocuments::ProcessDocuments() : ProcessDocuments(QStringLiteral("/proc"), defaultRuntimeFolder()) {}

ProcessDocuments::ProcessDocuments(const QString &processTable, const QString &runtimeFolder)
    : processTable(processTable), runtimeFolder(runtimeFolder)
{
}

ShownDocument ProcessDocuments::shownDocument(quint32 processId, const QString &windowTitle) const
{
    ShownDocument shown;
    shown.status = Status::NotShown;
    if (processId == 0)
        return shown;
    const Process process(processTable + QLatin1Char('/') + QString::number(processId), runtimeFolder);
    const DocumentProgram *program = documentProgram(process.executable(), process.arguments);
    bool unsaved = false;
    const QString named = program ? documentInTitle(*program, windowTitle, &unsaved) : QString();
    if (named.isEmpty())
        return shown;
    shown.status = Status::Unsure;
    shown.program = program->kind;
    shown.programName = QString::fromUtf8(program->name);
    shown.name = fileName(named);
    shown.unsavedChanges = unsaved;
    const auto found = [&shown](const QString &path) {
        shown.status = Status::Found;
        shown.path = path;
        shown.name = fileName(path);
        return shown;
    };

    const QList<Candidate> candidates = process.candidates(program->kind);
    if (!isDocumentOfKind(shown.name, program->kind)) {
        // The document's own title, or no document of the panel's kinds: certain only with one file that is
        // there (the one open when several are), gone when every candidate names one file that is not.
        QStringList present;
        QStringList open;
        QStringList names;
        for (const Candidate &candidate : candidates) {
            if (isFile(candidate.path))
                (candidate.open ? open : present) << candidate.path;
            names << fileName(candidate.path);
        }
        names.removeDuplicates();
        if (program->naming == TitleNaming::FileOrMetadata &&
            (open.size() == 1 || present.size() + open.size() == 1))
            return found(open.isEmpty() ? present.first() : open.first());
        if (present.isEmpty() && open.isEmpty() && names.size() == 1) {
            shown.status = Status::Gone;
            shown.name = names.first();
        }
        return shown;
    }
    if (named.startsWith(QLatin1Char('/')) || named.startsWith(QLatin1String("~/"))) {
        const QString path =
            process.outside(named.startsWith(QLatin1Char('~')) ? QDir::homePath() + named.mid(1) : named);
        if (isFile(path))
            return found(path);
        shown.status = Status::Gone;
        return shown;
    }

    // The candidates of that name; failing them, a file of that name beside them or in the working folder.
    // Paths stay as they are: a sandboxed process's files are reached through its root link, which a
    // canonical path would leave.
    QStringList matches;
    QStringList openMatches;
    QStringList folders = {process.outsideWorkingFolder()};
    bool missing = false;
    for (const Candidate &candidate : candidates) {
        folders << QFileInfo(candidate.path).path();
        if (fileName(candidate.path) != shown.name)
            continue;
        if (!QFileInfo::exists(candidate.path)) {
            missing = true;
        } else if (isFile(candidate.path) && !matches.contains(candidate.path)) {
            matches << candidate.path;
            if (candidate.open)
                openMatches << candidate.path;
        }
    }
    folders.removeAll(QString());
    const bool searchFolders = matches.isEmpty() && !missing;
    for (const QString &folder : searchFolders ? folders : QStringList()) {
        const QString path = QDir::cleanPath(folder + QLatin1Char('/') + shown.name);
        if (isFile(path) && !matches.contains(path))
            matches << path;
    }
    if (matches.size() == 1)
        return found(matches.first());
    if (openMatches.size() == 1)
        return found(openMatches.first());
    if (matches.isEmpty() && missing)
        shown.status = Status::Gone;
    return shown;
}

}  // namespace platform
