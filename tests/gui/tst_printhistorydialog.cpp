// The print history dialog over a real store in the test's own HOME: columns, page texts, the newest
// 1000 entries, a store failure, and opening it from the panel's history button.
#include "base/AppIdentity.h"
#include "base/I18n.h"
#include "base/SettingsKeys.h"
#include "model/DatabaseLocation.h"
#include "model/PresetRepository.h"
#include "ui/MainWindow.h"
#include "ui/PrintHistoryDialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include <functional>
#include <memory>

namespace {

void removeDatabase()
{
    const QString path = DatabaseLocation::databasePath();
    QFile::remove(path);
    QDir(path).removeRecursively();
}

std::unique_ptr<PresetRepository> openStore()
{
    DatabaseLocation::createDatabaseFolder(DatabaseLocation::databasePath());
    auto repository = std::make_unique<PresetRepository>(DatabaseLocation::databasePath());
    QString error;
    if (!repository->open(&error))
        qFatal("cannot open the test store: %s", qPrintable(error));
    return repository;
}

PrintHistoryEntry entry(const QString &job, const QDateTime &time, int copies, int pages, int total)
{
    PrintHistoryEntry e;
    e.createdAt = time;
    e.jobName = job;
    e.printerName = QStringLiteral("Office Laser");
    e.parameters = QStringLiteral("Mono · Double-sided (long edge) · A4");
    e.copies = copies;
    e.pageCount = pages;
    e.totalPages = total;
    return e;
}

// Runs SQL statements on the store's file through a connection of the test's own.
void runSql(const QStringList &statements)
{
    const QString name = QStringLiteral("history-test-sql");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(DatabaseLocation::databasePath());
        QVERIFY2(db.open(), qPrintable(db.lastError().text()));
        QVERIFY(db.transaction());
        for (const QString &statement : statements) {
            QSqlQuery query(db);
            QVERIFY2(query.exec(statement),
                     qPrintable(query.lastError().text() + QLatin1Char(' ') + statement));
        }
        QVERIFY(db.commit());
    }
    QSqlDatabase::removeDatabase(name);
}

QStringList rowTexts(const QTableWidget *table, int row)
{
    QStringList texts;
    for (int column = 0; column < table->columnCount(); ++column)
        texts << (table->item(row, column) ? table->item(row, column)->text() : QStringLiteral("<no item>"));
    return texts;
}

QStringList headerTexts(const QTableWidget *table)
{
    QStringList texts;
    for (int column = 0; column < table->columnCount(); ++column)
        texts << table->horizontalHeaderItem(column)->text();
    return texts;
}

// Calls `handle` with the first modal dialog that appears while the caller runs a nested event loop.
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

class PrintHistoryDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup() { I18n::setLanguage(QStringLiteral("en")); }
    void emptyHistoryShowsTheFrame();
    void rowsShowNewestFirstWithPagesAndTotals_data();
    void rowsShowNewestFirstWithPagesAndTotals();
    void onlyTheNewestThousandAreShown();
    void storeFailureIsShownUnderTheTable();
    void historyButtonOpensAFreshModalDialog();
};

void PrintHistoryDialogTest::initTestCase()
{
    AppIdentity::apply();
    QVERIFY(DatabaseLocation::databasePath().startsWith(QDir::homePath()));
}

void PrintHistoryDialogTest::init()
{
    QSettings().clear();
    QSettings().setValue(QLatin1String(SettingsKeys::CompatibilityNoticeShown), true);
    I18n::setLanguage(QStringLiteral("en"));
    removeDatabase();
}

