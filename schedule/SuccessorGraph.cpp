#include "SuccessorGraph.h"

#include "EventIndex.h"
#include "ExtendedBits.h"
#include "NameCollation.h"
#include "NumberFormat.h"
#include "Progress.h"
#include "WorkCells.h"

#include <QHashFunctions>

#include <bit>
#include <cmath>
#include <limits>

namespace {

// The number of binary digits after the point that the value needs (0 for integers).
int fractionBits(long double value)
{
    const ExtendedBits bits = ExtendedBits::of(value);
    if (bits.significand == 0)
        return 0;
    // value = significand * 2^(exponent - bias - 63) (a subnormal one's exponent counts as 1);
    // its last set bit is the finest it needs.
    const int lowest = std::max(bits.biasedExponent(), 1) - ExtendedBits::kBias - 63 +
                       std::countr_zero(bits.significand);
    return std::max(0, -lowest);
}

} // namespace

SuccessorGraph::SuccessorGraph(const WorkCells& table, const EventIndex& index,
                               const QStringList& extraEvents, const NumberFormat& numbers)
    : m_index(&index)
{
    build(table, extraEvents, numbers);
}

SuccessorGraph::SuccessorGraph(const WorkCells& table, const QStringList& extraEvents,
                               const NumberFormat& numbers, const NameCollation& names)
    : m_ownIndex(std::make_unique<EventIndex>(table, names)), m_index(m_ownIndex.get())
{
    build(table, extraEvents, numbers);
}

SuccessorGraph::~SuccessorGraph() = default;

void SuccessorGraph::build(const WorkCells& table, const QStringList& extraEvents,
                           const NumberFormat& numbers)
{
    Q_ASSERT(m_index->rowCount() == table.rowCount());
    m_eventCount = m_index->eventCount();
    const int rows = table.rowCount();
    m_rowStart.assign(std::size_t(rows), -1);
    m_rowEnd.assign(std::size_t(rows), -1);
    m_duration.assign(std::size_t(rows), 0.0L);
    m_durationParses.assign(std::size_t(rows), 0);
    for (int row = 0; row < rows; ++row) {
        progress::step(u"Пересчёт графика", row, rows);
        int start = m_index->startOf(row);
        int end = m_index->endOf(row);
        const QStringView duration = table.cellView(WorkColumn::Duration, row);
        if (start < 0 && end < 0 && duration.isEmpty())
            continue;
        if (start < 0)
            start = extraId(QStringView());
        if (end < 0)
            end = extraId(QStringView());
        m_rowStart[std::size_t(row)] = start;
        m_rowEnd[std::size_t(row)] = end;
        if (const std::optional<long double> value = numbers.tryParse(duration)) {
            m_duration[std::size_t(row)] = *value;
            m_durationParses[std::size_t(row)] = 1;
        } else {
            m_badMessages.insert(row, NumberFormat::conversionMessage(duration));
        }
    }
    for (const QString& name : extraEvents) {
        if (eventId(name) < 0)
            extraId(name);
    }
    buildEdges();
    classifyArithmetic();
}

int SuccessorGraph::extraId(QStringView name)
{
    for (std::size_t i = 0; i < m_extraNames.size(); ++i) {
        if (m_extraNames[i] == name)
            return m_index->eventCount() + int(i);
    }
    m_extraNames.push_back(name.toString());
    return m_eventCount++;
}

int SuccessorGraph::eventId(QStringView name) const
{
    const int indexed = m_index->find(name);
    if (indexed >= 0)
        return indexed;
    for (std::size_t i = 0; i < m_extraNames.size(); ++i) {
        if (m_extraNames[i] == name)
            return m_index->eventCount() + int(i);
    }
    return -1;
}

const QString& SuccessorGraph::eventName(int event) const
{
    const int indexed = m_index->eventCount();
    return event < indexed ? m_index->name(event) : m_extraNames[std::size_t(event - indexed)];
}

const QString& SuccessorGraph::badDurationMessage(int row) const
{
    const auto found = m_badMessages.constFind(row);
    Q_ASSERT(found != m_badMessages.cend());
    return *found;
}

void SuccessorGraph::buildEdges()
{
    const std::size_t events = std::size_t(m_eventCount);
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

    // The end events of rows are indexed events or the empty name, which is no successor; an
    // end event equal to an earlier successor ignoring case (one group of the index) is none.
    const int indexed = m_index->eventCount();
    std::vector<int> successorOfGroup(events, -1); // the start event whose list holds the group
    std::vector<int> localEdge(events, -1);
    std::vector<int> rowsPerEdge;

    m_firstEdge.assign(events + 1, 0);
    m_edgeRowsBegin.assign(1, 0);
    for (std::size_t event = 0; event < events; ++event) {
        m_firstEdge[event] = edgeCount();
        const auto groupRows = std::span<const int>(byStart).subspan(
            std::size_t(groupBegin[event]), std::size_t(groupBegin[event + 1] - groupBegin[event]));

        // The distinct exact end events in the order of their first row, less those equal to an
        // earlier one ignoring case.
        int successors = 0;
        for (const int row : groupRows) {
            const int end = rowEnd(row);
            if (end >= indexed)
                continue;
            int& owner = successorOfGroup[std::size_t(m_index->groupOf(end))];
            if (owner == int(event))
                continue;
            owner = int(event);
            localEdge[std::size_t(end)] = successors++;
            m_edgeTarget.push_back(end);
        }

        rowsPerEdge.assign(std::size_t(successors), 0);
        const auto edgeOf = [&](int end) {
            if (end >= indexed)
                return -1;
            const int local = localEdge[std::size_t(end)];
            // A stale entry from an earlier start event, or a case twin of a successor.
            if (local < 0 || local >= successors ||
                m_edgeTarget[std::size_t(m_firstEdge[event] + local)] != end)
                return -1;
            return local;
        };
        for (const int row : groupRows) {
            const int local = edgeOf(rowEnd(row));
            if (local >= 0)
                ++rowsPerEdge[std::size_t(local)];
        }
        const std::size_t edgeBase = m_edgeRowsBegin.size() - 1;
        for (const int count : rowsPerEdge)
            m_edgeRowsBegin.push_back(m_edgeRowsBegin.back() + count);
        m_edgeRows.resize(std::size_t(m_edgeRowsBegin.back()));
        for (int& count : rowsPerEdge)
            count = 0;
        for (const int row : groupRows) {
            const int local = edgeOf(rowEnd(row));
            if (local < 0)
                continue;
            m_edgeRows[std::size_t(m_edgeRowsBegin[edgeBase + std::size_t(local)] +
                                   rowsPerEdge[std::size_t(local)]++)] = row;
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
