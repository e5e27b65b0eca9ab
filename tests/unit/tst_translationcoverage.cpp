#include "base/TranslationTable.h"
#include "platform/SystemTexts.h"

#include <QtTest>

#include <QDirIterator>
#include <QRegularExpression>

namespace {

const QStringList columnCodes = {"en", "zh-Hans", "zh-Hant", "ja", "ko", "de", "fr"};

QStringList cells(const TranslationRow &row)
{
    QStringList result;
    for (const char *cell : {row.en, row.zhHans, row.zhHant, row.ja, row.ko, row.de, row.fr})
        result << (cell ? QString::fromUtf8(cell) : QString());
    return result;
}

QStringList placeholders(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral("%(\\d+)"));
    QStringList found;
    auto it = pattern.globalMatch(text);
    while (it.hasNext())
        found << it.next().captured(0);
    found.sort();
    return found;
}

QString shown(const QString &text)
{
    QString copy = text;
    return copy.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
}

// Every defect of one list of rows: empty cells, placeholders or line breaks that differ from the key's,
// typographic marks the key has and the translation lost.
QStringList rowDefects(const std::vector<TranslationRow> &rows)
{
    QStringList defects;
    for (const TranslationRow &row : rows) {
        const QStringList values = cells(row);
        const QString &key = values.at(0);
        if (key.trimmed().isEmpty()) {
            defects << QStringLiteral("a row has an empty English key");
            continue;
        }
        for (int i = 1; i < values.size(); ++i) {
            const QString &value = values.at(i);
            const QString where =
                columnCodes.at(i) + QStringLiteral(" of \"") + shown(key) + QStringLiteral("\"");
            if (value.trimmed().isEmpty()) {
                defects << where + QStringLiteral(": empty");
                continue;
            }
            if (placeholders(value) != placeholders(key))
                defects << where + QStringLiteral(": placeholders ") +
                               placeholders(value).join(QLatin1Char(' ')) + QStringLiteral(" instead of ") +
                               placeholders(key).join(QLatin1Char(' '));
            if (value.count(QLatin1Char('\n')) != key.count(QLatin1Char('\n')))
                defects << where + QStringLiteral(": line breaks differ: \"") + shown(value) +
                               QLatin1Char('"');
            for (const QString &mark : {QStringLiteral("…"), QStringLiteral(" · ")}) {
                if (value.count(mark) != key.count(mark))
                    defects << where + QStringLiteral(": \"") + mark + QStringLiteral("\" not kept: ") +
                                   value;
            }
            if (value != value.trimmed())
                defects << where + QStringLiteral(": leading or trailing white space");
        }
    }
    return defects;
}

// ---- Collecting the string literals passed to I18n::text in C++ source ----

// The source with comments replaced by spaces (line breaks kept), string and character literals untouched.
QString withoutComments(const QString &source)
{
    QString out = source;
    int i = 0;
    const int n = source.size();
    while (i < n) {
        const QChar c = source.at(i);
        if (c == QLatin1Char('/') && i + 1 < n && source.at(i + 1) == QLatin1Char('/')) {
            while (i < n && source.at(i) != QLatin1Char('\n'))
                out[i++] = QLatin1Char(' ');
        } else if (c == QLatin1Char('/') && i + 1 < n && source.at(i + 1) == QLatin1Char('*')) {
            const int end = source.indexOf(QStringLiteral("*/"), i + 2);
            const int stop = end < 0 ? n : end + 2;
            for (; i < stop; ++i) {
                if (source.at(i) != QLatin1Char('\n'))
                    out[i] = QLatin1Char(' ');
            }
        } else if (c == QLatin1Char('R') && i + 1 < n && source.at(i + 1) == QLatin1Char('"') &&
                   (i == 0 ||
                    !(source.at(i - 1).isLetterOrNumber() || source.at(i - 1) == QLatin1Char('_')) ||
                    source.at(i - 1) == QLatin1Char('8'))) {
            const int open = source.indexOf(QLatin1Char('('), i + 2);
            if (open < 0)
                return out;
            const QString closing = QLatin1Char(')') + source.mid(i + 2, open - i - 2) + QLatin1Char('"');
            const int end = source.indexOf(closing, open);
            i = end < 0 ? n : end + closing.size();
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            ++i;
            while (i < n && source.at(i) != c) {
                if (source.at(i) == QLatin1Char('\\'))
                    ++i;
                ++i;
            }
            ++i;
        } else {
            ++i;
        }
    }
    return out;
}

