#pragma once

#include "base/Records.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>

class QSqlQuery;

// The preset and print-history store: one SQLite file through the "QSQLITE" driver, on this object's own
// named connection. Used from the user-interface thread only. Every operation reports failure by its result
// (false or an empty list) and, when `errorText` is given, a text that says why (the database driver's).
//
// The panel and the command line use the file side by side: no operation leaves a transaction or a statement
// open, so the file is locked only while a statement runs, and a statement that meets the other program's
// lock waits for it up to BusyTimeoutMs before it fails with "database is locked".
class PresetRepository
{
public:
    static constexpr int BusyTimeoutMs = 5000;
    // The bounds of printHistory's count.
    static constexpr int MinimumHistoryCount = 1;
    static constexpr int MaximumHistoryCount = 5000;

    explicit PresetRepository(const QString &databasePath);
    ~PresetRepository();

    PresetRepository(const PresetRepository &) = delete;
    PresetRepository &operator=(const PresetRepository &) = delete;

    QString databasePath() const;
    // "vantap-" followed by 32 hexadecimal digits, unique to this object.
    QString connectionName() const;

    // Opens the file (creating it when missing), creates the tables, adds the columns an older file lacks
    // and records the one-time marker. The folder must exist already (see DatabaseLocation). An existing
    // file that is empty or not an SQLite database is refused untouched, with a text that names it and
    // says what to do; so is any other failure to open (the driver's text is part of it). After a refusal
    // every operation fails with the same text.
    bool open(QString *errorText = nullptr);

    // Ordered by position (sort_order) ascending; copies clamped into [1, 9999].
    QList<PrintPreset> presets(QString *errorText = nullptr) const;
    // A negative sortOrder takes the next free position (highest + 1, 0 in an empty table); a non-negative
    // one is stored as given and fails when the position is taken. Copies are clamped into [1, 9999].
    bool addPreset(PrintPreset preset, QString *errorText = nullptr);
    // Rewrites every field but the position, by id.
    bool updatePreset(const PrintPreset &preset, QString *errorText = nullptr);
    bool deletePreset(int presetId, QString *errorText = nullptr);

    // Copies are stored as at least 1, page counts as at least 0.
    bool addPrintHistory(const PrintHistoryEntry &entry, QString *errorText = nullptr);
    // The newest entries first; maximumCount is clamped into [1, 5000].
    QList<PrintHistoryEntry> printHistory(int maximumCount, QString *errorText = nullptr) const;

private:
    bool createSchema(QString *errorText);
    bool migrateSchema(QString *errorText);
    bool removeLegacyDefaults(QString *errorText);
    void storeError(QString *errorText, const QSqlQuery &query) const;

    QString m_databasePath;
    QString m_connectionName;
    QSqlDatabase m_database;
    QString m_refusal;  // why open() would not let the driver at the file; empty when it did
};
