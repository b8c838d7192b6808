#include "ScheduleDataSet.h"

#include "DateFormat.h"
#include "NumberFormat.h"
#include "Table.h"

ScheduleDataSet::ScheduleDataSet(const db::Table& table, const NumberFormat& numbers,
                                 const DateFormat& dates)
    : m_table(table), m_numbers(numbers), m_dates(dates)
{
}

bool ScheduleDataSet::isOpen() const
{
    return m_table.isOpen();
}

int ScheduleDataSet::recordCount() const
{
    return m_table.recordCount();
}

int ScheduleDataSet::fieldIndex(const QString& field) const
{
    const QList<db::FieldInfo> fields = m_table.fields();
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (fields[i].name.compare(field, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

QString ScheduleDataSet::displayText(int record, int field) const
{
    const db::Value value = m_table.value(record, field);
    switch (value.kind()) {
    case db::Value::Kind::Number:
        return m_numbers.format(value.toNumber());
    case db::Value::Kind::Text:
        return value.toText();
    case db::Value::Kind::Date:
        return m_dates.formatDate(DateFormat::daysOf(value.toDate()));
    case db::Value::Kind::Null:
        break;
    }
    return {};
}
