// The panel under the offscreen platform, over a real store and settings in the test's own folders: the
// cards (what they show, printer statuses, copies, the editor, deleting), the print history, printing (the
// foreground memory of a made-up desktop, one job at a time, the boxes, no history row for a job not handed
// over, drops), the language switch; and the built program's start-up switches.
#include "support/FakeWindowSystem.h"
#include "support/PanelFixture.h"

#include "base/I18n.h"
#include "base/SettingsKeys.h"
#include "model/DatabaseLocation.h"
#include "model/PresetRepository.h"
#include "ui/ElidedLabel.h"
#include "ui/MainWindow.h"
#include "ui/PresetCard.h"
#include "ui/PresetCards.h"
#include "ui/PresetDialog.h"
#include "ui/PrintExecution.h"
#include "ui/PrintHistoryDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QMutex>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QSettings>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QPushButton *buttonOf(QWidget *parent, const QString &textOrToolTip)
{
    for (QPushButton *button : parent->findChildren<QPushButton *>()) {
        if (button->text() == textOrToolTip || button->toolTip() == textOrToolTip)
            return button;
    }
    return nullptr;
}

// A label's text, and its tool tip after a bar when it has one.
QString shown(QWidget *parent, const char *name)
{
    auto *label = parent->findChild<QLabel *>(QLatin1String(name));
    return label->text() + (label->toolTip().isEmpty() ? QString() : QLatin1Char('|') + label->toolTip());
}

bool sendDrag(QWidget &target, QEvent::Type type, QMimeData *mime)
{
    QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QDropEvent drop(QPointF(20, 20), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QDropEvent &event = type == QEvent::DragEnter ? enter : drop;
    event.setAccepted(false);
    QApplication::sendEvent(&target, &event);
    return event.isAccepted();
}

// The status monitor as scripted here: each printer's levels in turn (the last one repeats).
QMutex scriptLock;
QHash<QString, QList<int>> scriptedLevels;
QStringList checkedPrinters;

PrinterStatusSnapshot scriptedCheck(const QString &printer)
{
    QMutexLocker lock(&scriptLock);
    const QList<int> levels = scriptedLevels.value(printer);
    const int earlier = int(checkedPrinters.count(printer));
    checkedPrinters << printer;
    PrinterStatusSnapshot snapshot;  // an unscripted printer is ready, its detail is its name
    snapshot.level = levels.value(qMin(earlier, int(levels.size()) - 1), int(PrinterStatusLevel::Ready));
    snapshot.detail =
        levels.isEmpty() ? printer : QStringLiteral("%1 check %2").arg(printer).arg(earlier + 1);
    return snapshot;
}

// Every label and button text and tool tip the shown panel offers.
QStringList shownTexts(QWidget *window)
{
    QStringList texts;
    for (QWidget *widget : window->findChildren<QWidget *>()) {
        if (!widget->isVisible())
            continue;
        texts << widget->toolTip();
        if (auto *label = qobject_cast<QLabel *>(widget))
            texts << label->text();
        if (auto *button = qobject_cast<QAbstractButton *>(widget))
            texts << button->text();
    }
    texts.removeAll(QString());
    return texts;
}

// The texts that still have Latin letters once the user's own data and the program's marks are taken out.
QStringList latinTexts(QStringList texts)
{
    for (const char *data : {"Office", "Front Desk", "Ctrl+Alt+1", "A4", "Ollavan"})
        texts.replaceInStrings(QLatin1String(data), QString());
    texts.removeAll(QStringLiteral("H"));
    return texts.filter(QRegularExpression(QStringLiteral("[A-Za-z]")));
}

QString qtCancelText()
{
    return QDialogButtonBox(QDialogButtonBox::Cancel).buttons().constFirst()->text();
}

}  // namespace

class PanelTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        startPanelTest();
        QMutexLocker lock(&scriptLock);
        scriptedLevels.clear();
        checkedPrinters.clear();
        PrinterStatusMonitor::setCheckForTesting(scriptedCheck);
    }
    void cards();
    void printHistory();
    void printing();
    void menuSwitchesEveryText();
    void switches_data();
    void switches();
};

