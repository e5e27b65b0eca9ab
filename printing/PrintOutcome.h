#pragma once

#include <QString>

// The result of a print request. Callers treat Sent as success; the values are the command line's exit
// codes for a print.
enum class PrintResult : int {
    Sent = 0,         // the job was handed over (spooler, application or handler)
    NoDocument = 1,   // the foreground application has no printable document, or not the expected one
    Unsupported = 2,  // the file is missing or of a kind that is not printed
    Failed = 3        // printing was attempted and failed; the message says why
};

// What the history needs of a job.
struct JobDetails
{
    QString jobName;    // the document's name; empty when the route has none
    int pageCount = 0;  // pages in one copy; 0 when no count was found
};

// What a print request (and each route) hands back: the result, one translated line for the user (on
// success too) and the job's details.
struct PrintOutcome
{
    PrintResult result = PrintResult::Failed;
    QString message;
    JobDetails details;

    bool sent() const { return result == PrintResult::Sent; }
};
