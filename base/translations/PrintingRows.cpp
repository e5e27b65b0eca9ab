#include "base/TranslationTable.h"

// Interface texts of printing and printer status (print routes, the printer settings switch, driver
// properties, status badges). A feature of this area that needs a new user-visible text appends its row at
// the end of this list: all seven columns in the order English, simplified Chinese, traditional Chinese,
// Japanese, Korean, German, French, with natural interface wording and exactly the English text's
// placeholders (%1, %2, ...) and line breaks. An English key appears once across all the row lists.
// Example:
//     {"Printer", "打印机", "印表機", "プリンター", "프린터", "Drucker", "Imprimante"},
const std::vector<TranslationRow> &printingTranslationRows()
{
    static const std::vector<TranslationRow> rows = {
        // Rows are appended below this line.
        {"%1 does not exist.", "%1 不存在。", "%1 不存在。", "%1 は存在しません。", "%1 파일이 없습니다.",
         "%1 existiert nicht.", "%1 n’existe pas."},
        {"%1 is not a regular file. Only document files can be printed.",
         "%1 不是普通文件。只能打印文档文件。", "%1 不是一般檔案。只能列印文件檔案。",
         "%1 は通常のファイルではありません。印刷できるのは文書ファイルだけです。",
         "%1은(는) 일반 파일이 아닙니다. 문서 파일만 인쇄할 수 있습니다.",
         "%1 ist keine normale Datei. Nur Dokumentdateien können gedruckt werden.",
         "%1 n’est pas un fichier ordinaire. Seuls les fichiers de documents peuvent être imprimés."},
        {"You may not read %1. Ask its owner for read access.", "您无权读取 %1。请向其所有者申请读取权限。",
         "您無權讀取 %1。請向其擁有者申請讀取權限。",
         "%1 を読み取る権限がありません。所有者に読み取り権限を依頼してください。",
         "%1을(를) 읽을 권한이 없습니다. 소유자에게 읽기 권한을 요청하세요.",
         "Sie dürfen %1 nicht lesen. Bitten Sie den Besitzer um Leserechte.",
         "Vous n’avez pas le droit de lire %1. Demandez l’accès en lecture à son propriétaire."},
        {"%1 could not be read: %2", "无法读取 %1：%2", "無法讀取 %1：%2", "%1 を読み取れませんでした: %2",
         "%1을(를) 읽을 수 없습니다: %2", "%1 konnte nicht gelesen werden: %2", "Impossible de lire %1 : %2"},
        {"%1 is empty: there is nothing to print.", "%1 是空文件，没有可打印的内容。",
         "%1 是空檔案，沒有可列印的內容。", "%1 は空です。印刷する内容がありません。",
         "%1이(가) 비어 있어 인쇄할 내용이 없습니다.", "%1 ist leer: Es gibt nichts zu drucken.",
         "%1 est vide : il n’y a rien à imprimer."},
        {"%1 is larger than 1 GiB and is not printed. Split it into smaller documents.",
         "%1 大于 1 GiB，不会打印。请将其拆分为较小的文档。",
         "%1 大於 1 GiB，不會列印。請將其拆分為較小的文件。",
         "%1 は 1 GiB を超えるため印刷しません。小さな文書に分割してください。",
         "%1은(는) 1GiB보다 커서 인쇄하지 않습니다. 더 작은 문서로 나누세요.",
         "%1 ist größer als 1 GiB und wird nicht gedruckt. Teilen Sie es in kleinere Dokumente auf.",
         "%1 dépasse 1 Gio et n’est pas imprimé. Divisez-le en documents plus petits."},
        {"The content of %1 is not a PDF, a Word or WPS document or an image. Save it in one of these "
         "formats and print it again.",
         "%1 的内容不是 PDF、Word 或 WPS 文档，也不是图像。请将其另存为其中一种格式后再打印。",
         "%1 的內容不是 PDF、Word 或 WPS 文件，也不是影像。請將其另存為其中一種格式後再列印。",
         "%1 の内容は PDF、Word/WPS "
         "文書、画像のいずれでもありません。これらの形式で保存してから印刷してください。",
         "%1의 내용은 PDF, Word 또는 WPS 문서나 이미지가 아닙니다. 이 형식 중 하나로 저장한 뒤 다시 "
         "인쇄하세요.",
         "Der Inhalt von %1 ist weder ein PDF noch ein Word- oder WPS-Dokument noch ein Bild. Speichern Sie "
         "die Datei in einem dieser Formate und drucken Sie sie erneut.",
         "Le contenu de %1 n’est ni un PDF, ni un document Word ou WPS, ni une image. Enregistrez-le dans "
         "l’un de ces formats, puis imprimez-le à nouveau."},
        {"%1 changed while it was being read. Print it again.", "读取 %1 时文件发生了变化。请重新打印。",
         "讀取 %1 時檔案發生了變化。請重新列印。",
         "読み取り中に %1 が変更されました。もう一度印刷してください。",
         "읽는 동안 %1이(가) 변경되었습니다. 다시 인쇄하세요.",
         "%1 hat sich beim Lesen geändert. Drucken Sie es erneut.",
         "%1 a changé pendant sa lecture. Imprimez-le à nouveau."},
        {"%1 could not be copied for printing: %2", "无法复制 %1 以供打印：%2", "無法複製 %1 以供列印：%2",
         "印刷用に %1 をコピーできませんでした: %2", "인쇄를 위해 %1을(를) 복사할 수 없습니다: %2",
         "%1 konnte nicht zum Drucken kopiert werden: %2", "Impossible de copier %1 pour l’impression : %2"},
        {"The built-in PDF engine could not print %1: %2", "内置 PDF 引擎无法打印 %1：%2",
         "內建 PDF 引擎無法列印 %1：%2", "内蔵 PDF エンジンで %1 を印刷できませんでした: %2",
         "내장 PDF 엔진이 %1을(를) 인쇄할 수 없습니다: %2",
         "Die integrierte PDF-Engine konnte %1 nicht drucken: %2",
         "Le moteur PDF intégré n’a pas pu imprimer %1 : %2"},
        {"%1 is too large an image to print (%2 × %3 pixels). Make it smaller in an image editor and print "
         "it again.",
         "%1 图像过大，无法打印（%2 × %3 像素）。请在图像编辑器中缩小后再打印。",
         "%1 影像過大，無法列印（%2 × %3 像素）。請在影像編輯器中縮小後再列印。",
         "%1 は画像が大きすぎて印刷できません（%2 × %3 "
         "ピクセル）。画像編集ソフトで小さくしてから印刷してください。",
         "%1 이미지가 너무 커서 인쇄할 수 없습니다(%2 × %3 픽셀). 이미지 편집기에서 크기를 줄인 뒤 다시 "
         "인쇄하세요.",
         "%1 ist als Bild zu groß zum Drucken (%2 × %3 Pixel). Verkleinern Sie es in einem "
         "Bildbearbeitungsprogramm und drucken Sie es erneut.",
         "%1 est une image trop grande pour être imprimée (%2 × %3 pixels). Réduisez-la dans un éditeur "
         "d’images, puis imprimez-la à nouveau."},
        {"Cannot print %1: LibreOffice is needed to print Word and WPS documents. Install the "
         "libreoffice-writer package.",
         "无法打印 %1：打印 Word 和 WPS 文档需要 LibreOffice。请安装 libreoffice-writer 软件包。",
         "無法列印 %1：列印 Word 和 WPS 文件需要 LibreOffice。請安裝 libreoffice-writer 套件。",
         "%1 を印刷できません: Word および WPS 文書の印刷には LibreOffice が必要です。libreoffice-writer "
         "パッケージをインストールしてください。",
         "%1을(를) 인쇄할 수 없습니다: Word 및 WPS 문서를 인쇄하려면 LibreOffice가 필요합니다. "
         "libreoffice-writer 패키지를 설치하세요.",
         "%1 kann nicht gedruckt werden: Zum Drucken von Word- und WPS-Dokumenten wird LibreOffice benötigt. "
         "Installieren Sie das Paket libreoffice-writer.",
         "Impossible d’imprimer %1 : LibreOffice est nécessaire pour imprimer les documents Word et WPS. "
         "Installez le paquet libreoffice-writer."},
        {"LibreOffice could not be started to print %1.", "无法启动 LibreOffice 来打印 %1。",
         "無法啟動 LibreOffice 來列印 %1。", "%1 を印刷するために LibreOffice を起動できませんでした。",
         "%1을(를) 인쇄하기 위해 LibreOffice를 시작할 수 없습니다.",
         "LibreOffice konnte nicht gestartet werden, um %1 zu drucken.",
         "Impossible de démarrer LibreOffice pour imprimer %1."},
        {"Sent to CUPS as PDF: %1", "已作为 PDF 发送到 CUPS：%1", "已作為 PDF 傳送到 CUPS：%1",
         "PDF として CUPS に送信しました: %1", "PDF로 CUPS에 보냈습니다: %1", "Als PDF an CUPS gesendet: %1",
         "Envoyé à CUPS en PDF : %1"},
        {"Sent to CUPS as a PDF made by LibreOffice: %1", "已作为 LibreOffice 生成的 PDF 发送到 CUPS：%1",
         "已作為 LibreOffice 產生的 PDF 傳送到 CUPS：%1",
         "LibreOffice で作成した PDF として CUPS に送信しました: %1",
         "LibreOffice에서 만든 PDF로 CUPS에 보냈습니다: %1",
         "Als von LibreOffice erstelltes PDF an CUPS gesendet: %1",
         "Envoyé à CUPS en PDF créé par LibreOffice : %1"},
        {"LibreOffice did not make a PDF of %1 within %2 seconds.",
         "LibreOffice 未能在 %2 秒内生成 %1 的 PDF。", "LibreOffice 未能在 %2 秒內產生 %1 的 PDF。",
         "LibreOffice は %2 秒以内に %1 の PDF を作成しませんでした。",
         "LibreOffice가 %2초 안에 %1의 PDF를 만들지 못했습니다.",
         "LibreOffice hat innerhalb von %2 Sekunden kein PDF von %1 erstellt.",
         "LibreOffice n’a pas créé de PDF de %1 en %2 secondes."},
        {"LibreOffice could not make a PDF of %1.", "LibreOffice 无法生成 %1 的 PDF。",
         "LibreOffice 無法產生 %1 的 PDF。", "LibreOffice は %1 の PDF を作成できませんでした。",
         "LibreOffice가 %1의 PDF를 만들 수 없습니다.", "LibreOffice konnte kein PDF von %1 erstellen.",
         "LibreOffice n’a pas pu créer de PDF de %1."},
    };
    return rows;
}
