#include "CrashingFlow.h"

#include "KestrinError.h"
#include "ResidualNetwork.h"
#include "TightFlow.h"
#include "TimeCostNetwork.h"

#include <algorithm>
#include <functional>
#include <limits>
#include <numeric>

namespace {

// The paths a phase raises the flow along one search each before the level-by-level flow takes
// over: a search a path is cheapest while paths are few (a long chain needs one a phase, layers
// of parallel works a dozen or so), and the levels bound the work however many there are.
constexpr int kPathsAlone = 64;

// The nodes whose times changed since `visit` was last called, each once; every node before the
// first call.
class MovedNodes
{
public:
    explicit MovedNodes(int nodes)
        : m_marked(std::size_t(nodes), 1), m_nodes(static_cast<std::size_t>(nodes))
    {
        std::iota(m_nodes.begin(), m_nodes.end(), 0);
    }

    void add(int node)
    {
        if (!m_marked[std::size_t(node)]) {
            m_marked[std::size_t(node)] = 1;
            m_nodes.push_back(node);
        }
    }

    // Copies their times into `eventTimes`, lists their events in `events` and forgets them.
    void handOver(const ResidualNetwork& residual, const ScaledNetwork& scaled,
                  std::vector<std::int64_t>& eventTimes, std::vector<int>& events)
    {
        events.clear();
        for (const int v : m_nodes) {
            const int event = scaled.pathEvents[std::size_t(v)];
            eventTimes[std::size_t(event)] = residual.time[std::size_t(v)];
            events.push_back(event);
            m_marked[std::size_t(v)] = 0;
        }
        m_nodes.clear();
    }

private:
    std::vector<char> m_marked;
    std::vector<int> m_nodes;
};

// Moves the event times to the longest distances of the residual network: each event nearer the
// start than `toEnd` (the shortest reduced distance from the start to the end) comes later by
// `toEnd` less its own distance, and the rest stay, relative to the end. Dijkstra on the usable
// arcs' slacks, stopped at the end; events at the distance of the one settled last are taken
// without the heap, so a region of tight arcs costs what a search of it costs. The search's path
// to the end is tight at the new times, and the flow can be raised along it at once.
class NextTimes
{
public:
    explicit NextTimes(int nodes)
        : m_roundOf(std::size_t(nodes), 0), m_distance(std::size_t(nodes), 0),
          m_settled(std::size_t(nodes), 0), m_through(std::size_t(nodes), -1),
          m_onwardRound(std::size_t(nodes), 0), m_onward(std::size_t(nodes), -1)
    {
    }

    // Adds the nodes whose times change to `moved`; returns how much the length fell.
    std::int64_t move(ResidualNetwork& residual, MovedNodes& moved)
    {
        ++m_round;
        m_settledNodes.clear();
        m_heap.clear();
        m_level.clear();
        m_at = 0;
        m_meet = -1;
        reach(0, 0, -1);
        // Distances of the length or more move nothing; they are not followed, which also keeps
        // the sums from overflowing.
        const std::int64_t horizon = residual.length();
        std::int64_t toEnd = horizon;
        for (;;) {
            int v = -1;
            if (!m_level.empty()) {
                v = m_level.back();
                m_level.pop_back();
            } else if (!m_heap.empty()) {
                std::pop_heap(m_heap.begin(), m_heap.end(), std::greater<>());
                v = m_heap.back().second;
                const std::int64_t d = m_heap.back().first;
                m_heap.pop_back();
                if (d != m_distance[std::size_t(v)])
                    continue;
            } else {
                break;
            }
            if (m_settled[std::size_t(v)] == m_round)
                continue;
            m_settled[std::size_t(v)] = m_round;
            const std::int64_t at = m_distance[std::size_t(v)];
            m_at = at;
            if (v == residual.sink || (m_fresh && m_onwardRound[std::size_t(v)] == m_certificate)) {
                toEnd = at;
                m_meet = v;
                break;
            }
            m_settledNodes.push_back(v);
            for (int a = residual.firstOut[std::size_t(v)];
                 a < residual.firstOut[std::size_t(v) + 1]; ++a) {
                if (!residual.usable(a))
                    continue;
                const std::int64_t slack = residual.slack(v, a);
                if (slack < horizon - at)
                    reach(residual.head[std::size_t(a)], at + slack, a);
            }
        }
        for (const int v : m_settledNodes) {
            const std::int64_t d = m_distance[std::size_t(v)];
            if (d < toEnd) {
                residual.time[std::size_t(v)] += toEnd - d;
                moved.add(v);
            }
        }
        m_fresh = false;
        return toEnd;
    }

