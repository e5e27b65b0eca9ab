#include "base/I18n.h"
#include "base/TranslationTable.h"
#include "platform/SystemTexts.h"

#include <QDirIterator>
#include <QRegularExpression>
#include <QtTest>

namespace {

const QString literal = "\"(?:\\\\.|[^\"\\\\])*\"";
const QString literals = "((?:" + literal + "\\s*)+)";

// The text of adjacent literals ("a" "b"), escapes resolved.
QString textOf(const QString &literalsInCode)
{
    QString text;
    for (auto it = QRegularExpression(literal).globalMatch(literalsInCode); it.hasNext();)
        text += it.next().captured().chopped(1).mid(1);
    return text.replace("\\n", "\n").replace("\\\"", "\"").replace("\\\\", "\\");
}

// Every text the program's sources pass to I18n::text as literals, directly, through platform::systemText
// (then this platform's variant too) or as either branch of a condition; with the file it stands in.
QMap<QString, QString> textsInSources()
{
    static const QRegularExpression comment(literal + "|'(?:\\\\.|[^'\\\\])*'|//[^\n]*|/\\*.*?\\*/",
                                            QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression call("\\bI18n::text\\(\\s*(?:" + literals +
                                         "|platform::systemText\\(\\s*" + literals + "\\)|[^\"();]*\\?\\s*" +
                                         literals + ":\\s*" + literals + ")\\s*\\)");
    QMap<QString, QString> found;
    for (const char *folder : {"base", "app", "model", "printing", "printers", "platform", "ui", "cli"}) {
        QDirIterator files(OLLAVAN_SOURCE_DIR "/" + QString(folder), {"*.cpp", "*.h"}, QDir::Files,
                           QDirIterator::Subdirectories);
        while (files.hasNext()) {
            QFile file(files.next());
            file.open(QIODevice::ReadOnly);
            QString code = QString::fromUtf8(file.readAll());
            for (auto it = comment.globalMatch(code); it.hasNext();) {
                const QRegularExpressionMatch token = it.next();
                if (token.captured().startsWith('/'))  // blanked out, so that nothing in a comment counts
                    code.replace(token.capturedStart(), token.capturedLength(),
                                 QString(token.capturedLength(), ' '));
            }
            for (auto calls = call.globalMatch(code); calls.hasNext();) {
                const QRegularExpressionMatch match = calls.next();
                for (int i = 1; i <= 4; ++i) {
                    if (!match.captured(i).isEmpty())
                        found.insert(textOf(match.captured(i)), file.fileName());
                }
                if (!match.captured(2).isEmpty())
                    found.insert(platform::systemText(textOf(match.captured(2)).toUtf8().constData()),
                                 file.fileName());
            }
        }
    }
    return found;
}

QStringList placeholdersAndBreaks(const QString &text)
{
    QStringList marks;
    for (auto it = QRegularExpression("%\\d|\n").globalMatch(text); it.hasNext();)
        marks << it.next().captured();
    marks.sort();
    return marks;
}

}  // namespace

class TestTranslations : public QObject
{
    Q_OBJECT

private slots:
    void everyTextHasAFullRow()
    {
        QMap<QString, int> rowsOfKey;
        QStringList defects;
        for (const auto *rows :
             {&translationRows(), &extraTranslationRows(), &printingTranslationRows(),
              &settingsTranslationRows(), &panelTranslationRows(), &desktopTranslationRows(),
              &commandLineTranslationRows(), &storeTranslationRows()}) {
            for (const TranslationRow &row : *rows) {
                const QString key = QString::fromUtf8(row.en);
                if (++rowsOfKey[key] == 2)
                    defects << "a second row: " + key;
                for (const char *cell : {row.zhHans, row.zhHant, row.ja, row.ko, row.de, row.fr}) {
                    const QString text = QString::fromUtf8(cell);
                    if (text.trimmed().isEmpty() || placeholdersAndBreaks(text) != placeholdersAndBreaks(key))
                        defects << key + " -> " + text;
                }
            }
        }
        const QMap<QString, QString> texts = textsInSources();
        for (auto text = texts.cbegin(); text != texts.cend(); ++text) {
            if (!rowsOfKey.contains(text.key()))
                defects << text.value() + ": no row for " + text.key();
        }
        QVERIFY(texts.contains("Database error") &&
                texts.contains(platform::systemText("Windows print queue status")));
        QVERIFY2(defects.isEmpty(), qPrintable(defects.join(QLatin1Char(10))));
    }
};

QTEST_GUILESS_MAIN(TestTranslations)
#include "tst_translations.moc"
