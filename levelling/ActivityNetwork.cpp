#include "ActivityNetwork.h"

#include "KestrinError.h"
#include "LevellingProblem.h"
#include "NetworkLoop.h"

#include <algorithm>

namespace {

// Compressed adjacency: the items of node a are items[start[a]..start[a + 1]), duplicates
// removed (a link given twice constrains once).
void buildLists(int nodes, const std::vector<Precedence>& links, bool forward,
                std::vector<int>& start, std::vector<int>& items)
{
    start.assign(std::size_t(nodes) + 1, 0);
    for (const Precedence& link : links)
        ++start[std::size_t(forward ? link.after : link.before) + 1];
    for (int a = 0; a < nodes; ++a)
        start[std::size_t(a) + 1] += start[std::size_t(a)];
    items.resize(links.size());
    std::vector<int> fill(start.begin(), start.end() - 1);
    for (const Precedence& link : links) {
        const int owner = forward ? link.after : link.before;
        items[std::size_t(fill[std::size_t(owner)]++)] = forward ? link.before : link.after;
    }
    int kept = 0;
    for (int a = 0; a < nodes; ++a) {
        const auto first = items.begin() + start[std::size_t(a)];
        const auto last = items.begin() + start[std::size_t(a) + 1];
        std::sort(first, last);
        const auto unique = std::unique(first, last);
        start[std::size_t(a)] = kept;
        kept = int(std::copy(first, unique, items.begin() + kept) - items.begin());
    }
    start[std::size_t(nodes)] = kept;
    items.resize(std::size_t(kept));
}

} // namespace

ActivityNetwork::ActivityNetwork(const LevellingProblem& problem) : m_durations(problem.durations)
{
    const int n = size();
    buildLists(n, problem.precedences, true, m_predecessorStart, m_predecessors);
    buildLists(n, problem.precedences, false, m_successorStart, m_successors);

    std::vector<int> waiting(std::size_t(n), 0);
    for (int a = 0; a < n; ++a)
        waiting[std::size_t(a)] = int(predecessors(a).end() - predecessors(a).begin());
    m_order.reserve(static_cast<std::size_t>(n));
    for (int a = 0; a < n; ++a)
        if (waiting[std::size_t(a)] == 0)
            m_order.push_back(a);
    for (std::size_t i = 0; i < m_order.size(); ++i)
        for (const int s : successors(m_order[i]))
            if (--waiting[std::size_t(s)] == 0)
                m_order.push_back(s);
    if (int(m_order.size()) != n)
        raiseLoop(problem, waiting);

    m_earliestStarts.assign(std::size_t(n), 0);
    for (const int a : m_order) {
        int start = 0;
        for (const int p : predecessors(a))
            start = std::max(start, m_earliestStarts[std::size_t(p)] + duration(p));
        m_earliestStarts[std::size_t(a)] = start;
        m_criticalLength = std::max(m_criticalLength, start + duration(a));
    }
    m_latestFinishes.assign(std::size_t(n), m_criticalLength);
    for (auto it = m_order.rbegin(); it != m_order.rend(); ++it) {
        int finish = m_criticalLength;
        for (const int s : successors(*it))
            finish = std::min(finish, m_latestFinishes[std::size_t(s)] - duration(s));
        m_latestFinishes[std::size_t(*it)] = finish;
    }
}

void ActivityNetwork::raiseLoop(const LevellingProblem& problem,
                                const std::vector<int>& waiting) const
{
    // Every work still waiting has a waiting predecessor; walking back through them must come
    // round to a work already seen, and the walk from there is the loop.
    int a = 0;
    while (waiting[std::size_t(a)] == 0)
        ++a;
    std::vector<int> seenAt(std::size_t(size()), -1);
    std::vector<int> walk;
    while (seenAt[std::size_t(a)] < 0) {
        seenAt[std::size_t(a)] = int(walk.size());
        walk.push_back(a);
        for (const int p : predecessors(a)) {
            if (waiting[std::size_t(p)] > 0) {
                a = p;
                break;
            }
        }
    }
    std::vector<int> loop(walk.rbegin(), walk.rend() - seenAt[std::size_t(a)]);
    std::rotate(loop.begin(), std::min_element(loop.begin(), loop.end()), loop.end());
    loop.push_back(loop.front());
    QStringList names;
    for (const int work : loop)
        names.append(problem.activityName(work));
    throw KestrinError(loopMessage(names));
}
