#include "app/TranslationTable.h"

const std::vector<TranslationRow> &translationRows()
{
    static const std::vector<TranslationRow> rows = {
        {"Color", "彩色", "彩色", "カラー", "컬러", "Farbe", "Couleur"},
        {"Print history", "打印历史", "列印記錄", "印刷履歴", "인쇄 기록", "Druckverlauf",
         "Historique d’impression"},
    };
    return rows;
}
