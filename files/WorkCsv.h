#pragma once

#include "WorkInputs.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

class NumberFormat;
class Plan;
class WorkCells;
class WorkTable;

// The works as spreadsheets exchange them: CSV files, and the tab-separated text of the clipboard.
//
// Written: every row's eleven cells exactly as the table holds them, quoted as spreadsheets quote
// (delimitedtext::appendField); in a CSV file, a start event, end event or duration that a
// spreadsheet would run as a formula gets an apostrophe in front (delimitedtext::formulaGuarded),
// which reading a CSV file takes off again.
//
// Read: one work per line. A first line that holds the captions "Начало", "Конец" and
// "Продолжит." (letter case and blanks around them aside) is a heading, and their places give
// the columns of the start event, end event and duration. Without a heading, a line of eleven
// fields is a row as written here (the three in its second to fourth fields); any other line
// gives them in its first three fields, a missing field reading as empty. Lines whose fields are
// all empty are skipped. Every work is checked as the element dialog checks it
// (WorkInputCheck); the first one that fails, or a quote never closed, stops the reading with a
// message naming its line, and nothing is returned.
//
// The works' details travel after the eleven columns, by heading: "Наименование", the captions of
// the five numbers (detailrules::numberCaption) as the shortest texts that read back exactly (in
// the user's decimal separator), then one column per
// resource of the plan, named after it. They are written (with the heading, also on the
// clipboard) only when the table has details or the plan has resources, so a plain table's text
// is as it always was. Read, a heading column of a detail caption or of a resource of the plan
// gives that detail; other columns are passed over as before, so an older file still reads.
// Details that break their own rules (detailrules::ownProblem) stop the reading like a bad work.
namespace workcsv {

// The largest CSV file read (InputFile): a million works take about 30 MB.
inline constexpr qint64 kMaxBytes = qint64(64) << 20;

// The CSV file: UTF-8 with a byte order mark, ';' between fields, CR LF after every line, a
// heading of the grid's column captions, then every row.
QByteArray encode(const WorkCells& table);
// Writes it all or nothing (AtomicFile).
void write(const QString& path, const WorkCells& table);

// The works of a CSV file: ';' between fields, UTF-8 (a byte order mark is skipped), or
// Windows-1251 when the bytes are not valid UTF-8. fileName names the file in messages. A file
// without a single work (empty, a heading alone, lines of separators) is refused, as pasting
// such text is: reading it would empty the table.
WorkInputs decode(QByteArrayView bytes, const NumberFormat& numbers, const QString& fileName);
// Reads the file: only a regular file of at most kMaxBytes (InputFile); failures to open or read
// raise the messages of ioerror::inputFailureMessage.
WorkInputs read(const QString& path, const NumberFormat& numbers);

// Rows first .. first + count - 1 as the clipboard carries them to a spreadsheet: tab-separated,
// each line ended by LF.
QString clipboardText(const WorkCells& table, int first, int count);
// The works of pasted text: tab-separated when it holds a tab, else ';'-separated.
WorkInputs pastedWorks(QStringView text, const NumberFormat& numbers);

// The same with the works' details (see above); the numbers format the details' numbers.
QByteArray encode(const WorkTable& table, const Plan& plan, const NumberFormat& numbers);
void write(const QString& path, const WorkTable& table, const Plan& plan,
           const NumberFormat& numbers);
WorkInputs decode(QByteArrayView bytes, const NumberFormat& numbers, const QString& fileName,
                  const Plan& plan);
WorkInputs read(const QString& path, const NumberFormat& numbers, const Plan& plan);
QString clipboardText(const WorkTable& table, const Plan& plan, const NumberFormat& numbers,
                      int first, int count);
WorkInputs pastedWorks(QStringView text, const NumberFormat& numbers, const Plan& plan);

} // namespace workcsv
