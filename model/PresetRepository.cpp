#include "model/PresetRepository.h"

#include "base/PrintOptions.h"

#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <QVariant>

#include <algorithm>

namespace {

const char *const CreatePresetsStatement =
    "CREATE TABLE IF NOT EXISTS print_presets ("
    "id INTEGER PRIMARY KEY AUTOINCREMENT, "
    "title TEXT NOT NULL, "
    "color_mode TEXT NOT NULL CHECK(color_mode IN ('mono','color')), "
    "duplex_mode TEXT NOT NULL CHECK(duplex_mode IN ('simplex','duplex')), "
    "paper_size TEXT NOT NULL, "
    "printer_name TEXT NOT NULL, "
    "background_color TEXT NOT NULL, "
    "sort_order INTEGER NOT NULL UNIQUE"
    ")";

const char *const CreateHistoryStatement = "CREATE TABLE IF NOT EXISTS print_history ("
                                           "id INTEGER PRIMARY KEY AUTOINCREMENT, "
                                           "created_at TEXT NOT NULL, "
                                           "job_name TEXT NOT NULL, "
                                           "printer_name TEXT NOT NULL, "
                                           "parameters TEXT NOT NULL, "
                                           "copies INTEGER NOT NULL, "
                                           "page_count INTEGER NOT NULL DEFAULT 0, "
                                           "total_pages INTEGER NOT NULL DEFAULT 0"
                                           ")";

const char *const CreateMetaStatement =
    "CREATE TABLE IF NOT EXISTS app_meta(key TEXT PRIMARY KEY, value TEXT NOT NULL)";

struct MigratedColumn
{
    const char *name;
    const char *statement;
};

// Columns added after the first release; appended in this order to any table that lacks them.
const MigratedColumn MigratedColumns[] = {
    {"duplex_edge", "ALTER TABLE print_presets ADD COLUMN duplex_edge TEXT NOT NULL DEFAULT 'long'"},
    {"copies", "ALTER TABLE print_presets ADD COLUMN copies INTEGER NOT NULL DEFAULT 1"},
    {"use_driver_settings",
     "ALTER TABLE print_presets ADD COLUMN use_driver_settings INTEGER NOT NULL DEFAULT 0"},
    {"hotkey", "ALTER TABLE print_presets ADD COLUMN hotkey TEXT NOT NULL DEFAULT ''"},
};

constexpr int MinimumCopies = 1;
constexpr int MaximumCopies = 9999;
constexpr int MinimumHistoryCount = 1;
constexpr int MaximumHistoryCount = 5000;

int clampedCopies(qint64 copies)
{
    return int(std::clamp<qint64>(copies, MinimumCopies, MaximumCopies));
}

// A null string would be bound as SQL NULL, which the NOT NULL columns reject; an empty text is meant.
QString text(const QString &value)
{
    return value.isNull() ? QStringLiteral("") : value;
}

// The columns an insert and an update both write, in their statements' order: those before sort_order ...
void bindLeadingColumns(QSqlQuery &query, const PrintPreset &preset)
{
    query.addBindValue(text(preset.title));
    query.addBindValue(optionText(preset.colorMode));
    query.addBindValue(optionText(preset.duplexMode));
    query.addBindValue(text(preset.paperSize));
    query.addBindValue(text(preset.printerName));
    query.addBindValue(text(preset.backgroundColor));
}

// ... and those after it.
void bindTrailingColumns(QSqlQuery &query, const PrintPreset &preset)
{
    query.addBindValue(optionText(preset.duplexEdge));
    query.addBindValue(clampedCopies(preset.copies));
    query.addBindValue(preset.useDriverSettings);
    query.addBindValue(text(preset.hotkey));
}

void storeError(QString *errorText, const QSqlError &error)
{
    if (errorText) {
        *errorText = error.text();
    }
}

// A query on a connection that failed to open is refused before it reaches the driver and carries no error
// of its own; the connection's error (why it could not be opened) is the one to report then.
void storeError(QString *errorText, const QSqlQuery &query, const QSqlDatabase &database)
{
    const QSqlError queryError = query.lastError();
    storeError(errorText, queryError.type() != QSqlError::NoError || !database.isValid()
                              ? queryError
                              : database.lastError());
}

}  // namespace

PresetRepository::PresetRepository(const QString &databasePath)
    : m_databasePath(databasePath),
      m_connectionName(QStringLiteral("vantap-%1").arg(QUuid::createUuid().toString(QUuid::Id128)))
{
}

