#include "ui/PrintHistoryDialog.h"

#include "base/I18n.h"
#include "model/PresetRepository.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

enum Column { TimeColumn, JobColumn, PrinterColumn, SettingsColumn, CopiesColumn, PagesColumn, TotalColumn };

QString pagesText(int pages, const QString &unknown)
{
    return pages > 0 ? QString::number(pages) : unknown;
}

}  // namespace

PrintHistoryDialog::PrintHistoryDialog(const PresetRepository &repository, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("printHistoryDialog"));
    setWindowTitle(I18n::text("Print history"));
    resize(820, 460);
    auto *layout = new QVBoxLayout(this);

    auto *note = new QLabel(
        I18n::text(
            "Jobs successfully submitted to the Windows print system. Page counts may be shown as unknown."),
        this);
    note->setObjectName(QStringLiteral("historyNote"));
    note->setStyleSheet(QStringLiteral("color:#667085;"));
    layout->addWidget(note, 0);

    historyTable = new QTableWidget(this);
    historyTable->setObjectName(QStringLiteral("historyTable"));
    historyTable->setColumnCount(7);
    historyTable->setHorizontalHeaderLabels({I18n::text("Time"), I18n::text("Job"), I18n::text("Printer"),
                                             I18n::text("Settings"), I18n::text("Copies"),
                                             I18n::text("Pages"), I18n::text("Total pages")});
    historyTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    historyTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    historyTable->setAlternatingRowColors(true);
    historyTable->verticalHeader()->setVisible(false);

    QString error;
    const QList<PrintHistoryEntry> entries = repository.printHistory(MaximumEntries, &error);
    historyTable->setRowCount(int(entries.size()));
    for (int row = 0; row < entries.size(); ++row) {
        const PrintHistoryEntry &entry = entries.at(row);
        const QString unknown = I18n::text("Unknown");
        const QString cells[] = {
            entry.createdAt.isValid() ? entry.createdAt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                                      : QString(),
            entry.jobName,
            entry.printerName,
            entry.parameters,
            QString::number(entry.copies),
            pagesText(entry.pageCount, unknown),
            pagesText(entry.totalPages, unknown),
        };
        for (int column = 0; column < 7; ++column)
            historyTable->setItem(row, column, new QTableWidgetItem(cells[column]));
    }

    QHeaderView *header = historyTable->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    header->setSectionResizeMode(JobColumn, QHeaderView::Stretch);
    header->setSectionResizeMode(SettingsColumn, QHeaderView::Stretch);
    layout->addWidget(historyTable, 1);

    if (!error.isEmpty()) {
        auto *errorLabel = new QLabel(error, this);
        errorLabel->setObjectName(QStringLiteral("historyError"));
        errorLabel->setStyleSheet(QStringLiteral("color:#b4232d;"));
        layout->addWidget(errorLabel);
    }

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(I18n::text("Close"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}
