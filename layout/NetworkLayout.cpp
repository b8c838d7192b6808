#include "NetworkLayout.h"

#include "DotOrdering.h"
#include "SweepOrdering.h"
#include "VerticalPlacement.h"

#include <algorithm>
#include <unordered_map>

namespace {

// Sweeps of our own ordering; more find few fewer crossings.
constexpr int kSweeps = 24;

std::uint64_t pairKey(int from, int to)
{
    return (std::uint64_t(std::uint32_t(from)) << 32) | std::uint32_t(to);
}

// The works of the line, one per step: of the works from each of its events to the next, the
// first critical one, else the first. The line ends where it breaks off.
std::vector<int> lineWorks(const LayoutInput& input,
                           const std::unordered_map<std::uint64_t, int>& firstWork)
{
    std::vector<int> works;
    std::vector<char> seen(std::size_t(input.names.size()), 0);
    for (std::size_t i = 0; i < input.line.size(); ++i) {
        const int event = input.line[i];
        if (event < 0 || event >= int(seen.size()) || seen[std::size_t(event)])
            break;
        seen[std::size_t(event)] = 1;
        if (i + 1 == input.line.size())
            break;
        const auto work = firstWork.find(pairKey(event, input.line[i + 1]));
        if (work == firstWork.end())
            break;
        works.push_back(work->second);
    }
    return works;
}

// The offsets, in bow steps, of parallel works: the first straight, then one side and the other.
int bowOffset(int index)
{
    return index % 2 == 1 ? (index + 1) / 2 : -(index / 2);
}

} // namespace

NetworkLayout layOutNetwork(const LayoutInput& input, const LayoutMetrics& metrics,
                            LayoutOrdering ordering)
{
    const int eventCount = int(input.names.size());
    std::unordered_map<std::uint64_t, int> firstWork;
    for (std::size_t work = 0; work < input.works.size(); ++work) {
        const LayoutWork& w = input.works[work];
        const auto [found, added] = firstWork.emplace(pairKey(w.from, w.to), int(work));
        if (!added && w.critical && !input.works[std::size_t(found->second)].critical)
            found->second = int(work);
    }
    const std::vector<int> line = lineWorks(input, firstWork);

    LayeredGraph graph(eventCount, input.works, input.names, kBendBudget, line);

    NetworkLayout layout;
    const bool useDot = ordering == LayoutOrdering::Dot || (ordering == LayoutOrdering::Automatic &&
                                                            graph.nodeCount() <= kDotNodeLimit);
    if (useDot && graph.nodeCount() > 0 && orderWithDot(graph, dotEffort(graph.nodeCount()))) {
        layout.ordering = LayoutOrdering::Dot;
    } else {
        orderBySweeps(graph, kSweeps);
        layout.ordering = LayoutOrdering::Sweeps;
    }
    layout.crossings = graph.crossings();

    // The line's events and bends, one per layer, stay at y 0.
    std::vector<int> fixed(std::size_t(graph.layerCount()), -1);
    layout.onLine.assign(input.works.size(), 0);
    for (const int work : line) {
        layout.onLine[std::size_t(work)] = 1;
        for (const int node : graph.workNodes(work))
            fixed[std::size_t(graph.layer(node))] = node;
    }
    PlacementRoom room;
    room.eventExtent = metrics.eventDiameter;
    room.bendExtent = 0;
    room.eventGap = metrics.eventGap;
    room.bendGap = metrics.bendGap;
    const std::vector<double> across = placeAcrossLayers(graph, fixed, room);

    const double radius = metrics.eventDiameter / 2;
    layout.layerPitch = metrics.eventDiameter + metrics.layerGap;
    const auto centreOf = [&](int node) {
        return QPointF(graph.layer(node) * layout.layerPitch, across[std::size_t(node)]);
    };
    layout.layers.resize(std::size_t(eventCount));
    layout.centres.resize(std::size_t(eventCount));
    for (int event = 0; event < eventCount; ++event) {
        layout.layers[std::size_t(event)] = graph.layer(event);
        layout.centres[std::size_t(event)] = centreOf(event);
    }

    // The line's work runs straight; its parallel works bend away from it.
    std::unordered_map<std::uint64_t, int> parallelSeen;
    for (const int work : line)
        parallelSeen[pairKey(input.works[std::size_t(work)].from,
                             input.works[std::size_t(work)].to)] = 1;
    layout.routes.resize(input.works.size());
    for (std::size_t work = 0; work < input.works.size(); ++work) {
        const LayoutWork& w = input.works[work];
        std::vector<QPointF>& route = layout.routes[work];
        const std::vector<int>& nodes = graph.workNodes(int(work));
        route.push_back(centreOf(w.from));
        if (nodes.size() > 2) {
            for (std::size_t i = 1; i + 1 < nodes.size(); ++i) {
                const QPointF bend = centreOf(nodes[i]);
                route.emplace_back(bend.x() - radius, bend.y());
                route.emplace_back(bend.x() + radius, bend.y());
            }
        } else if (graph.isRouted(int(work)) && !layout.onLine[work]) {
            const int offset = bowOffset(parallelSeen[pairKey(w.from, w.to)]++);
            if (offset != 0) {
                const QPointF middle = (centreOf(w.from) + centreOf(w.to)) / 2;
                route.emplace_back(middle.x(), middle.y() + offset * metrics.bowStep);
            }
        }
        route.push_back(centreOf(w.to));
    }

    if (eventCount > 0) {
        double left = layout.centres.front().x();
        double right = left;
        double top = layout.centres.front().y();
        double bottom = top;
        const auto include = [&](const QPointF& point, double margin) {
            left = std::min(left, point.x() - margin);
            right = std::max(right, point.x() + margin);
            top = std::min(top, point.y() - margin);
            bottom = std::max(bottom, point.y() + margin);
        };
        for (const QPointF& centre : layout.centres)
            include(centre, radius);
        for (const std::vector<QPointF>& route : layout.routes)
            for (const QPointF& point : route)
                include(point, 0);
        layout.bounds = QRectF(QPointF(left, top), QPointF(right, bottom));
    }
    return layout;
}
