#pragma once

#include "DataSet.h"

#include <QList>
#include <QStringList>

namespace report {

// A data set held in memory: named columns of texts. Serves reports whose data is not a table
// file, and tests.
class MemoryDataSet : public DataSet
{
public:
    MemoryDataSet() = default;
    explicit MemoryDataSet(QStringList fields) : m_fields(std::move(fields)), m_open(true) {}

    void setOpen(bool open) { m_open = open; }
    // A record of one text per field; missing texts read as empty.
    void appendRecord(QStringList texts) { m_records.append(std::move(texts)); }
    void reserve(int records) { m_records.reserve(records); }

    bool isOpen() const override { return m_open; }
    int recordCount() const override { return m_open ? int(m_records.size()) : 0; }
    int fieldIndex(const QString& field) const override;
    QString displayText(int record, int field) const override;

private:
    QStringList m_fields;
    QList<QStringList> m_records;
    bool m_open = false;
};

} // namespace report
