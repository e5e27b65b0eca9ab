#pragma once

#include "base/Records.h"

#include <QMutex>
#include <QSize>
#include <QString>

// The built-in PDF engine: prints a PDF without any outside viewer by rendering each page with the PDFium
// library (loaded at run time from beside the application) and painting the bitmaps onto a QPrinter for the
// preset's printer. Error texts are English details that callers embed in their own translated messages.
// Every operation holds pdfiumMutex for its whole duration: two jobs through the engine never overlap.
class PdfiumFallback
{
public:
    // Loads the library once; a failed load is final for the life of the process.
    static bool isAvailable(QString *error = nullptr);

    // Opens the document and renders its first page as a test; *pageCount receives the page count.
    static bool inspectDocument(const QString &filePath, int *pageCount = nullptr, QString *error = nullptr);

    // Prints every page with the preset's settings (copies on the printer object). *pageCount receives the
    // document's page count as soon as it is known, before any page is printed.
    static bool printDocument(const QString &filePath, const PrintPreset &preset, int *pageCount = nullptr,
                              QString *error = nullptr);

    // The bitmap size of one page of `widthPoints` x `heightPoints` for a printer of `printerDpi`: rendered
    // at the printer's resolution clamped to 144..300 dpi, at most 5000 pixels on a side.
    static QSize renderSize(float widthPoints, float heightPoints, int printerDpi);

    // Render flags handed to PDFium: annotations and printing, plus grayscale for presets not in colour.
    static int renderFlags(const PrintPreset &preset);
};

// Serialises all PDFium use in the process.
extern QMutex pdfiumMutex;
