#include "base/TranslationTable.h"

// Interface texts of the preset editor and the panel's stored settings (language, theme). A feature of this
// area that needs a new user-visible text appends its row at the end of this list: all seven columns in the
// order English, simplified Chinese, traditional Chinese, Japanese, Korean, German, French, with natural
// interface wording and exactly the English text's placeholders (%1, %2, ...) and line breaks. An English key
// appears once across all the row lists. Example:
//     {"Printer", "打印机", "印表機", "プリンター", "프린터", "Drucker", "Imprimante"},
const std::vector<TranslationRow> &settingsTranslationRows()
{
    static const std::vector<TranslationRow> rows = {
        // Rows are appended below this line.
    };
    return rows;
}
