#pragma once

#include "FakeAutomation.h"
#include "FakeWindowSystem.h"

namespace ollavan::testsupport {

// The object models of the automation servers the print routes drive, on the fake automation registry.
// Every object logs its calls to the shared log under the label given in the comments; tests change
// members, results and failures through the public objects.

// Word or WPS: labels "<label>" (the application), "<label>-window", "<label>-document".
struct FakeWordProcessor
{
    // The application's main window `window`, owned by process `processId`, is added to `windows`.
    FakeWordProcessor(FakeAutomationLog *log, FakeWindowSystem *windows, const QString &label,
                      quintptr window, quint32 processId);

    // Registers `progId` with this instance running.
    void registerOn(FakeAutomationRegistry &registry, const QString &progId);

    quintptr window;
    quint32 processId;
    // Hwnd (i4 window), ActiveWindow (object), ActivePrinter (string), ActiveDocument (object).
    FakeAutomationObject application;
    // Hwnd (i4 window).
    FakeAutomationObject activeWindow;
    // Name ("Report.docx"), ComputeStatistics(i4:2) -> i4 pages (3), PrintOut(...) -> empty.
    FakeAutomationObject document;
};

// Adobe Acrobat: labels "acrobat" (application), "avdoc" (the document view), "pddoc", "js" (the
// document's JavaScript object), "printparams", "constants", "handling", "interactionlevel".
struct FakeAcrobat
{
    // Acrobat's process `processId` owns window `window` titled like the document.
    FakeAcrobat(FakeAutomationLog *log, FakeWindowSystem *windows, quintptr window, quint32 processId);

    // Registers "AcroExch.App" (running or not: GetActiveObject finds `application` only when running;
    // CoCreateInstance always gives `application`) and "AcroExch.AVDoc" (CoCreateInstance gives `view`).
    void registerOn(FakeAutomationRegistry &registry, bool running);

    quintptr window;
    quint32 processId;
    // Hide(), Exit(), GetActiveDoc() -> object avdoc.
    FakeAutomationObject application;
    // Open(path, title) -> true, Close(no-save flag) -> true, GetTitle() -> "Quarterly.pdf", GetPDDoc() ->
    // pddoc.
    FakeAutomationObject view;
    // GetNumPages() -> i4 4, GetJSObject() -> object js.
    FakeAutomationObject document;
    // path (string, "/c/Reports/Quarterly.pdf"), getPrintParams() -> object printparams, print(params).
    FakeAutomationObject javaScript;
    // constants (object); writable printerName, firstPage, lastPage, pageHandling, nUpNumPagesH,
    // nUpNumPagesV, nUpAutoRotate, nUpPageBorder, interactive.
    FakeAutomationObject printParams;
    // handling (object), interactionLevel (object).
    FakeAutomationObject constants;
    // shrink (i4 2), fit (i4 1).
    FakeAutomationObject handling;
    // silent (i4 2), full (i4 1).
    FakeAutomationObject interactionLevel;
};

}  // namespace ollavan::testsupport
