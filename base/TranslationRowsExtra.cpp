#include "base/TranslationTable.h"

// Interface texts beyond the core rows of TranslationTable.cpp. Any feature that needs a new user-visible
// text appends its row at the end of this list (append-only, shared by every feature): all seven columns
// in the order English, simplified Chinese, traditional Chinese, Japanese, Korean, German, French, with
// natural interface wording and exactly the English text's placeholders (%1, %2, ...) and line breaks.
// Example:
//     {"Printer", "打印机", "印表機", "プリンター", "프린터", "Drucker", "Imprimante"},
const std::vector<TranslationRow> &extraTranslationRows()
{
    static const std::vector<TranslationRow> rows = {
        // Rows are appended below this line.
        // The print system named on Linux where Windows is named on Windows (platform/SystemTexts.h).
        {"No CUPS default printer is configured.", "未配置 CUPS 默认打印机。", "未設定 CUPS 預設印表機。",
         "CUPS の既定のプリンターが設定されていません。", "CUPS 기본 프린터가 구성되어 있지 않습니다.",
         "Es ist kein CUPS-Standarddrucker eingerichtet.",
         "Aucune imprimante CUPS par défaut n’est configurée."},
        {"The CUPS default printer could not be read.", "无法读取 CUPS 默认打印机。",
         "無法讀取 CUPS 預設印表機。", "CUPS の既定のプリンターを読み取れませんでした。",
         "CUPS 기본 프린터를 읽을 수 없습니다.", "Der CUPS-Standarddrucker konnte nicht gelesen werden.",
         "L’imprimante CUPS par défaut n’a pas pu être lue."},
        {"CUPS could not find this printer.", "CUPS 找不到此打印机。", "CUPS 找不到此印表機。",
         "CUPS でこのプリンターが見つかりませんでした。", "CUPS에서 이 프린터를 찾을 수 없습니다.",
         "CUPS konnte diesen Drucker nicht finden.", "CUPS n’a pas trouvé cette imprimante."},
        {"CUPS reports that the printer is offline.", "CUPS 报告此打印机处于脱机状态。",
         "CUPS 回報此印表機已離線。", "CUPS からプリンターがオフラインであると報告されています。",
         "CUPS에서 프린터가 오프라인이라고 보고합니다.", "CUPS meldet, dass der Drucker offline ist.",
         "CUPS signale que l’imprimante est hors ligne."},
        {"CUPS print queue status", "CUPS 打印队列状态", "CUPS 列印佇列狀態", "CUPS 印刷キューの状態",
         "CUPS 인쇄 대기열 상태", "Status der CUPS-Druckwarteschlange",
         "État de la file d’attente d’impression CUPS"},
        {"SNMP did not respond; CUPS queue reports no error · %1", "SNMP 未响应；CUPS 队列未报告错误 · %1",
         "SNMP 未回應；CUPS 佇列未回報錯誤 · %1",
         "SNMP の応答なし。CUPS キューはエラーを報告していません · %1",
         "SNMP 응답 없음. CUPS 대기열에서 보고된 오류 없음 · %1",
         "SNMP hat nicht geantwortet; die CUPS-Warteschlange meldet keinen Fehler · %1",
         "SNMP n’a pas répondu ; la file d’attente CUPS ne signale aucune erreur · %1"},
        // The Windows wording of the printer-open failure (its CUPS variant is above).
        {"Unable to open printer \"%1\" (Windows error %2)", "无法打开打印机“%1”（Windows 错误 %2）",
         "無法開啟印表機「%1」（Windows 錯誤 %2）", "プリンター「%1」を開けません（Windows エラー %2）",
         "프린터 \"%1\"을(를) 열 수 없습니다(Windows 오류 %2)",
         "Drucker „%1“ kann nicht geöffnet werden (Windows-Fehler %2)",
         "Impossible d’ouvrir l’imprimante « %1 » (erreur Windows %2)"},
        // The placeholder of the hotkey field (Qt's key-sequence editor shows its own English text
        // otherwise).
        {"Press shortcut", "请按快捷键", "請按快速鍵", "ショートカットキーを押してください",
         "바로 가기 키를 누르세요", "Tastenkombination drücken", "Appuyez sur un raccourci"},
    };
    return rows;
}
