// The preset editor against a private print server, driven through Qt events under the offscreen platform:
// the form's initial values, the printer list, driver sync and the queue's properties dialog, Save
// validation, the swatches and the colour dialog, and add, edit, cancel and delete through the real store
// with the cards and the status line afterwards. A preset added in the editor prints with its settings and
// is there again after a restart. The add-dialog screenshot switch of the program.
#include "support/ModalDialogCloser.h"
#include "support/PrivateCups.h"
#include "support/TestDocuments.h"

#include "base/AppIdentity.h"
#include "base/I18n.h"
#include "model/DatabaseLocation.h"
#include "model/PresetRepository.h"
#include "ui/ElidedLabel.h"
#include "ui/MainWindow.h"
#include "ui/PresetCard.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFormLayout>
#include <QImage>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

using ollavan::testsupport::PrivateCups;

class MainWindowTestAccess
{
public:
    static bool printing(const MainWindow &window) { return window.printing; }
};

namespace {

PrivateCups *cups = nullptr;

// Runs `step` on the next modal widget other than `current` once it shows; gives up after 15 s. The watcher
// deletes itself after the step (or the deadline); a caller may delete it earlier through the pointer.
QPointer<QTimer> whenModal(QWidget *current, std::function<void(QWidget *)> step, bool *ran = nullptr)
{
    auto *timer = new QTimer;
    auto deadline = std::make_shared<QDeadlineTimer>(15000);
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, current, step, ran, deadline] {
        QWidget *modal = QApplication::activeModalWidget();
        if (deadline->hasExpired()) {
            timer->stop();
            timer->deleteLater();
            return;
        }
        if (!modal || modal == current || !modal->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        if (ran)
            *ran = true;
        step(modal);
    });
    timer->start();
    return timer;
}

// Closes the dialog when a step returns early (a failed check), so the test never hangs in exec().
struct RejectOnExit
{
    QDialog *dialog;
    ~RejectOnExit()
    {
        if (dialog && dialog->isVisible())
            dialog->reject();
    }
};

// Runs `step` on the preset editor once it opens. When the step returns with the editor still open (a failed
// check), the editor is rejected, so the test never hangs in exec().
QPointer<QTimer> whenEditorOpens(std::function<void(QDialog *)> step, bool *ran = nullptr)
{
    return whenModal(
        nullptr,
        [step](QWidget *modal) {
            auto *dialog = qobject_cast<QDialog *>(modal);
            RejectOnExit guard{dialog};
            step(dialog);
        },
        ran);
}

template <typename T> T *child(QWidget *parent, const char *name)
{
    return parent->findChild<T *>(QLatin1String(name));
}

QPushButton *dialogButton(QWidget *dialog, QDialogButtonBox::StandardButton which)
{
    return child<QDialogButtonBox>(dialog, "buttonBox")->button(which);
}

// Clicks Save expecting a warning: answers "title|text" of the box (closed with OK) and leaves the editor
// open.
QString saveExpectingWarning(QWidget *dialog)
{
    QString seen;
    QPointer<QTimer> watcher = whenModal(dialog, [&seen](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        seen =
            box ? box->windowTitle() + QLatin1Char('|') + box->text() : QStringLiteral("not a message box");
        if (box)
            box->button(QMessageBox::Ok)->click();
        else
            modal->close();
    });
    QTest::mouseClick(dialogButton(dialog, QDialogButtonBox::Ok), Qt::LeftButton);
    // The box is modal: it has come and gone inside the click, or there was none.
    delete watcher.data();
    return seen;
}

void enterHotkey(QWidget *dialog, Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    auto *edit = child<QKeySequenceEdit>(dialog, "hotkeyEdit");
    edit->clear();
    QTest::keyClick(edit, key, modifiers);
}

PrintPreset makePreset(const QString &title, const QString &printer)
{
    PrintPreset p;
    p.title = title;
    p.colorMode = ColorMode::Mono;
    p.duplexMode = DuplexMode::Duplex;
    p.duplexEdge = DuplexEdge::Long;
    p.paperSize = QStringLiteral("A4");
    p.printerName = printer;
    p.backgroundColor = QStringLiteral("#3b82f6");
    p.sortOrder = -1;
    return p;
}

void resetStore(const QList<PrintPreset> &presets = {})
{
    const QString path = DatabaseLocation::databasePath();
    QFile::remove(path);
    DatabaseLocation::createDatabaseFolder(path);
    PresetRepository repository(path);
    QVERIFY(repository.open());
    for (const PrintPreset &p : presets)
        QVERIFY(repository.addPreset(p));
}

QList<PrintPreset> stored()
{
    PresetRepository repository(DatabaseLocation::databasePath());
    repository.open();
    return repository.presets();
}

// Cards and their titles (PresetCard and ElidedLabel carry no meta-object of their own: found by name and
// type).
QList<PresetCard *> cardsOf(MainWindow &window)
{
    QList<PresetCard *> cards;
    for (QFrame *frame : window.findChildren<QFrame *>(QStringLiteral("presetCard"))) {
        if (auto *card = dynamic_cast<PresetCard *>(frame))
            cards << card;
    }
    return cards;
}

QStringList cardTitles(MainWindow &window)
{
    QStringList titles;
    for (PresetCard *card : cardsOf(window)) {
        for (QLabel *label : card->findChildren<QLabel *>()) {
            if (auto *title = dynamic_cast<ElidedLabel *>(label)) {
                titles << title->fullText();
                break;
            }
        }
    }
    return titles;
}

