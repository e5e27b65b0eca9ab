#pragma once

#include <QString>

#include <memory>

namespace platform {

// How handing a document to the desktop's print handler went.
struct HandlerAnswer
{
    enum class Status {
        Sent,       // the handler took the document
        MadePdf,    // the handler made a PDF of the document (pdfPath) for the caller to print
        NoHandler,  // nothing on this system prints documents of this kind
        Failed      // the handler could not be started or refused the document
    };
    Status status = Status::Failed;
    QString description;          // one translated line for the user when the document was not sent
    bool fileStillInUse = false;  // the handler may still read the file after answering: leave it in place
    QString pdfPath;              // with MadePdf: the PDF, in a folder beside the document's file
};

// The desktop's handler for printing Word and WPS documents. Windows: the program registered for the shell's
// "printto" verb (ShellVerbHandler), which prints with the printer's settings for the user as they are when
// it runs, which the caller's settings scope has made the preset's. Linux: LibreOffice makes a PDF of the
// document, which the caller prints.
class DocumentHandler
{
public:
    virtual ~DocumentHandler() = default;

    // Prints the document file on the named printer, or makes a PDF of it in a new folder beside it.
    virtual HandlerAnswer print(const QString &filePath, const QString &printerName) = 0;
    // The document's page count as the desktop knows it; 0 when it does not.
    virtual int pageCount(const QString &filePath) = 0;
};

// The process's handler: the system's own unless a test installed another.
DocumentHandler &documentHandler();
// Installs a replacement (tests); nullptr goes back to the system's own. Not owned.
void setDocumentHandlerForTesting(DocumentHandler *replacement);
// Defined once per platform (platform/win, platform/linux).
std::unique_ptr<DocumentHandler> createSystemDocumentHandler();

}  // namespace platform
