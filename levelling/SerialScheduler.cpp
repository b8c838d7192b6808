#include "SerialScheduler.h"

#include "ActivityNetwork.h"
#include "LevellingProblem.h"

#include <algorithm>
#include <numeric>

namespace {

int horizonOf(const LevellingProblem& problem)
{
    // A work never has to wait beyond the end of everything placed before it, so the serial
    // scheme ends by the sum of the durations; the caller has checked that it fits in an int.
    return int(std::accumulate(problem.durations.begin(), problem.durations.end(), 0LL));
}

} // namespace

SerialScheduler::SerialScheduler(const LevellingProblem& problem, const ActivityNetwork& network)
    : m_network(network), m_timeline(problem.capacities, horizonOf(problem))
{
    const int n = problem.activityCount();
    m_needStart.reserve(std::size_t(n) + 1);
    m_needStart.push_back(0);
    for (int a = 0; a < n; ++a) {
        for (int r = 0; r < problem.resourceCount(); ++r)
            if (problem.demand(a, r) > 0)
                m_needs.push_back({r, problem.demand(a, r)});
        m_needStart.push_back(int(m_needs.size()));
    }
    m_finish.resize(static_cast<std::size_t>(n));
    m_position.resize(static_cast<std::size_t>(n));
}

int SerialScheduler::schedule(const std::vector<int>& list, bool backward, std::vector<int>& starts)
{
    ++m_built;
    m_timeline.clear();
    starts.resize(list.size());
    int length = 0;
    for (const int a : list) {
        int from = 0;
        for (const int before : backward ? m_network.successors(a) : m_network.predecessors(a))
            from = std::max(from, m_finish[std::size_t(before)]);
        const int duration = m_network.duration(a);
        const ResourceTimeline::Need* first = m_needs.data() + m_needStart[std::size_t(a)];
        const ResourceTimeline::Need* last = m_needs.data() + m_needStart[std::size_t(a) + 1];
        const int start = m_timeline.firstFit(from, duration, first, last);
        m_timeline.place(start, duration, first, last);
        starts[std::size_t(a)] = start;
        m_finish[std::size_t(a)] = start + duration;
        length = std::max(length, start + duration);
    }
    return length;
}

void SerialScheduler::reverseOrder(const std::vector<int>& list, const std::vector<int>& starts,
                                   std::vector<int>& reversed)
{
    // Latest finish first: the order of starting when the schedule is read from its end. Ties
    // (works of no duration) keep the reverse of the list, which respects the links.
    for (std::size_t i = 0; i < list.size(); ++i)
        m_position[std::size_t(list[i])] = int(i);
    reversed = list;
    std::sort(reversed.begin(), reversed.end(), [&](int x, int y) {
        const int fx = starts[std::size_t(x)] + m_network.duration(x);
        const int fy = starts[std::size_t(y)] + m_network.duration(y);
        if (fx != fy)
            return fx > fy;
        if (starts[std::size_t(x)] != starts[std::size_t(y)])
            return starts[std::size_t(x)] > starts[std::size_t(y)];
        return m_position[std::size_t(x)] > m_position[std::size_t(y)];
    });
}

int SerialScheduler::justify(std::vector<int>& list, std::vector<int>& starts, int length,
                             const std::function<bool()>& stop)
{
    for (bool first = true;; first = false) {
        if (!first && stop && stop())
            return length;
        reverseOrder(list, starts, m_otherList);
        schedule(m_otherList, true, m_otherStarts);
        std::vector<int> forwardList;
        reverseOrder(m_otherList, m_otherStarts, forwardList);
        std::vector<int> forwardStarts;
        const int improved = schedule(forwardList, false, forwardStarts);
        if (improved > length)
            return length; // the serial scheme never gets longer this way; the guard keeps the
                           // promise
        const bool shorter = improved < length;
        list.swap(forwardList);
        starts.swap(forwardStarts);
        length = improved;
        if (!shorter)
            return length;
    }
}
