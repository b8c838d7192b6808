#include "MemoryDataSet.h"

namespace report {

int MemoryDataSet::fieldIndex(const QString& field) const
{
    for (int i = 0; i < m_fields.size(); ++i)
        if (m_fields[i].compare(field, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QString MemoryDataSet::displayText(int record, int field) const
{
    return m_records.at(record).value(field);
}

} // namespace report
