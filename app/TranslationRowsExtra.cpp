#include "app/TranslationTable.h"

// Interface texts beyond the core rows of TranslationTable.cpp. Any feature that needs a new user-visible
// text appends its row at the end of this list (append-only, shared by every feature): all seven columns
// in the order English, simplified Chinese, traditional Chinese, Japanese, Korean, German, French, with
// natural interface wording and exactly the English text's placeholders (%1, %2, ...) and line breaks.
// Example:
//     {"Printer", "打印机", "印表機", "プリンター", "프린터", "Drucker", "Imprimante"},
const std::vector<TranslationRow> &extraTranslationRows()
{
    static const std::vector<TranslationRow> rows = {
        // Rows are appended below this line.
    };
    return rows;
}
