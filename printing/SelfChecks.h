#pragma once

#include <QString>

// The command-line self-checks of the printing setup: nothing is printed; the message is untranslated.
struct SelfCheck
{
    bool passed = false;
    QString message;
};

// Applies the settings switch to the default printer with clean driver defaults and undoes it at once.
SelfCheck checkDriverIsolation();
// Opens the PDF in Acrobat and prepares independent print parameters for the default printer, without
// submitting and without switching anything.
SelfCheck checkAcrobatIsolation(const QString &pdfPath);
