#pragma once

#include <vector>

struct LevellingProblem;

// The links of a levelling problem as compact adjacency lists both ways, a topological order
// and the critical-path times (earliest starts, latest finishes against the critical length).
// Built once per levelling; raises the loop message when the links close a loop.
class ActivityNetwork
{
public:
    explicit ActivityNetwork(const LevellingProblem& problem);

    int size() const { return int(m_durations.size()); }
    int duration(int a) const { return m_durations[std::size_t(a)]; }
    const std::vector<int>& durations() const { return m_durations; }

    // Immediate predecessors (forward) or successors (backward) of a, as a range of indices.
    struct Range
    {
        const int* first;
        const int* last;
        const int* begin() const { return first; }
        const int* end() const { return last; }
    };
    Range predecessors(int a) const { return range(m_predecessorStart, m_predecessors, a); }
    Range successors(int a) const { return range(m_successorStart, m_successors, a); }

    const std::vector<int>& topologicalOrder() const { return m_order; }
    const std::vector<int>& earliestStarts() const { return m_earliestStarts; }
    const std::vector<int>& latestFinishes() const { return m_latestFinishes; }
    // The length of the schedule without resource limits.
    int criticalLength() const { return m_criticalLength; }

private:
    static Range range(const std::vector<int>& start, const std::vector<int>& items, int a)
    {
        return {items.data() + start[std::size_t(a)], items.data() + start[std::size_t(a) + 1]};
    }
    void raiseLoop(const LevellingProblem& problem, const std::vector<int>& unplaced) const;

    std::vector<int> m_durations;
    std::vector<int> m_predecessorStart, m_predecessors;
    std::vector<int> m_successorStart, m_successors;
    std::vector<int> m_order;
    std::vector<int> m_earliestStarts, m_latestFinishes;
    int m_criticalLength = 0;
};