QString status(MainWindow &window)
{
    return child<QLabel>(&window, "statusLabel")->toolTip();
}

QPushButton *cardButton(PresetCard *card, const QString &toolTip)
{
    for (QPushButton *button : card->findChildren<QPushButton *>()) {
        if (button->toolTip() == toolTip)
            return button;
    }
    return nullptr;
}

QStringList comboItems(QComboBox *combo)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    return items;
}

QStringList formLabels(QWidget *dialog)
{
    QStringList labels;
    auto *form = dialog->findChild<QFormLayout *>();
    for (int row = 0; row < form->rowCount(); ++row) {
        QLayoutItem *item = form->itemAt(row, QFormLayout::LabelRole);
        auto *label = item ? qobject_cast<QLabel *>(item->widget()) : nullptr;
        labels << (label ? label->text() : QString());
    }
    return labels;
}

// The user's saved options for a queue, as lpoptions writes them (the per-user driver settings).
void saveUserOptions(const QString &queue, const QStringList &options)
{
    QStringList arguments = {QStringLiteral("-p"), queue};
    for (const QString &option : options)
        arguments << QStringLiteral("-o") << option;
    QString output;
    QCOMPARE(cups->run(QStringLiteral("lpoptions"), arguments, &output), 0);
}

}  // namespace

class PresetEditorTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void withoutPrinterSaveIsRefusedUntilRefreshFindsOne();
    void newPresetFormAndGeneratedName();
    void hotkeyValidation();
    void storedValuesOutsideTheListsAreKept();
    void swatchesAndCustomColor();
    void driverSettingsSyncTheForm();
    void driverPropertiesDialog();
    void editCancelAndDeleteThroughTheCards();
    void addedPresetPrintsAndSurvivesRestart();
    void addDialogScreenshotSwitch();
};

void PresetEditorTest::initTestCase()
{
    AppIdentity::apply();
    I18n::setLanguage(QStringLiteral("en"));
    static PrivateCups server;
    QString error;
    QVERIFY2(server.start(&error), qPrintable(error));
    cups = &server;
}

void PresetEditorTest::cleanupTestCase()
{
    cups->stop();
}

void PresetEditorTest::init()
{
    resetStore();
    // The one-time notice of the first start is another modal dialog; these tests are past it.
    QSettings().setValue(QStringLiteral("compatibilityNotice/pdfiumShown"), true);
}

void PresetEditorTest::withoutPrinterSaveIsRefusedUntilRefreshFindsOne()
{
    MainWindow window;
    window.show();
    bool ran = false;
    QString warning;
    QStringList afterRefresh;
    whenEditorOpens(
        [&](QDialog *dialog) {
            QVERIFY(child<QComboBox>(dialog, "printerCombo")->currentText().isEmpty());
            warning = saveExpectingWarning(dialog);
            QVERIFY(dialog->isVisible());

            QVERIFY(cups->addQueue(QStringLiteral("office")));
            QVERIFY(cups->addQueue(QStringLiteral("lab")));
            QVERIFY(cups->setServerDefault(QStringLiteral("lab")));
            QTest::mouseClick(child<QPushButton>(dialog, "refreshPrintersButton"), Qt::LeftButton);
            afterRefresh = comboItems(child<QComboBox>(dialog, "printerCombo"));
            // Nothing was chosen before, so the refresh selects the system's default printer.
            QCOMPARE(child<QComboBox>(dialog, "printerCombo")->currentText(), QStringLiteral("lab"));
            QTest::mouseClick(dialogButton(dialog, QDialogButtonBox::Cancel), Qt::LeftButton);
        },
        &ran);
    QTest::mouseClick(child<QPushButton>(&window, "addPrinterButton"), Qt::LeftButton);
    QVERIFY(ran);
    QCOMPARE(warning,
             QStringLiteral("No printer selected|Install a printer in Windows, then click Refresh."));
    QCOMPARE(QSet<QString>(afterRefresh.cbegin(), afterRefresh.cend()),
             QSet<QString>({QStringLiteral("office"), QStringLiteral("lab")}));
    QVERIFY(stored().isEmpty());
    QVERIFY(cardTitles(window).isEmpty());
    QCOMPARE(child<QLabel>(&window, "statusLabel")->text(), QStringLiteral("Ready"));
}

