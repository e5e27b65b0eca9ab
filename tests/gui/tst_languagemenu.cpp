// The panel's language menu and run-time language switch, and the one-time compatibility notice, with a
// real store and settings in the test's own HOME.
#include "base/AppIdentity.h"
#include "base/I18n.h"
#include "base/SettingsKeys.h"
#include "model/DatabaseLocation.h"
#include "model/PresetRepository.h"
#include "ui/MainWindow.h"
#include "ui/PresetCard.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTimer>

#include <functional>

class MainWindowTestAccess
{
public:
    static QList<PresetCard *> cards(const MainWindow &window) { return window.cards; }
    static void setLanguage(MainWindow &window, const QString &code) { window.setLanguage(code); }
};

namespace {

const QString languageKey = QLatin1String(SettingsKeys::Language);
const QString noticeKey = QLatin1String(SettingsKeys::CompatibilityNoticeShown);

void storePresets()
{
    const QString path = DatabaseLocation::databasePath();
    QFile::remove(path);
    DatabaseLocation::createDatabaseFolder(path);
    PresetRepository repository(path);
    QString error;
    if (!repository.open(&error))
        qFatal("cannot open the test store: %s", qPrintable(error));
    PrintPreset office;
    office.title = QStringLiteral("Office A4");
    office.colorMode = ColorMode::Mono;
    office.duplexMode = DuplexMode::Duplex;
    office.paperSize = QStringLiteral("A4");
    office.printerName = QStringLiteral("Nowhere Office");
    office.backgroundColor = QStringLiteral("#ff8a00");
    office.sortOrder = -1;
    PrintPreset untitled = office;
    untitled.title.clear();
    untitled.colorMode = ColorMode::Color;
    untitled.duplexMode = DuplexMode::Simplex;
    untitled.printerName = QStringLiteral("Nowhere Color");
    if (!repository.addPreset(office, &error) || !repository.addPreset(untitled, &error))
        qFatal("cannot store presets: %s", qPrintable(error));
}

QPushButton *button(QWidget &window, const char *name)
{
    return window.findChild<QPushButton *>(QLatin1String(name));
}

QLabel *label(QWidget &parent, const char *name)
{
    return parent.findChild<QLabel *>(QLatin1String(name));
}

// Calls `handle` with the popup menu once it is open.
void whenMenuOpens(std::function<void(QMenu *)> handle)
{
    auto *timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, handle] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (!menu || !menu->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        handle(menu);
    });
    timer->start();
}

struct NoticeSeen
{
    QString title;
    QString text;
    QString informative;
    QString checkBox;
    bool initiallyChecked = false;
    bool information = false;
    bool onlyOk = false;
    bool parentIsWindow = false;
};

// Answers every compatibility notice that appears: records it, ticks the box when asked, presses OK.
class NoticeAnswerer : public QObject
{
public:
    explicit NoticeAnswerer(bool tick, QWidget *expectedParent = nullptr) : tick(tick), parent(expectedParent)
    {
        timer.setInterval(20);
        connect(&timer, &QTimer::timeout, this, &NoticeAnswerer::poll);
        timer.start();
    }

    QList<NoticeSeen> seen;

private:
    void poll()
    {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        NoticeSeen notice;
        notice.title = box->windowTitle();
        notice.text = box->text();
        notice.informative = box->informativeText();
        notice.checkBox = box->checkBox() ? box->checkBox()->text() : QStringLiteral("<none>");
        notice.initiallyChecked = box->checkBox() && box->checkBox()->isChecked();
        notice.information = box->icon() == QMessageBox::Information;
        notice.onlyOk = box->buttons().size() == 1 && box->button(QMessageBox::Ok);
        notice.parentIsWindow = parent && box->parentWidget() == parent;
        seen.append(notice);
        if (box->checkBox() && tick)
            QTest::mouseClick(box->checkBox(), Qt::LeftButton, {}, QPoint(4, box->checkBox()->height() / 2));
        if (QAbstractButton *ok = box->button(QMessageBox::Ok))
            QTest::mouseClick(ok, Qt::LeftButton);
        else
            box->reject();
    }

