#pragma once

#include <QString>

// Qt's own catalogues (qtbase_*.qm) for the texts Qt itself shows: standard dialog buttons, the colour
// dialog, context menus of text fields. One translator at a time is installed on the application.
namespace QtTranslations {

// Qt's locale name of one of the panel's language codes ("zh-Hans" -> "zh_CN"); empty for an unknown code.
QString qtLocaleName(const QString &languageCode);

// Removes the catalogue installed before and installs Qt's catalogue of `languageCode` from `directory`
// (by default Qt's translations folder), with the panel's own wording of a few Qt texts in front of it.
// Returns whether Qt's catalogue was installed; a language without a catalogue there leaves Qt's English
// texts, which is not an error.
bool apply(const QString &languageCode, const QString &directory = QString());

}  // namespace QtTranslations