void PresetEditorTest::newPresetFormAndGeneratedName()
{
    MainWindow window;
    window.show();
    bool ran = false;
    whenEditorOpens(
        [&](QDialog *dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Add printer preset"));
            QCOMPARE(dialog->minimumWidth(), 470);
            QCOMPARE(formLabels(dialog),
                     QStringList({QStringLiteral("Preset name"), QStringLiteral("Printer"),
                                  QStringLiteral("Duplex"), QStringLiteral("Color mode"),
                                  QStringLiteral("Paper size"), QStringLiteral("Card accent"),
                                  QStringLiteral("Global hotkey"), QString()}));
            auto *name = child<QLineEdit>(dialog, "presetNameEdit");
            QVERIFY(name->text().isEmpty());
            QCOMPARE(name->placeholderText(),
                     QStringLiteral("Leave blank to generate a name, e.g. Mono double-sided A4"));
            // The default printer is preselected; the list is the system's.
            auto *printer = child<QComboBox>(dialog, "printerCombo");
            QCOMPARE(printer->currentText(), QStringLiteral("lab"));
            QCOMPARE(child<QPushButton>(dialog, "refreshPrintersButton")->width(), 58);
            // A new preset has empty sides and colour: long edge and mono.
            auto *duplex = child<QComboBox>(dialog, "duplexCombo");
            QCOMPARE(comboItems(duplex),
                     QStringList({QStringLiteral("Single-sided"), QStringLiteral("Double-sided (long edge)"),
                                  QStringLiteral("Double-sided (short edge)")}));
            QCOMPARE(duplex->currentIndex(), 1);
            auto *color = child<QComboBox>(dialog, "colorCombo");
            QCOMPARE(comboItems(color), QStringList({QStringLiteral("Mono"), QStringLiteral("Color")}));
            QCOMPARE(color->currentIndex(), 0);
            auto *paper = child<QComboBox>(dialog, "paperCombo");
            QCOMPARE(comboItems(paper),
                     QStringList({QStringLiteral("A3"), QStringLiteral("A4"), QStringLiteral("A5"),
                                  QStringLiteral("A6"), QStringLiteral("B4"), QStringLiteral("B5"),
                                  QStringLiteral("Letter"), QStringLiteral("Legal")}));
            QCOMPARE(paper->currentText(), QStringLiteral("A4"));
            // #FF8A00 is the selected swatch.
            for (QPushButton *swatch : dialog->findChildren<QPushButton *>(QStringLiteral("accentSwatch"))) {
                const bool first = swatch->toolTip() == QLatin1String("#FF8A00");
                QCOMPARE(swatch->styleSheet().contains(QLatin1String("border:3px solid #111827")), first);
                QCOMPARE(swatch->size(), QSize(24, 24));
            }
            QCOMPARE(child<QPushButton>(dialog, "customColorButton")->toolTip(),
                     QStringLiteral("Current color: #FF8A00"));
            auto *hotkey = child<QKeySequenceEdit>(dialog, "hotkeyEdit");
            QVERIFY(hotkey->keySequence().isEmpty());
            QCOMPARE(hotkey->toolTip(), QStringLiteral("Use Ctrl, Alt, Shift or Win with a letter, number or "
                                                       "F1-F24. Leave blank to disable."));
            QVERIFY(!child<QCheckBox>(dialog, "driverSettingsCheck")->isChecked());
            QVERIFY(duplex->isEnabled() && color->isEnabled() && paper->isEnabled());
            auto *note = child<QLabel>(dialog, "noteLabel");
            QCOMPARE(note->text(),
                     QStringLiteral("Adjust copies on the printer card; configure the other options here."));
            QCOMPARE(note->styleSheet(), QStringLiteral("color:#667085;"));
            QCOMPARE(dialogButton(dialog, QDialogButtonBox::Ok)->text(), QStringLiteral("Save"));
            QCOMPARE(dialogButton(dialog, QDialogButtonBox::Cancel)->text(), QStringLiteral("Cancel"));

            // Empty name, single-sided, colour, A5, the green swatch, the other printer.
            printer->setCurrentText(QStringLiteral("office"));
            duplex->setCurrentIndex(0);
            color->setCurrentIndex(1);
            paper->setCurrentText(QStringLiteral("A5"));
            for (QPushButton *swatch : dialog->findChildren<QPushButton *>(QStringLiteral("accentSwatch"))) {
                if (swatch->property("accentColor").toString() == QLatin1String("#10B981"))
                    QTest::mouseClick(swatch, Qt::LeftButton);
            }
            QTest::mouseClick(dialogButton(dialog, QDialogButtonBox::Ok), Qt::LeftButton);
        },
        &ran);
    QTest::mouseClick(child<QPushButton>(&window, "addPrinterButton"), Qt::LeftButton);
    QVERIFY(ran);

    const QList<PrintPreset> presets = stored();
    QCOMPARE(presets.size(), 1);
    const PrintPreset &p = presets.first();
    QCOMPARE(p.title, QStringLiteral("Single-sided Color A5"));
    QCOMPARE(p.printerName, QStringLiteral("office"));
    QCOMPARE(p.duplexMode, DuplexMode::Simplex);
    QCOMPARE(p.duplexEdge, DuplexEdge::Long);
    QCOMPARE(p.colorMode, ColorMode::Color);
    QCOMPARE(p.paperSize, QStringLiteral("A5"));
    QCOMPARE(p.backgroundColor, QStringLiteral("#10B981"));
    QVERIFY(p.hotkey.isEmpty());
    QVERIFY(!p.useDriverSettings);
    QCOMPARE(p.copies, 1);
    QCOMPARE(cardTitles(window), QStringList({QString::fromUtf8("Single-sided Color · A5")}));
    QCOMPARE(status(window), QStringLiteral("Added: Single-sided Color A5"));
}

