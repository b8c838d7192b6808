#pragma once

#include "FieldInfo.h"
#include "Value.h"

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

// The bytes of one field in a dBASE record. Character fields hold Windows-1251 text padded with
// blanks, numeric fields right-aligned decimal text with a point, date fields YYYYMMDD; a field
// of blanks is an empty value.
namespace db::fieldcodec {

// Right-aligned fixed-point text of value with the given decimals, rounded to nearest, into
// out[0..width). False, with out untouched, when the text needs more than width characters or
// the value is not finite: the field would otherwise hold asterisks.
bool formatNumber(long double value, int width, int decimals, char* out);

// Writes value into out[0..field.width), which holds blanks. Texts longer than the field keep
// their first field.width characters. Raises for a value the field cannot hold: another kind, a
// number too large for the width, a character Windows-1251 lacks. scratch is working memory.
void encode(const FieldInfo& field, const Value& value, char* out, QByteArray& scratch);

// The value of field.width bytes; nothing when they are not a value of the field's type.
// Character fields lose their trailing blanks (the padding); logical fields read as text.
std::optional<Value> decode(const FieldInfo& field, QByteArrayView bytes);

} // namespace db::fieldcodec
