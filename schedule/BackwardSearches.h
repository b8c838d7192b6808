#pragma once

#include <QString>

#include <vector>

class NumberFormat;
class SuccessorGraph;

// The longest path searches to the end event of a recalculation: one from the end event of every
// work, for its late finish L minus that search.
//
// Each of them is a fresh left-to-right sum from its own event, so a pass that sums backwards
// from the end event gives other last bits whenever an addition rounds, and the 15-digit text
// shows them (a total float of "4.33680868994202E-19" instead of "0"). Hence:
// - When no addition can round (see SuccessorGraph::totalsAreExact: integers, halves, quarters)
//   the backward pass is the answer.
// - Otherwise the backward pass, carried in double-long-double precision, gives every event the
//   greatest real total ahead of it, and with it a proven bound on how far the enumeration's
//   rounded total can lie from it. Where the text of L minus the search is the same at both ends
//   of that interval, the text is settled. Only the remaining events get the exact search: the
//   enumeration's left-to-right sums from the event, but only along events from which a path can
//   still reach the interval's lower end.
// - Totals near the long double limit (SuccessorGraph::totalsMayOverflow) get the exact search
//   from every event: which path overflows first is then part of the answer.
//
// The whole analysis is one pass over the network in reverse topological order (Tarjan's strongly
// connected components), so loops are found on the way: a search from an event from which a loop
// is reachable without passing the end event never ends, and raises the loop error instead.
class BackwardSearches
{
public:
    BackwardSearches(const SuccessorGraph& graph, int end);

    // General number text of checked::subtract(total, search from source to the end event), the
    // search exactly as the enumeration gives it. Raises what the enumeration would raise: the
    // loop it would never leave, or the error of its first failing path.
    QString remainderText(int source, long double total, const NumberFormat& numbers);

    bool leadsToEnd(int event) const { return m_ahead[std::size_t(event)].leads != 0; }
    // Whether some path from event to the end event, continuing a path total of `total`, ends at
    // exactly `length`; no path may end above length. Only for events the critical path search
    // may pass (no loop or failure ahead).
    bool reachesExactly(int event, long double total, long double length);

private:
    struct Ahead
    {
        long double high = 0; // greatest real total to the end event: high + low
        long double low = 0;
        long double rows = 0;     // most durations on one path to the end event
        long double partials = 0; // most sum of |running total| along one path (rounding bound)
        char leads = 0;
        char loop = 0;
        char badDuration = 0;
    };

    void analyse();
    void finishComponent(const std::vector<int>& members);
    void summarise(int event);
    // Bound on |enumeration's greatest total - (total + high + low)| from event with `total` so
    // far.
    long double errorBound(int event, long double total) const;
    long double highestFrom(int source, long double start, long double threshold);
    // Raises the loop or bad duration that a search from source meets; returns whether a path
    // from source can reach the end event at all.
    bool checkSearchable(int source);
    // The search from source, exactly; source must pass checkSearchable.
    long double exactLength(int source);
    // For every event, the least running total from which some path to the end event ends at
    // `length` or above (+infinity where none does), from the end event backwards.
    void computeLeastTotals(long double length);

    const SuccessorGraph& m_graph;
    int m_end;
    bool m_exact;
    bool m_mayOverflow;
    std::vector<Ahead> m_ahead;
    std::vector<int> m_rank; // Tarjan finishing position: every successor finishes first
    std::vector<int> m_byRank;
    int m_generation = 0;
    std::vector<int> m_seen;
    std::vector<long double> m_running;
    std::vector<long double> m_leastTotal; // for m_leastTotalLength
    long double m_leastTotalLength = 0;
};
