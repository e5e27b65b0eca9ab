#include "platform/linux/LpOptions.h"

#include "base/I18n.h"
#include "platform/ProcessGuards.h"

#include <QDir>
#include <QFile>

#include <cups/cups.h>

#include <algorithm>

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

bool LpOptionsFile::load(const QString &filePath, QString *failure)
{
    path = filePath;
    setContent(QByteArray());
    QFile file(filePath);
    existed = file.exists();
    if (!existed)
        return true;
    if (!file.open(QIODevice::ReadOnly)) {
        if (failure)
            *failure = I18n::text("The file %1 could not be read: %2")
                           .arg(QDir::toNativeSeparators(filePath), file.errorString());
        return false;
    }
    setContent(file.readAll());
    return true;
}

void LpOptionsFile::setContent(const QByteArray &content)
{
    lines.clear();
    existed = true;
    finalNewline = content.isEmpty() || content.endsWith('\n');
    if (content.isEmpty())
        return;
    QList<QByteArray> raw = content.split('\n');
    if (finalNewline)
        raw.removeLast();
    for (const QByteArray &line : raw)
        lines.append(parseLine(line));
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

bool LpOptionsFile::save(QString *failure, bool removeWhenEmpty) const
{
    if (removeWhenEmpty && lines.isEmpty())
        return removeFileDurably(path, failure);
    // A new file gets the permissions lpoptions gives it.
    return writeFileDurably(path, content(), failure,
                            QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                                QFileDevice::ReadOther);
}

LpOptionsFile::Line LpOptionsFile::parseLine(const QByteArray &raw)
{
    Line line;
    line.raw = raw;
    int i = 0;
    while (i < raw.size() && isBlank(raw.at(i)))
        ++i;
    line.keywordStart = i;
    while (i < raw.size() && !isBlank(raw.at(i)) && raw.at(i) != '\r')
        ++i;
    line.keywordEnd = i;
    const QByteArray keyword = raw.mid(line.keywordStart, i - line.keywordStart).toLower();
    if (keyword != "dest" && keyword != "default")
        return line;
    while (i < raw.size() && isBlank(raw.at(i)))
        ++i;
    const int start = i;
    while (i < raw.size() && !isBlank(raw.at(i)) && raw.at(i) != '\r')
        ++i;
    if (i == start)
        return line;
    line.entry = true;
    line.isDefault = keyword == "default";
    line.destination = QString::fromUtf8(raw.mid(start, i - start));
    line.destinationEnd = i;
    while (i < raw.size() && isBlank(raw.at(i)))
        ++i;
    line.optionsStart = i;
    int end = raw.size();
    while (end > i && (isBlank(raw.at(end - 1)) || raw.at(end - 1) == '\r'))
        --end;
    line.optionsEnd = end;
    return line;
}

int LpOptionsFile::indexOf(const QString &destination) const
{
    for (int i = 0; i < lines.size(); ++i) {
        if (lines.at(i).entry && lines.at(i).destination.compare(destination, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

int LpOptionsFile::defaultIndex() const
{
    for (int i = 0; i < lines.size(); ++i) {
        if (lines.at(i).entry && lines.at(i).isDefault)
            return i;
    }
    return -1;
}

QString LpOptionsFile::destinationAt(int index) const
{
    return lines.at(index).destination;
}

QByteArray LpOptionsFile::optionsAt(int index) const
{
    const Line &line = lines.at(index);
    return line.entry ? line.raw.mid(line.optionsStart, line.optionsEnd - line.optionsStart) : QByteArray();
}

void LpOptionsFile::setLine(int index, const QByteArray &raw)
{
    lines[index] = parseLine(raw);
}

void LpOptionsFile::insertLine(int index, const QByteArray &raw)
{
    lines.insert(std::clamp(index, 0, int(lines.size())), parseLine(raw));
}

void LpOptionsFile::removeLine(int index)
{
    lines.removeAt(index);
}

void LpOptionsFile::setDefaultAt(int index, bool isDefault)
{
    const Line &line = lines.at(index);
    if (!line.entry || line.isDefault == isDefault)
        return;
    QByteArray raw = line.raw;
    raw.replace(line.keywordStart, line.keywordEnd - line.keywordStart, isDefault ? "Default" : "Dest");
    setLine(index, raw);
}

void LpOptionsFile::setOptionsAt(int index, const QByteArray &options)
{
    const Line &line = lines.at(index);
    if (!line.entry || optionsAt(index) == options)
        return;
    // Without options before, the options go after the destination; without options after, so do the
    // blanks that separated them.
    const bool hadOptions = line.optionsEnd > line.optionsStart;
    const int from = hadOptions ? line.optionsStart : line.destinationEnd;
    const int to = hadOptions ? line.optionsEnd : line.optionsStart;
    QByteArray raw = line.raw.left(from);
    if (options.isEmpty())
        raw = line.raw.left(line.destinationEnd);
    else
        raw += (hadOptions ? QByteArray() : QByteArray(" ")) + options;
    raw += line.raw.mid(options.isEmpty() ? line.optionsEnd : to);
    setLine(index, raw);
}

int LpOptionsFile::appendLine(bool isDefault, const QString &destination, const QByteArray &options)
{
    QByteArray raw = (isDefault ? QByteArray("Default ") : QByteArray("Dest ")) + destination.toUtf8();
    if (!options.isEmpty())
        raw += ' ' + options;
    if (!lines.isEmpty() && lines.last().raw.endsWith('\r'))
        raw += '\r';
    lines.append(parseLine(raw));
    return int(lines.size()) - 1;
}

}  // namespace platform
