// Qt's own texts (standard dialog buttons) follow the panel's language through Qt's catalogues, and the
// preset editor's hotkey field shows the panel's own placeholder in every language.
#include "base/AppIdentity.h"
#include "base/I18n.h"
#include "base/QtTranslations.h"
#include "base/Records.h"
#include "base/SettingsKeys.h"
#include "ui/MainWindow.h"
#include "ui/PresetDialog.h"

#include <QApplication>
#include <QKeySequenceEdit>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class MainWindowTestAccess
{
public:
    static void setLanguage(MainWindow &window, const QString &code) { window.setLanguage(code); }
};

namespace {

// The text of a standard button of a freshly built message box, without its mnemonic marker.
QString messageBoxButtonText(QMessageBox::StandardButton which)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Title"), QStringLiteral("Text"),
                    QMessageBox::Ok | QMessageBox::Cancel | QMessageBox::Close);
    QAbstractButton *button = box.button(which);
    return button ? button->text().remove(QLatin1Char('&')) : QStringLiteral("<no button>");
}

QString hotkeyPlaceholder(const PresetDialog &dialog)
{
    auto *hotkey = dialog.findChild<QKeySequenceEdit *>(QStringLiteral("hotkeyEdit"));
    if (!hotkey)
        return QStringLiteral("<no hotkey field>");
    auto *edit = hotkey->findChild<QLineEdit *>();
    return edit ? edit->placeholderText() : QStringLiteral("<no line edit>");
}

}  // namespace

class QtTranslationsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void switchingLanguageTranslatesStandardButtons_data();
    void switchingLanguageTranslatesStandardButtons();
    void missingCatalogueLeavesQtsEnglish();
    void hotkeyFieldShowsThePanelsPlaceholder_data();
    void hotkeyFieldShowsThePanelsPlaceholder();
};

void QtTranslationsTest::initTestCase()
{
    AppIdentity::apply();
    QSettings().clear();
    QSettings().setValue(QLatin1String(SettingsKeys::CompatibilityNoticeShown), true);
}

void QtTranslationsTest::init()
{
    I18n::setLanguage(QStringLiteral("en"));
    QtTranslations::apply(QStringLiteral("en"));
}

void QtTranslationsTest::cleanup()
{
    init();
}

void QtTranslationsTest::switchingLanguageTranslatesStandardButtons_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("cancel");
    QTest::addColumn<QString>("close");
    QTest::newRow("German") << "de" << QStringLiteral("Abbrechen") << QStringLiteral("Schließen");
    QTest::newRow("French") << "fr" << QStringLiteral("Annuler") << QStringLiteral("Fermer");
    QTest::newRow("Japanese") << "ja" << QStringLiteral("キャンセル") << QStringLiteral("閉じる");
    QTest::newRow("Korean") << "ko" << QStringLiteral("취소") << QStringLiteral("닫기");
    QTest::newRow("Simplified Chinese") << "zh-Hans" << QStringLiteral("取消") << QStringLiteral("关闭");
    QTest::newRow("Traditional Chinese") << "zh-Hant" << QStringLiteral("取消") << QStringLiteral("關閉");
}

void QtTranslationsTest::switchingLanguageTranslatesStandardButtons()
{
    QFETCH(QString, language);
    QFETCH(QString, cancel);
    QFETCH(QString, close);

    MainWindow window;
    QCOMPARE(messageBoxButtonText(QMessageBox::Cancel), QStringLiteral("Cancel"));

    MainWindowTestAccess::setLanguage(window, language);
    QCOMPARE(I18n::language(), language);
    QCOMPARE(messageBoxButtonText(QMessageBox::Cancel), cancel);
    QCOMPARE(messageBoxButtonText(QMessageBox::Close), close);

    // Back to English: the previous catalogue is gone, not merely shadowed.
    MainWindowTestAccess::setLanguage(window, QStringLiteral("en"));
    QCOMPARE(messageBoxButtonText(QMessageBox::Cancel), QStringLiteral("Cancel"));
    QCOMPARE(messageBoxButtonText(QMessageBox::Close), QStringLiteral("Close"));
}

