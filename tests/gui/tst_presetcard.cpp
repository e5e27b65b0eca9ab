// Preset cards under the offscreen platform: the title, the copies stepper, the status badge, clicks and
// drag-and-drop sent as real Qt events.
#include "base/I18n.h"
#include "base/PrintOptions.h"
#include "ui/PresetCard.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QUrl>

namespace {

PrintPreset makePreset()
{
    PrintPreset preset;
    preset.id = 7;
    preset.title = QStringLiteral("Office");
    preset.colorMode = ColorMode::Mono;
    preset.duplexMode = DuplexMode::Duplex;
    preset.duplexEdge = DuplexEdge::Long;
    preset.paperSize = QStringLiteral("A4");
    preset.printerName = QStringLiteral("  Office Laser ");
    preset.backgroundColor = QStringLiteral("#3366cc");
    preset.copies = 1;
    return preset;
}

QPushButton *stepButton(PresetCard &card, const QString &glyph)
{
    const QList<QPushButton *> buttons = card.findChildren<QPushButton *>(QStringLiteral("stepButton"));
    for (QPushButton *button : buttons) {
        if (button->text() == glyph)
            return button;
    }
    return nullptr;
}

QString copiesText(PresetCard &card)
{
    return card.findChild<QLabel *>(QStringLiteral("copiesLabel"))->text();
}

QMimeData *urlData(const QList<QUrl> &urls)
{
    auto *mime = new QMimeData;
    mime->setUrls(urls);
    return mime;
}

bool dragEnter(PresetCard &card, QMimeData *mime)
{
    QDragEnterEvent event(QPoint(20, 20), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    event.setAccepted(false);
    QApplication::sendEvent(&card, &event);
    return event.isAccepted();
}

void sendRelease(PresetCard &card, const QPoint &at, Qt::MouseButton button)
{
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(40, 40), card.mapToGlobal(QPointF(40, 40)), button,
                      button, Qt::NoModifier);
    QApplication::sendEvent(&card, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at), card.mapToGlobal(QPointF(at)), button,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&card, &release);
}

}  // namespace

class PresetCardTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { I18n::setLanguage(QStringLiteral("en")); }

    void displayTitle_data();
    void displayTitle();
    void copiesStepperStaysInRangeAndReportsChanges();
    void statusBadgeWordsAndColours();
    void borderColourAndHotkeyBadge();
    void clicksPrintOnlyWhenReleasedInsideWithLeftButton();
    void dragsAcceptExactlyOneSupportedLocalFile();
    void printerKeyIsTrimmedAndCaseFolded();
};

void PresetCardTest::displayTitle_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("paper");
    QTest::addColumn<QString>("duplex");
    QTest::addColumn<QString>("color");
    QTest::addColumn<QString>("expected");
    const QString dot = QStringLiteral(" \u00b7 ");
    QTest::newRow("stored name ends with its paper") << "Double-sided Mono A4"
                                                     << "A4"
                                                     << "duplex"
                                                     << "mono"
                                                     << "Double-sided Mono" + dot + "A4";
    QTest::newRow("JIS paper is cut to its short name") << "Office"
                                                        << "A4 (JIS)"
                                                        << "duplex"
                                                        << "mono"
                                                        << "Office" + dot + "A4";
    QTest::newRow("JIS suffix in the title") << "Flyers B5 (JIS)"
                                             << "B5 (JIS)"
                                             << "simplex"
                                             << "color"
                                             << "Flyers" + dot + "B5";
    QTest::newRow("case-insensitive paper and title") << "Mono a4 "
                                                      << "a4 plain"
                                                      << "duplex"
                                                      << "mono"
                                                      << "Mono" + dot + "A4";
    QTest::newRow("letter stays whole") << "Memo Letter"
                                        << "Letter"
                                        << "simplex"
                                        << "mono"
                                        << "Memo" + dot + "Letter";
    QTest::newRow("legal with spaces") << "  Contracts   legal  "
                                       << " Legal "
                                       << "simplex"
                                       << "mono"
                                       << "Contracts" + dot + "Legal";
    QTest::newRow("no paper, title alone") << "Drafts"
                                           << "  "
                                           << "simplex"
                                           << "mono"
                                           << "Drafts";
    QTest::newRow("empty title, simplex colour") << ""
                                                 << ""
                                                 << "simplex"
                                                 << "color"
                                                 << "Single-sided Color";
    QTest::newRow("empty title, duplex mono with paper") << "   "
                                                         << "A3"
                                                         << "duplex"
                                                         << "mono"
                                                         << "Double-sided Mono" + dot + "A3";
    QTest::newRow("paper word in the middle is kept") << "A4 handouts"
                                                      << "A5"
                                                      << "simplex"
                                                      << "mono"
                                                      << "A4 handouts" + dot + "A5";
    QTest::newRow("unknown paper kept as written") << "Photos"
                                                   << "10x15cm"
                                                   << "simplex"
                                                   << "color"
                                                   << "Photos" + dot + "10x15cm";
}

