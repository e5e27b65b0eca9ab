#pragma once

#include <QString>

#include <memory>

class DocumentFile;
class QTemporaryDir;

// A copy of a checked document for a program outside this one that needs a file name (Acrobat, the desktop's
// handler for Word documents): written from the opened file into a folder of its own, with the document's
// file name, in the process's own temporary folder (platform::OwnTemporaryFolder, readable by the user
// alone). The copy is removed when the object goes, unless the outside program may still read it; then it
// goes with the process's folder, or, after an interrupted job, at the next start.
class PrivateCopy
{
public:
    explicit PrivateCopy(DocumentFile &document);
    ~PrivateCopy();
    PrivateCopy(const PrivateCopy &) = delete;
    PrivateCopy &operator=(const PrivateCopy &) = delete;

    bool isValid() const { return !filePath.isEmpty(); }
    QString path() const { return filePath; }
    // When not valid: one translated line naming the document and why no copy could be made.
    QString failure() const { return failureText; }
    // The outside program may still read the copy: it stays until the next start's clean-up.
    void keep();

private:
    std::unique_ptr<QTemporaryDir> folder;
    QString filePath;
    QString failureText;
};