void PanelTest::cards()
{
    // Two presets share a printer (written differently), the third printer's agent answers late.
    PrintPreset office = panelPreset(QStringLiteral("Office A4"), QStringLiteral("Office"));
    office.duplexMode = DuplexMode::Duplex;
    office.duplexEdge = DuplexEdge::Short;
    office.hotkey = QStringLiteral("Ctrl+Alt+P");
    office.backgroundColor = QStringLiteral("Red");
    PrintPreset untitled = panelPreset(QString(), QStringLiteral(" OFFICE "));
    untitled.colorMode = ColorMode::Color;
    untitled.paperSize = QStringLiteral("b5 (JIS)");
    untitled.backgroundColor = QStringLiteral("not a colour");
    untitled.copies = 9998;
    QVERIFY(
        storePresets({office, untitled, panelPreset(QStringLiteral("Silent"), QStringLiteral("Silent"))}));
    {
        QMutexLocker lock(&scriptLock);
        scriptedLevels = {{QStringLiteral("Office"), {int(PrinterStatusLevel::Critical), 6}},
                          {QStringLiteral("Silent"), {6, 6, 6, int(PrinterStatusLevel::Offline)}}};
    }
    QSettings().remove(QLatin1String(SettingsKeys::CompatibilityNoticeShown));
    ModalDialogCloser closer;
    MainWindow window;
    window.show();
    auto *controller = window.findChild<PresetCards *>();
    const QList<PresetCard *> cards = controller->cards();
    QCOMPARE(cards.size(), 3);
    QCOMPARE(window.findChild<QScrollArea *>()->height(), 318);
    QCOMPARE(shown(&window, "dropHint"),
             QStringLiteral("Drop a file onto a printer preset to print\nor bring a "
                            "supported document to the foreground"));
    const QStringList titles = {"Office \u00b7 A4", "Single-sided Color \u00b7 B5", "Silent \u00b7 A4"};
    const QStringList sides = {"Short edge", "Single-sided", "Single-sided"};
    const QStringList borders = {"2px solid #ff0000", "2px solid #ff8a00", "2px solid #ff8a00"};
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(cards.at(i)->findChild<ElidedLabel *>()->fullText(), titles.at(i));
        QCOMPARE(shown(cards.at(i), "duplexLabel"), sides.at(i));
        QVERIFY2(cards.at(i)->styleSheet().contains(borders.at(i)), qPrintable(cards.at(i)->styleSheet()));
        QCOMPARE(shown(cards.at(i), "statusBadge"), QStringLiteral("\u25cf Normal|Reading printer status"));
        QCOMPARE(cards.at(i)->findChild<QLabel *>(QStringLiteral("hotkeyBadge"))->isVisible(), i == 0);
    }
    QCOMPARE(shown(cards.at(0), "hotkeyBadge"), QStringLiteral("Ctrl+Alt+P|Global hotkey: Ctrl+Alt+P"));
    QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("themeButton")), Qt::LeftButton);
    QVERIFY(cards.at(0)->styleSheet().contains(QStringLiteral("background:#202326")));  // the dark card

    // Statuses: each printer once per round; a silent one is asked again 2 seconds later, twice at most.
    QTRY_COMPARE(shown(cards.at(0), "statusBadge"), QStringLiteral("\u25cf Critical|Office check 1"));
    QCOMPARE(shown(cards.at(1), "statusBadge"), QStringLiteral("\u25cf Critical|Office check 1"));
    QCOMPARE(shown(cards.at(2), "statusBadge"),
             QStringLiteral("\u25cf Normal|SNMP did not respond. Retrying in 2 seconds."));
    // Office falls silent: it keeps showing its last valid status meanwhile.
    QTRY_COMPARE_WITH_TIMEOUT(shown(cards.at(0), "statusBadge"),
                              QStringLiteral("\u25cf Critical|Office check 1\nThis status refresh failed; "
                                             "showing the last valid status."),
                              5000);
    // The third silence in a row is shown as it is.
    QTRY_COMPARE_WITH_TIMEOUT(shown(cards.at(2), "statusBadge"),
                              QStringLiteral("\u25cf Normal|Silent check 3"), 5000);
    QTRY_COMPARE_WITH_TIMEOUT(shown(cards.at(0), "statusBadge"),
                              QStringLiteral("\u25cf Normal|Office check 4"), 5000);
    QCOMPARE(shown(cards.at(2), "statusBadge"), QStringLiteral("\u25cf Offline|Silent check 4"));
    QTest::qWait(2500);  // an answer ends the retries
    {
        QMutexLocker lock(&scriptLock);
        QCOMPARE(checkedPrinters, QStringList({"Office", "Silent", "Office", "Silent", "Office", "Silent",
                                               "Office", "Silent"}));
    }
    // Meanwhile the one-time notice came; dismissed with its box unticked, it will come again.
    QCOMPARE(closer.seen,
             QStringList(QStringLiteral("Ollavan Quick compatibility|Ollavan Quick works with the "
                                        "Windows printing applications installed on your computer.")));
    QVERIFY(!QSettings().contains(QLatin1String(SettingsKeys::CompatibilityNoticeShown)));

    // Copies between 1 and 9999, stored without rebuilding the cards.
    QPushButton *minus = buttonOf(cards.at(0), QString(QChar(0x2212)));
    QTest::mouseClick(minus, Qt::LeftButton);
    QCOMPARE(shown(cards.at(0), "copiesLabel"), QStringLiteral("1"));
    QTest::mouseClick(buttonOf(cards.at(0), QStringLiteral("+")), Qt::LeftButton);
    QTest::mouseClick(buttonOf(cards.at(0), QStringLiteral("+")), Qt::LeftButton);
    QCOMPARE(statusMessage(window), QStringLiteral("Copies set to 3"));
    QTest::mouseClick(buttonOf(cards.at(1), QStringLiteral("+")), Qt::LeftButton);
    QTest::mouseClick(buttonOf(cards.at(1), QStringLiteral("+")), Qt::LeftButton);
    QCOMPARE(shown(cards.at(1), "copiesLabel"), QStringLiteral("9999"));
    QCOMPARE(storedPresets().at(0).copies, 3);
    QCOMPARE(storedPresets().at(1).copies, 9999);
    cards.at(0)->changeCopies(-5);
    QVERIFY(!minus->isEnabled());
    QCOMPARE(storedPresets().at(0).copies, 1);
    QCOMPARE(controller->cards(), cards);

    // The editor: with no printer installed a new preset cannot be saved; editing Silent, a hotkey without
    // modifier and Office's hotkey are refused, then a free one is saved with a name made up for it.
    QStringList answers;
    const auto save = [&](const QString &hotkey, bool keepName = true) {
        auto *dialog = qobject_cast<PresetDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return false;
        dialog->findChild<QKeySequenceEdit *>()->setKeySequence(QKeySequence(hotkey));
        if (!keepName)
            dialog->findChild<QLineEdit *>(QStringLiteral("presetNameEdit"))->clear();
        dialog->findChild<QComboBox *>(QStringLiteral("duplexCombo"))->setCurrentIndex(2);
        QTest::mouseClick(dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok),
                          Qt::LeftButton);
        answers << (dialog->isVisible() ? closer.seen.last() : QStringLiteral("saved"));
        return true;
    };
    whenOpen([&] { return save(QString()) && QApplication::activeModalWidget()->close(); });
    QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("addPrinterButton")), Qt::LeftButton);
    whenOpen([&] {
        return save(QStringLiteral("F5")) && save(QStringLiteral("Ctrl+Alt+P")) &&
               save(QStringLiteral("Ctrl+Alt+2"), false);
    });
    QTest::mouseClick(buttonOf(cards.at(2), QStringLiteral("Edit printer preset")), Qt::LeftButton);
    QCOMPARE(answers,
             QStringList({"No printer selected|Install a printer in Windows, then click Refresh.",
                          "Invalid hotkey|The hotkey must include Ctrl, Alt, Shift or Win and use a "
                          "letter, number or F1-F24.",
                          "Duplicate hotkey|Office A4 already uses Ctrl+Alt+P. Choose another combination.",
                          "saved"}));
    const PrintPreset edited = storedPresets().at(2);
    QCOMPARE(edited.title, QStringLiteral("Double-sided Mono A4"));
    QCOMPARE(edited.printerName, QStringLiteral("Silent"));
    QCOMPARE(edited.hotkey, QStringLiteral("Ctrl+Alt+2"));
    QCOMPARE(edited.duplexEdge, DuplexEdge::Short);
    QCOMPARE(statusMessage(window), QStringLiteral("Saved: Double-sided Mono A4"));
    QCOMPARE(controller->cards().at(2)->findChild<ElidedLabel *>()->fullText(),
             QStringLiteral("Double-sided Mono \u00b7 A4"));

    // The card's own delete button: a "No" keeps everything, a "Yes" removes the preset and its card.
    const QPointer<PresetCard> deleted = controller->cards().at(0);
    {
        ModalDialogCloser no(QMessageBox::No);
        QTest::mouseClick(buttonOf(deleted, QStringLiteral("Delete printer preset")), Qt::LeftButton);
        QCOMPARE(no.seen, QStringList(QStringLiteral("Delete printer preset|Delete Office A4?")));
    }
    QCOMPARE(storedPresets().size(), 3);
    ModalDialogCloser yes(QMessageBox::Yes);
    QTest::mouseClick(buttonOf(deleted, QStringLiteral("Delete printer preset")), Qt::LeftButton);
    QVERIFY(!deleted.isNull());  // deleted once its click handler has returned
    QCOMPARE(statusMessage(window), QStringLiteral("Printer preset deleted"));
    QCOMPARE(storedPresets().size(), 2);
    QCOMPARE(controller->cards().size(), 2);
    QCOMPARE(controller->cards().first()->currentPreset().copies, 9999);
    QTRY_VERIFY(deleted.isNull());
}