// Skips a quoted literal starting at i (source.at(i) is the quote); returns the index after it.
int skipQuoted(const QString &source, int i)
{
    const QChar quote = source.at(i++);
    while (i < source.size() && source.at(i) != quote) {
        if (source.at(i) == QLatin1Char('\\'))
            ++i;
        ++i;
    }
    return i + 1;
}

QString unescape(const QString &body, bool *ok)
{
    QString out;
    for (int i = 0; i < body.size(); ++i) {
        if (body.at(i) != QLatin1Char('\\')) {
            out += body.at(i);
            continue;
        }
        if (++i >= body.size()) {
            *ok = false;
            return out;
        }
        const QChar e = body.at(i);
        switch (e.unicode()) {
        case 'n':
            out += QLatin1Char('\n');
            break;
        case 't':
            out += QLatin1Char('\t');
            break;
        case 'r':
            out += QLatin1Char('\r');
            break;
        case '\\':
            out += QLatin1Char('\\');
            break;
        case '"':
            out += QLatin1Char('"');
            break;
        case '\'':
            out += QLatin1Char('\'');
            break;
        case '?':
            out += QLatin1Char('?');
            break;
        case 'u':
        case 'U': {
            const int digits = e == QLatin1Char('u') ? 4 : 8;
            const uint code = body.mid(i + 1, digits).toUInt(ok, 16);
            if (!*ok)
                return out;
            out += QString::fromUcs4(reinterpret_cast<const char32_t *>(&code), 1);
            i += digits;
            break;
        }
        default:
            *ok = false;  // octal or hexadecimal byte escapes: not used for interface texts
            return out;
        }
    }
    return out;
}

// When the whole of `expression` is one string literal, or adjacent literals, possibly wrapped in
// QStringLiteral(...), QLatin1String(...), QString::fromUtf8(...) or u"..."/u8"..." prefixes, stores
// its value and returns true.
bool literalValue(QString expression, QString *value)
{
    expression = expression.trimmed();
    for (const QString &wrapper : {QStringLiteral("QStringLiteral"), QStringLiteral("QLatin1String"),
                                   QStringLiteral("QString::fromUtf8"), QStringLiteral("QString::fromLatin1"),
                                   QStringLiteral("QLatin1StringView"), QStringLiteral("QString")}) {
        if (expression.startsWith(wrapper) && expression.endsWith(QLatin1Char(')'))) {
            const QString inner = expression.mid(wrapper.size()).trimmed();
            if (inner.startsWith(QLatin1Char('(')))
                return literalValue(inner.mid(1, inner.size() - 2), value);
        }
    }
    QString result;
    int i = 0;
    bool any = false;
    while (i < expression.size()) {
        if (expression.at(i).isSpace()) {
            ++i;
            continue;
        }
        for (const QString &prefix :
             {QStringLiteral("u8"), QStringLiteral("u"), QStringLiteral("U"), QStringLiteral("L")}) {
            if (expression.mid(i).startsWith(prefix + QLatin1Char('"'))) {
                i += prefix.size();
                break;
            }
        }
        if (expression.at(i) != QLatin1Char('"'))
            return false;
        const int end = skipQuoted(expression, i);
        bool ok = true;
        result += unescape(expression.mid(i + 1, end - i - 2), &ok);
        if (!ok)
            return false;
        any = true;
        i = end;
    }
    if (any)
        *value = result;
    return any;
}

struct FoundLiteral
{
    QString text;
    int line = 0;
    // Passed through platform::systemText, which swaps in this platform's wording of the text.
    bool systemText = false;
};

