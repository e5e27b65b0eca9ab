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

// The user's lpoptions file (~/.cups/lpoptions): "Dest NAME[/INSTANCE] OPTIONS" and "Default NAME OPTIONS"
// lines. Edits touch only the lines of the destination they name; every other line keeps its bytes.
class LpOptionsFile
{
public:
    // The user's file: $HOME/.cups/lpoptions.
    static QString userPath();
    // The system's file: $CUPS_SERVERROOT/lpoptions, else /etc/cups/lpoptions.
    static QString systemPath();

    // Reads the file; a missing file is empty. False (with errno in *error) when it exists but cannot be
    // read.
    bool load(const QString &path, int *error = nullptr);
    // Writes the file atomically, or removes it when no line is left. False with errno in *error on failure.
    bool save(int *error = nullptr) const;

    // Destinations are queue names, or "queue/instance" for an instance.

    // The destination of the Default line; empty when there is none.
    QString defaultDestination() const;
    // Makes `destination` the Default line; a destination without a line gets one at the end. The previous
    // Default line becomes a Dest line in place, or goes when this process added it and it holds no options.
    void setDefaultDestination(const QString &destination);
    // Leaves the file without a Default line, the Default line treated as by setDefaultDestination.
    void clearDefaultDestination();
    // Whether the destination has a line of its own.
    bool hasLine(const QString &destination) const;

    // The option text of the destination's line exactly as written; empty when it has none.
    QByteArray optionText(const QString &destination) const;
    // Replaces the option text of the destination's line. A Dest line left without options is dropped; a
    // destination without a line gets a Dest line at the end when there are options.
    void setOptionText(const QString &destination, const QByteArray &options);

    // The file's bytes as they would be saved.
    QByteArray content() const;

private:
    struct Line
    {
        QByteArray raw;      // the line without its end of line, kept for lines nobody touches
        bool entry = false;  // a Dest or Default line
        bool isDefault = false;
        QString name;  // destination without instance
        QString instance;
        QByteArray options;
    };
    static Line parseLine(const QByteArray &raw);
    static void rebuild(Line &line);
    int indexOf(const QString &destination) const;
    void demoteDefault();

    QString path;
    QList<Line> lines;
    bool finalNewline = true;
};

}  // namespace platform