    bool tick;
    QWidget *parent;
    QTimer timer;
};

// In a child process started with an argument beginning with "--screenshot" (or with "--notice-probe"):
// builds the panel, waits well past the notice's moment and answers 0 when no notice appeared.
int noticeProbe(int argc, char **argv)
{
    QApplication app(argc, argv);
    AppIdentity::apply();
    int seen = 0;
    {
        NoticeAnswerer answerer(false);
        MainWindow window;
        window.show();
        QTimer::singleShot(1500, &app, &QCoreApplication::quit);
        QApplication::exec();
        seen = int(answerer.seen.size());
    }
    return seen == 0 ? 0 : 3;
}

}  // namespace

class LanguageMenuTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup() { I18n::setLanguage(QStringLiteral("en")); }
    void menuListsLanguagesAndSwitchesTheWholePanel();
    void dismissingOrChoosingTheActiveLanguageChangesNothing();
    void switchingClearsAnErrorFromTheStatusLine();
    void noticeReturnsUntilTheBoxIsTicked();
    void screenshotRunsNeverShowTheNotice();
};

void LanguageMenuTest::initTestCase()
{
    AppIdentity::apply();
    QVERIFY(DatabaseLocation::databasePath().startsWith(QDir::homePath()));
    storePresets();
}

void LanguageMenuTest::init()
{
    QSettings().clear();
    QSettings().setValue(noticeKey, true);
    I18n::setLanguage(QStringLiteral("en"));
}

void LanguageMenuTest::menuListsLanguagesAndSwitchesTheWholePanel()
{
    MainWindow window;
    window.move(120, 80);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QPushButton *languageButton = button(window, "languageButton");
    QCOMPARE(languageButton->text(), QStringLiteral("EN"));
    const QList<PresetCard *> before = MainWindowTestAccess::cards(window);
    QCOMPARE(before.size(), 2);
    QPointer<PresetCard> oldCard = before.first();

    QStringList entries;
    QPoint menuPosition;
    whenMenuOpens([&](QMenu *menu) {
        menuPosition = menu->pos();
        QAction *german = nullptr;
        for (QAction *action : menu->actions()) {
            entries << QStringLiteral("%1|%2|%3|%4")
                           .arg(action->text(), action->data().toString())
                           .arg(action->isCheckable())
                           .arg(action->isChecked());
            if (action->data().toString() == QLatin1String("de"))
                german = action;
        }
        menu->setActiveAction(german);
        QTest::keyClick(menu, Qt::Key_Return);
    });
    QTest::mouseClick(languageButton, Qt::LeftButton);

    QCOMPARE(entries, QStringList({"English|en|1|1", "简体中文|zh-Hans|1|0", "繁體中文|zh-Hant|1|0",
                                   "日本語|ja|1|0", "한국어|ko|1|0", "Deutsch|de|1|0", "Français|fr|1|0"}));
    QCOMPARE(menuPosition, languageButton->mapToGlobal(QPoint(0, languageButton->height())));

    // The language is in effect and remembered.
    QCOMPARE(I18n::language(), QStringLiteral("de"));
    QCOMPARE(QSettings().value(languageKey).toString(), QStringLiteral("de"));

    // Title bar, add button and status line speak German.
    QCOMPARE(languageButton->text(), QStringLiteral("DE"));
    QCOMPARE(languageButton->toolTip(), QStringLiteral("Sprache"));
    QCOMPARE(button(window, "historyButton")->toolTip(), QStringLiteral("Druckverlauf"));
    QCOMPARE(button(window, "minimizeButton")->toolTip(), QStringLiteral("Minimieren"));
    QCOMPARE(button(window, "themeButton")->toolTip(), QStringLiteral("Zum dunklen Modus wechseln"));
    QVERIFY(button(window, "addPrinterButton")->text().endsWith(QStringLiteral("Druckervorgabe hinzufügen")));
    QCOMPARE(label(window, "statusLabel")->toolTip(), QStringLiteral("Bereit"));

    // The cards were rebuilt with German texts.
    QVERIFY(oldCard.isNull());
    const QList<PresetCard *> after = MainWindowTestAccess::cards(window);
    QCOMPARE(after.size(), 2);
    QStringList toolTips;
    for (QPushButton *cardButton : after.first()->findChildren<QPushButton *>())
        toolTips << cardButton->toolTip();
    QVERIFY2(toolTips.contains(QStringLiteral("Druckervorgabe bearbeiten")), qPrintable(toolTips.join('|')));
    QVERIFY2(toolTips.contains(QStringLiteral("Druckervorgabe löschen")), qPrintable(toolTips.join('|')));
    QCOMPARE(label(*after.first(), "statusBadge")->toolTip(), QStringLiteral("Druckerstatus wird gelesen"));

    // Back to simplified Chinese through the menu: the check mark follows the current language.
    entries.clear();
    whenMenuOpens([&](QMenu *menu) {
        for (QAction *action : menu->actions()) {
            if (action->isChecked())
                entries << action->data().toString();
            if (action->data().toString() == QLatin1String("zh-Hans"))
                menu->setActiveAction(action);
        }
        QTest::keyClick(menu, Qt::Key_Return);
    });
    QTest::mouseClick(languageButton, Qt::LeftButton);
    QCOMPARE(entries, QStringList({"de"}));
    QCOMPARE(QSettings().value(languageKey).toString(), QStringLiteral("zh-Hans"));
    QCOMPARE(languageButton->text(), QStringLiteral("简"));
    QCOMPARE(languageButton->toolTip(), QStringLiteral("语言"));
    QCOMPARE(label(window, "statusLabel")->toolTip(), QStringLiteral("就绪"));
}

