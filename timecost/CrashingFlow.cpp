#include "CrashingFlow.h"

#include "KestrinError.h"
#include "TimeCostNetwork.h"

#include <lemon/adaptors.h>
#include <lemon/dijkstra.h>
#include <lemon/preflow.h>
#include <lemon/smart_graph.h>
#include <lemon/static_graph.h>

#include <algorithm>
#include <limits>

namespace {

using Graph = lemon::StaticDigraph;
using Arc = Graph::Arc;
using Node = Graph::Node;

constexpr long double kSpent = 1e-12L;

// The residual network over the events on paths (numbered in path order, the start 0 and the end
// last): arcs in pairs, forward and back, each with the length it adds to a path and the flow it
// can still take, and the event times that are the flow's potentials.
struct Residual
{
    Graph graph;
    std::vector<std::int64_t> gain;
    std::vector<long double> room;
    std::vector<char> unbounded;    // forward arcs that take any amount
    std::vector<int> partner;       // the other arc of the pair, by the graph's arc index
    std::vector<std::int64_t> time; // on the durations' grid, the start at 0
    int source = 0;
    int sink = 0;

    bool usable(Arc a) const { return room[std::size_t(Graph::index(a))] > kSpent; }
    std::int64_t slack(Arc a) const
    {
        const auto i = std::size_t(Graph::index(a));
        return time[std::size_t(Graph::index(graph.target(a)))] -
               time[std::size_t(Graph::index(graph.source(a)))] - gain[i];
    }
    bool tight(Arc a) const { return usable(a) && slack(a) == 0; }
};

struct UsableArcs
{
    using Key = Arc;
    using Value = bool;
    const Residual* residual;
    bool operator[](Arc a) const { return residual->usable(a); }
};

struct ReducedLength
{
    using Key = Arc;
    using Value = std::int64_t;
    const Residual* residual;
    std::int64_t operator[](Arc a) const { return residual->slack(a); }
};

struct SpentTolerance
{
    using Value = long double;
    bool positive(long double x) const { return x > kSpent; }
    bool less(long double a, long double b) const { return a + kSpent < b; }
};

using TightGraph = lemon::SmartDigraph;
using TightRoom = TightGraph::ArcMap<long double>;

struct PreflowTraits : lemon::PreflowDefaultTraits<TightGraph, TightRoom>
{
    using Tolerance = SpentTolerance;
};

// The tight arcs alone, as a graph of their own: they are few, and a maximum flow over them then
// costs what they cost, not what the whole network does.
class TightArcs
{
public:
    explicit TightArcs(int events) : m_node(std::size_t(events), -1), m_room(m_graph) {}

