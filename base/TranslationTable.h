#pragma once

#include <vector>

// One translation row: the English text (the lookup key) and its six translations, every cell UTF-8.
// Placeholders (%1, %2, ...) and line breaks appear in every column exactly as in the English key.
struct TranslationRow
{
    const char *en;
    const char *zhHans;
    const char *zhHant;
    const char *ja;
    const char *ko;
    const char *de;
    const char *fr;
};

// The program's core interface texts (base/TranslationTable.cpp), in their fixed order.
const std::vector<TranslationRow> &translationRows();

// Texts added by the individual features beyond the core rows (base/TranslationRowsExtra.cpp).
// The lookup tables are built from translationRows() followed by extraTranslationRows(); a later row
// with the same English key replaces an earlier one.
const std::vector<TranslationRow> &extraTranslationRows();