void QtTranslationsTest::missingCatalogueLeavesQtsEnglish()
{
    QVERIFY(QtTranslations::apply(QStringLiteral("de")));
    QCOMPARE(messageBoxButtonText(QMessageBox::Cancel), QStringLiteral("Abbrechen"));

    // A folder without Qt's catalogues: no error, German removed, Qt's English shown.
    QTemporaryDir empty;
    QVERIFY(empty.isValid());
    QVERIFY(!QtTranslations::apply(QStringLiteral("fr"), empty.path()));
    QCOMPARE(messageBoxButtonText(QMessageBox::Cancel), QStringLiteral("Cancel"));

    QVERIFY(QtTranslations::apply(QStringLiteral("ko")));
    QCOMPARE(messageBoxButtonText(QMessageBox::Cancel), QStringLiteral("취소"));
    // A code the panel does not know installs nothing and drops the Korean catalogue.
    QVERIFY(!QtTranslations::apply(QStringLiteral("pt")));
    QCOMPARE(messageBoxButtonText(QMessageBox::Cancel), QStringLiteral("Cancel"));
}

void QtTranslationsTest::hotkeyFieldShowsThePanelsPlaceholder_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("placeholder");
    QTest::newRow("English") << "en" << QStringLiteral("Press shortcut");
    QTest::newRow("Simplified Chinese") << "zh-Hans" << QStringLiteral("请按快捷键");
    QTest::newRow("Traditional Chinese") << "zh-Hant" << QStringLiteral("請按快速鍵");
    QTest::newRow("Japanese") << "ja" << QStringLiteral("ショートカットキーを押してください");
    QTest::newRow("Korean") << "ko" << QStringLiteral("바로 가기 키를 누르세요");
    QTest::newRow("German") << "de" << QStringLiteral("Tastenkombination drücken");
    QTest::newRow("French") << "fr" << QStringLiteral("Appuyez sur un raccourci");
}

void QtTranslationsTest::hotkeyFieldShowsThePanelsPlaceholder()
{
    QFETCH(QString, language);
    QFETCH(QString, placeholder);

    MainWindow window;
    if (language != QLatin1String("en"))
        MainWindowTestAccess::setLanguage(window, language);
    QCOMPARE(I18n::text("Press shortcut"), placeholder);

    PrintPreset preset;
    {
        PresetDialog dialog(preset, true, nullptr, &window);
        QCOMPARE(hotkeyPlaceholder(dialog), placeholder);

        // Recording, replacing and clearing a combination keep the text.
        auto *hotkey = dialog.findChild<QKeySequenceEdit *>(QStringLiteral("hotkeyEdit"));
        QSignalSpy finished(hotkey, &QKeySequenceEdit::editingFinished);
        hotkey->setFocus();
        QTest::keyClick(hotkey, Qt::Key_K, Qt::ControlModifier | Qt::AltModifier);
        QVERIFY(finished.wait(5000));
        QCOMPARE(hotkey->keySequence(), QKeySequence(QStringLiteral("Ctrl+Alt+K")));
        QCOMPARE(hotkeyPlaceholder(dialog), placeholder);
        hotkey->setKeySequence(QKeySequence(QStringLiteral("Ctrl+Shift+P")));
        QCOMPARE(hotkeyPlaceholder(dialog), placeholder);
        hotkey->clear();
        QVERIFY(hotkey->keySequence().isEmpty());
        QCOMPARE(hotkeyPlaceholder(dialog), placeholder);

        // Qt's catalogue changing under an open editor sends it a language change; the field keeps the
        // panel's text instead of falling back to Qt's.
        QtTranslations::apply(language == QLatin1String("de") ? QStringLiteral("fr") : QStringLiteral("de"));
        QCOMPARE(hotkeyPlaceholder(dialog), placeholder);
    }

    // An editor built after switching to another language shows that language's text.
    const QString other = language == QLatin1String("fr") ? QStringLiteral("de") : QStringLiteral("fr");
    MainWindowTestAccess::setLanguage(window, other);
    PresetDialog rebuilt(preset, false, nullptr, &window);
    QCOMPARE(hotkeyPlaceholder(rebuilt), other == QLatin1String("fr")
                                             ? QStringLiteral("Appuyez sur un raccourci")
                                             : QStringLiteral("Tastenkombination drücken"));
}

QTEST_MAIN(QtTranslationsTest)

#include "tst_qttranslations.moc"
