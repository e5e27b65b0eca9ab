#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

namespace platform {

// One option of a CUPS option string (name=value; a value may be empty).
using CupsOption = QPair<QString, QString>;

// Parses a CUPS option string ("copies=2 sides=two-sided-long-edge media=\"A4 plain\"") as libcups does;
// the result is sorted by name, a later duplicate replacing an earlier one.
QList<CupsOption> parseCupsOptions(const QByteArray &text);
// Writes options as lpoptions does: name=value separated by single spaces, values with blanks, quotes or
// backslashes in double quotes with backslash escapes.
QByteArray encodeCupsOptions(const QList<CupsOption> &options);

// An lpoptions file: "Dest NAME[/INSTANCE] [OPTIONS]" and "Default NAME[/INSTANCE] [OPTIONS]" lines (the
// keyword in any case) among comments, blank and unknown lines. Its bytes come back exactly as they were
// loaded: CRLF line ends, comments, unknown lines and a missing final newline included. An edit changes only
// the line it names, and keeps that line's spacing and line end. Destinations are queue names, or
// "queue/instance"; they compare without regard to case.
class LpOptionsFile
{
public:
    // The user's file: $HOME/.cups/lpoptions.
    static QString userPath();
    // The system's file: $CUPS_SERVERROOT/lpoptions, else /etc/cups/lpoptions.
    static QString systemPath();

    // Reads the file; a missing file is empty and exists() is false. False with a description in *failure
    // when it exists but cannot be read.
    bool load(const QString &path, QString *failure = nullptr);
    // Takes the bytes of a file (for a copy kept elsewhere).
    void setContent(const QByteArray &content);
    // The file's bytes as they would be saved.
    QByteArray content() const;
    bool exists() const { return existed; }
    // Writes the content back durably, or removes the file when `removeWhenEmpty` and no line is left.
    // False with a description in *failure.
    bool save(QString *failure = nullptr, bool removeWhenEmpty = false) const;

    int lineCount() const { return int(lines.size()); }
    // The destination's line (the first when there are several); -1 when it has none.
    int indexOf(const QString &destination) const;
    // The Default line; -1 when there is none.
    int defaultIndex() const;
    // The destination of a Dest or Default line; empty for any other line.
    QString destinationAt(int index) const;
    // A line's bytes without its "\n".
    QByteArray lineAt(int index) const { return lines.at(index).raw; }
    // The options of a Dest or Default line exactly as written, without the blanks around them.
    QByteArray optionsAt(int index) const;
    bool isDefaultAt(int index) const { return lines.at(index).isDefault; }

    void setLine(int index, const QByteArray &raw);
    void insertLine(int index, const QByteArray &raw);
    void removeLine(int index);
    // Makes the line the Default line or a Dest line: only its keyword changes.
    void setDefaultAt(int index, bool isDefault);
    // Replaces the options of a Dest or Default line, keeping everything around them.
    void setOptionsAt(int index, const QByteArray &options);
    // Appends a Dest or Default line for the destination, with the line end of the file's last line;
    // answers its index.
    int appendLine(bool isDefault, const QString &destination, const QByteArray &options);

private:
    struct Line
    {
        QByteArray raw;
        bool entry = false;  // a Dest or Default line
        bool isDefault = false;
        QString destination;
        int keywordStart = 0, keywordEnd = 0;  // the keyword's bytes
        int destinationEnd = 0;                // after the destination's bytes
        int optionsStart = 0, optionsEnd = 0;  // the options' bytes
    };
    static Line parseLine(const QByteArray &raw);

    QString path;
    QList<Line> lines;
    bool existed = false;
    bool finalNewline = true;
};

}  // namespace platform
