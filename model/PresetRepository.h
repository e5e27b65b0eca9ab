#pragma once

#include "base/Records.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>

// The preset and print-history store: one SQLite file through the "QSQLITE" driver, on this object's own
// named connection. Used from the user-interface thread only. Every operation reports failure by its result
// (false or an empty list) and, when `errorText` is given, the database driver's error text.
class PresetRepository
{
public:
    explicit PresetRepository(const QString &databasePath);
    ~PresetRepository();

    PresetRepository(const PresetRepository &) = delete;
    PresetRepository &operator=(const PresetRepository &) = delete;

    QString databasePath() const;
    // "vantap-" followed by 32 hexadecimal digits, unique to this object.
    QString connectionName() const;

    // Opens the file (creating it when missing), creates the tables, adds the columns an older file lacks
    // and records the one-time marker. The folder must exist already (see DatabaseLocation).
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

    QString m_databasePath;
    QString m_connectionName;
    QSqlDatabase m_database;
};
