#pragma once

#include <vector>

class SuccessorGraph;

// Every longest path search from one event at once, by one walk over the part of the network that
// the enumeration from that event enters.
//
// The walk is a depth-first search that takes successors in successor-list order and never leaves
// the sink (the search's target: paths stop there). If it meets an event that is still on its
// stack, a loop is reachable without passing through the sink, so the enumeration would never end;
// the loop closed by that first back edge is the one reported. Otherwise the events in reverse
// finishing order are a topological order, and one pass over it gives each event's greatest path
// total: adding the same durations in the same order to a larger running total never gives a
// smaller long double, so the greatest total at an event extends to the greatest total beyond it,
// bit for bit the enumeration's (which adds durations from the start of each path, in path order).
//
// A path "fails" when the enumeration's total of it would raise: a duration that does not parse,
// or an addition beyond the long double range. Overflow at the top shows on the greatest totals;
// overflow at the bottom is only seen when the least totals are tracked as well.
class SourceSweep
{
public:
    explicit SourceSweep(const SuccessorGraph& graph);

    // sink may be -1 (no event stops a path). Returns false when a loop is reachable; cycle()
    // then holds its events, the first one repeated at the end.
    bool run(int source, int sink, long double start, bool trackLowest);

    const std::vector<int>& cycle() const { return m_cycle; }
    // The events entered, source first, in topological order.
    const std::vector<int>& order() const { return m_order; }
    bool reached(int event) const { return m_seen[std::size_t(event)] == m_generation; }
    // Some path from the source to the event fails.
    bool fails(int event) const { return m_fails[std::size_t(event)] != 0; }
    // The greatest total of the paths from the source to a reached event that does not fail.
    long double highest(int event) const { return m_highest[std::size_t(event)]; }

private:
    bool search(int source, int sink);
    void total(int sink, long double start, bool trackLowest);

    const SuccessorGraph& m_graph;
    int m_generation = 0;
    std::vector<int> m_seen;
    std::vector<char> m_onStack;
    std::vector<char> m_fails;
    std::vector<long double> m_highest;
    std::vector<long double> m_lowest;
    std::vector<int> m_order;
    std::vector<int> m_cycle;
};