void PresetEditorTest::hotkeyValidation()
{
    PrintPreset first = makePreset(QStringLiteral("First"), QStringLiteral("office"));
    first.hotkey = QStringLiteral("ctrl+p");  // as another tool might have stored it
    resetStore({first, makePreset(QStringLiteral("Second"), QStringLiteral("lab"))});
    MainWindow window;
    window.show();
    QList<PresetCard *> cards = cardsOf(window);
    QCOMPARE(cards.size(), 2);

    QStringList warnings;
    bool ran = false;
    whenEditorOpens(
        [&](QDialog *dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Edit printer preset"));
            enterHotkey(dialog, Qt::Key_F5, Qt::NoModifier);
            warnings << saveExpectingWarning(dialog);
            child<QKeySequenceEdit>(dialog, "hotkeyEdit")
                ->setKeySequence(QKeySequence(Qt::SHIFT | Qt::Key_Tab));
            warnings << saveExpectingWarning(dialog);
            enterHotkey(dialog, Qt::Key_Left, Qt::ControlModifier);
            warnings << saveExpectingWarning(dialog);
            enterHotkey(dialog, Qt::Key_P, Qt::ControlModifier);
            warnings << saveExpectingWarning(dialog);
            QVERIFY(dialog->isVisible());
            // Two combinations in a row: the editor keeps one, the latest.
            auto *edit = child<QKeySequenceEdit>(dialog, "hotkeyEdit");
            edit->clear();
            QTest::keyClick(edit, Qt::Key_1, Qt::ControlModifier | Qt::AltModifier);
            QTest::keyClick(edit, Qt::Key_Space, Qt::ControlModifier);
            QCOMPARE(edit->keySequence().toString(QKeySequence::PortableText), QStringLiteral("Ctrl+Space"));
            QTest::mouseClick(dialogButton(dialog, QDialogButtonBox::Ok), Qt::LeftButton);
        },
        &ran);
    QTest::mouseClick(cardButton(cards.at(1), QStringLiteral("Edit printer preset")), Qt::LeftButton);
    QVERIFY(ran);
    QCOMPARE(
        warnings,
        QStringList(
            {QStringLiteral("Invalid hotkey|The hotkey must include Ctrl, Alt, Shift or Win and use "
                            "a letter, number or F1-F24."),
             QStringLiteral("Invalid hotkey|The hotkey must include Ctrl, Alt, Shift or Win and use "
                            "a letter, number or F1-F24."),
             QStringLiteral("Invalid hotkey|The hotkey must include Ctrl, Alt, Shift or Win and use "
                            "a letter, number or F1-F24."),
             QStringLiteral("Duplicate hotkey|First already uses Ctrl+P. Choose another combination.")}));
    QCOMPARE(stored().at(1).hotkey, QStringLiteral("Ctrl+Space"));
    QCOMPARE(status(window), QStringLiteral("Saved: Second"));

    // The first preset keeps its own hotkey on a re-save; clearing a hotkey needs no check at all.
    cards = cardsOf(window);
    ran = false;
    whenEditorOpens(
        [&](QDialog *dialog) {
            QCOMPARE(child<QKeySequenceEdit>(dialog, "hotkeyEdit")->keySequence().toString(),
                     QStringLiteral("Ctrl+P"));
            QTest::mouseClick(dialogButton(dialog, QDialogButtonBox::Ok), Qt::LeftButton);
        },
        &ran);
    QTest::mouseClick(cardButton(cards.at(0), QStringLiteral("Edit printer preset")), Qt::LeftButton);
    QVERIFY(ran);
    QCOMPARE(stored().at(0).hotkey, QStringLiteral("Ctrl+P"));

    cards = cardsOf(window);
    ran = false;
    whenEditorOpens(
        [&](QDialog *dialog) {
            child<QKeySequenceEdit>(dialog, "hotkeyEdit")->clear();
            QTest::mouseClick(dialogButton(dialog, QDialogButtonBox::Ok), Qt::LeftButton);
        },
        &ran);
    QTest::mouseClick(cardButton(cards.at(1), QStringLiteral("Edit printer preset")), Qt::LeftButton);
    QVERIFY(ran);
    QVERIFY(stored().at(1).hotkey.isEmpty());
}

void PresetEditorTest::storedValuesOutsideTheListsAreKept()
{
    PrintPreset tabloid = makePreset(QStringLiteral("Posters"), QStringLiteral("Gone printer"));
    tabloid.paperSize = QStringLiteral("Tabloid");
    tabloid.duplexEdge = DuplexEdge::Short;
    tabloid.colorMode = ColorMode::Color;
    tabloid.backgroundColor = QStringLiteral("not a colour");
    tabloid.copies = 7;
    PrintPreset lowerCase = makePreset(QStringLiteral("Lower"), QStringLiteral("office"));
    lowerCase.paperSize = QStringLiteral("a4");
    lowerCase.duplexMode = DuplexMode::Simplex;
    lowerCase.duplexEdge = DuplexEdge::Short;
    resetStore({tabloid, lowerCase});
    MainWindow window;
    window.show();

    bool ran = false;
    whenEditorOpens(
        [&](QDialog *dialog) {
            auto *paper = child<QComboBox>(dialog, "paperCombo");
            QCOMPARE(paper->count(), 9);
            QCOMPARE(paper->itemText(8), QStringLiteral("Tabloid"));
            QCOMPARE(paper->currentIndex(), 8);
            // A printer the system no longer lists stays as an extra, selected entry.
            auto *printer = child<QComboBox>(dialog, "printerCombo");
            QCOMPARE(printer->currentText(), QStringLiteral("Gone printer"));
            QCOMPARE(printer->itemText(printer->count() - 1), QStringLiteral("Gone printer"));
            QTest::mouseClick(child<QPushButton>(dialog, "refreshPrintersButton"), Qt::LeftButton);
            QCOMPARE(printer->currentText(), QStringLiteral("Gone printer"));
            QCOMPARE(child<QComboBox>(dialog, "duplexCombo")->currentIndex(), 2);
            QCOMPARE(child<QComboBox>(dialog, "colorCombo")->currentIndex(), 1);
            // An unreadable accent falls back to the default one.
            QCOMPARE(child<QPushButton>(dialog, "customColorButton")->toolTip(),
                     QStringLiteral("Current color: #FF8A00"));
            QTest::mouseClick(dialogButton(dialog, QDialogButtonBox::Ok), Qt::LeftButton);
        },
        &ran);
    QTest::mouseClick(cardButton(cardsOf(window).at(0), QStringLiteral("Edit printer preset")),
                      Qt::LeftButton);
    QVERIFY(ran);
    PrintPreset saved = stored().at(0);
    QCOMPARE(saved.paperSize, QStringLiteral("Tabloid"));
    QCOMPARE(saved.printerName, QStringLiteral("Gone printer"));
    QCOMPARE(saved.duplexMode, DuplexMode::Duplex);
    QCOMPARE(saved.duplexEdge, DuplexEdge::Short);
    QCOMPARE(saved.backgroundColor, QStringLiteral("#FF8A00"));
    QCOMPARE(saved.copies, 7);  // copies belong to the card

    // Paper names compare exactly: "a4" is not "A4"; a single-sided preset opens single-sided whatever its
    // edge.
    ran = false;
    whenEditorOpens(
        [&](QDialog *dialog) {
            auto *paper = child<QComboBox>(dialog, "paperCombo");
            QCOMPARE(paper->count(), 9);
            QCOMPARE(paper->currentText(), QStringLiteral("a4"));
            QCOMPARE(child<QComboBox>(dialog, "duplexCombo")->currentIndex(), 0);
            QTest::mouseClick(dialogButton(dialog, QDialogButtonBox::Ok), Qt::LeftButton);
        },
        &ran);
    QTest::mouseClick(cardButton(cardsOf(window).at(1), QStringLiteral("Edit printer preset")),
                      Qt::LeftButton);
    QVERIFY(ran);
    saved = stored().at(1);
    QCOMPARE(saved.duplexMode, DuplexMode::Simplex);
    QCOMPARE(saved.duplexEdge, DuplexEdge::Long);
}