void PresetCardTest::displayTitle()
{
    QFETCH(QString, title);
    QFETCH(QString, paper);
    QFETCH(QString, duplex);
    QFETCH(QString, color);
    QFETCH(QString, expected);
    PrintPreset preset = makePreset();
    preset.title = title;
    preset.paperSize = paper;
    preset.duplexMode = duplexModeFromText(duplex);
    preset.colorMode = colorModeFromText(color);
    QCOMPARE(::displayTitle(preset), expected);
}

void PresetCardTest::copiesStepperStaysInRangeAndReportsChanges()
{
    QList<int> reported;
    PrintPreset preset = makePreset();
    PresetCard card(preset);
    card.onCopiesChanged = [&](const PrintPreset &changed, int copies) {
        QCOMPARE(changed.copies, copies);
        reported.append(copies);
    };
    card.resize(288, 96);
    QPushButton *minus = stepButton(card, QString(QChar(0x2212)));
    QPushButton *plus = stepButton(card, QStringLiteral("+"));
    QVERIFY(minus && plus);
    QVERIFY(minus->isEnabled());  // enabled at construction even at 1

    QTest::mouseClick(minus, Qt::LeftButton);
    QCOMPARE(copiesText(card), QStringLiteral("1"));
    QVERIFY(reported.isEmpty());

    QTest::mouseClick(plus, Qt::LeftButton);
    QTest::mouseClick(plus, Qt::LeftButton);
    QCOMPARE(copiesText(card), QStringLiteral("3"));
    QCOMPARE(reported, (QList<int>{2, 3}));
    QVERIFY(minus->isEnabled());
    QTest::mouseClick(minus, Qt::LeftButton);
    QTest::mouseClick(minus, Qt::LeftButton);
    QCOMPARE(copiesText(card), QStringLiteral("1"));
    QVERIFY(!minus->isEnabled());
    QCOMPARE(card.currentPreset().copies, 1);
    QCOMPARE(reported, (QList<int>{2, 3, 2, 1}));

    // A click on a step button is not a click on the card.
    int executions = 0;
    card.onExecute = [&](const PrintPreset &, const QString &) { ++executions; };
    QTest::mouseClick(plus, Qt::LeftButton);
    QCOMPARE(executions, 0);

    reported.clear();
    preset.copies = 9999;
    PresetCard full(preset);
    full.onCopiesChanged = [&](const PrintPreset &, int copies) { reported.append(copies); };
    QTest::mouseClick(stepButton(full, QStringLiteral("+")), Qt::LeftButton);
    QCOMPARE(copiesText(full), QStringLiteral("9999"));
    QVERIFY(reported.isEmpty());
    full.changeCopies(-20000);
    QCOMPARE(copiesText(full), QStringLiteral("1"));
    QCOMPARE(reported, QList<int>{1});
}

