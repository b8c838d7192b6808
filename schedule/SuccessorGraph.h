#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <cmath>
#include <memory>
#include <span>
#include <vector>

class EventIndex;
class NameCollation;
class NumberFormat;
class WorkCells;

// The network as the longest path search walks it, read once from the work table.
//
// Events are the exact texts of the start and end cells (letter case significant). The successors
// of an event are the non-empty end events of the rows that start there, in the table order of
// their first row; an end event equal to an earlier successor when letter case is ignored is no
// successor at all, and its rows are never summed. An edge holds every row between its two events
// (exact match), in table order: a path's total adds them one by one.
//
// A blank row (start, end and duration all empty) is no work and belongs to no event or edge.
// Every other row's duration is parsed here once; a text that does not parse is kept as "bad" and
// raises its conversion error only where the search or the recalculation would parse it.
class SuccessorGraph
{
public:
    // extraEvents (the start and end events of the recalculation) are given ids even when no row
    // names them, so that every name a recalculation asks about has one. The events are those of
    // the index, which must describe the table as it is.
    SuccessorGraph(const WorkCells& table, const EventIndex& index, const QStringList& extraEvents,
                   const NumberFormat& numbers);
    // The same with an index of its own.
    SuccessorGraph(const WorkCells& table, const QStringList& extraEvents,
                   const NumberFormat& numbers, const NameCollation& names);
    ~SuccessorGraph();

    int eventCount() const { return m_eventCount; }
    // The id of an event, or -1 when neither a row nor the extra events name it.
    int eventId(QStringView name) const;
    const QString& eventName(int event) const;

    // Outgoing edges of an event, in successor-list order: [firstEdge, endEdge).
    int firstEdge(int event) const { return m_firstEdge[std::size_t(event)]; }
    int endEdge(int event) const { return m_firstEdge[std::size_t(event) + 1]; }
    int edgeCount() const { return static_cast<int>(m_edgeTarget.size()); }
    int edgeTarget(int edge) const { return m_edgeTarget[std::size_t(edge)]; }
    // The rows summed for the edge, in table order.
    std::span<const int> edgeRows(int edge) const
    {
        const auto from = std::size_t(m_edgeRowsBegin[std::size_t(edge)]);
        const auto to = std::size_t(m_edgeRowsBegin[std::size_t(edge) + 1]);
        return {m_edgeRows.data() + from, to - from};
    }
    // Whether some row of the edge has a duration that does not parse.
    bool edgeHasBadDuration(int edge) const { return m_edgeBad[std::size_t(edge)] != 0; }
    // Adds the edge's durations one by one, in table order, to a running path total. Returns false
    // when an addition leaves the long double range. The edge must have no bad duration.
    bool addEdgeTo(int edge, long double& total) const
    {
        for (const int row : edgeRows(edge)) {
            total += m_duration[std::size_t(row)];
            if (std::isinf(total))
                return false;
        }
        return true;
    }

    int rowCount() const { return static_cast<int>(m_rowStart.size()); }
    bool isBlank(int row) const { return m_rowStart[std::size_t(row)] < 0; }
    // Event ids of a row that is not blank.
    int rowStart(int row) const { return m_rowStart[std::size_t(row)]; }
    int rowEnd(int row) const { return m_rowEnd[std::size_t(row)]; }
    bool durationParses(int row) const { return m_durationParses[std::size_t(row)] != 0; }
    // The parsed duration; only meaningful when durationParses(row).
    long double duration(int row) const { return m_duration[std::size_t(row)]; }
    // The conversion message of a duration that does not parse.
    const QString& badDurationMessage(int row) const;

    // Every duration summed on an edge is a multiple of one power of two and all of them together
    // are small enough that any total of them, in any order, is exact: no addition rounds.
    bool totalsAreExact() const { return m_totalsAreExact; }
    // The durations summed on edges are so large together that some total could leave the long
    // double range. Below this, no path total can overflow.
    bool totalsMayOverflow() const { return m_totalsMayOverflow; }

private:
    void build(const WorkCells& table, const QStringList& extraEvents, const NumberFormat& numbers);
    // The id of a name no row's non-empty cell holds: the empty name, or an extra event.
    int extraId(QStringView name);
    void buildEdges();
    void classifyArithmetic();

    std::unique_ptr<EventIndex> m_ownIndex;
    const EventIndex* m_index = nullptr;
    std::vector<QString> m_extraNames; // ids from the index's event count on
    int m_eventCount = 0;

    std::vector<int> m_rowStart;
    std::vector<int> m_rowEnd;
    std::vector<long double> m_duration;
    std::vector<char> m_durationParses;
    QHash<int, QString> m_badMessages; // by row

    std::vector<int> m_firstEdge;
    std::vector<int> m_edgeTarget;
    std::vector<int> m_edgeRowsBegin;
    std::vector<int> m_edgeRows;
    std::vector<char> m_edgeBad;

    bool m_totalsAreExact = false;
    bool m_totalsMayOverflow = false;
};
