#include "ScheduleTable.h"

#include "AtomicFile.h"
#include "DateFormat.h"
#include "FileErrorText.h"
#include "KestrinError.h"
#include "NumberFormat.h"
#include "Progress.h"
#include "Query.h"
#include "Table.h"
#include "TableFile.h"
#include "Value.h"
#include "WorkCells.h"

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

// The export's words for a failure of its file: the engine's own for a folder that takes no new
// table, and the chosen file's name (never the temporary one) for a table that could not be
// written or put in place.
QString exportFailureMessage(const AtomicFile::Failure& failure)
{
    switch (failure.stage) {
    case AtomicFile::Failure::Stage::Target:
        return QStringLiteral("Не удалось заменить таблицу «%1»: %2")
            .arg(failure.target, fileErrorText(failure.error));
    case AtomicFile::Failure::Stage::Folder:
        return QStringLiteral("Не удалось создать таблицу в папке «%1»: %2")
            .arg(failure.folder, fileErrorText(failure.error));
    case AtomicFile::Failure::Stage::Write:
        break;
    }
    return QStringLiteral("Не удалось записать таблицу «%1»: %2")
        .arg(failure.target, fileErrorText(failure.error));
}

// Closes a table that is being given up on the way out of a failed export; its own failure to
// close no longer matters then, its file is removed next.
class ClosedOnExit
{
public:
    explicit ClosedOnExit(db::Table& table) : m_table(table) {}
    ~ClosedOnExit()
    {
        try {
            m_table.close();
        } catch (const KestrinError&) {
        }
    }
    ClosedOnExit(const ClosedOnExit&) = delete;
    ClosedOnExit& operator=(const ClosedOnExit&) = delete;

private:
    db::Table& m_table;
};

} // namespace

namespace {

// The fields of the schedule table, one per column of the work table in column order, with their
// types as the creation template writes them (spacing and all).
struct FieldDefinition
{
    const char* name;
    const char* type;
};

constexpr FieldDefinition kFields[kWorkColumnCount] = {
    {"PevJobs", "  numeric"}, {"pFrom", " char(20)"}, {"pTo", " char (20)"},
    {"mLength", " numeric"},  {"fl1", " numeric"},    {"fl2", " numeric"},
    {"fl3", " numeric"},      {"fl4", " numeric"},    {"fl5", " numeric"},
    {"fl6", " numeric"},      {"BeginDate", " date"},
};

} // namespace

QString fieldName(WorkColumn column)
{
    return QLatin1String(kFields[columnIndex(column)].name);
}

QStringList creationTemplate()
{
    QStringList lines{QStringLiteral("create table \"%s\""), QStringLiteral("(")};
    for (int column = 0; column < kWorkColumnCount; ++column) {
        const FieldDefinition& field = kFields[column];
        lines.append(QStringLiteral("   ") + QLatin1String(field.name) + QLatin1String(field.type) +
                     (column + 1 < kWorkColumnCount ? QStringLiteral(",") : QString()));
    }
    lines.append(QStringLiteral(")"));
    return lines;
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
    qCreate.sql().clear();
    db::checkTableFileName(fileName);
    qCreate.setDatabaseName(directory);
    for (const QString& line : qStoreTemplate)
        qCreate.sql().append(formatLine(line, fileName));
    qCreate.execSql();
}

void fill(db::Table& dtData, const WorkCells& table, const NumberFormat& numbers,
          const DateFormat& dates)
{
    QList<db::Value> values(kWorkColumnCount);
    const int rows = table.rowCount();
    for (int row = 0; row < rows; ++row) {
        progress::step(u"Запись таблицы", row, rows);
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
    // The engine makes the table itself, so it makes the temporary file too; the name ends in
    // ".dbf" as the engine requires.
    AtomicFile file(db::tablePath(parts.directory, parts.fileName), exportFailureMessage,
                    QStringLiteral(".dbf"));
    dtData.close();
    file.adopt([&](const QString& temporaryPath) {
        const PathParts temporary = splitPath(temporaryPath);
        create(qCreate, qStoreTemplate, temporary.directory, temporary.fileName);
        dtData.setTableName(temporary.fileName);
        dtData.setDatabaseName(temporary.directory);
    });
    {
        const ClosedOnExit closed(dtData);
        try {
            dtData.open();
            fill(dtData, table, numbers, dates);
            dtData.close();
        } catch (const KestrinError&) {
            // A full disk is the disk's fault, not the row's where it showed.
            if (const int error = dtData.lastFileError())
                file.raise(AtomicFile::Failure::Stage::Write, error);
            throw;
        }
    }
    file.commit();
    dtData.setTableName(parts.fileName);
    dtData.setDatabaseName(parts.directory);
}

} // namespace scheduletable