void PresetEditorTest::swatchesAndCustomColor()
{
    resetStore({makePreset(QStringLiteral("Blue"), QStringLiteral("office"))});
    MainWindow window;
    window.show();
    bool ran = false;
    QString colorDialogTitle;
    QColor colorDialogStart;
    whenEditorOpens(
        [&](QDialog *dialog) {
            const QList<QPushButton *> swatches =
                dialog->findChildren<QPushButton *>(QStringLiteral("accentSwatch"));
            QStringList colors;
            for (QPushButton *swatch : swatches) {
                colors << swatch->property("accentColor").toString();
                QCOMPARE(swatch->toolTip(), swatch->property("accentColor").toString());
                QCOMPARE(swatch->cursor().shape(), Qt::PointingHandCursor);
            }
            QCOMPARE(colors, QStringList({QStringLiteral("#FF8A00"), QStringLiteral("#3B82F6"),
                                          QStringLiteral("#10B981"), QStringLiteral("#8B5CF6"),
                                          QStringLiteral("#EF4444"), QStringLiteral("#64748B")}));
            // The stored "#3b82f6" selects the blue swatch, whatever its case.
            const auto selected = [&] {
                QStringList on;
                for (QPushButton *swatch : swatches) {
                    if (swatch->styleSheet().contains(QLatin1String("border:3px solid #111827")))
                        on << swatch->toolTip();
                    else if (!swatch->styleSheet().contains(QLatin1String("border:1px solid #cbd0d8")))
                        on << QStringLiteral("unstyled ") + swatch->toolTip();
                }
                return on;
            };
            QCOMPARE(selected(), QStringList({QStringLiteral("#3B82F6")}));
            QTest::mouseClick(swatches.at(4), Qt::LeftButton);
            QCOMPARE(selected(), QStringList({QStringLiteral("#EF4444")}));
            auto *custom = child<QPushButton>(dialog, "customColorButton");
            QCOMPARE(custom->toolTip(), QStringLiteral("Current color: #EF4444"));
            QVERIFY(custom->styleSheet().contains(QLatin1String("border:2px solid #EF4444")));
            QCOMPARE(custom->height(), 26);

            // The colour dialog: cancelled first, then a choice of its own.
            whenModal(dialog, [&](QWidget *colorModal) {
                auto *picker = qobject_cast<QColorDialog *>(colorModal);
                QVERIFY(picker);
                colorDialogTitle = picker->windowTitle();
                colorDialogStart = picker->currentColor();
                picker->reject();
            });
            QTest::mouseClick(custom, Qt::LeftButton);
            QCOMPARE(selected(), QStringList({QStringLiteral("#EF4444")}));
            whenModal(dialog, [&](QWidget *colorModal) {
                auto *picker = qobject_cast<QColorDialog *>(colorModal);
                QVERIFY(picker);
                picker->setCurrentColor(QColor(0x12, 0x3a, 0xbc));
                picker->accept();
            });
            QTest::mouseClick(custom, Qt::LeftButton);
            QCOMPARE(selected(), QStringList());
            QCOMPARE(custom->toolTip(), QStringLiteral("Current color: #123ABC"));
            QTest::mouseClick(dialogButton(dialog, QDialogButtonBox::Ok), Qt::LeftButton);
        },
        &ran);
    QTest::mouseClick(cardButton(cardsOf(window).at(0), QStringLiteral("Edit printer preset")),
                      Qt::LeftButton);
    QVERIFY(ran);
    QCOMPARE(colorDialogTitle, QStringLiteral("Choose card accent color"));
    QCOMPARE(colorDialogStart, QColor(QStringLiteral("#EF4444")));
    QCOMPARE(stored().at(0).backgroundColor, QStringLiteral("#123ABC"));
}