// Strips a platform::systemText( ... ) wrapper; true when there was one.
bool stripSystemText(QString *expression)
{
    const QString trimmed = expression->trimmed();
    for (const QString &wrapper : {QStringLiteral("platform::systemText"), QStringLiteral("systemText")}) {
        if (trimmed.startsWith(wrapper) && trimmed.endsWith(QLatin1Char(')'))) {
            const QString inner = trimmed.mid(wrapper.size()).trimmed();
            if (inner.startsWith(QLatin1Char('('))) {
                *expression = inner.mid(1, inner.size() - 2);
                return true;
            }
        }
    }
    return false;
}

// The literal texts passed to I18n::text in one source file, including both branches of a conditional
// argument whose branches are literals.
QList<FoundLiteral> literalsPassedToText(const QString &source)
{
    const QString code = withoutComments(source);
    static const QRegularExpression call(QStringLiteral("\\bI18n\\s*::\\s*text\\s*\\("));
    QList<FoundLiteral> found;
    int from = 0;
    while (true) {
        const QRegularExpressionMatch match = call.match(code, from);
        if (!match.hasMatch())
            break;
        // A match inside a string literal is not a call: make sure the match starts outside any literal.
        int scan = 0;
        bool inLiteral = false;
        while (scan < match.capturedStart()) {
            const QChar c = code.at(scan);
            if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
                const int end = skipQuoted(code, scan);
                if (end > match.capturedStart()) {
                    inLiteral = true;
                    from = end;
                    break;
                }
                scan = end;
            } else {
                ++scan;
            }
        }
        if (inLiteral)
            continue;

        // The argument, up to the matching parenthesis; split at the top-level '?' and ':'.
        const int start = match.capturedEnd();
        int depth = 0;
        int i = start;
        QStringList parts{QString()};
        for (; i < code.size(); ++i) {
            const QChar c = code.at(i);
            if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
                const int end = skipQuoted(code, i);
                parts.last() += code.mid(i, end - i);
                i = end - 1;
                continue;
            }
            if (c == QLatin1Char('(') || c == QLatin1Char('[') || c == QLatin1Char('{')) {
                ++depth;
            } else if (c == QLatin1Char(')') || c == QLatin1Char(']') || c == QLatin1Char('}')) {
                if (depth == 0)
                    break;
                --depth;
            } else if (depth == 0 && c == QLatin1Char('?')) {
                parts << QString();
                continue;
            } else if (depth == 0 && c == QLatin1Char(':')) {
                const bool scope = (i + 1 < code.size() && code.at(i + 1) == QLatin1Char(':')) ||
                                   (i > 0 && code.at(i - 1) == QLatin1Char(':'));
                if (!scope) {
                    parts << QString();
                    continue;
                }
            }
            parts.last() += c;
        }
        const int line = code.left(start).count(QLatin1Char('\n')) + 1;
        for (QString part : parts) {
            const bool systemText = stripSystemText(&part);
            QString value;
            if (literalValue(part, &value))
                found.append({value, line, systemText});
        }
        from = i;
    }
    return found;
}

// The rows beyond the core rows, in lookup order: the extra rows, then the rows of each area.
std::vector<TranslationRow> addedRows()
{
    std::vector<TranslationRow> rows;
    for (const auto *list :
         {&extraTranslationRows(), &printingTranslationRows(), &settingsTranslationRows(),
          &panelTranslationRows(), &desktopTranslationRows(), &commandLineTranslationRows()})
        rows.insert(rows.end(), list->begin(), list->end());
    return rows;
}

QSet<QString> tableKeys()
{
    QSet<QString> keys;
    for (const TranslationRow &row : translationRows())
        keys.insert(QString::fromUtf8(row.en));
    for (const TranslationRow &row : addedRows())
        keys.insert(QString::fromUtf8(row.en));
    return keys;
}

}  // namespace

class TestTranslationCoverage : public QObject
{
    Q_OBJECT

private slots:
    void coreTableHasEveryKeyOnce();
    void quotedRowsAreExact();
    void everyCellKeepsTheKeysPlaceholdersAndLineBreaks_data();
    void everyCellKeepsTheKeysPlaceholdersAndLineBreaks();
    void extraRowsAddNewKeysOnly();
    void collectorFindsLiteralArguments_data();
    void collectorFindsLiteralArguments();
    void everyLiteralPassedToTextIsAKey();
};