void LanguageMenuTest::dismissingOrChoosingTheActiveLanguageChangesNothing()
{
    I18n::setLanguage(QStringLiteral("fr"));
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QPushButton *languageButton = button(window, "languageButton");
    const QList<PresetCard *> cards = MainWindowTestAccess::cards(window);
    window.setStatus(QStringLiteral("Imprimante indisponible : X"), false);

    // Escape closes the menu without a choice.
    bool opened = false;
    whenMenuOpens([&](QMenu *menu) {
        opened = true;
        QTest::keyClick(menu, Qt::Key_Escape);
    });
    QTest::mouseClick(languageButton, Qt::LeftButton);
    QVERIFY(opened);

    // Choosing the language already active.
    opened = false;
    whenMenuOpens([&](QMenu *menu) {
        opened = true;
        for (QAction *action : menu->actions()) {
            if (action->data().toString() == QLatin1String("fr"))
                menu->setActiveAction(action);
        }
        QTest::keyClick(menu, Qt::Key_Return);
    });
    QTest::mouseClick(languageButton, Qt::LeftButton);
    QVERIFY(opened);
    MainWindowTestAccess::setLanguage(window, QStringLiteral("fr"));

    QCOMPARE(I18n::language(), QStringLiteral("fr"));
    QVERIFY(!QSettings().contains(languageKey));
    QCOMPARE(MainWindowTestAccess::cards(window), cards);
    QCOMPARE(label(window, "statusLabel")->toolTip(), QStringLiteral("Imprimante indisponible : X"));
    QCOMPARE(languageButton->text(), QStringLiteral("FR"));
}

void LanguageMenuTest::switchingClearsAnErrorFromTheStatusLine()
{
    MainWindow window;
    window.setStatus(QStringLiteral("Printer unavailable: Nowhere Office"), true);
    QCOMPARE(label(window, "statusLabel")->text(), QStringLiteral("Attention"));
    const QString errorDot = label(window, "statusDot")->styleSheet();

    MainWindowTestAccess::setLanguage(window, QStringLiteral("ko"));
    QCOMPARE(label(window, "statusLabel")->toolTip(), QStringLiteral("준비됨"));
    QVERIFY(label(window, "statusLabel")->text() != QStringLiteral("주의"));
    QVERIFY(label(window, "statusDot")->styleSheet() != errorDot);

    // A code that is not offered falls back to English, and English is what gets remembered.
    MainWindowTestAccess::setLanguage(window, QStringLiteral("pt"));
    QCOMPARE(I18n::language(), QStringLiteral("en"));
    QCOMPARE(QSettings().value(languageKey).toString(), QStringLiteral("en"));
    QCOMPARE(button(window, "languageButton")->text(), QStringLiteral("EN"));
    QCOMPARE(label(window, "statusLabel")->toolTip(), QStringLiteral("Ready"));
}

