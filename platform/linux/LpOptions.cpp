#include "platform/linux/LpOptions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QSaveFile>
#include <QSet>

#include <cups/cups.h>

#include <algorithm>
#include <cerrno>

namespace platform {
namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool needsQuotes(const QString &value)
{
    for (QChar c : value) {
        if (c.isSpace() || c == QLatin1Char('"') || c == QLatin1Char('\'') || c == QLatin1Char('\\'))
            return true;
    }
    return false;
}

}  // namespace

QList<CupsOption> parseCupsOptions(const QByteArray &text)
{
    struct ParsedOptions
    {
        int count = 0;
        cups_option_t *options = nullptr;
        ~ParsedOptions() { cupsFreeOptions(count, options); }
    } parsed;
    parsed.count = cupsParseOptions(text.constData(), 0, &parsed.options);
    QList<CupsOption> options;
    for (int i = 0; i < parsed.count; ++i)
        options.append(
            {QString::fromUtf8(parsed.options[i].name), QString::fromUtf8(parsed.options[i].value)});
    std::sort(options.begin(), options.end(),
              [](const CupsOption &a, const CupsOption &b) { return a.first < b.first; });
    return options;
}

QByteArray encodeCupsOptions(const QList<CupsOption> &options)
{
    QByteArray text;
    for (const CupsOption &option : options) {
        if (!text.isEmpty())
            text += ' ';
        text += option.first.toUtf8();
        if (option.second.isEmpty())
            continue;
        text += '=';
        if (!needsQuotes(option.second)) {
            text += option.second.toUtf8();
            continue;
        }
        text += '"';
        for (char c : option.second.toUtf8()) {
            if (c == '"' || c == '\'' || c == '\\')
                text += '\\';
            text += c;
        }
        text += '"';
    }
    return text;
}

QString LpOptionsFile::userPath()
{
    return QDir::homePath() + QStringLiteral("/.cups/lpoptions");
}

QString LpOptionsFile::systemPath()
{
    const QByteArray root = qgetenv("CUPS_SERVERROOT");
    return (root.isEmpty() ? QStringLiteral("/etc/cups") : QString::fromLocal8Bit(root)) +
           QStringLiteral("/lpoptions");
}

bool LpOptionsFile::load(const QString &filePath, int *error)
{
    path = filePath;
    lines.clear();
    finalNewline = true;
    QFile file(filePath);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = EACCES;
        return false;
    }
    const QByteArray data = file.readAll();
    if (data.isEmpty())
        return true;
    finalNewline = data.endsWith('\n');
    QList<QByteArray> raw = data.split('\n');
    if (finalNewline)
        raw.removeLast();
    for (const QByteArray &line : raw)
        lines.append(parseLine(line));
    return true;
}

bool LpOptionsFile::save(int *error) const
{
    if (lines.isEmpty()) {
        QFile file(path);
        if (file.exists() && !file.remove()) {
            if (error)
                *error = EACCES;
            return false;
        }
        return true;
    }
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir(folder).exists() &&
        (!QDir().mkpath(folder) ||
         !QFile::setPermissions(folder,
                                QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner))) {
        if (error)
            *error = EACCES;
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = EACCES;
        return false;
    }
    // A new file gets the permissions lpoptions gives it; an existing one keeps its own.
    if (!QFile::exists(path)) {
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                            QFileDevice::ReadOther);
    }
    const QByteArray data = content();
    if (file.write(data) != data.size() || !file.commit()) {
        if (error)
            *error = EIO;
        return false;
    }
    return true;
}

QByteArray LpOptionsFile::content() const
{
    QByteArray data;
    for (int i = 0; i < lines.size(); ++i) {
        data += lines.at(i).raw;
        if (i + 1 < lines.size() || finalNewline)
            data += '\n';
    }
    return data;
}

LpOptionsFile::Line LpOptionsFile::parseLine(const QByteArray &raw)
{
    Line line;
    line.raw = raw;
    int i = 0;
    while (i < raw.size() && isBlank(raw.at(i)))
        ++i;
    int start = i;
    while (i < raw.size() && !isBlank(raw.at(i)))
        ++i;
    const QByteArray keyword = raw.mid(start, i - start).toLower();
    if (keyword != "dest" && keyword != "default")
        return line;
    while (i < raw.size() && isBlank(raw.at(i)))
        ++i;
    start = i;
    while (i < raw.size() && !isBlank(raw.at(i)))
        ++i;
    const QString destination = QString::fromUtf8(raw.mid(start, i - start));
    if (destination.isEmpty())
        return line;
    while (i < raw.size() && isBlank(raw.at(i)))
        ++i;
    line.entry = true;
    line.isDefault = keyword == "default";
    const int slash = destination.indexOf(QLatin1Char('/'));
    line.name = slash < 0 ? destination : destination.left(slash);
    line.instance = slash < 0 ? QString() : destination.mid(slash + 1);
    line.options = raw.mid(i);
    while (!line.options.isEmpty() && (isBlank(line.options.back()) || line.options.back() == '\r'))
        line.options.chop(1);
    return line;
}

