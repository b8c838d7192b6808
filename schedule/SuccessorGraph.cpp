#include "SuccessorGraph.h"

#include "NameCollation.h"
#include "NumberFormat.h"
#include "WorkCells.h"

#include <QHashFunctions>

#include <bit>
#include <cmath>
#include <limits>

namespace {

constexpr std::size_t kInitialSlots = 1024;

// Successor lists longer than this are deduplicated through collation sort keys instead of
// comparing every pair.
constexpr std::size_t kPairwiseLimit = 32;

// The number of binary digits after the point that the value needs (0 for integers).
int fractionBits(long double value)
{
    if (value == 0)
        return 0;
    constexpr int digits = std::numeric_limits<long double>::digits;
    int exponent = 0;
    long double significand = std::ldexp(std::frexp(std::fabs(value), &exponent), digits);
    int trailingZeros = 0;
    if constexpr (digits <= 64) {
        trailingZeros = std::countr_zero(static_cast<unsigned long long>(significand));
    } else {
        while (trailingZeros < digits && std::fmod(significand, 2.0L) == 0) {
            significand /= 2;
            ++trailingZeros;
        }
    }
    return std::max(0, digits - exponent - trailingZeros);
}

} // namespace

SuccessorGraph::SuccessorGraph(const WorkCells& table, const QStringList& extraEvents,
                               const NumberFormat& numbers, const NameCollation& names)
    : m_slots(kInitialSlots, -1)
{
    const int rows = table.rowCount();
    m_rowStart.assign(std::size_t(rows), -1);
    m_rowEnd.assign(std::size_t(rows), -1);
    m_duration.assign(std::size_t(rows), 0.0L);
    m_durationParses.assign(std::size_t(rows), 0);
    for (int row = 0; row < rows; ++row) {
        const QStringView start = table.cellView(WorkColumn::StartEvent, row);
        const QStringView end = table.cellView(WorkColumn::EndEvent, row);
        const QStringView duration = table.cellView(WorkColumn::Duration, row);
        if (start.isEmpty() && end.isEmpty() && duration.isEmpty())
            continue;
        m_rowStart[std::size_t(row)] = intern(start);
        m_rowEnd[std::size_t(row)] = intern(end);
        if (const std::optional<long double> value = numbers.tryParse(duration)) {
            m_duration[std::size_t(row)] = *value;
            m_durationParses[std::size_t(row)] = 1;
        } else {
            m_badMessages.insert(row, NumberFormat::conversionMessage(duration));
        }
    }
    for (const QString& name : extraEvents)
        intern(name);
    buildEdges(names);
    classifyArithmetic();
}

int SuccessorGraph::intern(QStringView name)
{
    if (2 * (m_names.size() + 1) > m_slots.size()) {
        std::vector<int> buckets(m_slots.size() * 2, -1);
        const std::size_t mask = buckets.size() - 1;
        for (std::size_t id = 0; id < m_names.size(); ++id) {
            std::size_t slot = qHash(QStringView(m_names[id])) & mask;
            while (buckets[slot] >= 0)
                slot = (slot + 1) & mask;
            buckets[slot] = int(id);
        }
        m_slots.swap(buckets);
    }
    const std::size_t mask = m_slots.size() - 1;
    std::size_t slot = qHash(name) & mask;
    while (m_slots[slot] >= 0) {
        if (m_names[std::size_t(m_slots[slot])] == name)
            return m_slots[slot];
        slot = (slot + 1) & mask;
    }
    m_slots[slot] = int(m_names.size());
    m_names.push_back(name.toString());
    return m_slots[slot];
}

int SuccessorGraph::eventId(QStringView name) const
{
    const std::size_t mask = m_slots.size() - 1;
    std::size_t slot = qHash(name) & mask;
    while (m_slots[slot] >= 0) {
        if (m_names[std::size_t(m_slots[slot])] == name)
            return m_slots[slot];
        slot = (slot + 1) & mask;
    }
    return -1;
}

const QString& SuccessorGraph::badDurationMessage(int row) const
{
    const auto found = m_badMessages.constFind(row);
    Q_ASSERT(found != m_badMessages.cend());
    return *found;
}

