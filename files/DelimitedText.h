#pragma once

#include <QChar>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>

// Delimited text as spreadsheets write and read it (CSV with ';', the clipboard's text with tabs).
namespace delimitedtext {

// Calls record(fields, line) for every record of the text. Fields are separated by the separator
// and records end at CR LF, LF or CR; the last record's line end may be missing. A field that
// begins with a double quote runs to its closing quote and may hold separators and line ends, two
// quotes inside standing for one; anything after the closing quote up to the next separator is
// kept as it stands, and so is a quote inside a field that did not begin with one. `line` is the
// number, from 1, of the line on which the record begins. A quote that is never closed stops the
// reading before its record: the answer is then the number of the line where it opened, else 0.
int forEachRecord(QStringView text, QChar separator,
                  const std::function<void(const QStringList& fields, int line)>& record);

// Appends the field as a spreadsheet writes it: in double quotes, its own quotes doubled, when it
// holds the separator, a quote, CR or LF, or begins or ends with a blank (which some readers
// would otherwise drop); else as it is.
void appendField(QString& out, QStringView field, QChar separator);

// Whether a spreadsheet would take the text for a formula ("=...", "+...", "-...", "@...", or a
// tab or CR first) once a leading apostrophe is taken off, as spreadsheets take it off. A text
// that would is written with one more apostrophe in front (formulaGuarded), so that an event
// name from someone's file never runs as a formula; readers of our own files take that one off
// again (formulaUnguarded), so that every text reads back as it was written.
bool needsFormulaGuard(QStringView text);
QString formulaGuarded(QStringView text);
QString formulaUnguarded(QStringView text);

} // namespace delimitedtext
