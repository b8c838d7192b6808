#pragma once

#include "DataSet.h"

class DateFormat;
class NumberFormat;

namespace db {
class Table;
}

// The schedule table as the report engine reads it: each field's display text, numbers as
// general number text, dates as short date text, texts as stored. The engine reads it from its
// worker thread while the preview is open; nothing else touches the table meanwhile.
class ScheduleDataSet final : public report::DataSet
{
public:
    ScheduleDataSet(const db::Table& table, const NumberFormat& numbers, const DateFormat& dates);

    bool isOpen() const override;
    int recordCount() const override;
    int fieldIndex(const QString& field) const override;
    QString displayText(int record, int field) const override;

private:
    const db::Table& m_table;
    const NumberFormat& m_numbers;
    const DateFormat& m_dates;
};
