#pragma once

#include <QDate>
#include <QString>

namespace db {

// One field value of a record: empty (a field of blanks in the file), a number, a text or a
// calendar day. Numbers keep the extended precision the program computes in.
class Value
{
public:
    enum class Kind { Null, Number, Text, Date };

    Value() = default;
    static Value number(long double value);
    static Value text(QString text);
    static Value date(QDate day);

    Kind kind() const { return m_kind; }
    bool isNull() const { return m_kind == Kind::Null; }

    // Each accessor expects its own kind; another kind gives 0, an empty text or a null date.
    long double toNumber() const { return m_kind == Kind::Number ? m_number : 0; }
    QString toText() const { return m_kind == Kind::Text ? m_text : QString(); }
    QDate toDate() const { return m_kind == Kind::Date ? m_date : QDate(); }

    friend bool operator==(const Value& a, const Value& b);

private:
    Kind m_kind = Kind::Null;
    long double m_number = 0;
    QString m_text;
    QDate m_date;
};

} // namespace db