void PresetEditorTest::driverSettingsSyncTheForm()
{
    saveUserOptions(QStringLiteral("office"),
                    {QStringLiteral("sides=two-sided-short-edge"), QStringLiteral("print-color-mode=color"),
                     QStringLiteral("media=A5")});
    saveUserOptions(QStringLiteral("lab"),
                    {QStringLiteral("sides=one-sided"), QStringLiteral("print-color-mode=monochrome"),
                     QStringLiteral("media=Letter")});
    PrintPreset driver = makePreset(QStringLiteral("Driver"), QStringLiteral("office"));
    driver.useDriverSettings = true;
    resetStore({driver, makePreset(QStringLiteral("Plain"), QStringLiteral("office"))});
    MainWindow window;
    window.show();

    bool ran = false;
    whenEditorOpens(
        [&](QDialog *dialog) {
            auto *duplex = child<QComboBox>(dialog, "duplexCombo");
            auto *color = child<QComboBox>(dialog, "colorCombo");
            auto *paper = child<QComboBox>(dialog, "paperCombo");
            auto *note = child<QLabel>(dialog, "noteLabel");
            auto *check = child<QCheckBox>(dialog, "driverSettingsCheck");
            // Opened with the box ticked: the driver decides, and its settings are shown at once.
            QVERIFY(check->isChecked());
            QVERIFY(!duplex->isEnabled() && !color->isEnabled() && !paper->isEnabled());
            QCOMPARE(note->text(),
                     QStringLiteral("Synced with driver: Double-sided (short edge), Color, A5"));
            // Another printer while ticked syncs with that one.
            child<QComboBox>(dialog, "printerCombo")->setCurrentText(QStringLiteral("lab"));
            QCOMPARE(note->text(), QStringLiteral("Synced with driver: Single-sided, Mono, Letter"));
            check->click();
            QVERIFY(duplex->isEnabled() && color->isEnabled() && paper->isEnabled());
            // A printer that cannot be read changes nothing and says nothing.
            duplex->setCurrentIndex(2);
            check->click();
            QCOMPARE(duplex->currentIndex(), 0);
            QTest::mouseClick(dialogButton(dialog, QDialogButtonBox::Ok), Qt::LeftButton);
        },
        &ran);
    QTest::mouseClick(cardButton(cardsOf(window).at(0), QStringLiteral("Edit printer preset")),
                      Qt::LeftButton);
    QVERIFY(ran);
    PrintPreset saved = stored().at(0);
    QCOMPARE(saved.printerName, QStringLiteral("lab"));
    QVERIFY(saved.useDriverSettings);
    QCOMPARE(saved.duplexMode, DuplexMode::Simplex);
    QCOMPARE(saved.colorMode, ColorMode::Mono);
    QCOMPARE(saved.paperSize, QStringLiteral("Letter"));

    // Ticking the box in a plain preset syncs; a printer that cannot be read leaves the form alone.
    ran = false;
    whenEditorOpens(
        [&](QDialog *dialog) {
            auto *note = child<QLabel>(dialog, "noteLabel");
            const QString initialNote = note->text();
            auto *printer = child<QComboBox>(dialog, "printerCombo");
            printer->addItem(QStringLiteral("Nowhere"));
            printer->setCurrentText(QStringLiteral("Nowhere"));
            child<QCheckBox>(dialog, "driverSettingsCheck")->click();
            QCOMPARE(note->text(), initialNote);
            QCOMPARE(child<QComboBox>(dialog, "duplexCombo")->currentIndex(), 1);
            QCOMPARE(child<QComboBox>(dialog, "paperCombo")->currentText(), QStringLiteral("A4"));
            printer->setCurrentText(QStringLiteral("office"));
            QCOMPARE(note->text(),
                     QStringLiteral("Synced with driver: Double-sided (short edge), Color, A5"));
            QTest::mouseClick(dialogButton(dialog, QDialogButtonBox::Cancel), Qt::LeftButton);
        },
        &ran);
    QTest::mouseClick(cardButton(cardsOf(window).at(1), QStringLiteral("Edit printer preset")),
                      Qt::LeftButton);
    QVERIFY(ran);
    QVERIFY(!stored().at(1).useDriverSettings);
}

