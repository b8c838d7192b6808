#include "EventIndex.h"

#include "NameCollation.h"

#include <QHashFunctions>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <limits>

EventIndex::EventIndex(const WorkCells& table, const NameCollation& names)
{
    const int rows = table.rowCount();
    m_start.resize(std::size_t(rows));
    m_end.resize(std::size_t(rows));
    m_slots.assign(std::bit_ceil(std::max<std::size_t>(16, std::size_t(rows) * 2)), -1);
    for (int row = 0; row < rows; ++row)
        m_start[std::size_t(row)] =
            intern(table.cellView(WorkColumn::StartEvent, row), row, m_firstStartRow);
    for (int row = 0; row < rows; ++row)
        m_end[std::size_t(row)] = intern(table.cellView(WorkColumn::EndEvent, row), row, m_firstEndRow);

    const std::vector<QStringView> views(m_names.cbegin(), m_names.cend());
    m_group = names.groupsInOrder(views);
    m_groupCount = m_group.empty() ? 0 : *std::max_element(m_group.begin(), m_group.end()) + 1;
}

int EventIndex::intern(QStringView name, int row, std::vector<int>& firstRow)
{
    if (name.isEmpty())
        return -1;
    const std::size_t mask = m_slots.size() - 1;
    std::size_t slot = qHash(name) & mask;
    while (m_slots[slot] >= 0) {
        const int event = m_slots[slot];
        if (m_names[std::size_t(event)] == name) {
            if (firstRow[std::size_t(event)] < 0)
                firstRow[std::size_t(event)] = row;
            return event;
        }
        slot = (slot + 1) & mask;
    }
    const int event = int(m_names.size());
    m_slots[slot] = event;
    m_names.push_back(name.toString());
    m_firstStartRow.push_back(-1);
    m_firstEndRow.push_back(-1);
    firstRow[std::size_t(event)] = row;
    return event;
}

int EventIndex::find(QStringView name) const
{
    if (name.isEmpty())
        return -1;
    const std::size_t mask = m_slots.size() - 1;
    std::size_t slot = qHash(name) & mask;
    while (m_slots[slot] >= 0) {
        if (m_names[std::size_t(m_slots[slot])] == name)
            return m_slots[slot];
        slot = (slot + 1) & mask;
    }
    return -1;
}

QStringList EventIndex::sortedNames(WorkColumn column) const
{
    const std::vector<int>& firstRow =
        column == WorkColumn::StartEvent ? m_firstStartRow : m_firstEndRow;
    // Per group, the event of the column met first in row order.
    constexpr int kNone = -1;
    std::vector<int> leader(std::size_t(m_groupCount), kNone);
    for (int event = 0; event < eventCount(); ++event) {
        const int row = firstRow[std::size_t(event)];
        if (row < 0)
            continue;
        int& current = leader[std::size_t(m_group[std::size_t(event)])];
        if (current == kNone || row < firstRow[std::size_t(current)])
            current = event;
    }
    QStringList list;
    for (const int event : leader) {
        if (event != kNone)
            list.append(m_names[std::size_t(event)]);
    }
    return list;
}

QStringList EventIndex::namesInRowOrder() const
{
    // The place of an event in the dialog's order: its first start row, else the rows of the
    // start column and then its first end row.
    const auto place = [this](int event) {
        const int start = m_firstStartRow[std::size_t(event)];
        return start >= 0 ? std::int64_t(start) : rowCount() + std::int64_t(m_firstEndRow[std::size_t(event)]);
    };
    std::vector<int> leader(std::size_t(m_groupCount), -1);
    for (int event = 0; event < eventCount(); ++event) {
        int& current = leader[std::size_t(m_group[std::size_t(event)])];
        if (current < 0 || place(event) < place(current))
            current = event;
    }
    // Leaders by place: each place belongs to one row and column, so a bucket per place suffices.
    std::vector<int> byPlace(std::size_t(2 * rowCount()), -1);
    for (const int event : leader)
        byPlace[std::size_t(place(event))] = event;
    QStringList list;
    list.reserve(qsizetype(leader.size()));
    for (const int event : byPlace) {
        if (event >= 0)
            list.append(m_names[std::size_t(event)]);
    }
    return list;
}
