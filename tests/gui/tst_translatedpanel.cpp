// Every interface language on the panel, the history dialog and the preset editor: a screenshot of each under
// the test's HOME, and every text shown (labels, buttons, tool tips, window titles, table headers and cells)
// made only of that language's translations and the user's own data.
#include "base/AppIdentity.h"
#include "base/I18n.h"
#include "base/SettingsKeys.h"
#include "base/TranslationTable.h"
#include "model/DatabaseLocation.h"
#include "model/PresetRepository.h"
#include "ui/MainWindow.h"
#include "ui/PrintHistoryDialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <functional>

class MainWindowTestAccess
{
public:
    static void setLanguage(MainWindow &window, const QString &code) { window.setLanguage(code); }
};

namespace {

// The user's own data shown on the panel and in the history: never translated.
const QStringList userData = {
    QStringLiteral("Ollavan Quick"),
    QStringLiteral("Office A4"),
    QStringLiteral("Office"),
    QStringLiteral("A4"),
    QStringLiteral("A5"),
    QStringLiteral("Nowhere Office"),
    QStringLiteral("Nowhere Color"),
    QStringLiteral("Ctrl+Alt+1"),
    QStringLiteral("quarterly report.pdf"),
    QStringLiteral("holiday.jpg"),
    QStringLiteral("Front Desk"),
    QStringLiteral("Mono · Single-sided · A4"),
    QStringLiteral("Farbe · Beidseitig (lange Kante) · A5"),
};

// Standard paper names, the same in every language.
const QStringList paperNames = {QStringLiteral("A3"),     QStringLiteral("A4"),   QStringLiteral("A5"),
                                QStringLiteral("A6"),     QStringLiteral("B4"),   QStringLiteral("B5"),
                                QStringLiteral("Letter"), QStringLiteral("Legal")};

// Marks of the title bar that stay the same in every language.
const QStringList untranslatedMarks = {QStringLiteral("Ollavan"), QStringLiteral("H")};

struct ShownText
{
    QString where;
    QString text;
};

// Every text a user can see on a shown window: titles, label and button texts, tool tips, placeholders,
// table headers and cells.
QList<ShownText> shownTexts(QWidget *root)
{
    QList<ShownText> texts;
    auto add = [&texts](QWidget *widget, const char *what, const QString &text) {
        if (!text.trimmed().isEmpty())
            texts.append({QStringLiteral("%1#%2 %3")
                              .arg(QLatin1String(widget->metaObject()->className()), widget->objectName(),
                                   QLatin1String(what)),
                          text});
    };
    QList<QWidget *> widgets = root->findChildren<QWidget *>();
    widgets.prepend(root);
    for (QWidget *widget : std::as_const(widgets)) {
        if (!widget->isVisible())
            continue;
        if (widget->isWindow())
            add(widget, "title", widget->windowTitle());
        add(widget, "tool tip", widget->toolTip());
        if (auto *label = qobject_cast<QLabel *>(widget))
            add(widget, "text", label->text());
        if (auto *button = qobject_cast<QAbstractButton *>(widget))
            add(widget, "text", button->text());
        if (auto *edit = qobject_cast<QLineEdit *>(widget)) {
            add(widget, "placeholder", edit->placeholderText());
            add(widget, "text", edit->text());
        }
        if (auto *combo = qobject_cast<QComboBox *>(widget)) {
            for (int i = 0; i < combo->count(); ++i)
                add(widget, "item", combo->itemText(i));
        }
        if (auto *table = qobject_cast<QTableWidget *>(widget)) {
            for (int column = 0; column < table->columnCount(); ++column) {
                if (QTableWidgetItem *header = table->horizontalHeaderItem(column))
                    add(widget, "header", header->text());
                for (int row = 0; row < table->rowCount(); ++row) {
                    if (QTableWidgetItem *item = table->item(row, column))
                        add(widget, "cell", item->text());
                }
            }
        }
    }
    return texts;
}

// The words of one language: each row's text in that language, cut at its placeholders.
QStringList languagePieces(const QString &code)
{
    static const QStringList codes = {"en", "zh-Hans", "zh-Hant", "ja", "ko", "de", "fr"};
    static const QRegularExpression placeholder(QStringLiteral("%\\d+"));
    const int column = int(codes.indexOf(code));
    QStringList pieces;
    for (const auto *rows :
         {&translationRows(), &extraTranslationRows(), &printingTranslationRows(), &settingsTranslationRows(),
          &panelTranslationRows(), &desktopTranslationRows(), &commandLineTranslationRows()}) {
        for (const TranslationRow &row : *rows) {
            const char *cells[] = {row.en, row.zhHans, row.zhHant, row.ja, row.ko, row.de, row.fr};
            for (const QString &fragment : QString::fromUtf8(cells[column]).split(placeholder)) {
                const QString piece = fragment.trimmed();
                if (std::any_of(piece.cbegin(), piece.cend(), [](QChar c) { return c.isLetter(); }))
                    pieces << piece;
            }
        }
    }
    return pieces;
}

bool hasLetter(const QString &text)
{
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.isLetter(); });
}

