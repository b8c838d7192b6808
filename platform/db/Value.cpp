#include "Value.h"

namespace db {

Value Value::number(long double value)
{
    Value result;
    result.m_kind = Kind::Number;
    result.m_number = value;
    return result;
}

Value Value::text(QString text)
{
    Value result;
    result.m_kind = Kind::Text;
    result.m_text = std::move(text);
    return result;
}

Value Value::date(QDate day)
{
    Value result;
    result.m_kind = Kind::Date;
    result.m_date = day;
    return result;
}

bool operator==(const Value& a, const Value& b)
{
    if (a.m_kind != b.m_kind)
        return false;
    switch (a.m_kind) {
    case Value::Kind::Null:
        return true;
    case Value::Kind::Number:
        return a.m_number == b.m_number;
    case Value::Kind::Text:
        return a.m_text == b.m_text;
    case Value::Kind::Date:
        return a.m_date == b.m_date;
    }
    return false;
}

} // namespace db
