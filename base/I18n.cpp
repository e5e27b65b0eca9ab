#include "base/I18n.h"

#include "base/TranslationTable.h"

#include <QHash>
#include <QMutex>
#include <QMutexLocker>

namespace {

using TranslationHash = QHash<QString, QString>;

QMutex &languageMutex()
{
    static QMutex mutex;
    return mutex;
}

QString &currentLanguageCode()
{
    static QString code = QStringLiteral("en");
    return code;
}

const char *rowColumn(const TranslationRow &row, const QString &code)
{
    if (code == QLatin1String("zh-Hans"))
        return row.zhHans;
    if (code == QLatin1String("zh-Hant"))
        return row.zhHant;
    if (code == QLatin1String("ja"))
        return row.ja;
    if (code == QLatin1String("ko"))
        return row.ko;
    if (code == QLatin1String("de"))
        return row.de;
    if (code == QLatin1String("fr"))
        return row.fr;
    return nullptr;
}

void insertRows(TranslationHash &table, const std::vector<TranslationRow> &rows, const QString &code)
{
    for (const TranslationRow &row : rows) {
        const char *translated = rowColumn(row, code);
        if (!translated)
            return;  // not one of the translated languages: the table stays empty
        table.insert(QString::fromUtf8(row.en), QString::fromUtf8(translated));
    }
}

TranslationHash buildTranslations(const QString &code)
{
    TranslationHash table;
    for (const std::vector<TranslationRow> *rows :
         {&translationRows(), &extraTranslationRows(), &printingTranslationRows(), &settingsTranslationRows(),
          &panelTranslationRows(), &desktopTranslationRows(), &commandLineTranslationRows(),
          &storeTranslationRows()})
        insertRows(table, *rows, code);
    return table;
}

const QHash<QString, TranslationHash> &allTranslations()
{
    // Function-local static: constructed exactly once, from whichever thread asks first.
    static const QHash<QString, TranslationHash> tables = [] {
        QHash<QString, TranslationHash> result;
        for (const char *code : {"zh-Hans", "zh-Hant", "ja", "ko", "de", "fr"})
            result.insert(QString::fromLatin1(code), buildTranslations(QString::fromLatin1(code)));
        return result;
    }();
    return tables;
}

}  // namespace

const QList<AppLanguage> &I18n::languages()
{
    static const QList<AppLanguage> list = {
        {QStringLiteral("en"), QStringLiteral("English"), QStringLiteral("EN")},
        {QStringLiteral("zh-Hans"), QStringLiteral("简体中文"), QStringLiteral("简")},
        {QStringLiteral("zh-Hant"), QStringLiteral("繁體中文"), QStringLiteral("繁")},
        {QStringLiteral("ja"), QStringLiteral("日本語"), QStringLiteral("日")},
        {QStringLiteral("ko"), QStringLiteral("한국어"), QStringLiteral("한")},
        {QStringLiteral("de"), QStringLiteral("Deutsch"), QStringLiteral("DE")},
        {QStringLiteral("fr"), QStringLiteral("Français"), QStringLiteral("FR")},
    };
    return list;
}

QString I18n::language()
{
    QMutexLocker locker(&languageMutex());
    return currentLanguageCode();
}

void I18n::setLanguage(const QString &code)
{
    const QList<AppLanguage> &list = languages();
    QMutexLocker locker(&languageMutex());
    for (const AppLanguage &entry : list) {
        if (entry.code == code) {
            currentLanguageCode() = entry.code;
            return;
        }
    }
    currentLanguageCode() = QStringLiteral("en");
}

QString I18n::text(const QString &key)
{
    QString code;
    {
        QMutexLocker locker(&languageMutex());
        code = currentLanguageCode();
    }
    if (code == QLatin1String("en"))
        return key;
    const QHash<QString, TranslationHash> &tables = allTranslations();
    const auto table = tables.constFind(code);
    if (table == tables.constEnd())
        return key;
    const auto found = table->constFind(key);
    return found == table->constEnd() ? key : found.value();
}
