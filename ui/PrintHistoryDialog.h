#pragma once

#include <QDialog>

class PresetRepository;
class QTableWidget;

// The read-only list of submitted print jobs, newest first, read from the store when it is built.
// A failure to read is shown in red under the table, with whatever rows were returned.
class PrintHistoryDialog : public QDialog
{
    Q_OBJECT

public:
    // The most entries the dialog shows.
    static constexpr int MaximumEntries = 1000;

    PrintHistoryDialog(const PresetRepository &repository, QWidget *parent);

    QTableWidget *table() const { return historyTable; }

private:
    QTableWidget *historyTable = nullptr;
};
