#include "base/TranslationTable.h"

// Interface texts of the desktop integration (global hotkeys, tray, edge docking, foreground documents). A
// feature of this area that needs a new user-visible text appends its row at the end of this list: all seven
// columns in the order English, simplified Chinese, traditional Chinese, Japanese, Korean, German, French,
// with natural interface wording and exactly the English text's placeholders (%1, %2, ...) and line breaks.
// An English key appears once across all the row lists. Example:
//     {"Printer", "打印机", "印表機", "プリンター", "프린터", "Drucker", "Imprimante"},
const std::vector<TranslationRow> &desktopTranslationRows()
{
    static const std::vector<TranslationRow> rows = {
        // Rows are appended below this line.
        // The file managers' print actions and the preset chooser they open.
        {"Print with preset", "使用预设打印", "使用預設列印", "プリセットで印刷", "프리셋으로 인쇄",
         "Mit Vorgabe drucken", "Imprimer avec un préréglage"},
        {"Print %1 with:", "选择打印 %1 所用的预设：", "選擇列印 %1 所用的預設：",
         "%1 を印刷するプリセット:", "%1을(를) 인쇄할 프리셋:", "%1 drucken mit:", "Imprimer %1 avec :"},
        {"Print", "打印", "列印", "印刷", "인쇄", "Drucken", "Imprimer"},
        {"There are no presets yet. Add one in the Ollavan Quick panel.",
         "还没有打印预设。请在 Ollavan Quick 面板中添加一个。",
         "尚無列印預設。請在 Ollavan Quick 面板中新增一個。",
         "印刷プリセットがまだありません。Ollavan Quick のパネルで追加してください。",
         "아직 프린터 프리셋이 없습니다. Ollavan Quick 패널에서 추가하세요.",
         "Es gibt noch keine Druckervorgaben. Legen Sie eine im Ollavan-Quick-Panel an.",
         "Aucun préréglage pour l’instant. Ajoutez-en un dans le panneau Ollavan Quick."},
    };
    return rows;
}
