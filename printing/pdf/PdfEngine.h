#pragma once

#include "base/Records.h"

#include <QByteArray>
#include <QMutexLocker>
#include <QSize>
#include <QString>

#include <memory>

class PdfiumApi;
class QIODevice;

// The built-in PDF engine: prints a PDF without any outside viewer by rendering each page with the PDFium
// library (loaded at run time from beside the application) and painting the bitmaps onto a QPrinter for the
// preset's printer. Error texts are English details that callers embed in their own translated messages.
//
// A document open in the engine holds the engine's lock for its whole lifetime: two documents are never in
// the engine at once.
class PdfEngineDocument
{
public:
    // Loads the library (once per process; a failed load is final) and the document from `file`, block by
    // block as PDFium asks for them (no copy of the whole file): a random-access device, open for reading,
    // that stays open while the object lives.
    explicit PdfEngineDocument(QIODevice &file);
    ~PdfEngineDocument();
    PdfEngineDocument(const PdfEngineDocument &) = delete;
    PdfEngineDocument &operator=(const PdfEngineDocument &) = delete;

    // Empty when the document is open; else why it is not.
    const QString &error() const { return failure; }
    int pageCount() const { return pages; }

    // Prints every page with the preset's settings (the copies on the printer object). Empty on success,
    // else why the job failed (the pages drawn so far make up the job).
    QString print(const PrintPreset &preset);

    // The bitmap size of one page of `widthPoints` x `heightPoints` for a printer of `printerDpi`: rendered
    // at the printer's resolution clamped to 144..300 dpi, at most 5000 pixels on a side.
    static QSize renderSize(float widthPoints, float heightPoints, int printerDpi);
    // Render flags handed to PDFium: annotations and printing, plus grayscale for presets not in colour.
    static int renderFlags(const PrintPreset &preset);

private:
    QMutexLocker<QMutex> lock;
    PdfiumApi &api;
    struct FileAccess;
    std::unique_ptr<FileAccess> access;  // outlives the document PDFium reads through it
    void *document = nullptr;
    int pages = 0;
    QString failure;
};