    // Raises the flow over the tight arcs to a maximum and takes it from their rooms.
    void raiseFlow(Residual& residual)
    {
        m_graph.clear();
        m_arcs.clear();
        std::fill(m_node.begin(), m_node.end(), -1);
        const auto node = [this](int event) {
            int& id = m_node[std::size_t(event)];
            if (id < 0)
                id = m_graph.id(m_graph.addNode());
            return TightGraph::nodeFromId(id);
        };
        const TightGraph::Node source = node(residual.source);
        const TightGraph::Node sink = node(residual.sink);
        for (Graph::ArcIt a(residual.graph); a != lemon::INVALID; ++a) {
            if (residual.tight(a)) {
                const TightGraph::Arc arc =
                    m_graph.addArc(node(Graph::index(residual.graph.source(a))),
                                   node(Graph::index(residual.graph.target(a))));
                m_room.set(arc, residual.room[std::size_t(Graph::index(a))]);
                m_arcs.push_back(Graph::index(a));
            }
        }
        lemon::Preflow<TightGraph, TightRoom, PreflowTraits> flow(m_graph, m_room, source, sink);
        flow.run();
        for (std::size_t k = 0; k < m_arcs.size(); ++k) {
            const long double amount = flow.flow(TightGraph::arcFromId(int(k)));
            if (amount != 0) {
                const auto i = std::size_t(m_arcs[k]);
                residual.room[i] -= amount;
                residual.room[std::size_t(residual.partner[i])] += amount;
            }
        }
    }

private:
    TightGraph m_graph;
    std::vector<int> m_node;
    TightRoom m_room;
    std::vector<int> m_arcs; // the residual arc of each tight arc, by the tight arc's id
};

struct PlannedArc
{
    int from;
    int to;
    std::int64_t gain;
    long double room;
    bool unbounded;
};

Residual buildResidual(const TimeCostNetwork& network, const ScaledNetwork& scaled)
{
    std::vector<int> node(std::size_t(network.eventNames.size()), -1);
    for (int i = 0; i < int(scaled.pathEvents.size()); ++i)
        node[std::size_t(scaled.pathEvents[std::size_t(i)])] = i;

    long double steepest = 0;
    for (const int w : scaled.pathWorks) {
        const auto i = std::size_t(w);
        if (scaled.costRise[i] > 0)
            steepest = std::max(
                steepest, static_cast<long double>(scaled.costRise[i]) /
                              static_cast<long double>(scaled.duration[i] - scaled.shortest[i]));
    }
    std::vector<PlannedArc> planned;
    long double bounded = 1;
    for (const int w : scaled.pathWorks) {
        const auto i = std::size_t(w);
        const CostedWork& work = network.works[i];
        const int from = node[std::size_t(work.startEvent)];
        const int to = node[std::size_t(work.endEvent)];
        if (scaled.costRise[i] > 0) {
            const long double perDay =
                static_cast<long double>(scaled.costRise[i]) /
                static_cast<long double>(scaled.duration[i] - scaled.shortest[i]) / steepest;
            planned.push_back({from, to, scaled.duration[i], perDay, false});
            bounded += perDay;
        }
        // A work shortened for nothing has only this arc: it is as short as it can be whenever
        // that helps.
        planned.push_back({from, to, scaled.shortest[i], 0, true});
    }
    // Any flow is at most the sum of the bounded rooms, so this room is never filled.
    for (PlannedArc& arc : planned) {
        if (arc.unbounded)
            arc.room = bounded;
    }

    struct Half
    {
        int from;
        int to;
        int planned;
        bool forward;
    };
    std::vector<Half> halves;
    halves.reserve(planned.size() * 2);
    for (int p = 0; p < int(planned.size()); ++p) {
        halves.push_back({planned[std::size_t(p)].from, planned[std::size_t(p)].to, p, true});
        halves.push_back({planned[std::size_t(p)].to, planned[std::size_t(p)].from, p, false});
    }
    std::stable_sort(halves.begin(), halves.end(),
                     [](const Half& a, const Half& b) { return a.from < b.from; });
    std::vector<std::pair<int, int>> ends;
    ends.reserve(halves.size());
    for (const Half& half : halves)
        ends.emplace_back(half.from, half.to);

    Residual residual;
    residual.graph.build(int(scaled.pathEvents.size()), ends.begin(), ends.end());
    residual.gain.resize(halves.size());
    residual.room.resize(halves.size());
    residual.unbounded.resize(halves.size());
    residual.partner.resize(halves.size());
    std::vector<int> forwardAt(planned.size());
    std::vector<int> backAt(planned.size());
    for (int a = 0; a < int(halves.size()); ++a) {
        const Half& half = halves[std::size_t(a)];
        const PlannedArc& arc = planned[std::size_t(half.planned)];
        residual.gain[std::size_t(a)] = half.forward ? arc.gain : -arc.gain;
        residual.room[std::size_t(a)] = half.forward ? arc.room : 0;
        residual.unbounded[std::size_t(a)] = half.forward && arc.unbounded;
        (half.forward ? forwardAt : backAt)[std::size_t(half.planned)] = a;
    }
    for (std::size_t p = 0; p < planned.size(); ++p) {
        residual.partner[std::size_t(forwardAt[p])] = backAt[p];
        residual.partner[std::size_t(backAt[p])] = forwardAt[p];
    }
    residual.source = 0;
    residual.sink = int(scaled.pathEvents.size()) - 1;

    // The first potentials: the longest distances along the forward arcs, in path order.
    constexpr std::int64_t kUnset = std::numeric_limits<std::int64_t>::min();
    residual.time.assign(scaled.pathEvents.size(), kUnset);
    residual.time[0] = 0;
    for (int v = 0; v < int(scaled.pathEvents.size()); ++v) {
        for (Graph::OutArcIt a(residual.graph, residual.graph.node(v)); a != lemon::INVALID; ++a) {
            const auto i = std::size_t(Graph::index(a));
            if (residual.room[i] > kSpent) {
                std::int64_t& to =
                    residual.time[std::size_t(Graph::index(residual.graph.target(a)))];
                to = std::max(to, residual.time[std::size_t(v)] + residual.gain[i]);
            }
        }
    }
    return residual;
}

// Whether a path of tight arcs that take any amount joins start and end: then no flow bounds the
// shortening any more, and the length can fall no further.
bool unboundedTightPath(const Residual& residual)
{
    std::vector<char> seen(residual.time.size(), 0);
    std::vector<int> stack{residual.source};
    seen[std::size_t(residual.source)] = 1;
    while (!stack.empty()) {
        const int v = stack.back();
        stack.pop_back();
        if (v == residual.sink)
            return true;
        for (Graph::OutArcIt a(residual.graph, residual.graph.node(v)); a != lemon::INVALID; ++a) {
            const int to = Graph::index(residual.graph.target(a));
            if (residual.unbounded[std::size_t(Graph::index(a))] && residual.tight(a) &&
                !seen[std::size_t(to)]) {
                seen[std::size_t(to)] = 1;
                stack.push_back(to);
            }
        }
    }
    return false;
}

} // namespace

