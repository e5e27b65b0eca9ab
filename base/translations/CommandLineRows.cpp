#include "base/TranslationTable.h"

// Interface texts of the command-line companion. A feature of this area that needs a new user-visible text
// appends its row at the end of this list: all seven columns in the order English, simplified Chinese,
// traditional Chinese, Japanese, Korean, German, French, with natural interface wording and exactly the
// English text's placeholders (%1, %2, ...) and line breaks. An English key appears once across all the row
// lists. Example:
//     {"Printer", "打印机", "印表機", "プリンター", "프린터", "Drucker", "Imprimante"},
const std::vector<TranslationRow> &commandLineTranslationRows()
{
    static const std::vector<TranslationRow> rows = {
        // Rows are appended below this line.
        {"Cannot read the database %1: %2\nTry again; if the error stays, move the file elsewhere to start "
         "with an empty database.",
         "无法读取数据库 %1：%2\n请重试；如果错误仍然存在，请将该文件移到别处，以空数据库重新开始。",
         "無法讀取資料庫 %1：%2\n請重試；如果錯誤仍然存在，請將該檔案移到別處，以空白資料庫重新開始。",
         "データベース %1 を読み取れません: %2\nもう一度お試しください。エラーが続く場合は、ファイルを別の場"
         "所に移動して空のデータベースで始めてください。",
         "데이터베이스 %1을(를) 읽을 수 없습니다: %2\n다시 시도하세요. 오류가 계속되면 파일을 다른 위치로 옮"
         "겨 빈 데이터베이스로 시작하세요.",
         "Die Datenbank %1 kann nicht gelesen werden: %2\nVersuchen Sie es erneut; bleibt der Fehler, "
         "verschieben Sie die Datei, um mit einer leeren Datenbank zu beginnen.",
         "Impossible de lire la base de données %1 : %2\nRéessayez ; si l’erreur persiste, déplacez le "
         "fichier pour repartir d’une base vide."},
        {"history: N must be a whole number from %1 to %2, not \"%3\"",
         "history：N 必须是 %1 到 %2 之间的整数，而不是“%3”",
         "history：N 必須是 %1 到 %2 之間的整數，而不是「%3」",
         "history: N には %1 から %2 までの整数を指定してください（「%3」は使えません）",
         "history: N은(는) %1에서 %2 사이의 정수여야 합니다(\"%3\"은(는) 사용할 수 없음)",
         "history: N muss eine ganze Zahl von %1 bis %2 sein, nicht „%3“",
         "history : N doit être un nombre entier de %1 à %2, et non « %3 »"},
        {"print: unknown option \"%1\"; put -- before a file whose name begins with -",
         "print：未知选项“%1”；文件名以 - 开头时，请在文件前加上 --",
         "print：未知的選項「%1」；檔名以 - 開頭時，請在檔案前加上 --",
         "print: 不明なオプション「%1」です。名前が - で始まるファイルの前には -- を付けてください",
         "print: 알 수 없는 옵션 \"%1\"입니다. 이름이 -로 시작하는 파일 앞에는 --를 붙이세요",
         "print: unbekannte Option „%1“; setzen Sie -- vor eine Datei, deren Name mit - beginnt",
         "print : option inconnue « %1 » ; placez -- avant un fichier dont le nom commence par -"},
    };
    return rows;
}
