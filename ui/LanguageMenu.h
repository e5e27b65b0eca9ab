#pragma once

#include <QObject>
#include <QString>

class QPushButton;
class QWidget;

// The panel's languages: the menu under the language button, the switch at run time (the program's texts,
// Qt's own catalogue and the saved choice) and the one-time compatibility notice.
class LanguageMenu : public QObject
{
    Q_OBJECT

public:
    // The menu opens under `languageButton`; `window` parents the menu and the notice.
    LanguageMenu(QPushButton *languageButton, QWidget *window);

public slots:
    void showMenu();
    // Switches to the language and saves it; choosing the current language changes nothing.
    void setLanguage(const QString &code);
    // Shows the notice unless it was turned off or this is a screenshot run.
    void showCompatibilityNotice();

signals:
    // Every text must be shown again in the new language.
    void languageChanged();

private:
    QPushButton *languageButton;
    QWidget *window;
};
