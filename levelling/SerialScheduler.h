#pragma once

#include "ResourceTimeline.h"

#include <functional>
#include <vector>

class ActivityNetwork;
struct LevellingProblem;

// The serial schedule generation scheme: takes the works in the order of an activity list (every
// work after its predecessors) and starts each at the earliest time its predecessors have
// finished and every resource has room for it throughout. Every optimal schedule is the result of
// some list, which is what makes lists a good space to search.
//
// Backward, the same on the reversed network: each work as late as possible, times counted back
// from the end, a list taking every work after its successors.
class SerialScheduler
{
public:
    SerialScheduler(const LevellingProblem& problem, const ActivityNetwork& network);

    // Fills starts (by activity) and returns the length of the schedule.
    int schedule(const std::vector<int>& list, bool backward, std::vector<int>& starts);

    // Forward-backward improvement (justification): shifts every work as late as it can go in the
    // order of finishing, then as early as it can in the order of starting, while that shortens
    // the schedule. Never lengthens it. Takes a forward list and its schedule; leaves the list
    // that builds the improved schedule forward, and that schedule. Before each round after the
    // first it asks `stop` (when given) whether time is up.
    int justify(std::vector<int>& list, std::vector<int>& starts, int length,
                const std::function<bool()>& stop = {});

    // Schedules generated so far (each pass of justify counts as one).
    long long schedulesBuilt() const { return m_built; }

private:
    void reverseOrder(const std::vector<int>& list, const std::vector<int>& starts,
                      std::vector<int>& reversed);

    const ActivityNetwork& m_network;
    std::vector<int> m_needStart;
    std::vector<ResourceTimeline::Need> m_needs;
    ResourceTimeline m_timeline;
    std::vector<int> m_finish, m_position, m_otherList, m_otherStarts;
    long long m_built = 0;
};