bool explained(QString text, const QStringList &pieces)
{
    static const QRegularExpression colorCodes(QStringLiteral("#[0-9A-Fa-f]{6}\\b"));
    text.remove(colorCodes);
    for (const QString &piece : pieces)
        text.replace(piece, QStringLiteral("\u0001"));
    return !hasLetter(text);
}

// A text cut short with "…": explained pieces, then the beginning of one more piece.
bool elidedButExplained(const QString &text, const QStringList &pieces)
{
    const int ellipsis = int(text.indexOf(QChar(0x2026)));
    if (ellipsis <= 0)
        return false;
    const QString head = text.left(ellipsis);
    for (int cut = 0; cut < head.size(); ++cut) {
        const QString tail = head.mid(cut).trimmed();
        if (tail.isEmpty() || !hasLetter(tail))
            continue;
        const bool begins = std::any_of(pieces.cbegin(), pieces.cend(),
                                        [&tail](const QString &p) { return p.startsWith(tail); });
        if (begins && explained(head.left(cut), pieces))
            return true;
    }
    return false;
}

// The texts that are not explained by the language's translations, the language's own label and the
// user's data. A text cut short with "…" is explained when it begins one of the translations.
QStringList foreignTexts(const QList<ShownText> &texts, const QString &code)
{
    QStringList pieces = languagePieces(code) + userData;
    for (const AppLanguage &language : I18n::languages()) {
        if (language.code == code)
            pieces << language.shortLabel;
    }
    std::sort(pieces.begin(), pieces.end(),
              [](const QString &a, const QString &b) { return a.size() > b.size(); });

    QStringList foreign;
    for (const ShownText &shown : texts) {
        static const QRegularExpression colorCode(QStringLiteral("^#[0-9A-Fa-f]{6}$"));
        if (untranslatedMarks.contains(shown.text) || paperNames.contains(shown.text) ||
            colorCode.match(shown.text).hasMatch())
            continue;
        if (explained(shown.text, pieces))
            continue;
        if (elidedButExplained(shown.text, pieces))
            continue;
        foreign << shown.where + QStringLiteral(": \"") + shown.text + QLatin1Char('"');
    }
    return foreign;
}

QString saveScreenshot(QWidget *widget, const QString &name)
{
    QDir home = QDir::home();
    home.mkpath(QStringLiteral("screenshots"));
    const QString path = home.filePath(QStringLiteral("screenshots/%1.png").arg(name));
    QFile::remove(path);
    if (!widget->grab().save(path, "PNG"))
        return QString();
    return path;
}

void whenModalDialogAppears(std::function<void(QDialog *)> handle)
{
    auto *timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, handle] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        handle(dialog);
    });
    timer->start();
}

}  // namespace

class TranslatedPanelTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup() { I18n::setLanguage(QStringLiteral("en")); }
    void everyTextShownIsInTheChosenLanguage_data();
    void everyTextShownIsInTheChosenLanguage();
    void screenshotsDifferBetweenLanguages();

private:
    QHash<QString, QImage> panelShots;
    QHash<QString, QImage> historyShots;
};

