#include "model/PresetRepository.h"

#include "base/I18n.h"
#include "base/PrintOptions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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
    {"builtin_pdf_engine",
     "ALTER TABLE print_presets ADD COLUMN builtin_pdf_engine INTEGER NOT NULL DEFAULT 0"},
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
    query.addBindValue(preset.builtInPdfEngine);
}

// Every SQLite database file begins with these 16 bytes.
const char DatabaseFileHeader[] = "SQLite format 3";

// Why an existing file must not be handed to the driver, or an empty text. The driver would take an empty
// file for a new database and write one into it. A missing file is created, and a file that cannot be
// read is left to the driver, whose text then says why.
QString refusalOf(const QString &path)
{
    const QFileInfo info(path);
    const QString shown = QDir::toNativeSeparators(info.absoluteFilePath());
    if (info.isFile() && info.size() == 0) {
        return I18n::text("The preset database %1 is an empty file. Move it elsewhere or delete it; a new, "
                          "empty database is then created in its place.")
            .arg(shown);
    }
    QFile file(path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly) ||
        file.read(sizeof DatabaseFileHeader) == QByteArray(DatabaseFileHeader, sizeof DatabaseFileHeader)) {
        return {};
    }
    return I18n::text("The file %1 is not a preset database. Move it elsewhere; a new, empty database is "
                      "then created in its place.")
        .arg(shown);
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
    m_refusal = refusalOf(m_databasePath);
    if (!m_refusal.isEmpty()) {
        if (errorText) {
            *errorText = m_refusal;
        }
        return false;
    }
    if (!m_database.isValid()) {
        m_database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    }
    m_database.setDatabaseName(m_databasePath);
    m_database.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(BusyTimeoutMs));
    QString driverText;
    bool opened = m_database.open();
    if (!opened) {
        driverText = m_database.lastError().text();
    } else {
        // The other program may be bringing the same file up to date at this moment (both started on an
        // older file): a step that failed is taken once more, and then finds its work done by the other.
        opened = createSchema(&driverText) && (migrateSchema(&driverText) || migrateSchema(&driverText)) &&
                 (removeLegacyDefaults(&driverText) || removeLegacyDefaults(&driverText));
    }
    if (!opened && errorText) {
        *errorText =
            I18n::text("Cannot open the preset database %1: %2\nCheck that the file and its folder "
                       "may be read and written, or move the file elsewhere to start with an empty "
                       "database.")
                .arg(QDir::toNativeSeparators(QFileInfo(m_databasePath).absoluteFilePath()), driverText);
    }
    return opened;
}

bool PresetRepository::createSchema(QString *errorText)
{
    for (const char *statement : {CreatePresetsStatement, CreateHistoryStatement}) {
        QSqlQuery query(m_database);
        if (!query.exec(QString::fromLatin1(statement))) {
            storeError(errorText, query);
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
            storeError(errorText, pragma);
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
            storeError(errorText, alter);
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
            storeError(errorText, create);
            return false;
        }
    }
    {
        QSqlQuery select(m_database);
        if (!select.prepare(
                QStringLiteral("SELECT value FROM app_meta WHERE key='legacy_defaults_removed_v1'")) ||
            !select.exec()) {
            storeError(errorText, select);
            return false;
        }
        if (select.next()) {
            return true;
        }
    }
    // One statement needs no transaction of its own: it is committed, and the file unlocked, when it ends.
    QSqlQuery insert(m_database);
    if (!insert.prepare(
            QStringLiteral("INSERT INTO app_meta(key,value) VALUES('legacy_defaults_removed_v1','1')")) ||
        !insert.exec()) {
        storeError(errorText, insert);
        return false;
    }
    return true;
}

void PresetRepository::storeError(QString *errorText, const QSqlQuery &query) const
{
    if (!errorText) {
        return;
    }
    // A refused file never reached the driver. A query on a connection that failed to open is refused
    // before it reaches the driver and carries no error of its own; the connection's error (why it could
    // not be opened) is the one to report then.
    const QSqlError queryError = query.lastError();
    if (!m_refusal.isEmpty()) {
        *errorText = m_refusal;
    } else if (queryError.type() != QSqlError::NoError || !m_database.isValid()) {
        *errorText = queryError.text();
    } else {
        *errorText = m_database.lastError().text();
    }
}

QList<PrintPreset> PresetRepository::presets(QString *errorText) const
{
    QList<PrintPreset> result;
    QSqlQuery query(m_database);
    if (!query.exec(
            QStringLiteral("SELECT id,title,color_mode,duplex_mode,paper_size,printer_name,background_color,"
                           "sort_order,duplex_edge,copies,use_driver_settings,hotkey,builtin_pdf_engine "
                           "FROM print_presets "
                           "ORDER BY sort_order"))) {
        storeError(errorText, query);
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
        preset.builtInPdfEngine = query.value(12).toBool();
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
            storeError(errorText, next);
            return false;
        }
        preset.sortOrder = next.value(0).toInt();
    }
    QSqlQuery insert(m_database);
    if (!insert.prepare(QStringLiteral("INSERT INTO print_presets(title,color_mode,duplex_mode,paper_size,"
                                       "printer_name,background_color,sort_order,duplex_edge,copies,"
                                       "use_driver_settings,hotkey,builtin_pdf_engine) "
                                       "VALUES(?,?,?,?,?,?,?,?,?,?,?,?)"))) {
        storeError(errorText, insert);
        return false;
    }
    bindLeadingColumns(insert, preset);
    insert.addBindValue(preset.sortOrder);
    bindTrailingColumns(insert, preset);
    if (!insert.exec()) {
        storeError(errorText, insert);
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
                           "use_driver_settings=?,hotkey=?,builtin_pdf_engine=? WHERE id=?"))) {
        storeError(errorText, update);
        return false;
    }
    bindLeadingColumns(update, preset);
    bindTrailingColumns(update, preset);
    update.addBindValue(preset.id);
    if (!update.exec()) {
        storeError(errorText, update);
        return false;
    }
    return true;
}

bool PresetRepository::deletePreset(int presetId, QString *errorText)
{
    QSqlQuery remove(m_database);
    if (!remove.prepare(QStringLiteral("DELETE FROM print_presets WHERE id=?"))) {
        storeError(errorText, remove);
        return false;
    }
    remove.addBindValue(presetId);
    if (!remove.exec()) {
        storeError(errorText, remove);
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
        storeError(errorText, insert);
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
        storeError(errorText, insert);
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
        storeError(errorText, query);
        return {};
    }
    query.addBindValue(std::clamp(maximumCount, MinimumHistoryCount, MaximumHistoryCount));
    if (!query.exec()) {
        storeError(errorText, query);
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