void TestTranslationCoverage::coreTableHasEveryKeyOnce()
{
    const std::vector<TranslationRow> &rows = translationRows();
    QCOMPARE(int(rows.size()), 145);
    QStringList duplicates;
    QSet<QString> seen;
    for (const TranslationRow &row : rows) {
        const QString key = QString::fromUtf8(row.en);
        if (seen.contains(key))
            duplicates << key;
        seen.insert(key);
    }
    QVERIFY2(duplicates.isEmpty(), qPrintable(duplicates.join(QLatin1Char('\n'))));
    QCOMPARE(QString::fromUtf8(rows.front().en), QStringLiteral("Color"));
    QCOMPARE(QString::fromUtf8(rows.back().en),
             QStringLiteral("Unable to save printer driver properties (Windows error %1)"));
    // Multi-line keys carry real line breaks, not the two characters backslash and n.
    QVERIFY(seen.contains(QStringLiteral("Drop a file onto a printer preset to print\nor bring a supported "
                                         "document to the foreground")));
    for (const QString &key : std::as_const(seen))
        QVERIFY2(!key.contains(QStringLiteral("\\n")), qPrintable(key));
}

void TestTranslationCoverage::quotedRowsAreExact()
{
    QHash<QString, QStringList> byKey;
    for (const TranslationRow &row : translationRows())
        byKey.insert(QString::fromUtf8(row.en), cells(row));
    QCOMPARE(byKey.value(QStringLiteral("Color")),
             QStringList({"Color", "彩色", "彩色", "カラー", "컬러", "Farbe", "Couleur"}));
    QCOMPARE(byKey.value(QStringLiteral("Print history")),
             QStringList({"Print history", "打印历史", "列印記錄", "印刷履歴", "인쇄 기록", "Druckverlauf",
                          QStringLiteral("Historique d\u2019impression")}));
}

void TestTranslationCoverage::everyCellKeepsTheKeysPlaceholdersAndLineBreaks_data()
{
    QTest::addColumn<bool>("extra");
    QTest::newRow("core rows") << false;
    QTest::newRow("extra and area rows") << true;
}

void TestTranslationCoverage::everyCellKeepsTheKeysPlaceholdersAndLineBreaks()
{
    QFETCH(bool, extra);
    const std::vector<TranslationRow> rows = extra ? addedRows() : translationRows();
    QStringList defects = rowDefects(rows);
    if (!extra) {
        // A column left in English is a missing translation: every Chinese, Japanese and Korean cell of
        // the core texts uses its own script.
        for (const TranslationRow &row : rows) {
            const QStringList values = cells(row);
            for (int i = 1; i <= 4; ++i) {
                const bool ownScript = std::any_of(values.at(i).cbegin(), values.at(i).cend(),
                                                   [](QChar c) { return c.unicode() >= 0x2E80; });
                if (!ownScript)
                    defects << columnCodes.at(i) + QStringLiteral(" of \"") + shown(values.at(0)) +
                                   QStringLiteral("\" is not translated: ") + values.at(i);
            }
        }
    }
    QVERIFY2(defects.isEmpty(), qPrintable(defects.join(QLatin1Char('\n'))));
}

void TestTranslationCoverage::extraRowsAddNewKeysOnly()
{
    QSet<QString> keys;
    for (const TranslationRow &row : translationRows())
        keys.insert(QString::fromUtf8(row.en));
    QStringList repeated;
    for (const TranslationRow &row : addedRows()) {
        const QString key = QString::fromUtf8(row.en);
        if (keys.contains(key))
            repeated << key;
        keys.insert(key);
    }
    QVERIFY2(repeated.isEmpty(), qPrintable(QStringLiteral("keys listed twice:\n") + repeated.join('\n')));
}

