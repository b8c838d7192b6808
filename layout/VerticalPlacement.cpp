#include "VerticalPlacement.h"

#include "LayeredGraph.h"

#include <algorithm>
#include <limits>
#include <optional>

namespace {

constexpr int kSweeps = 8;

// Weights of an edge by what it joins, as dot weighs them: straight bends matter most.
double edgeWeight(const LayeredGraph& graph, int a, int b)
{
    const int bends = (graph.isEvent(a) ? 0 : 1) + (graph.isEvent(b) ? 0 : 1);
    return bends == 0 ? 1.0 : bends == 1 ? 2.0 : 8.0;
}

// Nondecreasing values closest to the targets in weighted squares (pool adjacent violators).
void poolAdjacentViolators(std::vector<double>& values, const std::vector<double>& weights)
{
    struct Block
    {
        double weight;
        double sum;
        std::size_t count;
        double mean() const { return sum / weight; }
    };
    std::vector<Block> blocks;
    blocks.reserve(values.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        blocks.push_back({weights[i], weights[i] * values[i], 1});
        while (blocks.size() > 1 && blocks[blocks.size() - 2].mean() > blocks.back().mean()) {
            const Block last = blocks.back();
            blocks.pop_back();
            blocks.back().weight += last.weight;
            blocks.back().sum += last.sum;
            blocks.back().count += last.count;
        }
    }
    std::size_t i = 0;
    for (const Block& block : blocks)
        for (std::size_t k = 0; k < block.count; ++k)
            values[i++] = block.mean();
}

class Placement
{
public:
    Placement(const LayeredGraph& graph, const std::vector<int>& fixed, const PlacementRoom& room)
        : m_graph(graph), m_fixed(fixed), m_room(room), m_y(std::size_t(graph.nodeCount()), 0.0)
    {
    }

    std::vector<double> run()
    {
        for (int layer = 0; layer < m_graph.layerCount(); ++layer)
            pack(layer);
        const int last = m_graph.layerCount() - 1;
        for (int sweep = 0; sweep < kSweeps; ++sweep) {
            // Down and up in turn; the last two sweeps look both ways.
            const bool both = sweep >= kSweeps - 2;
            const bool down = sweep % 2 == 0;
            for (int step = 0; step <= last; ++step)
                settle(down ? step : last - step, both || down, both || !down);
        }
        return std::move(m_y);
    }

private:
    double extent(int node) const
    {
        return m_graph.isEvent(node) ? m_room.eventExtent : m_room.bendExtent;
    }
    // The least distance between the centres of neighbours a, b of one layer.
    double separation(int a, int b) const
    {
        const double gap =
            m_graph.isEvent(a) && m_graph.isEvent(b) ? m_room.eventGap : m_room.bendGap;
        return (extent(a) + extent(b)) / 2 + gap;
    }
    int fixedIndex(int layer) const
    {
        const int node = m_fixed[std::size_t(layer)];
        if (node < 0)
            return -1;
        const std::vector<int>& nodes = m_graph.layers[std::size_t(layer)];
        return int(std::find(nodes.begin(), nodes.end(), node) - nodes.begin());
    }

    // The nodes tight together, the fixed one at 0, or else the middle of the layer.
    void pack(int layer)
    {
        const std::vector<int>& nodes = m_graph.layers[std::size_t(layer)];
        if (nodes.empty())
            return;
        std::vector<double> offset(nodes.size(), 0.0);
        for (std::size_t i = 1; i < nodes.size(); ++i)
            offset[i] = offset[i - 1] + separation(nodes[i - 1], nodes[i]);
        const int fixedAt = fixedIndex(layer);
        const double shift = fixedAt >= 0 ? offset[std::size_t(fixedAt)] : offset.back() / 2;
        for (std::size_t i = 0; i < nodes.size(); ++i)
            m_y[std::size_t(nodes[i])] = offset[i] - shift;
    }

    // Moves the nodes of a layer towards their neighbours before and/or after.
    void settle(int layer, bool before, bool after)
    {
        const std::vector<int>& nodes = m_graph.layers[std::size_t(layer)];
        if (nodes.empty())
            return;
        std::vector<double> wanted(nodes.size());
        std::vector<double> weight(nodes.size());
        for (std::size_t i = 0; i < nodes.size(); ++i) {
            const int node = nodes[i];
            double sum = 0;
            double total = 0;
            const auto pull = [&](std::span<const int> neighbours) {
                for (const int neighbour : neighbours) {
                    const double w = edgeWeight(m_graph, node, neighbour);
                    sum += w * m_y[std::size_t(neighbour)];
                    total += w;
                }
            };
            if (before)
                pull(m_graph.predecessors(node));
            if (after)
                pull(m_graph.successors(node));
            // A node without such neighbours keeps its place, lightly.
            wanted[i] = total > 0 ? sum / total : m_y[std::size_t(node)];
            weight[i] = total > 0 ? total : 1e-3;
        }
        const int fixedAt = fixedIndex(layer);
        if (fixedAt < 0) {
            placeRun(nodes, wanted, weight, 0, nodes.size(), std::nullopt, std::nullopt);
            return;
        }
        const auto at = std::size_t(fixedAt);
        m_y[std::size_t(nodes[at])] = 0;
        if (at > 0)
            placeRun(nodes, wanted, weight, 0, at, std::nullopt,
                     -separation(nodes[at - 1], nodes[at]));
        if (at + 1 < nodes.size())
            placeRun(nodes, wanted, weight, at + 1, nodes.size(),
                     separation(nodes[at], nodes[at + 1]), std::nullopt);
    }

    // Places nodes [from, to) of a layer closest to `wanted`, in order and apart as the room asks,
    // the first at least `low` and the last at most `high`.
    void placeRun(const std::vector<int>& nodes, const std::vector<double>& wanted,
                  const std::vector<double>& weight, std::size_t from, std::size_t to,
                  std::optional<double> low, std::optional<double> high)
    {
        // With y = z + offset the least gaps become "z never falls", which pooling solves; a
        // bound on the first or last z then bounds them all, and clipping keeps the optimum.
        const std::size_t count = to - from;
        std::vector<double> offset(count, 0.0);
        for (std::size_t i = 1; i < count; ++i)
            offset[i] = offset[i - 1] + separation(nodes[from + i - 1], nodes[from + i]);
        std::vector<double> z(count);
        std::vector<double> w(count);
        for (std::size_t i = 0; i < count; ++i) {
            z[i] = wanted[from + i] - offset[i];
            w[i] = weight[from + i];
        }
        poolAdjacentViolators(z, w);
        const double lowest = low ? *low : -std::numeric_limits<double>::infinity();
        const double highest =
            high ? *high - offset.back() : std::numeric_limits<double>::infinity();
        for (std::size_t i = 0; i < count; ++i)
            m_y[std::size_t(nodes[from + i])] = std::clamp(z[i], lowest, highest) + offset[i];
    }

    const LayeredGraph& m_graph;
    const std::vector<int>& m_fixed;
    PlacementRoom m_room;
    std::vector<double> m_y;
};

} // namespace

std::vector<double> placeAcrossLayers(const LayeredGraph& graph, const std::vector<int>& fixed,
                                      const PlacementRoom& room)
{
    return Placement(graph, fixed, room).run();
}
