#pragma once

#include "FieldInfo.h"

#include <QList>
#include <QString>
#include <QStringView>

namespace db {

// Numeric fields are N(21, 6): a sign, 13 integer digits, the point and 6 decimals. Every number
// with up to 13 integer digits and up to 6 decimals is stored exactly, so its general number text
// (at most 15 significant digits) reads back unchanged; a value needing more integer digits is
// refused rather than written as asterisks, and decimals beyond the sixth are rounded.
inline constexpr int kNumericWidth = 21;
inline constexpr int kNumericDecimals = 6;
inline constexpr int kDateWidth = 8;
inline constexpr int kMaxCharacterWidth = 254;
inline constexpr int kMaxFieldNameLength = 10;
inline constexpr int kMaxFields = 128;

// The one statement the engine runs: a new dBASE table of the given fields.
struct CreateTable
{
    QString fileName;        // as quoted, a file name of its own (see checkTableFileName)
    QList<FieldInfo> fields; // names in upper case, in statement order
};

// Parses
//     create table "file name" ( field type, field type, ... )
// where type is numeric, date or char(n) with 1 <= n <= 254; keywords ignore letter case and
// blanks or line breaks may stand between any two elements. Field names are Latin letters,
// digits and "_", begin with a letter or "_", are at most 10 characters long and distinct
// regardless of letter case. Anything else raises a message naming the line and what was wrong.
CreateTable parseCreateTable(QStringView statement);

} // namespace db