void PanelTest::printHistory()
{
    QVERIFY(storePresets({}));
    PresetRepository store(DatabaseLocation::databasePath());
    QVERIFY(store.open());
    PrintHistoryEntry entry;
    entry.printerName = QStringLiteral("Office");
    entry.parameters = QStringLiteral("Mono \u00b7 Single-sided \u00b7 A4");
    entry.copies = 2;
    for (const int pages : {3, 0}) {  // the newer job has no page count
        entry.createdAt = QDateTime(QDate(2026, 3, pages ? 1 : 2), QTime(9, 15, 7));
        entry.jobName = pages ? QStringLiteral("report.pdf") : QStringLiteral("photo.jpg");
        entry.pageCount = pages;
        entry.totalPages = pages * 2;
        QVERIFY(store.addPrintHistory(entry));
    }

    PrintHistoryDialog dialog(store, nullptr);
    QStringList rows;
    for (int row = 0; row < dialog.table()->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < dialog.table()->columnCount(); ++column)
            cells << dialog.table()->item(row, column)->text();
        rows << cells.join(QLatin1Char('|'));
    }
    QCOMPARE(rows,
             QStringList({"2026-03-02 09:15:07|photo.jpg|Office|Mono \u00b7 Single-sided \u00b7 A4|2|"
                          "Unknown|Unknown",
                          "2026-03-01 09:15:07|report.pdf|Office|Mono \u00b7 Single-sided \u00b7 A4|2|3|6"}));

    // A store that cannot be read: an empty table and the store's message under it.
    PresetRepository unopened(DatabaseLocation::databasePath());
    PrintHistoryDialog failed(unopened, nullptr);
    QCOMPARE(failed.table()->rowCount(), 0);
    QVERIFY(!failed.findChild<QLabel *>(QStringLiteral("historyError"))->text().isEmpty());
}

