#pragma once

#include <QDateTime>
#include <QString>

// The value records shared by the store, the print routes and the panel. Every field is public. The print
// options are enumerations; their words in the database and on the command line are in base/PrintOptions.h.

enum class ColorMode { Color, Mono };
enum class DuplexMode { Simplex, Duplex };
// The binding edge; it has an effect only when the preset prints double-sided.
enum class DuplexEdge { Long, Short };

struct PrintPreset
{
    int id = 0;
    QString title;
    ColorMode colorMode = ColorMode::Mono;
    DuplexMode duplexMode = DuplexMode::Duplex;
    DuplexEdge duplexEdge = DuplexEdge::Long;
    QString paperSize;
    QString printerName;
    QString backgroundColor;
    int copies = 1;
    bool useDriverSettings = false;
    QString hotkey;
    int sortOrder = 0;
    // PDFs (and the PDFs made of Word documents) print with the built-in engine, never as PDF on the printer.
    bool builtInPdfEngine = false;
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
