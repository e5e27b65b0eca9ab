#include "base/I18n.h"
#include "base/TranslationTable.h"

#include <QtTest>

#include <atomic>
#include <thread>
#include <vector>

namespace {

const QStringList translatedCodes = {"zh-Hans", "zh-Hant", "ja", "ko", "de", "fr"};

QString column(const TranslationRow &row, const QString &code)
{
    const char *cells[] = {row.en, row.zhHans, row.zhHant, row.ja, row.ko, row.de, row.fr};
    const QStringList codes = {"en", "zh-Hans", "zh-Hant", "ja", "ko", "de", "fr"};
    return QString::fromUtf8(cells[codes.indexOf(code)]);
}

// Every row in lookup order: core rows first, then the extra rows and the rows of each area (a later row
// wins).
std::vector<TranslationRow> allRows()
{
    std::vector<TranslationRow> rows = translationRows();
    for (const auto *list :
         {&extraTranslationRows(), &printingTranslationRows(), &settingsTranslationRows(),
          &panelTranslationRows(), &desktopTranslationRows(), &commandLineTranslationRows()})
        rows.insert(rows.end(), list->begin(), list->end());
    return rows;
}

// The value the lookup must give for key in language code: the last row with that key wins.
QString expectedText(const QString &key, const QString &code)
{
    QString result = key;
    for (const TranslationRow &row : allRows()) {
        if (QString::fromUtf8(row.en) == key)
            result = column(row, code);
    }
    return result;
}

}  // namespace

class TestI18n : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { I18n::setLanguage(QStringLiteral("en")); }

    void listsTheSevenLanguagesInOrder();
    void setLanguageAcceptsOnlyListedCodes_data();
    void setLanguageAcceptsOnlyListedCodes();
    void everyKeyTranslatesToItsColumn();
    void unknownTextsPassThroughInEveryLanguage();
    void translationsKeepTheirPlaceholdersUsable();
    void concurrentLookupsWhileTheLanguageChanges();
};

void TestI18n::listsTheSevenLanguagesInOrder()
{
    const QList<AppLanguage> &list = I18n::languages();
    QStringList rows;
    for (const AppLanguage &language : list)
        rows << language.code + QLatin1Char('|') + language.nativeName + QLatin1Char('|') +
                    language.shortLabel;
    const QStringList expected = {
        QStringLiteral("en|English|EN"),       QStringLiteral("zh-Hans|简体中文|简"),
        QStringLiteral("zh-Hant|繁體中文|繁"), QStringLiteral("ja|日本語|日"),
        QStringLiteral("ko|한국어|한"),        QStringLiteral("de|Deutsch|DE"),
        QStringLiteral("fr|Français|FR"),
    };
    QCOMPARE(rows, expected);
    // One constant list: repeated calls hand out the same object.
    QCOMPARE(&I18n::languages(), &list);
    QCOMPARE(I18n::language(), QStringLiteral("en"));
}

void TestI18n::setLanguageAcceptsOnlyListedCodes_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("requested");
    QTest::addColumn<QString>("current");

    for (const AppLanguage &language : I18n::languages())
        QTest::newRow(qPrintable(language.code)) << "fr" << language.code << language.code;
    QTest::newRow("upper-case DE falls back") << "ja"
                                              << "DE"
                                              << "en";
    QTest::newRow("unlisted pt falls back") << "de"
                                            << "pt"
                                            << "en";
    QTest::newRow("empty falls back") << "ko"
                                      << ""
                                      << "en";
    QTest::newRow("lower-case zh-hans falls back") << "de"
                                                   << "zh-hans"
                                                   << "en";
    QTest::newRow("bare zh falls back") << "de"
                                        << "zh"
                                        << "en";
    QTest::newRow("padded code falls back") << "de"
                                            << " fr"
                                            << "en";
    QTest::newRow("native name is not a code") << "de"
                                               << "Deutsch"
                                               << "en";
}

void TestI18n::setLanguageAcceptsOnlyListedCodes()
{
    QFETCH(QString, before);
    QFETCH(QString, requested);
    QFETCH(QString, current);

    I18n::setLanguage(before);
    QCOMPARE(I18n::language(), before);
    I18n::setLanguage(requested);
    QCOMPARE(I18n::language(), current);
    QCOMPARE(I18n::text("Color"), expectedText(QStringLiteral("Color"), current));
}

