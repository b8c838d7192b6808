#include "SourceSweep.h"

#include "Progress.h"
#include "SuccessorGraph.h"

#include <algorithm>
#include <limits>
#include <utility>

SourceSweep::SourceSweep(const SuccessorGraph& graph)
    : m_graph(graph), m_seen(std::size_t(graph.eventCount()), 0),
      m_onStack(std::size_t(graph.eventCount()), 0), m_fails(std::size_t(graph.eventCount()), 0),
      m_highest(std::size_t(graph.eventCount()), 0.0L)
{
}

bool SourceSweep::run(int source, int sink, long double start, bool trackLowest)
{
    ++m_generation;
    m_order.clear();
    m_cycle.clear();
    if (!search(source, sink))
        return false;
    total(sink, start, trackLowest);
    return true;
}

bool SourceSweep::search(int source, int sink)
{
    // An explicit stack of (event, next edge); networks may be far deeper than the call stack.
    std::vector<std::pair<int, int>> stack;
    const auto enter = [&](int event) {
        m_seen[std::size_t(event)] = m_generation;
        m_onStack[std::size_t(event)] = 1;
        stack.emplace_back(event, m_graph.firstEdge(event));
    };
    enter(source);
    qint64 steps = 0;
    while (!stack.empty()) {
        progress::step(u"Пересчёт графика", steps++, m_graph.edgeCount() + m_graph.eventCount());
        auto& [event, edge] = stack.back();
        if (event == sink || edge == m_graph.endEdge(event)) {
            m_onStack[std::size_t(event)] = 0;
            m_order.push_back(event);
            stack.pop_back();
            continue;
        }
        const int next = m_graph.edgeTarget(edge++);
        if (m_seen[std::size_t(next)] != m_generation) {
            enter(next);
        } else if (m_onStack[std::size_t(next)]) {
            auto from = std::find_if(stack.begin(), stack.end(),
                                     [next](const auto& entry) { return entry.first == next; });
            for (; from != stack.end(); ++from)
                m_cycle.push_back(from->first);
            m_cycle.push_back(next);
            for (const auto& entry : stack)
                m_onStack[std::size_t(entry.first)] = 0;
            return false;
        }
    }
    std::reverse(m_order.begin(), m_order.end());
    return true;
}

void SourceSweep::total(int sink, long double start, bool trackLowest)
{
    if (trackLowest && m_lowest.size() != m_highest.size())
        m_lowest.assign(m_highest.size(), 0.0L);
    for (const int event : m_order) {
        m_fails[std::size_t(event)] = 0;
        m_highest[std::size_t(event)] = -std::numeric_limits<long double>::infinity();
        if (trackLowest)
            m_lowest[std::size_t(event)] = std::numeric_limits<long double>::infinity();
    }
    const int source = m_order.front();
    m_highest[std::size_t(source)] = start;
    if (trackLowest)
        m_lowest[std::size_t(source)] = start;

    qint64 done = 0;
    for (const int event : m_order) {
        progress::step(u"Пересчёт графика", done++, qint64(m_order.size()));
        if (event == sink)
            continue;
        const bool failing = m_fails[std::size_t(event)] != 0;
        for (int edge = m_graph.firstEdge(event); edge < m_graph.endEdge(event); ++edge) {
            const std::size_t next = std::size_t(m_graph.edgeTarget(edge));
            if (failing || m_graph.edgeHasBadDuration(edge)) {
                m_fails[next] = 1;
                continue;
            }
            long double high = m_highest[std::size_t(event)];
            if (!m_graph.addEdgeTo(edge, high))
                m_fails[next] = 1;
            else
                m_highest[next] = std::max(m_highest[next], high);
            if (trackLowest) {
                long double low = m_lowest[std::size_t(event)];
                if (!m_graph.addEdgeTo(edge, low))
                    m_fails[next] = 1;
                else
                    m_lowest[next] = std::min(m_lowest[next], low);
            }
        }
    }
}
