#pragma once

#include "WorkCells.h"

#include <QString>
#include <QStringList>

class DateFormat;
class NumberFormat;

namespace db {
class Query;
class Table;
} // namespace db

// The schedule table: the dBASE table of the calculated work table, one record per work and one
// field per column (PEVJOBS, PFROM, PTO, MLENGTH, FL1..FL6, BEGINDATE). The export writes it where
// the user chooses; the table report writes a temporary one and prints it.
namespace scheduletable {

// The creation template held by qStore: fourteen lines, the first `create table "%s"`.
QStringList creationTemplate();
// The field that holds a column, as the creation template names it (dBASE stores names upper
// case): PevJobs, pFrom, pTo, mLength, fl1 to fl6, BeginDate.
QString fieldName(WorkColumn column);

// A chosen path as the database engine takes it: the directory up to and including the last
// separator ("/"; on Windows also "\" and ":"), and the file name after it. A path without a
// separator has an empty directory, the working directory.
struct PathParts
{
    QString directory;
    QString fileName;
};
PathParts splitPath(const QString& path);

// One template line formatted with one text argument: "%s" stands for the argument and "%%" for
// a percent sign. The argument is inserted as it is and never read as format text. Raises for
// another directive or for a second "%s".
QString formatLine(const QString& line, const QString& argument);

// Runs the statement made from the template with fileName in the directory, through qCreate,
// which keeps the statement (a query holds nothing open between calls). The file name is refused
// before anything is formatted when it holds a double quotation mark or a directory separator. The
// table must not exist yet.
void create(db::Query& qCreate, const QStringList& qStoreTemplate, const QString& directory,
            const QString& fileName);

// Appends one record per work, in row order, to dtData (open on a schedule table). Columns 0 and
// 3..9 are read as numbers, 1 and 2 taken as they are, 10 read as a date optionally followed by a
// time; all eleven before the row's record is appended, so a cell that does not convert raises
// its conversion message and its row adds nothing. Blank rows (start event, end event and
// duration all empty) are no works and add no record; the empty table gives no record. A value
// the table cannot hold raises a message naming the row and the field.
void fill(db::Table& dtData, const WorkCells& table, const NumberFormat& numbers,
          const DateFormat& dates);

// The dBASE export of the work table to path, all or nothing (AtomicFile): the table is created
// and filled under a hidden temporary name in the target folder, written to disk, and only then
// put in place of path, so that a failure leaves neither a half-written table nor a damaged file
// of that name (an existing file keeps its content; the replacing one takes over its
// permissions). A write-protected file is refused. A failure to write names the chosen file and
// the reason, whichever row it showed at. Afterwards dtData is closed and names the exported
// table.
void exportTo(const QString& path, const WorkCells& table, const QStringList& qStoreTemplate,
              db::Query& qCreate, db::Table& dtData, const NumberFormat& numbers,
              const DateFormat& dates);

} // namespace scheduletable
