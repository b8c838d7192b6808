#include "SweepOrdering.h"

#include "LayeredGraph.h"

#include <algorithm>

namespace {

// The median position of the neighbours (the mean of the two middle ones of an even count); a
// node without neighbours keeps its place.
double medianOf(std::span<const int> neighbours, const std::vector<int>& position, int own,
                std::vector<int>& scratch)
{
    if (neighbours.empty())
        return own;
    scratch.clear();
    for (const int neighbour : neighbours)
        scratch.push_back(position[std::size_t(neighbour)]);
    std::sort(scratch.begin(), scratch.end());
    const std::size_t half = scratch.size() / 2;
    if (scratch.size() % 2 == 1)
        return scratch[half];
    return (scratch[half - 1] + scratch[half]) / 2.0;
}

// Crossings between the edges of a and those of b (a left of b) on one side.
long long pairCrossings(std::span<const int> ofA, std::span<const int> ofB,
                        const std::vector<int>& position)
{
    long long count = 0;
    for (const int x : ofA)
        for (const int y : ofB)
            count += position[std::size_t(x)] > position[std::size_t(y)] ? 1 : 0;
    return count;
}

// Swaps neighbours of a layer while that removes crossings, a bounded number of rounds.
void transpose(LayeredGraph& graph, std::vector<int>& position)
{
    constexpr int kRounds = 4;
    for (int round = 0; round < kRounds; ++round) {
        bool improved = false;
        for (std::vector<int>& layer : graph.layers) {
            for (std::size_t i = 0; i + 1 < layer.size(); ++i) {
                const int a = layer[i];
                const int b = layer[i + 1];
                const long long kept =
                    pairCrossings(graph.predecessors(a), graph.predecessors(b), position) +
                    pairCrossings(graph.successors(a), graph.successors(b), position);
                const long long swapped =
                    pairCrossings(graph.predecessors(b), graph.predecessors(a), position) +
                    pairCrossings(graph.successors(b), graph.successors(a), position);
                if (swapped < kept) {
                    std::swap(layer[i], layer[i + 1]);
                    position[std::size_t(a)] = int(i + 1);
                    position[std::size_t(b)] = int(i);
                    improved = true;
                }
            }
        }
        if (!improved)
            return;
    }
}

} // namespace

void orderBySweeps(LayeredGraph& graph, int sweeps)
{
    std::vector<int> position = graph.positions();
    std::vector<std::vector<int>> best = graph.layers;
    long long fewest = graph.crossings();
    std::vector<int> scratch;
    std::vector<std::pair<double, int>> keyed;
    const int last = graph.layerCount() - 1;
    for (int sweep = 0; sweep < sweeps && fewest > 0; ++sweep) {
        const bool down = sweep % 2 == 0;
        for (int step = 1; step <= last; ++step) {
            const int layer = down ? step : last - step;
            std::vector<int>& nodes = graph.layers[std::size_t(layer)];
            keyed.clear();
            for (const int node : nodes) {
                const auto neighbours = down ? graph.predecessors(node) : graph.successors(node);
                keyed.emplace_back(
                    medianOf(neighbours, position, position[std::size_t(node)], scratch), node);
            }
            std::stable_sort(keyed.begin(), keyed.end(),
                             [](const auto& a, const auto& b) { return a.first < b.first; });
            for (std::size_t i = 0; i < keyed.size(); ++i) {
                nodes[i] = keyed[i].second;
                position[std::size_t(nodes[i])] = int(i);
            }
        }
        transpose(graph, position);
        const long long crossings = graph.crossings();
        if (crossings < fewest) {
            fewest = crossings;
            best = graph.layers;
        }
    }
    graph.layers = std::move(best);
}
