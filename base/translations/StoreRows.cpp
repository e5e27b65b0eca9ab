#include "base/TranslationTable.h"

// Interface texts of the preset and history store (model/), shown by the panel and the command line alike.
// A feature of this area that needs a new user-visible text appends its row at the end of this list: all
// seven columns in the order English, simplified Chinese, traditional Chinese, Japanese, Korean, German,
// French, with natural interface wording and exactly the English text's placeholders (%1, %2, ...) and line
// breaks. An English key appears once across all the row lists.
const std::vector<TranslationRow> &storeTranslationRows()
{
    static const std::vector<TranslationRow> rows = {
        // Rows are appended below this line.
        {"The preset database %1 is an empty file. Move it elsewhere or delete it; a new, empty database is "
         "then created in its place.",
         "预设数据库 %1 是一个空文件。请将其移到别处或删除；之后会在原位置创建一个新的空数据库。",
         "預設資料庫 %1 是空白檔案。請將其移到別處或刪除；之後會在原位置建立新的空白資料庫。",
         "プリセット データベース %1 は空のファイルです。別の場所に移動するか削除してください。その後、同じ"
         "場所に新しい空のデータベースが作成されます。",
         "프리셋 데이터베이스 %1은(는) 빈 파일입니다. 다른 위치로 옮기거나 삭제하세요. 그러면 그 자리에 새 "
         "빈 데이터베이스가 만들어집니다.",
         "Die Vorgabendatenbank %1 ist eine leere Datei. Verschieben oder löschen Sie sie; dann wird an "
         "ihrer Stelle eine neue, leere Datenbank angelegt.",
         "La base de données des préréglages %1 est un fichier vide. Déplacez-le ou supprimez-le ; une "
         "nouvelle base vide sera alors créée à sa place."},
        {"The file %1 is not a preset database. Move it elsewhere; a new, empty database is then created in "
         "its place.",
         "文件 %1 不是预设数据库。请将其移到别处；之后会在原位置创建一个新的空数据库。",
         "檔案 %1 不是預設資料庫。請將其移到別處；之後會在原位置建立新的空白資料庫。",
         "ファイル %1 はプリセット データベースではありません。別の場所に移動してください。その後、同じ場所"
         "に新しい空のデータベースが作成されます。",
         "파일 %1은(는) 프리셋 데이터베이스가 아닙니다. 다른 위치로 옮기세요. 그러면 그 자리에 새 빈 데이터"
         "베이스가 만들어집니다.",
         "Die Datei %1 ist keine Vorgabendatenbank. Verschieben Sie sie; dann wird an ihrer Stelle eine "
         "neue, leere Datenbank angelegt.",
         "Le fichier %1 n’est pas une base de données des préréglages. Déplacez-le ; une nouvelle base vide "
         "sera alors créée à sa place."},
        {"Cannot open the preset database %1: %2\nCheck that the file and its folder may be read and "
         "written, or move the file elsewhere to start with an empty database.",
         "无法打开预设数据库 %1：%2\n请检查该文件及其文件夹是否可以读写，或将该文件移到别处，以空数据库重新"
         "开始。",
         "無法開啟預設資料庫 %1：%2\n請檢查該檔案及其資料夾是否可以讀寫，或將該檔案移到別處，以空白資料庫重"
         "新開始。",
         "プリセット データベース %1 を開けません: %2\nファイルとそのフォルダーを読み書きできるか確認するか"
         "、ファイルを別の場所に移動して空のデータベースで始めてください。",
         "프리셋 데이터베이스 %1을(를) 열 수 없습니다: %2\n파일과 해당 폴더를 읽고 쓸 수 있는지 확인하거나, "
         "파일을 다른 위치로 옮겨 빈 데이터베이스로 시작하세요.",
         "Die Vorgabendatenbank %1 kann nicht geöffnet werden: %2\nPrüfen Sie, ob die Datei und ihr Ordner "
         "gelesen und geschrieben werden dürfen, oder verschieben Sie die Datei, um mit einer leeren "
         "Datenbank zu beginnen.",
         "Impossible d’ouvrir la base de données des préréglages %1 : %2\nVérifiez que le fichier et son "
         "dossier sont accessibles en lecture et en écriture, ou déplacez le fichier pour repartir d’une "
         "base vide."},
    };
    return rows;
}
