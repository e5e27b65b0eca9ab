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
        // The print system's failures described in Linux terms (platform::systemText) and the files they
        // name.
        {"Unable to apply printer settings: %1", "无法应用打印机设置：%1", "無法套用印表機設定：%1",
         "プリンター設定を適用できません: %1", "프린터 설정을 적용할 수 없습니다: %1",
         "Druckereinstellungen können nicht angewendet werden: %1",
         "Impossible d’appliquer les paramètres de l’imprimante : %1"},
        {"Unable to open printer \"%1\": %2", "无法打开打印机“%1”：%2", "無法開啟印表機「%1」：%2",
         "プリンター「%1」を開けません: %2", "프린터 \"%1\"을(를) 열 수 없습니다: %2",
         "Drucker „%1“ kann nicht geöffnet werden: %2", "Impossible d’ouvrir l’imprimante « %1 » : %2"},
        {"Unable to save printer driver properties: %1", "无法保存打印机驱动程序属性：%1",
         "無法儲存印表機驅動程式內容：%1", "プリンタードライバーのプロパティを保存できません: %1",
         "프린터 드라이버 속성을 저장할 수 없습니다: %1",
         "Eigenschaften des Druckertreibers können nicht gespeichert werden: %1",
         "Impossible d’enregistrer les propriétés du pilote d’imprimante : %1"},
        {"The file %1 could not be written: %2", "无法写入文件 %1：%2", "無法寫入檔案 %1：%2",
         "ファイル %1 に書き込めませんでした: %2", "파일 %1에 쓸 수 없습니다: %2",
         "Die Datei %1 konnte nicht geschrieben werden: %2", "Impossible d’écrire le fichier %1 : %2"},
        {"The file %1 could not be read: %2", "无法读取文件 %1：%2", "無法讀取檔案 %1：%2",
         "ファイル %1 を読み取れませんでした: %2", "파일 %1을(를) 읽을 수 없습니다: %2",
         "Die Datei %1 konnte nicht gelesen werden: %2", "Impossible de lire le fichier %1 : %2"},
        {"The file %1 could not be removed: %2", "无法删除文件 %1：%2", "無法刪除檔案 %1：%2",
         "ファイル %1 を削除できませんでした: %2", "파일 %1을(를) 삭제할 수 없습니다: %2",
         "Die Datei %1 konnte nicht entfernt werden: %2", "Impossible de supprimer le fichier %1 : %2"},
        {"The file %1 could not be opened: %2", "无法打开文件 %1：%2", "無法開啟檔案 %1：%2",
         "ファイル %1 を開けませんでした: %2", "파일 %1을(를) 열 수 없습니다: %2",
         "Die Datei %1 konnte nicht geöffnet werden: %2", "Impossible d’ouvrir le fichier %1 : %2"},
        {"The file %1 is damaged.", "文件 %1 已损坏。", "檔案 %1 已損毀。", "ファイル %1 は破損しています。",
         "파일 %1이(가) 손상되었습니다.", "Die Datei %1 ist beschädigt.", "Le fichier %1 est endommagé."},
        {"The print server %1 cannot be reached.", "无法连接打印服务器 %1。", "無法連線到列印伺服器 %1。",
         "印刷サーバー %1 に接続できません。", "인쇄 서버 %1에 연결할 수 없습니다.",
         "Der Druckserver %1 ist nicht erreichbar.", "Le serveur d’impression %1 est injoignable."},
        // The settings switch: its turn, its journal and what it says after an interrupted print.
        {"The printer settings could not be switched safely: %1", "无法安全地切换打印机设置：%1",
         "無法安全地切換印表機設定：%1", "プリンター設定を安全に切り替えられませんでした: %1",
         "프린터 설정을 안전하게 전환할 수 없습니다: %1",
         "Die Druckereinstellungen konnten nicht sicher umgestellt werden: %1",
         "Impossible de changer les paramètres de l’imprimante en toute sécurité : %1"},
        {"Waiting for another print job to finish…", "正在等待另一个打印作业完成…",
         "正在等待另一個列印工作完成…", "別の印刷ジョブの終了を待っています…",
         "다른 인쇄 작업이 끝나기를 기다리는 중…", "Warten, bis ein anderer Druckauftrag fertig ist…",
         "En attente de la fin d’une autre impression…"},
        {"Another print job kept the printer settings busy for %1 s; nothing was printed.",
         "另一个打印作业占用打印机设置已达 %1 秒，未打印任何内容。",
         "另一個列印工作佔用印表機設定已達 %1 秒，未列印任何內容。",
         "別の印刷ジョブがプリンター設定を %1 秒間使用していたため、何も印刷されませんでした。",
         "다른 인쇄 작업이 %1초 동안 프린터 설정을 사용하고 있어 아무것도 인쇄하지 않았습니다.",
         "Ein anderer Druckauftrag hat die Druckereinstellungen %1 s lang belegt; es wurde nichts gedruckt.",
         "Une autre impression a occupé les paramètres de l’imprimante pendant %1 s ; rien n’a été imprimé."},
        {"Restored your printer settings after an interrupted print: default printer \"%1\", options of "
         "\"%2\".",
         "已在打印中断后恢复您的打印机设置：默认打印机“%1”，“%2”的选项。",
         "已在列印中斷後還原您的印表機設定：預設印表機「%1」、「%2」的選項。",
         "中断された印刷の後、プリンター設定を元に戻しました: 既定のプリンター「%1」、「%2」のオプション。",
         "중단된 인쇄 후 프린터 설정을 복원했습니다: 기본 프린터 \"%1\", \"%2\"의 옵션.",
         "Ihre Druckereinstellungen wurden nach einem unterbrochenen Druck wiederhergestellt: "
         "Standarddrucker „%1“, Optionen von „%2“.",
         "Vos paramètres d’impression ont été rétablis après une impression interrompue : imprimante par "
         "défaut « %1 », options de « %2 »."},
        {"Restored your printer settings after an interrupted print: no default printer, options of \"%1\".",
         "已在打印中断后恢复您的打印机设置：无默认打印机，“%1”的选项。",
         "已在列印中斷後還原您的印表機設定：無預設印表機，「%1」的選項。",
         "中断された印刷の後、プリンター設定を元に戻しました: 既定のプリンターなし、「%1」のオプション。",
         "중단된 인쇄 후 프린터 설정을 복원했습니다: 기본 프린터 없음, \"%1\"의 옵션.",
         "Ihre Druckereinstellungen wurden nach einem unterbrochenen Druck wiederhergestellt: kein "
         "Standarddrucker, Optionen von „%1“.",
         "Vos paramètres d’impression ont été rétablis après une impression interrompue : aucune imprimante "
         "par défaut, options de « %1 »."},
        {"Restored your printer settings after an interrupted print: options of \"%1\".",
         "已在打印中断后恢复您的打印机设置：“%1”的选项。", "已在列印中斷後還原您的印表機設定：「%1」的選項。",
         "中断された印刷の後、プリンター設定を元に戻しました: 「%1」のオプション。",
         "중단된 인쇄 후 프린터 설정을 복원했습니다: \"%1\"의 옵션.",
         "Ihre Druckereinstellungen wurden nach einem unterbrochenen Druck wiederhergestellt: Optionen von "
         "„%1“.",
         "Vos paramètres d’impression ont été rétablis après une impression interrompue : options de « %1 "
         "»."},
        {"Your printer settings from an interrupted print could not be restored: %1",
         "无法恢复中断的打印所更改的打印机设置：%1", "無法還原中斷的列印所變更的印表機設定：%1",
         "中断された印刷で変更されたプリンター設定を元に戻せませんでした: %1",
         "중단된 인쇄로 변경된 프린터 설정을 복원할 수 없습니다: %1",
         "Ihre Druckereinstellungen konnten nach einem unterbrochenen Druck nicht wiederhergestellt werden: "
         "%1",
         "Impossible de rétablir vos paramètres d’impression après une impression interrompue : %1"},
    };
    return rows;
}