void SuccessorGraph::buildEdges(const NameCollation& names)
{
    const std::size_t events = m_names.size();
    const int rows = rowCount();

    // Rows grouped by start event, table order kept within each group.
    std::vector<int> groupBegin(events + 1, 0);
    for (int row = 0; row < rows; ++row) {
        if (!isBlank(row))
            ++groupBegin[std::size_t(rowStart(row)) + 1];
    }
    for (std::size_t event = 0; event < events; ++event)
        groupBegin[event + 1] += groupBegin[event];
    std::vector<int> byStart(static_cast<std::size_t>(groupBegin[events]));
    {
        std::vector<int> next(groupBegin.begin(), groupBegin.end() - 1);
        for (int row = 0; row < rows; ++row) {
            if (!isBlank(row))
                byStart[std::size_t(next[std::size_t(rowStart(row))]++)] = row;
        }
    }

    const int emptyName = eventId(QStringView());
    std::vector<int> seenFor(events, -1); // the start event for which an end event was met last
    std::vector<int> localEdge(events, -1);
    std::vector<int> distinct;
    std::vector<int> rowsPerEdge;
    QStringList groupNames;

    m_firstEdge.assign(events + 1, 0);
    m_edgeRowsBegin.assign(1, 0);
    for (std::size_t event = 0; event < events; ++event) {
        m_firstEdge[event] = edgeCount();
        const auto groupRows = std::span<const int>(byStart).subspan(
            std::size_t(groupBegin[event]), std::size_t(groupBegin[event + 1] - groupBegin[event]));

        // The distinct exact end events in the order of their first row.
        distinct.clear();
        for (const int row : groupRows) {
            const int end = rowEnd(row);
            if (end == emptyName || seenFor[std::size_t(end)] == int(event))
                continue;
            seenFor[std::size_t(end)] = int(event);
            distinct.push_back(end);
        }

        // An end event equal to an earlier one when letter case is ignored is no successor.
        std::vector<char> kept(distinct.size(), 1);
        if (distinct.size() > kPairwiseLimit) {
            groupNames.clear();
            for (const int end : distinct)
                groupNames.append(m_names[std::size_t(end)]);
            const std::vector<int> first = names.firstEqualIndex(groupNames);
            for (std::size_t i = 0; i < distinct.size(); ++i)
                kept[i] = first[i] == int(i);
        } else {
            for (std::size_t i = 1; i < distinct.size(); ++i) {
                for (std::size_t j = 0; j < i && kept[i]; ++j) {
                    if (kept[j] && names.equalIgnoringCase(m_names[std::size_t(distinct[i])],
                                                           m_names[std::size_t(distinct[j])]))
                        kept[i] = 0;
                }
            }
        }
        int successors = 0;
        for (std::size_t i = 0; i < distinct.size(); ++i) {
            localEdge[std::size_t(distinct[i])] = kept[i] ? successors++ : -1;
            if (kept[i])
                m_edgeTarget.push_back(distinct[i]);
        }

        rowsPerEdge.assign(std::size_t(successors), 0);
        for (const int row : groupRows) {
            const int end = rowEnd(row);
            if (end != emptyName && localEdge[std::size_t(end)] >= 0)
                ++rowsPerEdge[std::size_t(localEdge[std::size_t(end)])];
        }
        const std::size_t edgeBase = m_edgeRowsBegin.size() - 1;
        for (const int count : rowsPerEdge)
            m_edgeRowsBegin.push_back(m_edgeRowsBegin.back() + count);
        m_edgeRows.resize(std::size_t(m_edgeRowsBegin.back()));
        for (int& count : rowsPerEdge)
            count = 0;
        for (const int row : groupRows) {
            const int end = rowEnd(row);
            if (end == emptyName || localEdge[std::size_t(end)] < 0)
                continue;
            const std::size_t local = std::size_t(localEdge[std::size_t(end)]);
            m_edgeRows[std::size_t(m_edgeRowsBegin[edgeBase + local] + rowsPerEdge[local]++)] = row;
        }
    }
    m_firstEdge[events] = edgeCount();

    m_edgeBad.assign(std::size_t(edgeCount()), 0);
    for (int edge = 0; edge < edgeCount(); ++edge) {
        for (const int row : edgeRows(edge)) {
            if (!durationParses(row))
                m_edgeBad[std::size_t(edge)] = 1;
        }
    }
}

void SuccessorGraph::classifyArithmetic()
{
    long double sumOfMagnitudes = 0;
    int bits = 0;
    for (const int row : m_edgeRows) {
        if (!durationParses(row))
            continue;
        sumOfMagnitudes += std::fabs(duration(row));
        bits = std::max(bits, fractionBits(duration(row)));
    }
    constexpr int digits = std::numeric_limits<long double>::digits;
    // Every partial sum is a multiple of 2^-bits below 2^(digits-2-bits) in magnitude, so it is
    // representable; the margin of two binary digits covers the rounding of the sum above.
    m_totalsAreExact =
        bits < digits && std::ldexp(sumOfMagnitudes, bits) < std::ldexp(1.0L, digits - 2);
    m_totalsMayOverflow = !(sumOfMagnitudes < std::numeric_limits<long double>::max() / 64);
}