void TranslatedPanelTest::initTestCase()
{
    AppIdentity::apply();
    const QString path = DatabaseLocation::databasePath();
    QVERIFY(path.startsWith(QDir::homePath()));
    QFile::remove(path);
    DatabaseLocation::createDatabaseFolder(path);
    PresetRepository repository(path);
    QString error;
    QVERIFY2(repository.open(&error), qPrintable(error));

    PrintPreset office;
    office.title = QStringLiteral("Office A4");
    office.colorMode = ColorMode::Mono;
    office.duplexMode = DuplexMode::Duplex;
    office.duplexEdge = DuplexEdge::Short;
    office.paperSize = QStringLiteral("A4");
    office.printerName = QStringLiteral("Nowhere Office");
    office.backgroundColor = QStringLiteral("#2f80ed");
    office.hotkey = QStringLiteral("Ctrl+Alt+1");
    office.copies = 2;
    office.sortOrder = -1;
    QVERIFY2(repository.addPreset(office, &error), qPrintable(error));
    PrintPreset untitled;  // its card title is made of translated words
    untitled.colorMode = ColorMode::Color;
    untitled.duplexMode = DuplexMode::Simplex;
    untitled.paperSize = QStringLiteral("A5");
    untitled.printerName = QStringLiteral("Nowhere Color");
    untitled.backgroundColor = QStringLiteral("#ff8a00");
    untitled.useDriverSettings = true;
    untitled.sortOrder = -1;
    QVERIFY2(repository.addPreset(untitled, &error), qPrintable(error));

    PrintHistoryEntry known;
    known.createdAt = QDateTime(QDate(2026, 12, 1), QTime(8, 30));
    known.jobName = QStringLiteral("quarterly report.pdf");
    known.printerName = QStringLiteral("Nowhere Office");
    known.parameters = QStringLiteral("Mono · Single-sided · A4");
    known.copies = 2;
    known.pageCount = 12;
    known.totalPages = 24;
    QVERIFY2(repository.addPrintHistory(known, &error), qPrintable(error));
    PrintHistoryEntry unknown = known;
    unknown.jobName = QStringLiteral("holiday.jpg");
    unknown.printerName = QStringLiteral("Front Desk");
    unknown.parameters = QStringLiteral("Farbe · Beidseitig (lange Kante) · A5");
    unknown.pageCount = 0;
    unknown.totalPages = 0;
    QVERIFY2(repository.addPrintHistory(unknown, &error), qPrintable(error));
}

void TranslatedPanelTest::init()
{
    QSettings().clear();
    QSettings().setValue(QLatin1String(SettingsKeys::CompatibilityNoticeShown), true);
}

void TranslatedPanelTest::everyTextShownIsInTheChosenLanguage_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("writingSystem");
    const QHash<QString, QFontDatabase::WritingSystem> systems = {
        {"en", QFontDatabase::Latin},
        {"zh-Hans", QFontDatabase::SimplifiedChinese},
        {"zh-Hant", QFontDatabase::TraditionalChinese},
        {"ja", QFontDatabase::Japanese},
        {"ko", QFontDatabase::Korean},
        {"de", QFontDatabase::Latin},
        {"fr", QFontDatabase::Latin},
    };
    for (const AppLanguage &language : I18n::languages())
        QTest::newRow(qPrintable(language.code)) << language.code << int(systems.value(language.code));
}

