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
        // A second start hands its files to the running panel; starting with the session; Wayland desktops.
        {"Start with the session", "随会话启动", "隨工作階段啟動", "セッション開始時に起動",
         "세션과 함께 시작", "Mit der Sitzung starten", "Démarrer avec la session"},
        {"The start with the session cannot be changed: %1", "无法更改随会话启动设置：%1",
         "無法變更隨工作階段啟動設定：%1", "セッション開始時の起動を変更できません: %1",
         "세션과 함께 시작 설정을 변경할 수 없습니다: %1",
         "Der Start mit der Sitzung lässt sich nicht ändern: %1",
         "Le démarrage avec la session ne peut pas être modifié : %1"},
        {"%1 cannot be written: %2", "无法写入 %1：%2", "無法寫入 %1：%2", "%1 に書き込めません: %2",
         "%1에 쓸 수 없습니다: %2", "%1 kann nicht geschrieben werden: %2", "Impossible d’écrire %1 : %2"},
        {"%1 cannot be removed: %2", "无法删除 %1：%2", "無法刪除 %1：%2", "%1 を削除できません: %2",
         "%1을(를) 삭제할 수 없습니다: %2", "%1 kann nicht entfernt werden: %2",
         "Impossible de supprimer %1 : %2"},
        {"%1 cannot be changed.", "无法更改 %1。", "無法變更 %1。", "%1 を変更できません。",
         "%1을(를) 변경할 수 없습니다.", "%1 kann nicht geändert werden.", "Impossible de modifier %1."},
        {"There is no printer preset to print %1 with yet. Add a printer preset, then print the files again.",
         "还没有可用于打印 %1 的打印预设。请先添加一个打印预设，然后重新打印这些文件。",
         "尚無可用於列印 %1 的列印預設。請先新增一個列印預設，然後重新列印這些檔案。",
         "%1 を印刷するプリセットがまだありません。プリセットを追加してから、もう一度印刷してください。",
         "%1을(를) 인쇄할 프린터 프리셋이 아직 없습니다. 프리셋을 추가한 후 파일을 다시 인쇄하세요.",
         "Es gibt noch keine Druckervorgabe, um %1 zu drucken. Legen Sie eine an und drucken Sie die Dateien "
         "dann erneut.",
         "Aucun préréglage d’imprimante pour imprimer %1 pour l’instant. Ajoutez-en un, puis imprimez de "
         "nouveau les fichiers."},
        {"No printer preset has the id or title \"%1\"; %2 was not printed.",
         "没有 ID 或名称为“%1”的打印预设；%2 未打印。", "沒有 ID 或名稱為「%1」的列印預設；%2 未列印。",
         "ID または名前が「%1」のプリセットはありません。%2 は印刷されませんでした。",
         "ID 또는 이름이 \"%1\"인 프린터 프리셋이 없습니다. %2은(는) 인쇄되지 않았습니다.",
         "Keine Druckervorgabe hat die ID oder den Namen „%1“; %2 wurde nicht gedruckt.",
         "Aucun préréglage n’a l’identifiant ou le nom « %1 » ; %2 n’a pas été imprimé."},
        {"Another Ollavan Quick panel is running but does not answer.",
         "另一个 Ollavan Quick 面板正在运行，但没有响应。", "另一個 Ollavan Quick 面板正在執行，但沒有回應。",
         "別の Ollavan Quick パネルが実行中ですが、応答しません。",
         "다른 Ollavan Quick 패널이 실행 중이지만 응답하지 않습니다.",
         "Ein anderes Ollavan-Quick-Panel läuft, antwortet aber nicht.",
         "Un autre panneau Ollavan Quick est en cours d’exécution mais ne répond pas."},
        {"Another start of Ollavan Quick holds %1.", "Ollavan Quick 的另一次启动占用了 %1。",
         "Ollavan Quick 的另一次啟動佔用了 %1。", "Ollavan Quick の別の起動が %1 を使用中です。",
         "Ollavan Quick의 다른 실행이 %1을(를) 사용 중입니다.",
         "Ein anderer Start von Ollavan Quick hält %1.", "Un autre démarrage d’Ollavan Quick occupe %1."},
        {"The panel's channel %1 cannot be opened: %2", "无法打开面板的通道 %1：%2",
         "無法開啟面板的通道 %1：%2", "パネルのチャネル %1 を開けません: %2",
         "패널 채널 %1을(를) 열 수 없습니다: %2", "Der Kanal des Panels %1 lässt sich nicht öffnen: %2",
         "Impossible d’ouvrir le canal du panneau %1 : %2"},
        {"The panel's channel %1 belongs to another user.", "面板的通道 %1 属于另一个用户。",
         "面板的通道 %1 屬於另一位使用者。", "パネルのチャネル %1 は別のユーザーのものです。",
         "패널 채널 %1은(는) 다른 사용자의 것입니다.",
         "Der Kanal des Panels %1 gehört einem anderen Benutzer.",
         "Le canal du panneau %1 appartient à un autre utilisateur."},
        {"The panel's channel cannot be named: %1", "无法确定面板通道的名称：%1",
         "無法確定面板通道的名稱：%1", "パネルのチャネル名を決められません: %1",
         "패널 채널의 이름을 정할 수 없습니다: %1", "Der Kanal des Panels lässt sich nicht benennen: %1",
         "Impossible de nommer le canal du panneau : %1"},
        {"The folder %1 cannot be made: %2", "无法创建文件夹 %1：%2", "無法建立資料夾 %1：%2",
         "フォルダー %1 を作成できません: %2", "폴더 %1을(를) 만들 수 없습니다: %2",
         "Der Ordner %1 lässt sich nicht anlegen: %2", "Impossible de créer le dossier %1 : %2"},
        {"The folder %1 is not private to this user.", "文件夹 %1 不是此用户专用的。",
         "資料夾 %1 不是此使用者專用的。", "フォルダー %1 はこのユーザー専用ではありません。",
         "폴더 %1은(는) 이 사용자 전용이 아닙니다.", "Der Ordner %1 gehört nicht allein diesem Benutzer.",
         "Le dossier %1 n’est pas réservé à cet utilisateur."},
        {"Later starts of Ollavan Quick cannot reach this panel: %1",
         "之后启动的 Ollavan Quick 无法连接此面板：%1", "之後啟動的 Ollavan Quick 無法連線此面板：%1",
         "後から起動した Ollavan Quick はこのパネルに接続できません: %1",
         "나중에 실행한 Ollavan Quick이 이 패널에 연결할 수 없습니다: %1",
         "Spätere Starts von Ollavan Quick erreichen dieses Panel nicht: %1",
         "Les démarrages suivants d’Ollavan Quick ne peuvent pas joindre ce panneau : %1"},
        {"ollavan-quick: unknown option \"%1\"", "ollavan-quick：未知选项“%1”",
         "ollavan-quick：未知選項「%1」", "ollavan-quick: 不明なオプション「%1」",
         "ollavan-quick: 알 수 없는 옵션 \"%1\"", "ollavan-quick: unbekannte Option „%1“",
         "ollavan-quick : option inconnue « %1 »"},
        {"ollavan-quick: --preset takes one preset id or title, followed by the files to print",
         "ollavan-quick：--preset 需要一个预设 ID 或名称，后跟要打印的文件",
         "ollavan-quick：--preset 需要一個預設 ID 或名稱，後接要列印的檔案",
         "ollavan-quick: --preset にはプリセットの ID または名前を 1 "
         "つ指定し、続けて印刷するファイルを指定します",
         "ollavan-quick: --preset에는 프리셋 ID 또는 이름 하나와 그 뒤에 인쇄할 파일이 필요합니다",
         "ollavan-quick: --preset erwartet eine Vorgaben-ID oder einen Namen, gefolgt von den zu druckenden "
         "Dateien",
         "ollavan-quick : --preset attend un identifiant ou un nom de préréglage, suivi des fichiers à "
         "imprimer"},
        {"Usage: %1", "用法：%1", "用法：%1", "使い方: %1", "사용법: %1", "Aufruf: %1", "Utilisation : %1"},
        {"This Wayland desktop has no X display for the panel: it cannot see the document in front, so "
         "hotkeys "
         "and clicks cannot print it. Drop files onto a card to print them.",
         "此 Wayland 桌面没有可供面板使用的 X "
         "显示：面板无法识别前台文档，因此快捷键和点击无法打印它。请将文件拖放到卡片上进行打印。",
         "此 Wayland 桌面沒有可供面板使用的 X "
         "顯示：面板無法識別前景文件，因此快速鍵和點按無法列印它。請將檔案拖放到卡片上進行列印。",
         "この Wayland デスクトップにはパネルが使える X "
         "ディスプレイがありません。前面の文書を認識できないため、ホットキーやクリックでは印刷できません。フ"
         "ァイルをカードにドロップして印刷してください。",
         "이 Wayland 데스크톱에는 패널이 사용할 X 디스플레이가 없습니다. 앞에 있는 문서를 알 수 없으므로 "
         "단축키나 클릭으로 인쇄할 수 없습니다. 파일을 카드에 끌어다 놓아 인쇄하세요.",
         "Dieser Wayland-Desktop bietet dem Panel keine X-Anzeige: Es erkennt das Dokument im Vordergrund "
         "nicht, "
         "daher können Tastenkürzel und Klicks es nicht drucken. Ziehen Sie Dateien auf eine Karte, um sie "
         "zu "
         "drucken.",
         "Ce bureau Wayland n’offre pas d’affichage X au panneau : il ne voit pas le document au premier "
         "plan, "
         "les raccourcis et les clics ne peuvent donc pas l’imprimer. Déposez les fichiers sur une carte "
         "pour "
         "les imprimer."},
        {"The window in front is a Wayland window, which the panel cannot read. Drop its file onto a card to "
         "print "
         "it.",
         "前台窗口是 Wayland 窗口，面板无法读取。请将其文件拖放到卡片上进行打印。",
         "前景視窗是 Wayland 視窗，面板無法讀取。請將其檔案拖放到卡片上進行列印。",
         "前面のウィンドウは Wayland "
         "ウィンドウのため、パネルから読み取れません。そのファイルをカードにドロップして印刷してください。",
         "앞에 있는 창은 패널이 읽을 수 없는 Wayland 창입니다. 해당 파일을 카드에 끌어다 놓아 인쇄하세요.",
         "Das Fenster im Vordergrund ist ein Wayland-Fenster, das das Panel nicht lesen kann. Ziehen Sie "
         "seine "
         "Datei auf eine Karte, um sie zu drucken.",
         "La fenêtre au premier plan est une fenêtre Wayland, que le panneau ne peut pas lire. Déposez son "
         "fichier sur une carte pour l’imprimer."},
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