void PrintHistoryDialogTest::emptyHistoryShowsTheFrame()
{
    auto store = openStore();
    QWidget parent;
    PrintHistoryDialog dialog(*store, &parent);
    QCOMPARE(dialog.parentWidget(), &parent);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Print history"));
    QCOMPARE(dialog.size(), QSize(820, 460));

    QTableWidget *table = dialog.table();
    QCOMPARE(table->rowCount(), 0);
    QCOMPARE(headerTexts(table),
             QStringList({"Time", "Job", "Printer", "Settings", "Copies", "Pages", "Total pages"}));
    QCOMPARE(table->editTriggers(), QAbstractItemView::NoEditTriggers);
    QCOMPARE(table->selectionBehavior(), QAbstractItemView::SelectRows);
    QVERIFY(table->alternatingRowColors());
    QVERIFY(table->verticalHeader()->isHidden());
    for (int column = 0; column < 7; ++column) {
        const bool stretches = column == 1 || column == 3;
        QCOMPARE(table->horizontalHeader()->sectionResizeMode(column),
                 stretches ? QHeaderView::Stretch : QHeaderView::ResizeToContents);
    }

    // Note above, table stretching in the middle, Close below; no error line.
    auto *layout = qobject_cast<QVBoxLayout *>(dialog.layout());
    QVERIFY(layout);
    QCOMPARE(layout->count(), 3);
    auto *note = qobject_cast<QLabel *>(layout->itemAt(0)->widget());
    QVERIFY(note);
    QCOMPARE(note->text(),
             QStringLiteral("Jobs successfully submitted to the Windows print system. Page counts "
                            "may be shown as unknown."));
    QCOMPARE(note->styleSheet(), QStringLiteral("color:#667085;"));
    QCOMPARE(layout->itemAt(1)->widget(), table);
    QCOMPARE(layout->stretch(0), 0);
    QCOMPARE(layout->stretch(1), 1);
    QVERIFY(!dialog.findChild<QLabel *>(QStringLiteral("historyError")));
    auto *buttons = qobject_cast<QDialogButtonBox *>(layout->itemAt(2)->widget());
    QVERIFY(buttons);
    QCOMPARE(buttons->buttons().size(), 1);
    QCOMPARE(buttons->standardButtons(), QDialogButtonBox::Close);
    QCOMPARE(buttons->button(QDialogButtonBox::Close)->text(), QStringLiteral("Close"));

    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QTest::mouseClick(buttons->button(QDialogButtonBox::Close), Qt::LeftButton);
    QVERIFY(dialog.isHidden());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
}

void PrintHistoryDialogTest::rowsShowNewestFirstWithPagesAndTotals_data()
{
    QTest::addColumn<QString>("language");
    QTest::newRow("en") << "en";
    QTest::newRow("de") << "de";
    QTest::newRow("ja") << "ja";
}

void PrintHistoryDialogTest::rowsShowNewestFirstWithPagesAndTotals()
{
    QFETCH(QString, language);
    auto store = openStore();
    const QDateTime first(QDate(2026, 3, 1), QTime(9, 15, 7));
    const QDateTime second(QDate(2026, 11, 30), QTime(23, 59, 59));
    QString error;
    QVERIFY2(store->addPrintHistory(entry(QStringLiteral("report.pdf"), first, 2, 3, 6), &error),
             qPrintable(error));
    QVERIFY2(store->addPrintHistory(entry(QStringLiteral("photo.jpg"), second, 1, 0, 0), &error),
             qPrintable(error));
    // A row written by another client whose time cannot be read.
    runSql({QStringLiteral("INSERT INTO print_history(created_at,job_name,printer_name,parameters,copies,"
                           "page_count,total_pages) VALUES('yesterday-ish','notes.docx','Front Desk',"
                           "'Color · Single-sided · A5',4,1,4)")});

    I18n::setLanguage(language);
    const QString unknown = I18n::text("Unknown");
    QVERIFY(language == QLatin1String("en") || unknown != QLatin1String("Unknown"));
    PrintHistoryDialog dialog(*store, nullptr);
    QTableWidget *table = dialog.table();
    QCOMPARE(table->rowCount(), 3);
    QCOMPARE(rowTexts(table, 0),
             QStringList({"", "notes.docx", "Front Desk", "Color · Single-sided · A5", "4", "1", "4"}));
    QCOMPARE(rowTexts(table, 1),
             QStringList({"2026-11-30 23:59:59", "photo.jpg", "Office Laser",
                          "Mono · Double-sided (long edge) · A4", "1", unknown, unknown}));
    QCOMPARE(rowTexts(table, 2), QStringList({"2026-03-01 09:15:07", "report.pdf", "Office Laser",
                                              "Mono · Double-sided (long edge) · A4", "2", "3", "6"}));
    QCOMPARE(headerTexts(table), QStringList({I18n::text("Time"), I18n::text("Job"), I18n::text("Printer"),
                                              I18n::text("Settings"), I18n::text("Copies"),
                                              I18n::text("Pages"), I18n::text("Total pages")}));
    QCOMPARE(dialog.windowTitle(), I18n::text("Print history"));

    // Read-only: a double click or typing on a cell opens no editor and changes nothing.
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    const QRect cell = table->visualItemRect(table->item(1, 1));
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
    QTest::keyClicks(table->viewport(), QStringLiteral("x"));
    QTest::keyClick(table->viewport(), Qt::Key_F2);
    QVERIFY(!table->viewport()->findChild<QLineEdit *>());
    QCOMPARE(table->item(1, 1)->text(), QStringLiteral("photo.jpg"));
    QCOMPARE(table->selectionModel()->selectedRows().size(), 1);
    QCOMPARE(table->selectionModel()->selectedRows().constFirst().row(), 1);
}