void PanelTest::printing()
{
    QTemporaryDir dir;
    const QUrl text = QUrl::fromLocalFile(dir.filePath(QStringLiteral("notes.txt")));
    QMimeData files;  // the first supported file is a missing PDF
    files.setUrls({QUrl(QStringLiteral("https://example.org/x.pdf")), text,
                   QUrl::fromLocalFile(dir.filePath(QStringLiteral("missing.txt.pdf"))),
                   QUrl::fromLocalFile(dir.filePath(QStringLiteral("second.png")))});
    QMimeData textOnly;
    textOnly.setUrls({text});
    ModalDialogCloser closer;

    // Without presets a drop is neither taken nor printed.
    QVERIFY(storePresets({}));
    {
        MainWindow window;
        QVERIFY(window.findChild<QScrollArea *>()->isHidden());
        QCOMPARE(shown(&window, "dropHint"), QStringLiteral("Add a printer preset, then drop a file here"));
        QVERIFY(!sendDrag(window, QEvent::DragEnter, &files) && !sendDrag(window, QEvent::Drop, &files));
        QVERIFY(!window.findChild<PrintExecution *>()->isBusy());
    }

    QVERIFY(storePresets({panelPreset(QStringLiteral("Later"), QStringLiteral("Later queue"), 5),
                          panelPreset(QStringLiteral("Earliest"), QStringLiteral("Earliest queue"), 1)}));
    ollavan::testsupport::FakeWindowSystem desktop;  // the panel is its process 1
    desktop.addWindow(1, 1, QStringLiteral("Ollavan Quick"));
    desktop.addProcess(300, QStringLiteral("/usr/bin/eog"));
    desktop.addWindow(3, 300, dir.filePath(QStringLiteral("gone.png")) + QStringLiteral(" - Image Viewer"));
    desktop.addProcess(400, QStringLiteral("/usr/bin/gedit"));
    desktop.addWindow(4, 400, QStringLiteral("notes - gedit"));
    MainWindow window;
    auto *execution = window.findChild<PrintExecution *>();
    PresetCard *card = window.findChild<PresetCards *>()->cards().value(0);
    auto *add = window.findChild<QPushButton *>(QStringLiteral("addPrinterButton"));
    const auto show = [&](quintptr front) {
        desktop.setForegroundWindow(front);
        execution->pollForeground();
    };
    const auto click = [card] { QTest::mouseClick(card, Qt::LeftButton, Qt::NoModifier, QPoint(40, 40)); };

    // Nothing supported was in front: the click explains instead of printing.
    click();
    QCOMPARE(closer.seen,
             QStringList(QStringLiteral("Foreground app not supported|Ollavan Quick cannot identify "
                                        "the active document in this application.\n\nDrag the "
                                        "PDF, Word document, or image onto a printer preset to "
                                        "print it.")));
    QCOMPARE(shown(&window, "statusLabel"),
             QStringLiteral("Attention|Use drag-and-drop for this application."));
    QVERIFY(!execution->isBusy());

    // The viewer in front, then the panel itself (the user clicks it): the viewer's picture is still the one.
    show(3);
    show(1);
    QCOMPARE(execution->foregroundMemory().progId, QStringLiteral("Ollavan.ImageViewer"));
    QCOMPARE(execution->foregroundMemory().processId, 300u);
    closer.seen.clear();
    click();
    QVERIFY(execution->isBusy());
    QCOMPARE(statusMessage(window), QStringLiteral("Sending to Earliest queue…"));
    QVERIFY(!card->isEnabled() && !add->isEnabled());
    QVERIFY(window.findChild<QPushButton *>(QStringLiteral("historyButton"))->isEnabled());
    QCOMPARE(window.cursor().shape(), Qt::BusyCursor);
    execution->showJobStatus(QStringLiteral("Still busy"));
    QCOMPARE(statusMessage(window), QStringLiteral("Still busy"));
    // A drop meanwhile starts nothing.
    QVERIFY(sendDrag(window, QEvent::DragEnter, &files) && sendDrag(window, QEvent::Drop, &files));
    QCOMPARE(shown(&window, "statusLabel"),
             QStringLiteral("Attention|A print job is already being submitted. Please wait…"));

    // The picture is gone: a warning that advises dragging the file, the controls back, no history row.
    QTRY_COMPARE_WITH_TIMEOUT(closer.seen.size(), 1, 30000);
    QVERIFY(!execution->isBusy() && !statusMessage(window).isEmpty());
    QCOMPARE(closer.seen.first(), QStringLiteral("Ollavan Quick|") + statusMessage(window) +
                                      QStringLiteral("\n\nFor images or documents in an unsupported viewer, "
                                                     "drag the file onto a printer preset."));
    QVERIFY(card->isEnabled() && add->isEnabled());
    QCOMPARE(window.cursor().shape(), Qt::ArrowCursor);
    execution->showJobStatus(QStringLiteral("Too late"));
    QVERIFY(statusMessage(window) != QLatin1String("Too late"));
    QVERIFY(storedHistory().isEmpty());
    // An application the panel does not know replaces the memory.
    show(4);
    show(1);
    QVERIFY(execution->foregroundMemory().progId.isEmpty());

    // Dropped outside the cards: the first supported file, with the first preset; a file job's warning has no
    // advice, and it leaves no row either.
    QVERIFY(!sendDrag(window, QEvent::DragEnter, &textOnly));
    QVERIFY(sendDrag(window, QEvent::DragEnter, &files) && sendDrag(window, QEvent::Drop, &files));
    QCOMPARE(statusMessage(window), QStringLiteral("Sending to Earliest queue…"));
    QTRY_COMPARE_WITH_TIMEOUT(closer.seen.size(), 2, 30000);
    QCOMPARE(closer.seen.last(), QStringLiteral("Ollavan Quick|") + statusMessage(window));
    QVERIFY(storedHistory().isEmpty());
    // A single file dropped on a card prints with that card's preset.
    PresetCard *later = window.findChild<PresetCards *>()->cards().at(1);
    QMimeData one;
    one.setUrls({QUrl::fromLocalFile(dir.filePath(QStringLiteral("one.png")))});
    QVERIFY(sendDrag(*later, QEvent::DragEnter, &one) && sendDrag(*later, QEvent::Drop, &one));
    QCOMPARE(statusMessage(window), QStringLiteral("Sending to Later queue…"));
    QTRY_COMPARE_WITH_TIMEOUT(closer.seen.size(), 3, 30000);
}