PresetRepository::~PresetRepository()
{
    if (m_database.isValid()) {
        if (m_database.isOpen()) {
            m_database.close();
        }
        // The handle must go before the connection is removed, or the driver registry keeps it alive.
        m_database = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_connectionName);
    }
}

QString PresetRepository::databasePath() const
{
    return m_databasePath;
}

QString PresetRepository::connectionName() const
{
    return m_connectionName;
}

bool PresetRepository::open(QString *errorText)
{
    if (!m_database.isValid()) {
        m_database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    }
    m_database.setDatabaseName(m_databasePath);
    if (!m_database.open()) {
        storeError(errorText, m_database.lastError());
        return false;
    }
    return createSchema(errorText) && migrateSchema(errorText) && removeLegacyDefaults(errorText);
}

bool PresetRepository::createSchema(QString *errorText)
{
    for (const char *statement : {CreatePresetsStatement, CreateHistoryStatement}) {
        QSqlQuery query(m_database);
        if (!query.exec(QString::fromLatin1(statement))) {
            storeError(errorText, query, m_database);
            return false;
        }
    }
    return true;
}

bool PresetRepository::migrateSchema(QString *errorText)
{
    QSet<QString> existingColumns;
    {
        QSqlQuery pragma(m_database);
        if (!pragma.exec(QStringLiteral("PRAGMA table_info(print_presets)"))) {
            storeError(errorText, pragma, m_database);
            return false;
        }
        while (pragma.next()) {
            existingColumns.insert(pragma.value(1).toString());
        }
    }
    for (const MigratedColumn &column : MigratedColumns) {
        if (existingColumns.contains(QLatin1String(column.name))) {
            continue;
        }
        QSqlQuery alter(m_database);
        if (!alter.exec(QString::fromLatin1(column.statement))) {
            storeError(errorText, alter, m_database);
            return false;
        }
    }
    return true;
}

bool PresetRepository::removeLegacyDefaults(QString *errorText)
{
    {
        QSqlQuery create(m_database);
        if (!create.exec(QString::fromLatin1(CreateMetaStatement))) {
            storeError(errorText, create, m_database);
            return false;
        }
    }
    {
        QSqlQuery select(m_database);
        if (!select.prepare(
                QStringLiteral("SELECT value FROM app_meta WHERE key='legacy_defaults_removed_v1'")) ||
            !select.exec()) {
            storeError(errorText, select, m_database);
            return false;
        }
        if (select.next()) {
            return true;
        }
    }
    if (!m_database.transaction()) {
        storeError(errorText, m_database.lastError());
        return false;
    }
    QSqlQuery insert(m_database);
    const bool inserted = insert.prepare(QStringLiteral(
                              "INSERT INTO app_meta(key,value) VALUES('legacy_defaults_removed_v1','1')")) &&
                          insert.exec();
    if (inserted && m_database.commit()) {
        return true;
    }
    const QSqlError insertError = insert.lastError();
    insert.finish();
    m_database.rollback();
    storeError(errorText, insertError.isValid() ? insertError : m_database.lastError());
    return false;
}

QList<PrintPreset> PresetRepository::presets(QString *errorText) const
{
    QList<PrintPreset> result;
    QSqlQuery query(m_database);
    if (!query.exec(
            QStringLiteral("SELECT id,title,color_mode,duplex_mode,paper_size,printer_name,background_color,"
                           "sort_order,duplex_edge,copies,use_driver_settings,hotkey FROM print_presets "
                           "ORDER BY sort_order"))) {
        storeError(errorText, query, m_database);
        return {};
    }
    while (query.next()) {
        PrintPreset preset;
        preset.id = query.value(0).toInt();
        preset.title = query.value(1).toString();
        preset.colorMode = colorModeFromText(query.value(2).toString());
        preset.duplexMode = duplexModeFromText(query.value(3).toString());
        preset.paperSize = query.value(4).toString();
        preset.printerName = query.value(5).toString();
        preset.backgroundColor = query.value(6).toString();
        preset.sortOrder = query.value(7).toInt();
        preset.duplexEdge = duplexEdgeFromText(query.value(8).toString());
        preset.copies = clampedCopies(query.value(9).toLongLong());
        preset.useDriverSettings = query.value(10).toBool();
        preset.hotkey = query.value(11).toString();
        result.append(preset);
    }
    return result;
}