void PrintHistoryDialogTest::onlyTheNewestThousandAreShown()
{
    auto store = openStore();
    QStringList statements;
    for (int i = 1; i <= 1005; ++i)
        statements << QStringLiteral("INSERT INTO print_history(created_at,job_name,printer_name,parameters,"
                                     "copies,page_count,total_pages) VALUES('2026-01-01T10:00:00.000',"
                                     "'job %1','P','Mono',1,%1,%1)")
                          .arg(i);
    runSql(statements);

    PrintHistoryDialog dialog(*store, nullptr);
    QTableWidget *table = dialog.table();
    QCOMPARE(table->rowCount(), 1000);
    QCOMPARE(table->item(0, 1)->text(), QStringLiteral("job 1005"));
    QCOMPARE(table->item(0, 5)->text(), QStringLiteral("1005"));
    QCOMPARE(table->item(999, 1)->text(), QStringLiteral("job 6"));
    QCOMPARE(table->item(0, 0)->text(), QStringLiteral("2026-01-01 10:00:00"));
}

void PrintHistoryDialogTest::storeFailureIsShownUnderTheTable()
{
    auto store = openStore();
    runSql({QStringLiteral("DROP TABLE print_history")});

    PrintHistoryDialog dialog(*store, nullptr);
    QCOMPARE(dialog.table()->rowCount(), 0);
    QCOMPARE(dialog.table()->columnCount(), 7);
    auto *error = dialog.findChild<QLabel *>(QStringLiteral("historyError"));
    QVERIFY(error);
    // The driver's own message.
    QVERIFY2(error->text().contains(QStringLiteral("no such table: print_history")),
             qPrintable(error->text()));
    QCOMPARE(error->styleSheet(), QStringLiteral("color:#b4232d;"));
    auto *layout = qobject_cast<QVBoxLayout *>(dialog.layout());
    QCOMPARE(layout->indexOf(error), layout->indexOf(dialog.table()) + 1);
    QVERIFY(layout->indexOf(dialog.findChild<QDialogButtonBox *>()) > layout->indexOf(error));
}

void PrintHistoryDialogTest::historyButtonOpensAFreshModalDialog()
{
    {
        auto store = openStore();
        QVERIFY(
            store->addPrintHistory(entry(QStringLiteral("one.pdf"), QDateTime::currentDateTime(), 1, 2, 2)));
    }
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *button = window.findChild<QPushButton *>(QStringLiteral("historyButton"));
    QVERIFY(button);

    QStringList seen;
    auto inspect = [&seen, &window](QDialog *dialog) {
        auto *history = qobject_cast<PrintHistoryDialog *>(dialog);
        if (!history) {
            seen << QStringLiteral("unexpected dialog: ") + dialog->windowTitle();
            dialog->reject();
            return;
        }
        seen << QStringLiteral("%1 rows, modal %2, parent %3")
                    .arg(history->table()->rowCount())
                    .arg(history->isModal())
                    .arg(history->parentWidget() == &window);
        seen << history->table()->item(0, 1)->text();
        QTest::mouseClick(history->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Close),
                          Qt::LeftButton);
    };

    whenModalDialogAppears(inspect);
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(seen, QStringList({"1 rows, modal 1, parent 1", "one.pdf"}));
    // Closed and destroyed after use.
    QVERIFY(!window.findChild<PrintHistoryDialog *>());

    // A job recorded afterwards appears the next time the dialog opens.
    {
        auto store = openStore();
        QVERIFY(
            store->addPrintHistory(entry(QStringLiteral("two.pdf"), QDateTime::currentDateTime(), 1, 1, 1)));
    }
    seen.clear();
    whenModalDialogAppears(inspect);
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(seen, QStringList({"2 rows, modal 1, parent 1", "two.pdf"}));
}

QTEST_MAIN(PrintHistoryDialogTest)
#include "tst_printhistorydialog.moc"
