#pragma once

#include "WorkCalendar.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The file of a working calendar's exceptions: plain UTF-8 text, one date a line, so that a user
// can type the production calendar of a year or keep one to load into every plan:
//
//     # Перенос выходных 2027 года
//     08.03.2027 выходной
//     13.11.2027 рабочий
//
// Read leniently, as people write such lists by hand or from a spreadsheet: the day and the month
// may have one digit or two, the year has four; the word "выходной" or "рабочий" in any letter
// case follows after blanks, tabs, or a semicolon or comma with or without blanks; a separator may
// also end the line; blank lines, and everything from '#' to the end of a line, are skipped; a
// byte order mark at the start and Windows line ends are allowed. A date given twice with the
// same word is taken once; with both words, that line is bad.
namespace calendardays {

// Files larger than this are refused unread: the days of many years take a few kilobytes.
inline constexpr qsizetype kLargestFile = 1 << 20;

// The exceptions of the file's bytes. Raises a message naming the file, the first bad line and
// what is wrong with it; nothing is read then.
CalendarExceptions decode(QByteArrayView bytes, const QString& fileName);
// The same from the file at path. A folder, a device or a pipe, and a file over kLargestFile,
// are refused before any byte is read.
CalendarExceptions read(const QString& path);

// The text written for the exceptions, in date order, after a comment that says the format.
QByteArray encode(const CalendarExceptions& exceptions);
// Writes the file whole or not at all (AtomicFile).
void write(const QString& path, const CalendarExceptions& exceptions);

} // namespace calendardays
