#include "EventIndex.h"

#include "NameCollation.h"
#include "Progress.h"

#include <QHashFunctions>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <limits>

namespace {

// The value of a name that is a whole number written the plain way ("0", "17"; never "017",
// "+1" or " 1"), when below the limit; -1 otherwise. Most networks number their events, and a
// number looks itself up in an array, with no hashing and no comparison of texts.
std::int64_t plainNumber(QStringView name, std::int64_t limit)
{
    if (name.isEmpty() || name.size() > 10 || (name.size() > 1 && name[0] == u'0'))
        return -1;
    std::int64_t value = 0;
    for (const QChar c : name) {
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value < limit ? value : -1;
}

std::uint32_t hashOf(QStringView name)
{
    return std::uint32_t(qHash(name));
}

} // namespace

EventIndex::EventIndex(const WorkCells& table, const NameCollation& names)
{
    const int rows = table.rowCount();
    m_start.resize(std::size_t(rows));
    m_end.resize(std::size_t(rows));
    m_numberLimit = 4 * std::int64_t(rows) + 1024;
    m_byNumber.assign(std::size_t(m_numberLimit), -1);
    m_slots.assign(std::bit_ceil(std::max<std::size_t>(16, std::size_t(rows) * 2)), Slot{});
    for (int row = 0; row < rows; ++row) {
        progress::step(u"Разбор событий сети", row, 2 * qint64(rows));
        m_start[std::size_t(row)] =
            intern(table.cellView(WorkColumn::StartEvent, row), row, m_firstStartRow);
    }
    for (int row = 0; row < rows; ++row) {
        progress::step(u"Разбор событий сети", rows + row, 2 * qint64(rows));
        m_end[std::size_t(row)] =
            intern(table.cellView(WorkColumn::EndEvent, row), row, m_firstEndRow);
    }

    const std::vector<QStringView> views(m_names.cbegin(), m_names.cend());
    m_group = names.groupsInOrder(views);
    m_groupCount = m_group.empty() ? 0 : *std::max_element(m_group.begin(), m_group.end()) + 1;
}

int* EventIndex::entry(QStringView name)
{
    const std::int64_t number = plainNumber(name, m_numberLimit);
    if (number >= 0)
        return &m_byNumber[std::size_t(number)];
    const std::uint32_t hash = hashOf(name);
    const std::size_t mask = m_slots.size() - 1;
    std::size_t slot = hash & mask;
    while (m_slots[slot].event >= 0 &&
           (m_slots[slot].hash != hash || m_names[std::size_t(m_slots[slot].event)] != name))
        slot = (slot + 1) & mask;
    m_slots[slot].hash = hash;
    return &m_slots[slot].event;
}

int EventIndex::intern(QStringView name, int row, std::vector<int>& firstRow)
{
    if (name.isEmpty())
        return -1;
    int* const found = entry(name);
    if (*found < 0) {
        *found = int(m_names.size());
        m_names.push_back(name.toString());
        m_firstStartRow.push_back(-1);
        m_firstEndRow.push_back(-1);
    }
    int& first = firstRow[std::size_t(*found)];
    if (first < 0)
        first = row;
    return *found;
}

int EventIndex::find(QStringView name) const
{
    if (name.isEmpty())
        return -1;
    const std::int64_t number = plainNumber(name, m_numberLimit);
    if (number >= 0)
        return m_byNumber[std::size_t(number)];
    const std::uint32_t hash = hashOf(name);
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t slot = hash & mask; m_slots[slot].event >= 0; slot = (slot + 1) & mask) {
        const Slot& candidate = m_slots[slot];
        if (candidate.hash == hash && m_names[std::size_t(candidate.event)] == name)
            return candidate.event;
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
        return start >= 0 ? std::int64_t(start)
                          : rowCount() + std::int64_t(m_firstEndRow[std::size_t(event)]);
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
