#pragma once

#include <QString>

namespace db {

// The field types of a dBASE III table, by the letter the file stores.
enum class FieldType : char {
    Character = 'C',
    Numeric = 'N',
    Float = 'F',
    Date = 'D',
    Logical = 'L',
};

// One field of a table as its header describes it. Names are stored in upper case.
struct FieldInfo
{
    QString name;
    FieldType type = FieldType::Character;
    int width = 0;    // bytes in each record
    int decimals = 0; // digits after the point, numeric fields only

    friend bool operator==(const FieldInfo&, const FieldInfo&) = default;
};

} // namespace db