void TranslatedPanelTest::everyTextShownIsInTheChosenLanguage()
{
    QFETCH(QString, code);
    QFETCH(int, writingSystem);
    QVERIFY2(!QFontDatabase::families(QFontDatabase::WritingSystem(writingSystem)).isEmpty(),
             "no font for this language's script: the screenshots would show empty boxes (fonts-noto-cjk)");

    // Start in another language and switch at run time, as the language menu does.
    I18n::setLanguage(code == QLatin1String("en") ? QStringLiteral("fr") : QStringLiteral("en"));
    MainWindow window;
    window.move(40, 40);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    MainWindowTestAccess::setLanguage(window, code);
    QCoreApplication::processEvents();  // the rebuilt cards show themselves
    QCOMPARE(I18n::language(), code);
    QCOMPARE(QSettings().value(QLatin1String(SettingsKeys::Language)).toString(), code);

    const QList<ShownText> panelTexts = shownTexts(&window);
    QStringList seen;
    for (const ShownText &shown : panelTexts)
        seen << shown.text;
    // The texts looked at include the title-bar tool tips, the add button and the cards.
    QVERIFY2(seen.contains(I18n::text("Print history")), qPrintable(seen.join('\n')));
    QVERIFY2(seen.contains(I18n::text("Edit printer preset")), qPrintable(seen.join('\n')));
    QVERIFY2(seen.contains(I18n::text("Global hotkey: %1").arg(QStringLiteral("Ctrl+Alt+1"))),
             qPrintable(seen.join('\n')));
    const QStringList panelForeign = foreignTexts(panelTexts, code);
    QVERIFY2(panelForeign.isEmpty(),
             qPrintable(QStringLiteral("panel texts not in ") + code + QStringLiteral(":\n") +
                        panelForeign.join(QLatin1Char('\n'))));

    const QString panelPath = saveScreenshot(&window, QStringLiteral("panel-") + code);
    QVERIFY(!panelPath.isEmpty());
    const QImage panel(panelPath);
    QCOMPARE(panel.size(), window.size() * window.devicePixelRatio());
    panelShots.insert(code, panel);

    // The history dialog, opened from the panel's button.
    QList<ShownText> historyTexts;
    QString historyPath;
    QString historyTitle;
    int historyRows = -1;
    whenModalDialogAppears([&](QDialog *dialog) {
        historyTitle = dialog->windowTitle();
        if (auto *history = qobject_cast<PrintHistoryDialog *>(dialog))
            historyRows = history->table()->rowCount();
        historyTexts = shownTexts(dialog);
        historyPath = saveScreenshot(dialog, QStringLiteral("history-") + code);
        if (auto *buttons = dialog->findChild<QDialogButtonBox *>())
            QTest::mouseClick(buttons->buttons().constFirst(), Qt::LeftButton);
        else
            dialog->reject();
    });
    QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("historyButton")), Qt::LeftButton);
    QCOMPARE(historyTitle, I18n::text("Print history"));
    QCOMPARE(historyRows, 2);
    seen.clear();
    for (const ShownText &shown : historyTexts)
        seen << shown.text;
    for (const char *key :
         {"Time", "Job", "Printer", "Settings", "Copies", "Pages", "Total pages", "Unknown", "Close"})
        QVERIFY2(seen.contains(I18n::text(key)), key);
    const QStringList historyForeign = foreignTexts(historyTexts, code);
    QVERIFY2(historyForeign.isEmpty(),
             qPrintable(QStringLiteral("history texts not in ") + code + QStringLiteral(":\n") +
                        historyForeign.join(QLatin1Char('\n'))));
    QVERIFY(!historyPath.isEmpty());
    const QImage history(historyPath);
    QCOMPARE(history.size(), QSize(820, 460) * window.devicePixelRatio());
    historyShots.insert(code, history);

    // The preset editor, opened from the add button.
    QList<ShownText> editorTexts;
    QString editorTitle;
    QString editorPath;
    QStringList editorDialogs;
    whenModalDialogAppears([&](QDialog *dialog) {
        editorTitle = dialog->windowTitle();
        editorTexts = shownTexts(dialog);
        editorPath = saveScreenshot(dialog, QStringLiteral("editor-") + code);
        dialog->reject();
    });
    QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("addPrinterButton")), Qt::LeftButton);
    QCOMPARE(editorTitle, I18n::text("Add printer preset"));
    QVERIFY(!editorPath.isEmpty());
    seen.clear();
    for (const ShownText &shown : editorTexts)
        seen << shown.text;
    for (const char *key :
         {"Preset name", "Duplex", "Color mode", "Paper size", "Global hotkey", "Save", "Cancel"})
        QVERIFY2(seen.contains(I18n::text(key)), key);
    const QStringList editorForeign = foreignTexts(editorTexts, code);
    QVERIFY2(editorForeign.isEmpty(),
             qPrintable(QStringLiteral("editor texts not in ") + code + QStringLiteral(":\n") +
                        editorForeign.join(QLatin1Char('\n'))));
}

void TranslatedPanelTest::screenshotsDifferBetweenLanguages()
{
    QCOMPARE(panelShots.size(), I18n::languages().size());
    QCOMPARE(historyShots.size(), I18n::languages().size());
    for (const AppLanguage &language : I18n::languages()) {
        if (language.code == QLatin1String("en"))
            continue;
        QVERIFY2(panelShots.value(language.code) != panelShots.value(QStringLiteral("en")),
                 qPrintable(language.code));
        QVERIFY2(historyShots.value(language.code) != historyShots.value(QStringLiteral("en")),
                 qPrintable(language.code));
    }
}

QTEST_MAIN(TranslatedPanelTest)
#include "tst_translatedpanel.moc"
