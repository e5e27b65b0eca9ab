#include "base/TranslationTable.h"

// Interface texts of the panel's main window (cards, drop zone, notices, print history). A feature of this
// area that needs a new user-visible text appends its row at the end of this list: all seven columns in the
// order English, simplified Chinese, traditional Chinese, Japanese, Korean, German, French, with natural
// interface wording and exactly the English text's placeholders (%1, %2, ...) and line breaks. An English key
// appears once across all the row lists. Example:
//     {"Printer", "打印机", "印表機", "プリンター", "프린터", "Drucker", "Imprimante"},
const std::vector<TranslationRow> &panelTranslationRows()
{
    static const std::vector<TranslationRow> rows = {
        // Rows are appended below this line.
        {"Print PDFs with the built-in engine", "使用内置引擎打印 PDF", "使用內建引擎列印 PDF",
         "PDF を内蔵エンジンで印刷する", "PDF를 내장 엔진으로 인쇄",
         "PDFs mit der integrierten Engine drucken", "Imprimer les PDF avec le moteur intégré"},
        {"Sends each page as a picture instead of the PDF itself, for printers whose firmware mishandles "
         "PDFs.",
         "将每页作为图像发送，而不是发送 PDF 本身，适用于固件处理 PDF 有问题的打印机。",
         "將每頁作為影像傳送，而不是傳送 PDF 本身，適用於韌體處理 PDF 有問題的印表機。",
         "PDF そのものではなく各ページを画像として送信します。ファームウェアが PDF "
         "を正しく扱えないプリンター向けです。",
         "PDF 자체 대신 각 페이지를 그림으로 보냅니다. 펌웨어가 PDF를 제대로 처리하지 못하는 프린터용입니다.",
         "Sendet jede Seite als Bild statt des PDFs selbst, für Drucker, deren Firmware PDFs falsch "
         "verarbeitet.",
         "Envoie chaque page sous forme d’image au lieu du PDF lui-même, pour les imprimantes dont le "
         "micrologiciel "
         "gère mal les PDF."},
    };
    return rows;
}