void PanelTest::menuSwitchesEveryText()
{
    PrintPreset office = panelPreset(QStringLiteral("Office"), QStringLiteral("Front Desk"));
    office.hotkey = QStringLiteral("Ctrl+Alt+1");
    office.duplexMode = DuplexMode::Duplex;
    PrintPreset untitled = panelPreset(QString(), QStringLiteral("Front Desk"));
    untitled.colorMode = ColorMode::Color;
    QVERIFY(storePresets({office, untitled}));
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *languageButton = window.findChild<QPushButton *>(QStringLiteral("languageButton"));
    const auto choose = [languageButton](int entry) {
        const QStringList entries = chooseFromMenu(languageButton, entry);
        QTest::qWait(300);  // the new cards show themselves, their statuses come in
        return entries;
    };
    QTest::qWait(300);
    window.setStatus(QString());
    const QStringList english = shownTexts(&window);
    QVERIFY(latinTexts(english).size() > 15);

    // Japanese, chosen while an error shows: no text of the panel is left in English, the error is gone.
    window.setStatus(QStringLiteral("Printer unavailable: X"), true);
    const QStringList entries = choose(3);
    QCOMPARE(entries.size(), 7);
    QCOMPARE(entries.first(), QStringLiteral("English [x]"));
    QCOMPARE(entries.at(3), QStringLiteral("\u65e5\u672c\u8a9e"));
    QCOMPARE(I18n::language(), QStringLiteral("ja"));
    QCOMPARE(QSettings().value(QLatin1String(SettingsKeys::Language)).toString(), QStringLiteral("ja"));
    const QStringList japanese = shownTexts(&window);
    QCOMPARE(japanese.size(), english.size());
    QVERIFY2(latinTexts(japanese).isEmpty(), qPrintable(latinTexts(japanese).join(QLatin1Char('\n'))));
    QVERIFY(qtCancelText() != QLatin1String("Cancel"));

    // English brings back every text, Qt's as well.
    choose(0);
    QCOMPARE(shownTexts(&window), english);
    QCOMPARE(qtCancelText(), QStringLiteral("Cancel"));
}