void PresetEditorTest::driverPropertiesDialog()
{
    saveUserOptions(QStringLiteral("office"),
                    {QStringLiteral("sides=one-sided"), QStringLiteral("print-color-mode=monochrome"),
                     QStringLiteral("media=A4")});
    PrintPreset plain = makePreset(QStringLiteral("Plain"), QStringLiteral("office"));
    resetStore({plain});
    MainWindow window;
    window.show();

    bool ran = false;
    QString failure;
    whenEditorOpens(
        [&](QDialog *dialog) {
            auto *note = child<QLabel>(dialog, "noteLabel");
            auto *properties = child<QPushButton>(dialog, "driverPropertiesButton");
            QCOMPARE(properties->text(), QString::fromUtf8("Open driver properties…"));

            // Cancelled: nothing changes, no message.
            whenModal(dialog, [](QWidget *queueDialog) {
                QCOMPARE(queueDialog->objectName(), QStringLiteral("queueOptionsDialog"));
                child<QPushButton>(queueDialog, "cancelButton")->click();
            });
            QTest::mouseClick(properties, Qt::LeftButton);
            QVERIFY(!child<QCheckBox>(dialog, "driverSettingsCheck")->isChecked());
            QCOMPARE(child<QComboBox>(dialog, "duplexCombo")->currentIndex(), 1);

            // Saved there: the form takes the driver's choices and the box gets ticked.
            whenModal(dialog, [](QWidget *queueDialog) {
                auto *duplex = child<QComboBox>(queueDialog, "duplexCombo");
                duplex->setCurrentIndex(duplex->findText(QStringLiteral("Double-sided (short edge)")));
                auto *color = child<QComboBox>(queueDialog, "colorCombo");
                color->setCurrentIndex(color->findText(QStringLiteral("Color")));
                auto *paper = child<QComboBox>(queueDialog, "paperCombo");
                paper->setCurrentIndex(paper->findText(QStringLiteral("B5"), Qt::MatchStartsWith));
                child<QPushButton>(queueDialog, "saveButton")->click();
            });
            QTest::mouseClick(properties, Qt::LeftButton);
            QVERIFY(child<QCheckBox>(dialog, "driverSettingsCheck")->isChecked());
            QVERIFY(!child<QComboBox>(dialog, "paperCombo")->isEnabled());
            QCOMPARE(
                note->text(),
                QStringLiteral("Driver properties read and saved: Double-sided (short edge), Color, B5."));

            // A printer that cannot be opened: the driver's message in a warning box.
            auto *printer = child<QComboBox>(dialog, "printerCombo");
            printer->addItem(QStringLiteral("Nowhere"));
            printer->setCurrentText(QStringLiteral("Nowhere"));
            whenModal(dialog, [&failure](QWidget *box) {
                auto *message = qobject_cast<QMessageBox *>(box);
                QVERIFY(message);
                failure = message->windowTitle() + QLatin1Char('|') + message->text();
                message->button(QMessageBox::Ok)->click();
            });
            QTest::mouseClick(properties, Qt::LeftButton);
            printer->setCurrentText(QStringLiteral("office"));
            QTest::mouseClick(dialogButton(dialog, QDialogButtonBox::Ok), Qt::LeftButton);
        },
        &ran);
    QTest::mouseClick(cardButton(cardsOf(window).at(0), QStringLiteral("Edit printer preset")),
                      Qt::LeftButton);
    QVERIFY(ran);
    QVERIFY(failure.startsWith(QStringLiteral("Printer properties|")));
    QVERIFY2(failure.contains(QLatin1String("Nowhere")), qPrintable(failure));
    const PrintPreset saved = stored().at(0);
    QVERIFY(saved.useDriverSettings);
    QCOMPARE(saved.duplexMode, DuplexMode::Duplex);
    QCOMPARE(saved.duplexEdge, DuplexEdge::Short);
    QCOMPARE(saved.colorMode, ColorMode::Color);
    QCOMPARE(saved.paperSize, QStringLiteral("B5"));
    // The driver dialog saved the choice as the user's settings of the queue.
    QString options;
    cups->run(QStringLiteral("lpoptions"), {QStringLiteral("-p"), QStringLiteral("office")}, &options);
    QVERIFY2(options.contains(QLatin1String("sides=two-sided-short-edge")), qPrintable(options));
}

void PresetEditorTest::editCancelAndDeleteThroughTheCards()
{
    resetStore({makePreset(QStringLiteral("Keep"), QStringLiteral("office")),
                makePreset(QStringLiteral("Drop"), QStringLiteral("lab"))});
    {
        PresetRepository repository(DatabaseLocation::databasePath());
        QVERIFY(repository.open());
        PrintHistoryEntry entry;
        entry.createdAt = QDateTime::currentDateTime();
        entry.jobName = QStringLiteral("report.pdf");
        entry.printerName = QStringLiteral("lab");
        entry.parameters = QStringLiteral("Drop");
        QVERIFY(repository.addPrintHistory(entry));
    }
    MainWindow window;
    window.show();
    window.setStatus(QStringLiteral("before"), false);
    const QList<PrintPreset> before = stored();

    // Edit, change everything, cancel: store, cards and status stay as they were.
    bool ran = false;
    whenEditorOpens(
        [&](QDialog *dialog) {
            child<QLineEdit>(dialog, "presetNameEdit")->setText(QStringLiteral("Changed"));
            child<QComboBox>(dialog, "duplexCombo")->setCurrentIndex(0);
            QTest::keyClick(child<QKeySequenceEdit>(dialog, "hotkeyEdit"), Qt::Key_K, Qt::ControlModifier);
            QTest::mouseClick(dialogButton(dialog, QDialogButtonBox::Cancel), Qt::LeftButton);
        },
        &ran);
    QList<PresetCard *> cards = cardsOf(window);
    QTest::mouseClick(cardButton(cards.at(0), QStringLiteral("Edit printer preset")), Qt::LeftButton);
    QVERIFY(ran);
    QCOMPARE(stored().at(0).title, before.at(0).title);
    QCOMPARE(stored().at(0).duplexMode, before.at(0).duplexMode);
    QVERIFY(stored().at(0).hotkey.isEmpty());
    QCOMPARE(cardsOf(window), cards);  // not even rebuilt
    QCOMPARE(status(window), QStringLiteral("before"));

    // Delete: No keeps it, Yes removes it; history rows stay.
    QString question;
    whenModal(nullptr, [&](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        QVERIFY(box);
        question = box->windowTitle() + QLatin1Char('|') + box->text();
        box->button(QMessageBox::No)->click();
    });
    QTest::mouseClick(cardButton(cards.at(1), QStringLiteral("Delete printer preset")), Qt::LeftButton);
    QCOMPARE(question, QStringLiteral("Delete printer preset|Delete Drop?"));
    QCOMPARE(stored().size(), 2);
    QCOMPARE(status(window), QStringLiteral("before"));

    whenModal(nullptr,
              [](QWidget *modal) { qobject_cast<QMessageBox *>(modal)->button(QMessageBox::Yes)->click(); });
    QTest::mouseClick(cardButton(cards.at(1), QStringLiteral("Delete printer preset")), Qt::LeftButton);
    QCOMPARE(stored().size(), 1);
    QCOMPARE(stored().at(0).title, QStringLiteral("Keep"));
    QCOMPARE(cardTitles(window), QStringList({QString::fromUtf8("Keep · A4")}));
    QCOMPARE(status(window), QStringLiteral("Printer preset deleted"));
    PresetRepository repository(DatabaseLocation::databasePath());
    QVERIFY(repository.open());
    QCOMPARE(repository.printHistory(10).size(), 1);

    // Edit and save: the card shows the new title at once.
    ran = false;
    whenEditorOpens(
        [&](QDialog *dialog) {
            QCOMPARE(child<QLineEdit>(dialog, "presetNameEdit")->text(), QStringLiteral("Keep"));
            child<QLineEdit>(dialog, "presetNameEdit")->setText(QStringLiteral("  Office A3  "));
            child<QComboBox>(dialog, "paperCombo")->setCurrentText(QStringLiteral("A3"));
            QTest::mouseClick(dialogButton(dialog, QDialogButtonBox::Ok), Qt::LeftButton);
        },
        &ran);
    QTest::mouseClick(cardButton(cardsOf(window).at(0), QStringLiteral("Edit printer preset")),
                      Qt::LeftButton);
    QVERIFY(ran);
    QCOMPARE(stored().at(0).title, QStringLiteral("Office A3"));
    QCOMPARE(cardTitles(window), QStringList({QString::fromUtf8("Office · A3")}));
    QCOMPARE(status(window), QStringLiteral("Saved: Office A3"));
}