void LanguageMenuTest::noticeReturnsUntilTheBoxIsTicked()
{
    QSettings().remove(noticeKey);
    I18n::setLanguage(QStringLiteral("de"));

    // First start: shown in the current language; closed unticked, so nothing is remembered.
    {
        MainWindow window;
        NoticeAnswerer answerer(false, &window);
        window.show();
        QTRY_COMPARE_WITH_TIMEOUT(answerer.seen.size(), 1, 10000);
        const NoticeSeen &notice = answerer.seen.constFirst();
        QCOMPARE(notice.title, QStringLiteral("Kompatibilität von Ollavan Quick"));
        QCOMPARE(notice.text,
                 I18n::text("Ollavan Quick works with the Windows printing applications installed on "
                            "your computer."));
        QVERIFY(notice.text.startsWith(QStringLiteral("Ollavan Quick arbeitet")));
        QCOMPARE(notice.informative,
                 I18n::text("PDF quick printing uses the built-in PDF engine when Adobe Acrobat or Reader is "
                            "unavailable.\nWord quick printing requires Microsoft Office with Word "
                            "installed.\n\nMicrosoft Word is not included with Ollavan Quick."));
        QCOMPARE(notice.informative.count(QLatin1Char('\n')), 3);
        QCOMPARE(notice.checkBox, QStringLiteral("Nicht mehr anzeigen"));
        QVERIFY(!notice.initiallyChecked);
        QVERIFY(notice.information);
        QVERIFY(notice.onlyOk);
        QVERIFY(notice.parentIsWindow);
    }
    QVERIFY(!QSettings().contains(noticeKey));

    // Second start: shown again; this time the box is ticked.
    {
        MainWindow window;
        NoticeAnswerer answerer(true, &window);
        window.show();
        QTRY_COMPARE_WITH_TIMEOUT(answerer.seen.size(), 1, 10000);
    }
    QCOMPARE(QSettings().value(noticeKey).toBool(), true);

    // Third start: not shown any more (waited for well beyond its moment after construction).
    {
        MainWindow window;
        NoticeAnswerer answerer(false, &window);
        window.show();
        QTest::qWait(1500);
        QCOMPARE(answerer.seen.size(), 0);
    }
}

void LanguageMenuTest::screenshotRunsNeverShowTheNotice()
{
    // The probe itself detects a notice: without a screenshot argument it sees one.
    QSettings().remove(noticeKey);
    QSettings().sync();
    QProcess control;
    control.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--notice-probe")});
    QVERIFY(control.waitForFinished(60000));
    QCOMPARE(control.exitStatus(), QProcess::NormalExit);
    QCOMPARE(control.exitCode(), 3);

    for (const QString &argument : {QStringLiteral("--screenshot"), QStringLiteral("--screenshot-dark"),
                                    QStringLiteral("--screenshot-add-dialog")}) {
        QProcess probe;
        probe.start(QCoreApplication::applicationFilePath(),
                    {argument, QDir::home().filePath(QStringLiteral("unused.png"))});
        QVERIFY(probe.waitForFinished(60000));
        QCOMPARE(probe.exitStatus(), QProcess::NormalExit);
        QVERIFY2(probe.exitCode() == 0, qPrintable(argument + QStringLiteral(": a notice appeared\n") +
                                                   QString::fromLocal8Bit(probe.readAllStandardError())));
        QSettings settings;
        settings.sync();
        QVERIFY2(!settings.contains(noticeKey), qPrintable(argument));
    }
}

int main(int argc, char **argv)
{
    if (argc >= 2 &&
        (QByteArray(argv[1]).startsWith("--screenshot") || QByteArray(argv[1]) == "--notice-probe"))
        return noticeProbe(argc, argv);
    QApplication app(argc, argv);
    LanguageMenuTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_languagemenu.moc"