void PresetCardTest::statusBadgeWordsAndColours()
{
    PresetCard card(makePreset());
    auto *badge = card.findChild<QLabel *>(QStringLiteral("statusBadge"));
    QVERIFY(badge);
    // A new card is checking, with the reading detail as tool tip.
    QCOMPARE(badge->text(), QStringLiteral("\u25cf Normal"));
    QCOMPARE(badge->toolTip(), QStringLiteral("Reading printer status"));
    QVERIFY(badge->styleSheet().contains(QStringLiteral("#6d5bd0")));

    struct Case
    {
        int level;
        const char *word;
        const char *light;
        const char *dark;
    };
    const Case cases[] = {{0, "Normal", "#6d5bd0", "#c4b5fd"},   {1, "Normal", "#15803d", "#86efac"},
                          {2, "Normal", "#1d4ed8", "#93c5fd"},   {3, "Attention", "#b45309", "#fcd34d"},
                          {4, "Critical", "#b91c1c", "#fca5a5"}, {5, "Offline", "#667085", "#aeb6c1"},
                          {6, "Normal", "#6d5bd0", "#c4b5fd"}};
    for (const Case &c : cases) {
        PrinterStatusSnapshot snapshot;
        snapshot.level = c.level;
        snapshot.text = QStringLiteral("not shown");
        snapshot.detail = QStringLiteral("detail %1").arg(c.level);
        card.applyTheme(false);
        card.setPrinterStatus(snapshot);
        QCOMPARE(badge->text(), QStringLiteral("\u25cf ") + QLatin1String(c.word));
        QCOMPARE(badge->toolTip(), snapshot.detail);
        QVERIFY2(badge->styleSheet().contains(QLatin1String("color:") + QLatin1String(c.light)),
                 qPrintable(badge->styleSheet()));
        card.applyTheme(true);  // the theme keeps the level
        QVERIFY2(badge->styleSheet().contains(QLatin1String("color:") + QLatin1String(c.dark)),
                 qPrintable(badge->styleSheet()));
        QVERIFY(!badge->text().contains(QStringLiteral("not shown")));
    }
    // A level outside the table leaves the colours empty rather than keeping the previous ones.
    PrinterStatusSnapshot odd;
    odd.level = 42;
    card.setPrinterStatus(odd);
    QVERIFY2(badge->styleSheet().contains(QStringLiteral("color:;background:;border:1px solid ;")),
             qPrintable(badge->styleSheet()));
    QCOMPARE(badge->text(), QStringLiteral("\u25cf Normal"));
}

void PresetCardTest::borderColourAndHotkeyBadge()
{
    PrintPreset preset = makePreset();
    preset.backgroundColor = QStringLiteral("not a colour");
    PresetCard plain(preset);
    plain.applyTheme(false);
    QVERIFY(plain.styleSheet().contains(QStringLiteral("2px solid #ff8a00")));
    auto *hotkey = plain.findChild<QLabel *>(QStringLiteral("hotkeyBadge"));
    QVERIFY(hotkey);
    QVERIFY(hotkey->isHidden());
    QVERIFY(hotkey->toolTip().isEmpty());

    preset.backgroundColor = QStringLiteral("Red");
    preset.hotkey = QStringLiteral("Ctrl+Alt+P");
    PresetCard named(preset);
    named.applyTheme(true);
    QVERIFY(named.styleSheet().contains(QStringLiteral("2px solid #ff0000")));
    QVERIFY(named.styleSheet().contains(QStringLiteral("#202326")));  // dark card background
    hotkey = named.findChild<QLabel *>(QStringLiteral("hotkeyBadge"));
    QVERIFY(!hotkey->isHidden());
    QCOMPARE(hotkey->text(), QStringLiteral("Ctrl+Alt+P"));
    QCOMPARE(hotkey->toolTip(), QStringLiteral("Global hotkey: Ctrl+Alt+P"));
}

