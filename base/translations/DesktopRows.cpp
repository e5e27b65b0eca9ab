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
        // The document in front, found by the desktop's table of document programs.
        {"Ready to print %1", "可以打印 %1", "可以列印 %1", "%1 を印刷できます",
         "%1을(를) 인쇄할 수 있습니다", "Bereit zum Drucken: %1", "Prêt à imprimer %1"},
        {"Ready to print %1 as last saved: its unsaved changes will not be printed.",
         "可以按上次保存的内容打印 %1：未保存的更改不会被打印。",
         "可以按上次儲存的內容列印 %1：未儲存的變更不會被列印。",
         "%1 を最後に保存した内容で印刷できます。保存されていない変更は印刷されません。",
         "%1을(를) 마지막으로 저장된 상태로 인쇄할 수 있습니다. 저장하지 않은 변경 내용은 인쇄되지 않습니다.",
         "Bereit zum Drucken: %1 im zuletzt gespeicherten Stand. Nicht gespeicherte Änderungen werden nicht "
         "gedruckt.",
         "Prêt à imprimer %1 tel qu’enregistré en dernier : ses modifications non enregistrées ne seront pas "
         "imprimées."},
        {"Click to print %1", "单击打印 %1", "按一下列印 %1", "クリックすると %1 を印刷します",
         "클릭하여 %1 인쇄", "Klicken, um %1 zu drucken", "Cliquez pour imprimer %1"},
        {"Sent %1 as last saved: its unsaved changes were not printed.",
         "已按上次保存的内容发送 %1：未保存的更改没有打印。",
         "已按上次儲存的內容傳送 %1：未儲存的變更沒有列印。",
         "%1 を最後に保存した内容で送信しました。保存されていない変更は印刷されていません。",
         "%1을(를) 마지막으로 저장된 상태로 보냈습니다. 저장하지 않은 변경 내용은 인쇄되지 않았습니다.",
         "%1 wurde im zuletzt gespeicherten Stand gesendet. Nicht gespeicherte Änderungen wurden nicht "
         "gedruckt.",
         "%1 a été envoyé tel qu’enregistré en dernier : ses modifications non enregistrées n’ont pas été "
         "imprimées."},
        {"Ollavan Quick cannot tell which file %1 shows. Drag the file onto a printer preset to print it.",
         "Ollavan Quick 无法确定 %1 显示的是哪个文件。请将文件拖到打印预设上进行打印。",
         "Ollavan Quick 無法確定 %1 顯示的是哪個檔案。請將檔案拖曳到列印預設上進行列印。",
         "Ollavan Quick は %1 が表示しているファイルを特定できません。ファイルをプリンター プリセットに"
         "ドラッグして印刷してください。",
         "Ollavan Quick에서 %1이(가) 표시하는 파일을 알 수 없습니다. 파일을 프린터 프리셋으로 끌어다 놓아 "
         "인쇄하세요.",
         "Ollavan Quick kann nicht feststellen, welche Datei %1 anzeigt. Ziehen Sie die Datei auf eine "
         "Druckervorgabe, um sie zu drucken.",
         "Ollavan Quick ne peut pas déterminer quel fichier %1 affiche. Faites glisser le fichier sur un "
         "préréglage d’imprimante pour l’imprimer."},
        {"%1 was deleted or renamed after %2 opened it, so nothing was printed. Drag the file onto a printer "
         "preset to print it.",
         "%1 在 %2 打开后已被删除或重命名，因此没有打印任何内容。请将文件拖到打印预设上进行打印。",
         "%1 在 %2 開啟後已被刪除或重新命名，因此沒有列印任何內容。請將檔案拖曳到列印預設上進行列印。",
         "%1 は %2 で開いた後に削除または名前変更されたため、何も印刷されませんでした。ファイルをプリンター "
         "プリセットにドラッグして印刷してください。",
         "%1이(가) %2에서 열린 뒤 삭제되었거나 이름이 바뀌어 아무것도 인쇄하지 않았습니다. 파일을 프린터 "
         "프리셋으로 끌어다 놓아 인쇄하세요.",
         "%1 wurde gelöscht oder umbenannt, nachdem %2 es geöffnet hatte; es wurde nichts gedruckt. Ziehen "
         "Sie "
         "die Datei auf eine Druckervorgabe, um sie zu drucken.",
         "%1 a été supprimé ou renommé après son ouverture dans %2 : rien n’a été imprimé. Faites glisser le "
         "fichier sur un préréglage d’imprimante pour l’imprimer."},
        // LibreOffice's PDF of a document in front or dropped, refused by the print queue.
    };
    return rows;
}