void PanelTest::switches_data()
{
    QTest::addColumn<QStringList>("arguments");  // OUT stands for the picture's path
    QTest::addColumn<bool>("storedDark");        // the theme stored before the start
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("theme");  // the panel's colours in the picture, or "none"
    QTest::newRow("light") << QStringList{"--screenshot-light", "OUT"} << true << 0 << "light";
    QTest::newRow("dark") << QStringList{"--screenshot-dark", "OUT"} << false << 0 << "dark";
    QTest::newRow("stored theme") << QStringList{"--screenshot", "OUT"} << true << 0 << "dark";
    QTest::newRow("advertisement") << QStringList{"--screenshot-advertisement", "OUT"} << false << 0
                                   << "light";
    QTest::newRow("editor") << QStringList{"--screenshot-add-dialog", "OUT"} << false << 0 << "none";
    QTest::newRow("unwritable") << QStringList{"--screenshot", "no/such/folder/OUT"} << false << 2 << "none";
    QTest::newRow("self-check without a print server")
        << QStringList{"--verify-driver-isolation"} << false << 2 << "none";
}

void PanelTest::switches()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, storedDark);
    QFETCH(int, exitCode);
    QFETCH(QString, theme);
    QTemporaryDir home;
    const QString picture = home.filePath(QStringLiteral("panel.png"));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home.path());
    for (const char *name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"})
        environment.remove(QLatin1String(name));
    QSettings settings(home.filePath(QStringLiteral(".config/Ollavan/OllavanQuick.conf")),
                       QSettings::IniFormat);
    settings.setValue(QStringLiteral("appearance/darkMode"), storedDark);
    settings.sync();

    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(OLLAVAN_BIN_DIR "/ollavan-quick"),
                  arguments.replaceInStrings(QStringLiteral("OUT"), picture));
    QVERIFY(program.waitForFinished(60000));
    QCOMPARE(program.exitCode(), exitCode);
    const QImage image(picture);
    QCOMPARE(image.isNull(), exitCode != 0);
    if (theme == QLatin1String("none")) {
        QVERIFY(image.isNull() || image.width() >= 470);  // the editor is wider than the panel
        return;
    }
    QCOMPARE(image.size(), QSize(320, 752));
    const bool dark = theme == QLatin1String("dark");
    settings.sync();
    QCOMPARE(settings.value(QStringLiteral("appearance/darkMode")).toBool(), dark);
    for (const QPoint &frame : {QPoint(0, 400), QPoint(319, 400), QPoint(160, 751)})
        QCOMPARE(image.pixelColor(frame), QColor(dark ? 0x34383d : 0xd8dde5));
    QCOMPARE(image.pixelColor(110, 2), QColor(dark ? 0x181a1c : 0xffffff));  // the title bar
    QCOMPARE(image.pixelColor(8, 200), QColor(dark ? 0x151719 : 0xf7f8fa));  // the background
    int accent = 0;                                                          // the orange add button
    int ink = 0;  // the drop zone's file icon: dark strokes on the light theme, light on the dark one
    for (int y = 300; y < 752; ++y) {
        accent += image.pixelColor(30, y) == QColor(0xff8a00) ? 1 : 0;
        for (int x = 136; x < 184 && y < 370; ++x) {
            const float lightness = image.pixelColor(x, y).lightnessF();
            ink += (dark ? lightness > 0.8f : lightness < 0.3f) ? 1 : 0;
        }
    }
    QVERIFY2(accent >= 40 && ink > 40, qPrintable(QStringLiteral("%1 %2").arg(accent).arg(ink)));
}

QTEST_MAIN(PanelTest)
#include "tst_panel.moc"