void PresetCardTest::clicksPrintOnlyWhenReleasedInsideWithLeftButton()
{
    PresetCard card(makePreset());
    card.resize(288, 96);
    QStringList calls;
    card.onExecute = [&](const PrintPreset &preset, const QString &path) {
        calls.append(QStringLiteral("%1:%2").arg(preset.id).arg(path));
    };
    sendRelease(card, QPoint(300, 40), Qt::LeftButton);  // dragged off the card
    sendRelease(card, QPoint(40, -3), Qt::LeftButton);
    sendRelease(card, QPoint(40, 40), Qt::RightButton);
    QVERIFY(calls.isEmpty());
    sendRelease(card, QPoint(40, 40), Qt::LeftButton);
    QCOMPARE(calls, QStringList{QStringLiteral("7:")});

    // A disabled card (a print is being submitted) takes no clicks.
    card.setEnabled(false);
    QTest::mouseClick(&card, Qt::LeftButton, Qt::NoModifier, QPoint(40, 40));
    QCOMPARE(calls.size(), 1);

    // Without a callback nothing happens.
    card.setEnabled(true);
    card.onExecute = nullptr;
    sendRelease(card, QPoint(40, 40), Qt::LeftButton);
}

void PresetCardTest::dragsAcceptExactlyOneSupportedLocalFile()
{
    PresetCard card(makePreset());
    card.applyTheme(false);
    QStringList dropped;
    card.onExecute = [&](const PrintPreset &, const QString &path) { dropped.append(path); };

    const QUrl pdf = QUrl::fromLocalFile(QStringLiteral("/tmp/report.PDF"));
    const QUrl text = QUrl::fromLocalFile(QStringLiteral("/tmp/notes.txt"));
    const QUrl web(QStringLiteral("https://example.org/report.pdf"));
    std::unique_ptr<QMimeData> two(urlData({pdf, QUrl::fromLocalFile(QStringLiteral("/tmp/b.png"))}));
    std::unique_ptr<QMimeData> remote(urlData({web}));
    std::unique_ptr<QMimeData> unsupported(urlData({text}));
    std::unique_ptr<QMimeData> plainText(new QMimeData);
    plainText->setText(QStringLiteral("/tmp/report.pdf"));
    for (QMimeData *mime : {two.get(), remote.get(), unsupported.get(), plainText.get()}) {
        QVERIFY(!dragEnter(card, mime));
        QVERIFY(card.styleSheet().contains(QStringLiteral("2px solid #3366cc")));
    }

    std::unique_ptr<QMimeData> one(urlData({pdf}));
    QVERIFY(dragEnter(card, one.get()));
    QVERIFY(card.styleSheet().contains(QStringLiteral("3px solid #3366cc")));
    QDragLeaveEvent leave;
    QApplication::sendEvent(&card, &leave);
    QVERIFY(card.styleSheet().contains(QStringLiteral("2px solid #3366cc")));
    QVERIFY(dropped.isEmpty());

    QVERIFY(dragEnter(card, one.get()));
    QDropEvent drop(QPointF(20, 20), Qt::CopyAction, one.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&card, &drop);
    QVERIFY(drop.isAccepted());
    QCOMPARE(dropped, QStringList{QStringLiteral("/tmp/report.PDF")});
    QVERIFY(card.styleSheet().contains(QStringLiteral("2px solid #3366cc")));
}

void PresetCardTest::printerKeyIsTrimmedAndCaseFolded()
{
    PrintPreset preset = makePreset();
    PresetCard first(preset);
    preset.printerName = QStringLiteral("OFFICE LASER");
    PresetCard second(preset);
    QCOMPARE(first.printerKey(), QStringLiteral("office laser"));
    QCOMPARE(first.printerKey(), second.printerKey());
}

QTEST_MAIN(PresetCardTest)
#include "tst_presetcard.moc"
