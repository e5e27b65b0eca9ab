#pragma once

#include <QDateTime>
#include <QString>

// The value records shared by the store, the print routes and the panel. Every field is public; the
// option words ("color", "mono", "simplex", "duplex", "long", "short") are the program's print vocabulary.

struct PrintPreset
{
    int id = 0;
    QString title;
    QString colorMode;
    QString duplexMode;
    QString duplexEdge = QStringLiteral("long");
    QString paperSize;
    QString printerName;
    QString backgroundColor;
    int copies = 1;
    bool useDriverSettings = false;
    QString hotkey;
    int sortOrder = 0;
};

struct PrintHistoryEntry
{
    int id = 0;
    QDateTime createdAt;
    QString jobName;
    QString printerName;
    QString parameters;
    int copies = 1;
    int pageCount = 0;
    int totalPages = 0;
};

struct AppLanguage
{
    QString code;
    QString nativeName;
    QString shortLabel;
};