void PresetEditorTest::addedPresetPrintsAndSurvivesRestart()
{
    QTemporaryDir folder;
    const QString picture = folder.filePath(QStringLiteral("handout.png"));
    QImage image(300, 200, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QVERIFY(image.save(picture));
    const int jobsBefore = int(cups->jobs(QStringLiteral("office")).size());
    {
        MainWindow window;
        window.show();
        bool ran = false;
        whenEditorOpens(
            [&](QDialog *dialog) {
                child<QLineEdit>(dialog, "presetNameEdit")->setText(QStringLiteral("Handouts"));
                child<QComboBox>(dialog, "printerCombo")->setCurrentText(QStringLiteral("office"));
                child<QComboBox>(dialog, "duplexCombo")->setCurrentIndex(1);
                child<QComboBox>(dialog, "colorCombo")->setCurrentIndex(0);
                child<QComboBox>(dialog, "paperCombo")->setCurrentText(QStringLiteral("A5"));
                QTest::mouseClick(dialogButton(dialog, QDialogButtonBox::Ok), Qt::LeftButton);
            },
            &ran);
        QTest::mouseClick(child<QPushButton>(&window, "addPrinterButton"), Qt::LeftButton);
        QVERIFY(ran);
        QCOMPARE(cardTitles(window), QStringList({QString::fromUtf8("Handouts · A5")}));

        // Printing a dropped file with the new card's preset.
        ModalDialogCloser closer;
        window.executePreset(stored().at(0), picture);
        QTRY_VERIFY_WITH_TIMEOUT(!MainWindowTestAccess::printing(window), 60000);
        QVERIFY2(closer.seen().isEmpty(), qPrintable(closer.seen().join(QLatin1Char('\n'))));
        QVERIFY2(cups->waitForJobs(QStringLiteral("office"), jobsBefore + 1), qPrintable(status(window)));
    }
    const ollavan::testsupport::CapturedJob job = cups->jobs(QStringLiteral("office")).last();
    QCOMPARE(job.options.value(QStringLiteral("sides")), QStringLiteral("two-sided-long-edge"));
    QCOMPARE(job.options.value(QStringLiteral("media")), QStringLiteral("A5"));
    QCOMPARE(job.options.value(QStringLiteral("print-color-mode")), QStringLiteral("monochrome"));

    // A new window (a restart) finds the preset in the store.
    MainWindow again;
    QCOMPARE(cardTitles(again), QStringList({QString::fromUtf8("Handouts · A5")}));
}

void PresetEditorTest::addDialogScreenshotSwitch()
{
    QTemporaryDir folder;
    const QString png = folder.filePath(QStringLiteral("add-dialog.png"));
    QProcess program;
    program.start(QStringLiteral(OLLAVAN_BIN_DIR "/ollavan-quick"),
                  {QStringLiteral("--screenshot-add-dialog"), png});
    QVERIFY(program.waitForFinished(60000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    const QImage image(png);
    QVERIFY(!image.isNull());
    QVERIFY2(image.width() >= 470, qPrintable(QString::number(image.width())));
    QVERIFY(image.height() > 200);

    // Nowhere to write the picture: 2.
    program.start(
        QStringLiteral(OLLAVAN_BIN_DIR "/ollavan-quick"),
        {QStringLiteral("--screenshot-add-dialog"), folder.filePath(QStringLiteral("no/such/dir/x.png"))});
    QVERIFY(program.waitForFinished(60000));
    QCOMPARE(program.exitCode(), 2);
}

QTEST_MAIN(PresetEditorTest)
#include "tst_preseteditor.moc"