void LpOptionsFile::rebuild(Line &line)
{
    line.raw = line.isDefault ? QByteArray("Default ") : QByteArray("Dest ");
    line.raw += line.name.toUtf8();
    if (!line.instance.isEmpty())
        line.raw += '/' + line.instance.toUtf8();
    if (!line.options.isEmpty())
        line.raw += ' ' + line.options;
}

int LpOptionsFile::indexOf(const QString &destination) const
{
    const int slash = destination.indexOf(QLatin1Char('/'));
    const QString name = slash < 0 ? destination : destination.left(slash);
    const QString instance = slash < 0 ? QString() : destination.mid(slash + 1);
    for (int i = 0; i < lines.size(); ++i) {
        const Line &line = lines.at(i);
        if (line.entry && line.name.compare(name, Qt::CaseInsensitive) == 0 &&
            line.instance.compare(instance, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

bool LpOptionsFile::hasLine(const QString &destination) const
{
    return indexOf(destination) >= 0;
}

QString LpOptionsFile::defaultDestination() const
{
    for (const Line &line : lines) {
        if (line.entry && line.isDefault)
            return line.instance.isEmpty() ? line.name : line.name + QLatin1Char('/') + line.instance;
    }
    return QString();
}

namespace {

// The destinations whose Default line this process added to the user's file because they had no line. When
// such a line becomes a Dest line again without options of its own it goes, so that switching the default
// away and back leaves the file as it was; a line the user had keeps its place.
QMutex addedDefaultsMutex;
QSet<QString> addedDefaults;

QString destinationKey(const QString &name, const QString &instance)
{
    return (instance.isEmpty() ? name : name + QLatin1Char('/') + instance).toLower();
}

}  // namespace

void LpOptionsFile::demoteDefault()
{
    QMutexLocker lock(&addedDefaultsMutex);
    for (int i = lines.size() - 1; i >= 0; --i) {
        Line &line = lines[i];
        if (!line.entry || !line.isDefault)
            continue;
        const QString key = destinationKey(line.name, line.instance);
        if (line.options.isEmpty() && addedDefaults.contains(key)) {
            addedDefaults.remove(key);
            lines.removeAt(i);
            continue;
        }
        line.isDefault = false;
        rebuild(line);
    }
}

void LpOptionsFile::clearDefaultDestination()
{
    demoteDefault();
}

void LpOptionsFile::setDefaultDestination(const QString &destination)
{
    const int current = indexOf(destination);
    if (current >= 0 && lines.at(current).isDefault)
        return;
    demoteDefault();
    const int index = indexOf(destination);
    if (index >= 0) {
        lines[index].isDefault = true;
        rebuild(lines[index]);
        return;
    }
    Line line;
    line.entry = true;
    line.isDefault = true;
    const int slash = destination.indexOf(QLatin1Char('/'));
    line.name = slash < 0 ? destination : destination.left(slash);
    line.instance = slash < 0 ? QString() : destination.mid(slash + 1);
    rebuild(line);
    lines.append(line);
    QMutexLocker lock(&addedDefaultsMutex);
    addedDefaults.insert(destinationKey(line.name, line.instance));
}

QByteArray LpOptionsFile::optionText(const QString &destination) const
{
    const int index = indexOf(destination);
    return index < 0 ? QByteArray() : lines.at(index).options;
}

void LpOptionsFile::setOptionText(const QString &destination, const QByteArray &options)
{
    const int index = indexOf(destination);
    if (index < 0) {
        if (options.isEmpty())
            return;
        Line line;
        line.entry = true;
        const int slash = destination.indexOf(QLatin1Char('/'));
        line.name = slash < 0 ? destination : destination.left(slash);
        line.instance = slash < 0 ? QString() : destination.mid(slash + 1);
        line.options = options;
        rebuild(line);
        lines.append(line);
        return;
    }
    Line &line = lines[index];
    if (line.options == options)
        return;
    if (options.isEmpty() && !line.isDefault) {
        lines.removeAt(index);
        return;
    }
    line.options = options;
    rebuild(line);
}

}  // namespace platform
