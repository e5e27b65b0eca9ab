#include "cli/CommandLine.h"

#include "base/AppIdentity.h"
#include "base/I18n.h"
#include "model/DatabaseLocation.h"
#include "model/PresetRepository.h"
#include "platform/DesktopNotification.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cstdio>

namespace cli {

namespace {

bool errorNotifications = false;

void write(FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

}  // namespace

void printLine(const QString &line)
{
    write(stdout, line + QLatin1Char('\n'));
}

void printError(const QString &message)
{
    write(stderr, QStringLiteral("ollavan: ") + message + QLatin1Char('\n'));
    if (!errorNotifications)
        return;
    const platform::DesktopNotification notification{QString::fromLatin1(AppIdentity::DisplayName),
                                                     QString::fromLatin1(AppIdentity::DesktopEntryId),
                                                     I18n::text("Print with preset"), message};
    QString error;
    if (!platform::showDesktopNotification(notification, &error))
        write(stderr, QStringLiteral("ollavan: the error could not be shown as a notification: ") + error +
                          QLatin1Char('\n'));
}

void setErrorNotifications(bool enabled)
{
    errorNotifications = enabled;
}

void printJson(const QJsonValue &value)
{
    QJsonDocument document;
    if (value.isArray()) {
        document.setArray(value.toArray());
    } else {
        document.setObject(value.toObject());
    }
    write(stdout, QString::fromUtf8(document.toJson(QJsonDocument::Indented)));
}

QString formatTable(const QStringList &headers, const QList<QStringList> &rows)
{
    QList<int> widths;
    for (const QString &header : headers) {
        widths.append(int(header.size()));
    }
    for (const QStringList &row : rows) {
        for (int column = 0; column < row.size() && column < widths.size(); ++column) {
            widths[column] = std::max(widths[column], int(row[column].size()));
        }
    }
    auto formatRow = [&widths](const QStringList &cells) {
        QString line;
        for (int column = 0; column < widths.size(); ++column) {
            const QString cell = column < cells.size() ? cells[column] : QString();
            const bool last = column == widths.size() - 1;
            line += last ? cell : cell.leftJustified(widths[column]) + QLatin1String("  ");
        }
        return line + QLatin1Char('\n');
    };
    QString text = formatRow(headers);
    for (const QStringList &row : rows) {
        text += formatRow(row);
    }
    return text;
}

void printTable(const QStringList &headers, const QList<QStringList> &rows)
{
    write(stdout, formatTable(headers, rows));
}

bool parseInteger(const QString &text, int *value)
{
    bool ok = false;
    const int parsed = text.toInt(&ok, 10);
    if (!ok || text.trimmed() != text) {
        return false;
    }
    *value = parsed;
    return true;
}

bool checkArgumentCount(const Invocation &invocation, const char *verbName, int maximum)
{
    if (invocation.arguments.size() <= maximum) {
        return true;
    }
    printError(QStringLiteral("%1: unexpected argument \"%2\" (see ollavan --help)")
                   .arg(QLatin1String(verbName), invocation.arguments.at(maximum)));
    return false;
}

std::unique_ptr<PresetRepository> openStore()
{
    const QString path = DatabaseLocation::databasePath();
    // A folder that cannot be created makes the open below fail with the driver's own message.
    DatabaseLocation::createDatabaseFolder(path);
    auto repository = std::make_unique<PresetRepository>(path);
    QString error;
    if (!repository->open(&error)) {
        printError(error);
        return nullptr;
    }
    return repository;
}

void printReadError(const PresetRepository &store, const QString &driverText)
{
    printError(I18n::text("Cannot read the database %1: %2\nTry again; if the error stays, move the file "
                          "elsewhere to start with an empty database.")
                   .arg(QDir::toNativeSeparators(store.databasePath()), driverText));
}

}  // namespace cli