    // Raises the flow along the search's path to the end by as much as it takes. The part of the
    // path beyond the last arc that this spends stays open and tight until the next search: its
    // events then reach the end at their own distance, and the search stops at the first.
    void augmentAlongPath(ResidualNetwork& residual)
    {
        m_path.clear();
        if (m_meet < 0)
            return;
        for (int v = m_meet; v != residual.sink;) {
            const int a = m_onward[std::size_t(v)];
            m_path.push_back(a);
            v = residual.head[std::size_t(a)];
        }
        std::reverse(m_path.begin(), m_path.end());
        for (int v = m_meet; v != 0;) {
            const int a = m_through[std::size_t(v)];
            m_path.push_back(a);
            v = residual.tail(a);
        }
        long double amount = std::numeric_limits<long double>::infinity();
        for (const int a : m_path)
            amount = std::min(amount, residual.room[std::size_t(a)]);
        for (const int a : m_path)
            residual.push(a, amount);
        ++m_certificate;
        m_onwardRound[std::size_t(residual.sink)] = m_certificate;
        for (const int a : m_path) { // from the end back
            if (!residual.usable(a))
                break;
            const int tail = residual.tail(a);
            m_onwardRound[std::size_t(tail)] = m_certificate;
            m_onward[std::size_t(tail)] = a;
        }
        m_fresh = true;
    }

private:
    void reach(int node, std::int64_t distance, int through)
    {
        const auto v = std::size_t(node);
        if (m_roundOf[v] == m_round && m_distance[v] <= distance)
            return;
        m_roundOf[v] = m_round;
        m_distance[v] = distance;
        m_through[v] = through;
        if (distance == m_at)
            m_level.push_back(node);
        else {
            m_heap.emplace_back(distance, node);
            std::push_heap(m_heap.begin(), m_heap.end(), std::greater<>());
        }
    }

    int m_round = 0;
    std::vector<int> m_roundOf; // the round a node's distance belongs to
    std::vector<std::int64_t> m_distance;
    std::vector<int> m_settled; // the round a node was settled in
    std::vector<int> m_settledNodes;
    std::vector<std::pair<std::int64_t, int>> m_heap;
    std::int64_t m_at = 0;      // the distance of the node settled last
    std::vector<int> m_level;   // reached at that distance
    std::vector<int> m_through; // the arc a node was reached through
    int m_meet = -1;            // the node the search stopped at, -1: it did not reach the end
    // The events left with an open tight path to the end by the last path taken, with its arc
    // on from each, valid while m_fresh: no other flow has moved since.
    std::vector<int> m_onwardRound;
    std::vector<int> m_onward;
    int m_certificate = 0;
    bool m_fresh = false;
    std::vector<int> m_path;
};

// Whether a path of tight arcs that take any amount joins start and end: then no flow bounds the
// shortening any more, and the length can fall no further.
class UnboundedPath
{
public:
    explicit UnboundedPath(int nodes) : m_roundOf(std::size_t(nodes), 0) {}

    bool exists(const ResidualNetwork& residual)
    {
        ++m_round;
        m_stack.assign(1, 0);
        m_roundOf[0] = m_round;
        while (!m_stack.empty()) {
            const int v = m_stack.back();
            m_stack.pop_back();
            if (v == residual.sink)
                return true;
            for (int a = residual.firstOut[std::size_t(v)];
                 a < residual.firstOut[std::size_t(v) + 1]; ++a) {
                const int to = residual.head[std::size_t(a)];
                if (m_roundOf[std::size_t(to)] != m_round && residual.unbounded[std::size_t(a)] &&
                    residual.tight(v, a)) {
                    m_roundOf[std::size_t(to)] = m_round;
                    m_stack.push_back(to);
                }
            }
        }
        return false;
    }

private:
    int m_round = 0;
    std::vector<int> m_roundOf;
    std::vector<int> m_stack;
};

} // namespace

void traceCrashing(const TimeCostNetwork& network, const ScaledNetwork& scaled,
                   const CrashingVisit& visit)
{
    std::vector<std::int64_t> eventTimes(std::size_t(network.eventNames.size()), 0);
    std::vector<int> movedEvents;
    if (scaled.pathEvents.size() < 2) {
        visit(0, eventTimes, movedEvents);
        return;
    }
    ResidualNetwork residual = residualNetwork(network, scaled);
    const int nodes = residual.nodes();
    NextTimes nextTimes(nodes);
    UnboundedPath unboundedPath(nodes);
    TightFlow tightFlow(nodes);

    MovedNodes moved(nodes);
    std::int64_t lastLength = std::numeric_limits<std::int64_t>::max();
    int stalled = 0;
    int pathsAlone = 0;
    for (;;) {
        const std::int64_t fall = nextTimes.move(residual, moved);
        const std::int64_t length = residual.length();
        if (length < lastLength) {
            stalled = 0;
            moved.handOver(residual, scaled, eventTimes, movedEvents);
            visit(length, eventTimes, movedEvents);
            lastLength = length;
        }
        if (unboundedPath.exists(residual))
            return;
        if (fall > 0)
            pathsAlone = 0;
        if (pathsAlone < kPathsAlone) {
            // Most phases need a few paths: each is taken as the search finds it, and the next
            // search tells whether the flow is a maximum.
            nextTimes.augmentAlongPath(residual);
            ++pathsAlone;
        } else {
            // A max flow always leaves the end out of reach of the tight arcs, so the length
            // falls; should rounding let the flow stop short, the next phase tops it up, but not
            // for ever.
            if (++stalled > 3)
                throw KestrinError(QStringLiteral("Расчёт затрат не сходится"));
            tightFlow.raise(residual);
        }
    }
}