void traceCrashing(const TimeCostNetwork& network, const ScaledNetwork& scaled,
                   const std::function<void(std::int64_t length,
                                            const std::vector<std::int64_t>& eventTimes)>& visit)
{
    std::vector<std::int64_t> eventTimes(std::size_t(network.eventNames.size()), 0);
    if (scaled.pathEvents.size() < 2) {
        visit(0, eventTimes);
        return;
    }
    Residual residual = buildResidual(network, scaled);
    const Node source = residual.graph.node(residual.source);
    const Node sink = residual.graph.node(residual.sink);

    UsableArcs usable{&residual};
    lemon::FilterArcs<Graph, UsableArcs> usableGraph(residual.graph, usable);
    const ReducedLength reduced{&residual};
    // LEMON's default map of arcs by node needs an allocator interface C++20 removed; the
    // search's tree is not wanted anyway.
    using UsableGraph = lemon::FilterArcs<Graph, UsableArcs>;
    using Nearest =
        lemon::Dijkstra<UsableGraph, ReducedLength>::SetPredMap<lemon::NullMap<Node, Arc>>::Create;
    lemon::NullMap<Node, Arc> noTree;
    Nearest nearest(usableGraph, reduced);
    nearest.predMap(noTree);
    TightArcs tightArcs(int(residual.time.size()));
    std::int64_t lastLength = std::numeric_limits<std::int64_t>::max();
    int stalled = 0;
    for (;;) {
        nearest.init();
        nearest.addSource(source);
        nearest.start(sink);
        const std::int64_t toSink = nearest.dist(sink);
        for (int v = 0; v < int(residual.time.size()); ++v) {
            const Node node = residual.graph.node(v);
            residual.time[std::size_t(v)] -= nearest.processed(node) ? nearest.dist(node) : toSink;
        }
        const std::int64_t length = residual.time[std::size_t(residual.sink)];
        // A max flow always leaves the sink out of reach of the tight arcs, so the length falls;
        // should rounding let the flow stop short, the next phase tops it up, but not for ever.
        if (length >= lastLength && ++stalled > 3)
            throw KestrinError(QStringLiteral("Расчёт затрат не сходится"));
        if (length < lastLength) {
            stalled = 0;
            for (int v = 0; v < int(residual.time.size()); ++v)
                eventTimes[std::size_t(scaled.pathEvents[std::size_t(v)])] =
                    residual.time[std::size_t(v)];
            visit(length, eventTimes);
            lastLength = length;
        }
        if (unboundedTightPath(residual))
            return;

        tightArcs.raiseFlow(residual);
    }
}
