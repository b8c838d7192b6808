#pragma once

#include <cstdint>
#include <vector>

// What the works placed so far use of every resource in every time unit, for the serial schedule
// generation: where can a work of given duration and demands start, at the earliest from a given
// time, without exceeding any capacity. Time is indexed directly (memory: 4 bytes a resource and
// time unit of the horizon); blocks of 32 units keep their largest and smallest use, so a search
// steps over whole blocks that are free enough or too full.
class ResourceTimeline
{
public:
    struct Need
    {
        int resource;
        int amount;
    };

    // horizon: no work ever ends after it (the sum of all durations will do).
    ResourceTimeline(std::vector<int> capacities, int horizon);

    // Empties the timeline (only as far as it was used).
    void clear();
    int firstFit(int from, int duration, const Need* first, const Need* last) const;
    void place(int start, int duration, const Need* first, const Need* last);

private:
    static constexpr int kShift = 5;
    static constexpr int kBlock = 1 << kShift;

    int firstAbove(const std::vector<int>& use, const std::vector<int>& blockMax, int from, int to,
                   int limit) const;
    int firstAtMost(std::size_t resource, int from, int limit) const;
    int leastInBlock(std::size_t resource, int block) const;

    std::vector<int> m_capacities;
    std::vector<std::vector<int>> m_use, m_blockMax;
    // The smallest use of a block is worked out when a search first needs it after a change.
    mutable std::vector<std::vector<int>> m_blockMin;
    mutable std::vector<std::vector<char>> m_minStale;
    int m_usedUpTo = 0;
};