void TestI18n::everyKeyTranslatesToItsColumn()
{
    I18n::setLanguage(QStringLiteral("de"));
    QCOMPARE(I18n::text("Color"), QStringLiteral("Farbe"));
    I18n::setLanguage(QStringLiteral("en"));
    QCOMPARE(I18n::text("Color"), QStringLiteral("Color"));

    QStringList wrong;
    for (const QString &code : translatedCodes) {
        I18n::setLanguage(code);
        for (const TranslationRow &row : allRows()) {
            const QString key = QString::fromUtf8(row.en);
            const QString shown = I18n::text(key);
            if (shown != expectedText(key, code))
                wrong << code + QStringLiteral(": ") + key + QStringLiteral(" -> ") + shown;
        }
    }
    I18n::setLanguage(QStringLiteral("en"));
    for (const TranslationRow &row : allRows()) {
        if (I18n::text(row.en) != QString::fromUtf8(row.en))
            wrong << QStringLiteral("en: ") + QString::fromUtf8(row.en);
    }
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QLatin1Char('\n'))));
}

void TestI18n::unknownTextsPassThroughInEveryLanguage()
{
    const QStringList samples = {
        QString(),
        QStringLiteral("HP LaserJet M404 (Office)"),
        QStringLiteral("color"),
        QStringLiteral("Color "),
        QStringLiteral("Copies set to 3"),
        QStringLiteral("打印历史"),
        QStringLiteral("Farbe"),
    };
    for (const AppLanguage &language : I18n::languages()) {
        I18n::setLanguage(language.code);
        for (const QString &sample : samples)
            QCOMPARE(I18n::text(sample), sample);
    }
}

void TestI18n::translationsKeepTheirPlaceholdersUsable()
{
    for (const QString &code : translatedCodes) {
        I18n::setLanguage(code);
        const QString copies = I18n::text("Copies set to %1").arg(7);
        QVERIFY2(copies.contains(QLatin1Char('7')) && !copies.contains(QLatin1Char('%')), qPrintable(copies));
        const QString synced = I18n::text("Synced with driver: %1, %2, %3")
                                   .arg(QStringLiteral("AAA"), QStringLiteral("BBB"), QStringLiteral("CCC"));
        QVERIFY2(synced.contains(QStringLiteral("AAA")) && synced.contains(QStringLiteral("BBB")) &&
                     synced.contains(QStringLiteral("CCC")) && !synced.contains(QLatin1Char('%')),
                 qPrintable(synced));
        const QString uses = I18n::text("%1 already uses %2. Choose another combination.")
                                 .arg(QStringLiteral("Office A4"), QStringLiteral("Ctrl+Alt+P"));
        QVERIFY2(uses.contains(QStringLiteral("Office A4")) && uses.contains(QStringLiteral("Ctrl+Alt+P")),
                 qPrintable(uses));
    }
}

void TestI18n::concurrentLookupsWhileTheLanguageChanges()
{
    const std::vector<TranslationRow> rows = allRows();
    // Per key, every value a lookup may legitimately return while the language flips.
    QHash<QString, QSet<QString>> allowed;
    for (const TranslationRow &row : rows) {
        const QString key = QString::fromUtf8(row.en);
        allowed[key].insert(key);
        for (const QString &code : translatedCodes)
            allowed[key].insert(expectedText(key, code));
    }

    std::atomic<bool> stop{false};
    std::atomic<int> failures{0};
    std::atomic<long> lookups{0};
    std::vector<std::thread> workers;
    for (int t = 0; t < 8; ++t) {
        workers.emplace_back([&, t] {
            std::size_t index = static_cast<std::size_t>(t);
            long done = 0;
            while (!stop.load() || done < 2000) {
                const QString key = QString::fromUtf8(rows[index % rows.size()].en);
                if (!allowed.value(key).contains(I18n::text(key)))
                    failures.fetch_add(1);
                index += 7;
                ++done;
            }
            lookups.fetch_add(done);
        });
    }
    const QList<AppLanguage> &languages = I18n::languages();
    for (int flip = 0; flip < 20000; ++flip) {
        I18n::setLanguage(languages.at(flip % languages.size()).code);
        if (!allowed.value(QStringLiteral("Print history")).contains(I18n::text("Print history")))
            failures.fetch_add(1);
    }
    stop.store(true);
    for (std::thread &worker : workers)
        worker.join();

    QCOMPARE(failures.load(), 0);
    QVERIFY(lookups.load() >= 8 * 2000);
    // After the storm the language is simply the last one set.
    I18n::setLanguage(QStringLiteral("ko"));
    QCOMPARE(I18n::text("Print history"), QStringLiteral("인쇄 기록"));
}

QTEST_GUILESS_MAIN(TestI18n)
#include "tst_i18n.moc"
