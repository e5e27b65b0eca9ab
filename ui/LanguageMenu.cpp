#include "ui/LanguageMenu.h"

#include "base/I18n.h"
#include "base/QtTranslations.h"
#include "base/SettingsKeys.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>

LanguageMenu::LanguageMenu(QPushButton *languageButton, QWidget *window)
    : QObject(window), languageButton(languageButton), window(window)
{
}

void LanguageMenu::showMenu()
{
    QMenu menu(window);
    menu.setObjectName(QStringLiteral("languageMenu"));
    const QString current = I18n::language();
    for (const AppLanguage &language : I18n::languages()) {
        QAction *action = menu.addAction(language.nativeName);
        action->setCheckable(true);
        action->setData(language.code);
        action->setChecked(language.code == current);
    }
    QAction *chosen = menu.exec(languageButton->mapToGlobal(QPoint(0, languageButton->height())));
    if (chosen)
        setLanguage(chosen->data().toString());
}

void LanguageMenu::setLanguage(const QString &code)
{
    if (code == I18n::language())
        return;
    I18n::setLanguage(code);
    QtTranslations::apply(I18n::language());
    QSettings().setValue(QLatin1String(SettingsKeys::Language), I18n::language());
    emit languageChanged();
}

void LanguageMenu::showCompatibilityNotice()
{
    const QStringList arguments = QCoreApplication::arguments();
    for (const QString &argument : arguments) {
        if (argument.startsWith(QLatin1String("--screenshot")))
            return;
    }
    if (QSettings().value(QLatin1String(SettingsKeys::CompatibilityNoticeShown), false).toBool())
        return;

    QMessageBox box(
        QMessageBox::Information, I18n::text("Ollavan Quick compatibility"),
        I18n::text("Ollavan Quick works with the Windows printing applications installed on your computer."),
        QMessageBox::Ok, window);
    box.setObjectName(QStringLiteral("compatibilityNotice"));
    box.setInformativeText(I18n::text(
        "PDF quick printing uses the built-in PDF engine when Adobe Acrobat or Reader is unavailable.\n"
        "Word quick printing requires Microsoft Office with Word installed.\n\n"
        "Microsoft Word is not included with Ollavan Quick."));
    auto *doNotShowAgain = new QCheckBox(I18n::text("Do not show this again"), &box);
    box.setCheckBox(doNotShowAgain);
    box.exec();
    if (doNotShowAgain->isChecked())
        QSettings().setValue(QLatin1String(SettingsKeys::CompatibilityNoticeShown), true);
}
