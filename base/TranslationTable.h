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
const std::vector<TranslationRow> &extraTranslationRows();

// Texts of one area each (base/translations/), so that the areas add texts in separate files.
// Printing and printer status: print routes, the printer settings switch, driver properties, status badges.
const std::vector<TranslationRow> &printingTranslationRows();
// The preset editor and the panel's stored settings (language, theme).
const std::vector<TranslationRow> &settingsTranslationRows();
// The panel's main window: cards, drop zone, notices, print history.
const std::vector<TranslationRow> &panelTranslationRows();
// The desktop integration: global hotkeys, tray, edge docking, foreground documents.
const std::vector<TranslationRow> &desktopTranslationRows();
// The command-line companion.
const std::vector<TranslationRow> &commandLineTranslationRows();
// The preset and history store.
const std::vector<TranslationRow> &storeTranslationRows();

// The lookup tables are built from translationRows(), extraTranslationRows(), printingTranslationRows(),
// settingsTranslationRows(), panelTranslationRows(), desktopTranslationRows(), commandLineTranslationRows()
// and storeTranslationRows(), in this order; a later row with the same English key replaces an earlier one.