bool PresetRepository::addPreset(PrintPreset preset, QString *errorText)
{
    if (preset.sortOrder < 0) {
        QSqlQuery next(m_database);
        if (!next.exec(QStringLiteral("SELECT COALESCE(MAX(sort_order),-1)+1 FROM print_presets")) ||
            !next.next()) {
            storeError(errorText, next, m_database);
            return false;
        }
        preset.sortOrder = next.value(0).toInt();
    }
    QSqlQuery insert(m_database);
    if (!insert.prepare(QStringLiteral("INSERT INTO print_presets(title,color_mode,duplex_mode,paper_size,"
                                       "printer_name,background_color,sort_order,duplex_edge,copies,"
                                       "use_driver_settings,hotkey) VALUES(?,?,?,?,?,?,?,?,?,?,?)"))) {
        storeError(errorText, insert, m_database);
        return false;
    }
    bindLeadingColumns(insert, preset);
    insert.addBindValue(preset.sortOrder);
    bindTrailingColumns(insert, preset);
    if (!insert.exec()) {
        storeError(errorText, insert, m_database);
        return false;
    }
    return true;
}

bool PresetRepository::updatePreset(const PrintPreset &preset, QString *errorText)
{
    QSqlQuery update(m_database);
    if (!update.prepare(
            QStringLiteral("UPDATE print_presets SET title=?,color_mode=?,duplex_mode=?,paper_size=?,"
                           "printer_name=?,background_color=?,duplex_edge=?,copies=?,"
                           "use_driver_settings=?,hotkey=? WHERE id=?"))) {
        storeError(errorText, update, m_database);
        return false;
    }
    bindLeadingColumns(update, preset);
    bindTrailingColumns(update, preset);
    update.addBindValue(preset.id);
    if (!update.exec()) {
        storeError(errorText, update, m_database);
        return false;
    }
    return true;
}

bool PresetRepository::deletePreset(int presetId, QString *errorText)
{
    QSqlQuery remove(m_database);
    if (!remove.prepare(QStringLiteral("DELETE FROM print_presets WHERE id=?"))) {
        storeError(errorText, remove, m_database);
        return false;
    }
    remove.addBindValue(presetId);
    if (!remove.exec()) {
        storeError(errorText, remove, m_database);
        return false;
    }
    return true;
}

bool PresetRepository::addPrintHistory(const PrintHistoryEntry &entry, QString *errorText)
{
    QSqlQuery insert(m_database);
    if (!insert.prepare(
            QStringLiteral("INSERT INTO print_history(created_at,job_name,printer_name,parameters,"
                           "copies,page_count,total_pages) VALUES(?,?,?,?,?,?,?)"))) {
        storeError(errorText, insert, m_database);
        return false;
    }
    insert.addBindValue(text(entry.createdAt.toString(Qt::ISODateWithMs)));
    insert.addBindValue(text(entry.jobName));
    insert.addBindValue(text(entry.printerName));
    insert.addBindValue(text(entry.parameters));
    insert.addBindValue(std::max(entry.copies, 1));
    insert.addBindValue(std::max(entry.pageCount, 0));
    insert.addBindValue(std::max(entry.totalPages, 0));
    if (!insert.exec()) {
        storeError(errorText, insert, m_database);
        return false;
    }
    return true;
}

QList<PrintHistoryEntry> PresetRepository::printHistory(int maximumCount, QString *errorText) const
{
    QSqlQuery query(m_database);
    if (!query.prepare(
            QStringLiteral("SELECT id,created_at,job_name,printer_name,parameters,copies,page_count,"
                           "total_pages FROM print_history ORDER BY id DESC LIMIT ?"))) {
        storeError(errorText, query, m_database);
        return {};
    }
    query.addBindValue(std::clamp(maximumCount, MinimumHistoryCount, MaximumHistoryCount));
    if (!query.exec()) {
        storeError(errorText, query, m_database);
        return {};
    }
    QList<PrintHistoryEntry> result;
    while (query.next()) {
        PrintHistoryEntry entry;
        entry.id = query.value(0).toInt();
        entry.createdAt = QDateTime::fromString(query.value(1).toString(), Qt::ISODateWithMs);
        entry.jobName = query.value(2).toString();
        entry.printerName = query.value(3).toString();
        entry.parameters = query.value(4).toString();
        entry.copies = query.value(5).toInt();
        entry.pageCount = query.value(6).toInt();
        entry.totalPages = query.value(7).toInt();
        result.append(entry);
    }
    return result;
}
