#pragma once

namespace platform {

// Texts that name the operating system's print system. Takes the Windows wording of such a text (a key of the
// translation table) and answers the key this platform shows instead: the same text on Windows, the variant
// that names CUPS on Linux (each variant is a key of the translation table too). A text without a variant is
// answered unchanged. Use it as I18n::text(platform::systemText("... Windows ...")).
const char *systemText(const char *windowsWording);

}  // namespace platform
