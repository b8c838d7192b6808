#include "ScheduleTable.h"

#include "DateFormat.h"
#include "IoError.h"
#include "KestrinError.h"
#include "NumberFormat.h"
#include "Query.h"
#include "Table.h"
#include "TableFile.h"
#include "Value.h"
#include "WorkCells.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <filesystem>
#include <system_error>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace scheduletable {

namespace {

bool isBlankRow(const WorkCells& table, int row)
{
    return table.cellView(WorkColumn::StartEvent, row).isEmpty() &&
           table.cellView(WorkColumn::EndEvent, row).isEmpty() &&
           table.cellView(WorkColumn::Duration, row).isEmpty();
}

db::Value cellValue(const WorkCells& table, WorkColumn column, int row, const NumberFormat& numbers,
                    const DateFormat& dates)
{
    const QStringView cell = table.cellView(column, row);
    switch (column) {
    case WorkColumn::StartEvent:
    case WorkColumn::EndEvent:
        return db::Value::text(cell.toString());
    case WorkColumn::BeginDate:
        return db::Value::date(DateFormat::dateOf(dates.parse(cell)));
    default:
        return db::Value::number(numbers.parse(cell));
    }
}

// The table was written through buffers the system may still hold; it replaces the user's file
// only once it is on the disk, or a crash right after the replacement could leave an empty file
// where the old one was.
void syncToDisk(const QString& path)
{
#ifdef Q_OS_UNIX
    QFile file(path);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly))
        ioerror::raise(errno, path);
    if (::fsync(file.handle()) != 0)
        ioerror::raise(errno, path);
#else
    Q_UNUSED(path);
#endif
}

void replaceFile(const QString& from, const QString& to)
{
    const QFileInfo existing(to);
    if (existing.exists() && existing.isFile())
        QFile::setPermissions(from, existing.permissions());
    syncToDisk(from);
    std::error_code error;
    std::filesystem::rename(std::filesystem::path(from.toStdU16String()),
                            std::filesystem::path(to.toStdU16String()), error);
    if (error)
        ioerror::raise(error.default_error_condition().value(), to);
}

// Releases a table that is being given up after a failure; its own failure to close no longer
// matters, the file is removed next.
void discard(db::Table& table)
{
    try {
        table.close();
    } catch (const KestrinError&) {
    }
}

} // namespace

QStringList creationTemplate()
{
    return {
        QStringLiteral("create table \"%s\""),  QStringLiteral("("),
        QStringLiteral("   PevJobs  numeric,"), QStringLiteral("   pFrom char(20),"),
        QStringLiteral("   pTo char (20),"),    QStringLiteral("   mLength numeric,"),
        QStringLiteral("   fl1 numeric,"),      QStringLiteral("   fl2 numeric,"),
        QStringLiteral("   fl3 numeric,"),      QStringLiteral("   fl4 numeric,"),
        QStringLiteral("   fl5 numeric,"),      QStringLiteral("   fl6 numeric,"),
        QStringLiteral("   BeginDate date"),    QStringLiteral(")"),
    };
}

PathParts splitPath(const QString& path)
{
    qsizetype cut = path.size();
    while (cut > 0 && !db::isDirectorySeparator(path[cut - 1]))
        --cut;
    return {path.left(cut), path.mid(cut)};
}

QString formatLine(const QString& line, const QString& argument)
{
    QString result;
    result.reserve(line.size() + argument.size());
    bool used = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] != u'%') {
            result.append(line[i]);
            continue;
        }
        const QChar next = i + 1 < line.size() ? line[i + 1] : QChar();
        if (next == u'%') {
            result.append(u'%');
        } else if ((next == u's' || next == u'S') && !used) {
            result.append(argument);
            used = true;
        } else {
            throw KestrinError(
                QStringLiteral("Строка шаблона «%1»: неверный формат или не хватает аргументов")
                    .arg(line));
        }
        ++i;
    }
    return result;
}

void create(db::Query& qCreate, const QStringList& qStoreTemplate, const QString& directory,
            const QString& fileName)
{
    qCreate.close();
    qCreate.sql().clear();
    db::checkTableFileName(fileName);
    qCreate.setDatabaseName(directory);
    for (const QString& line : qStoreTemplate)
        qCreate.sql().append(formatLine(line, fileName));
    qCreate.execSql();
    qCreate.close();
}

void fill(db::Table& dtData, const WorkCells& table, const NumberFormat& numbers,
          const DateFormat& dates)
{
    QList<db::Value> values(kWorkColumnCount);
    const int rows = table.rowCount();
    for (int row = 0; row < rows; ++row) {
        if (isBlankRow(table, row))
            continue;
        for (int column = 0; column < kWorkColumnCount; ++column)
            values[column] = cellValue(table, WorkColumn(column), row, numbers, dates);
        try {
            dtData.appendRecord(values);
        } catch (const KestrinError& error) {
            throw KestrinError(
                QStringLiteral("Строка %1 не записана. %2").arg(row + 1).arg(error.message()));
        }
    }
}

void exportTo(const QString& path, const WorkCells& table, const QStringList& qStoreTemplate,
              db::Query& qCreate, db::Table& dtData, const NumberFormat& numbers,
              const DateFormat& dates)
{
    const PathParts parts = splitPath(path);
    db::checkTableFileName(parts.fileName);
    // Hidden, and unlike any name a user would choose; the engine refuses to create over an
    // existing file, so a clash could only stop the export, never damage a file.
    const QString temporaryName =
        QStringLiteral(".kestrin-%1.dbf")
            .arg(QRandomGenerator::system()->generate64(), 16, 16, QLatin1Char('0'));
    const QString temporaryPath = db::tablePath(parts.directory, temporaryName);

    dtData.close();
    create(qCreate, qStoreTemplate, parts.directory, temporaryName);
    try {
        dtData.setTableName(temporaryName);
        dtData.setDatabaseName(parts.directory);
        dtData.open();
        fill(dtData, table, numbers, dates);
        dtData.close();
        replaceFile(temporaryPath, db::tablePath(parts.directory, parts.fileName));
    } catch (...) {
        discard(dtData);
        QFile::remove(temporaryPath);
        throw;
    }
    dtData.setTableName(parts.fileName);
}

} // namespace scheduletable
