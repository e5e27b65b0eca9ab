#include "base/QtTranslations.h"

#include "base/I18n.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QPointer>
#include <QStringList>
#include <QTranslator>

namespace {

// Qt texts the panel words itself: Qt's widgets re-set them from their own tr() calls (the key-sequence
// editor restores its placeholder after every recorded or cleared combination), so the panel's text is
// given to Qt as a translation, ahead of Qt's catalogue, in the current language.
class PanelWordingTranslator : public QTranslator
{
public:
    using QTranslator::QTranslator;

    QString translate(const char *context, const char *sourceText, const char *disambiguation,
                      int n) const override
    {
        Q_UNUSED(disambiguation);
        Q_UNUSED(n);
        if (qstrcmp(context, "QKeySequenceEdit") == 0 && qstrcmp(sourceText, "Press shortcut") == 0)
            return I18n::text("Press shortcut");
        return QString();
    }

    bool isEmpty() const override { return false; }
};

// Both are owned by the application object, so they never outlive it.
QPointer<QTranslator> &installedTranslator()
{
    static QPointer<QTranslator> translator;
    return translator;
}

QPointer<QTranslator> &panelWordingTranslator()
{
    static QPointer<QTranslator> translator;
    return translator;
}

// Installs (or moves) the panel's wording in front of every other catalogue.
void installPanelWording(QCoreApplication *application)
{
    QPointer<QTranslator> &wording = panelWordingTranslator();
    if (wording)
        QCoreApplication::removeTranslator(wording);
    else
        wording = new PanelWordingTranslator(application);
    QCoreApplication::installTranslator(wording);
}

}  // namespace

namespace QtTranslations {

QString qtLocaleName(const QString &languageCode)
{
    if (languageCode == QLatin1String("zh-Hans"))
        return QStringLiteral("zh_CN");
    if (languageCode == QLatin1String("zh-Hant"))
        return QStringLiteral("zh_TW");
    static const QStringList sameName = {QStringLiteral("en"), QStringLiteral("ja"), QStringLiteral("ko"),
                                         QStringLiteral("de"), QStringLiteral("fr")};
    return sameName.contains(languageCode) ? languageCode : QString();
}

bool apply(const QString &languageCode, const QString &directory)
{
    QCoreApplication *application = QCoreApplication::instance();
    if (!application)
        return false;

    QPointer<QTranslator> &installed = installedTranslator();
    if (installed) {
        QCoreApplication::removeTranslator(installed);
        delete installed.data();
    }

    bool loaded = false;
    const QString localeName = qtLocaleName(languageCode);
    if (!localeName.isEmpty()) {
        const QString folder =
            directory.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : directory;
        auto *translator = new QTranslator(application);
        loaded = translator->load(QStringLiteral("qtbase_") + localeName, folder) &&
                 QCoreApplication::installTranslator(translator);
        if (loaded)
            installed = translator;
        else
            delete translator;
    }
    installPanelWording(application);
    return loaded;
}

}  // namespace QtTranslations