void TestTranslationCoverage::collectorFindsLiteralArguments_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("plain") << "label->setText(I18n::text(\"Color\"));" << QStringList{"Color"};
    QTest::newRow("spaced call") << "I18n :: text ( \"Mono\" )" << QStringList{"Mono"};
    QTest::newRow("adjacent literals over lines")
        << "I18n::text(\"Drop a file\\n\"\n         \"or bring\")" << QStringList{"Drop a file\nor bring"};
    QTest::newRow("QStringLiteral") << "I18n::text(QStringLiteral(\"Save\"))" << QStringList{"Save"};
    QTest::newRow("u8 prefix") << "I18n::text(u8\"Cancel\")" << QStringList{"Cancel"};
    QTest::newRow("escaped quote and backslash")
        << "I18n::text(\"Say \\\"hi\\\" \\\\ bye\")" << QStringList{"Say \"hi\" \\ bye"};
    QTest::newRow("arg after the call")
        << "I18n::text(\n    \"Copies set to %1\")\n    .arg(copies)" << QStringList{"Copies set to %1"};
    QTest::newRow("conditional literals")
        << "I18n::text(dark ? \"Switch to light mode\" : \"Switch to dark mode\")"
        << QStringList{"Switch to light mode", "Switch to dark mode"};
    QTest::newRow("scoped condition")
        << "I18n::text(mode == Mode::Dark ? QStringLiteral(\"A\") : \"B\")" << QStringList{"A", "B"};
    QTest::newRow("variable") << "I18n::text(key); I18n::text(names.value(\"x\"))" << QStringList{};
    QTest::newRow("line comment") << "// I18n::text(\"Ignored\")\nI18n::text(\"Kept\")"
                                  << QStringList{"Kept"};
    QTest::newRow("block comment") << "/* I18n::text(\"Ignored\") */ I18n::text(\"Kept\")"
                                   << QStringList{"Kept"};
    QTest::newRow("inside a literal")
        << "qDebug() << \"I18n::text(\\\"No\\\")\"; I18n::text(\"Yes\")" << QStringList{"Yes"};
    QTest::newRow("parentheses inside")
        << "I18n::text(\"Double-sided (long edge)\")" << QStringList{"Double-sided (long edge)"};
    QTest::newRow("system wording")
        << "I18n::text(platform::systemText(\"Windows could not find this printer.\"))"
        << QStringList{"system:Windows could not find this printer."};
    QTest::newRow("system wording with arguments")
        << "I18n::text(platform::systemText(\"Unable (Windows error %1)\")).arg(code)"
        << QStringList{"system:Unable (Windows error %1)"};
    QTest::newRow("several calls") << "a(I18n::text(\"One\"), I18n::text(\"Two\"));"
                                   << QStringList{"One", "Two"};
}

void TestTranslationCoverage::collectorFindsLiteralArguments()
{
    QFETCH(QString, source);
    QFETCH(QStringList, expected);
    QStringList texts;
    for (const FoundLiteral &literal : literalsPassedToText(source))
        texts << (literal.systemText ? QStringLiteral("system:") : QString()) + literal.text;
    QCOMPARE(texts, expected);
}

void TestTranslationCoverage::everyLiteralPassedToTextIsAKey()
{
    const QDir root(QStringLiteral(OLLAVAN_SOURCE_DIR));
    const QSet<QString> keys = tableKeys();
    QStringList unknown;
    int files = 0;
    int literals = 0;
    for (const QString &folder :
         QStringList{"base", "app", "model", "printing", "printers", "platform", "ui", "cli"}) {
        QDirIterator it(root.filePath(folder), {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            QFile file(path);
            QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
            ++files;
            for (const FoundLiteral &literal : literalsPassedToText(QString::fromUtf8(file.readAll()))) {
                ++literals;
                if (!keys.contains(literal.text))
                    unknown << root.relativeFilePath(path) + QLatin1Char(':') +
                                   QString::number(literal.line) + QStringLiteral(": \"") +
                                   shown(literal.text) + QLatin1Char('"');
            }
        }
    }
    QVERIFY(files > 0);
    qInfo("%d literal texts in %d files", literals, files);
    QVERIFY2(unknown.isEmpty(), qPrintable(QStringLiteral("texts missing from the translation table:\n") +
                                           unknown.join(QLatin1Char('\n'))));
}

QTEST_GUILESS_MAIN(TestTranslationCoverage)
#include "tst_translationcoverage.moc"
