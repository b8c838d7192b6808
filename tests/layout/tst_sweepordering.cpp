#include "LayeredGraph.h"
#include "SweepOrdering.h"

#include <QTest>

#include <algorithm>
#include <cstdint>
#include <random>

namespace {

QStringList eventNames(int count)
{
    QStringList names;
    for (int event = 0; event < count; ++event)
        names.append(QString::number(event));
    return names;
}

// A network in layers of the given sizes, events numbered layer by layer, whose works join
// neighbouring layers only, every event having a work from the layer before it.
std::vector<LayoutWork> layeredWorks(const std::vector<int>& sizes, std::mt19937& random)
{
    std::vector<LayoutWork> works;
    int first = 0;
    for (std::size_t layer = 0; layer + 1 < sizes.size(); ++layer) {
        const int upper = sizes[layer];
        const int lower = sizes[layer + 1];
        const int next = first + upper;
        for (int j = 0; j < lower; ++j)
            works.push_back({first + int(random() % std::uint32_t(upper)), next + j});
        for (int extra = int(random() % std::uint32_t(upper + 1)); extra > 0; --extra)
            works.push_back({first + int(random() % std::uint32_t(upper)),
                             next + int(random() % std::uint32_t(lower))});
        first = next;
    }
    return works;
}

// A forest of `count` events: every event but the roots has one work into it from an earlier
// one; turned round, every event but the roots has one work out of it.
std::vector<LayoutWork> forestWorks(int count, bool turnedRound, std::mt19937& random)
{
    std::vector<LayoutWork> works;
    for (int event = 1; event < count; ++event) {
        if (random() % 6 == 0)
            continue; // another root
        const int parent = int(random() % std::uint32_t(event));
        works.push_back(turnedRound ? LayoutWork{count - 1 - event, count - 1 - parent}
                                    : LayoutWork{parent, event});
    }
    return works;
}

int eventTotal(const std::vector<int>& sizes)
{
    int total = 0;
    for (const int size : sizes)
        total += size;
    return total;
}

// Pairs of edges between two neighbouring layers whose ends lie in opposite orders.
std::int64_t crossingPairs(const LayeredGraph& graph)
{
    std::vector<int> position(std::size_t(graph.nodeCount()));
    for (const std::vector<int>& layer : graph.layers)
        for (std::size_t i = 0; i < layer.size(); ++i)
            position[std::size_t(layer[i])] = int(i);
    std::int64_t pairs = 0;
    for (const std::vector<int>& layer : graph.layers) {
        std::vector<std::pair<int, int>> edges;
        for (const int node : layer)
            for (const int next : graph.successors(node))
                edges.emplace_back(position[std::size_t(node)], position[std::size_t(next)]);
        for (std::size_t a = 0; a < edges.size(); ++a)
            for (std::size_t b = a + 1; b < edges.size(); ++b)
                pairs +=
                    (edges[a].first - edges[b].first) * (edges[a].second - edges[b].second) < 0;
    }
    return pairs;
}

// The fewest crossings of any orders of the layers: every permutation of every layer but the
// first (mirroring the first too gives nothing new, but its orders are tried as well).
std::int64_t fewestCrossings(LayeredGraph graph)
{
    std::int64_t fewest = crossingPairs(graph);
    for (std::vector<int>& layer : graph.layers)
        std::sort(layer.begin(), layer.end());
    const auto next = [&graph] {
        for (std::vector<int>& layer : graph.layers)
            if (std::next_permutation(layer.begin(), layer.end()))
                return true;
        return false;
    };
    do
        fewest = std::min(fewest, crossingPairs(graph));
    while (next());
    return fewest;
}

void shuffleLayers(LayeredGraph& graph, std::mt19937& random)
{
    for (std::vector<int>& layer : graph.layers)
        std::shuffle(layer.begin(), layer.end(), random);
}

} // namespace

// The ordering of the layers by sweeps, against orders counted and searched by brute force.
class TestSweepOrdering : public QObject
{
    Q_OBJECT

private slots:
    void rearrangesEachLayerAndNeverAddsCrossings();
    void untanglesTrees();
    void findsTheFewestCrossingsOnMostSmallNetworks();
};

// The sweeps only reorder each layer's own nodes, and keep the best order met, which is never
// worse than the order they began with.
void TestSweepOrdering::rearrangesEachLayerAndNeverAddsCrossings()
{
    std::mt19937 random(7);
    for (int round = 0; round < 40; ++round) {
        std::vector<int> sizes;
        for (int layer = 0, count = 2 + int(random() % 6); layer < count; ++layer)
            sizes.push_back(1 + int(random() % 7));
        LayeredGraph graph(eventTotal(sizes), layeredWorks(sizes, random),
                           eventNames(eventTotal(sizes)), 1'000'000);
        shuffleLayers(graph, random);
        const std::vector<std::vector<int>> before = graph.layers;
        const std::int64_t crossingsBefore = crossingPairs(graph);
        orderBySweeps(graph, 8);
        QCOMPARE(graph.layers.size(), before.size());
        for (std::size_t layer = 0; layer < before.size(); ++layer)
            QVERIFY(std::is_permutation(graph.layers[layer].begin(), graph.layers[layer].end(),
                                        before[layer].begin(), before[layer].end()));
        QVERIFY(crossingPairs(graph) <= crossingsBefore);
    }
}

// A network in which every event has at most one work into it, or at most one out of it, can be
// drawn without crossings (each layer grouped by its neighbours' order): the sweeps draw it so,
// from any order.
void TestSweepOrdering::untanglesTrees()
{
    std::mt19937 random(11);
    int tangled = 0;
    constexpr int kRounds = 40;
    for (int round = 0; round < kRounds; ++round) {
        const int events = 5 + int(random() % 40);
        LayeredGraph graph(events, forestWorks(events, round % 2 == 1, random), eventNames(events),
                           1'000'000);
        shuffleLayers(graph, random);
        tangled += crossingPairs(graph) > 0 ? 1 : 0;
        orderBySweeps(graph, 8);
        QCOMPARE(crossingPairs(graph), std::int64_t(0));
    }
    QVERIFY(tangled > kRounds / 2);
}

// On networks small enough to try every order, the sweeps mostly find the fewest crossings
// (56 of these 60 when this was written).
void TestSweepOrdering::findsTheFewestCrossingsOnMostSmallNetworks()
{
    std::mt19937 random(13);
    int optimal = 0;
    constexpr int kRounds = 60;
    for (int round = 0; round < kRounds; ++round) {
        std::vector<int> sizes;
        for (int layer = 0; layer < 3; ++layer)
            sizes.push_back(2 + int(random() % 3));
        LayeredGraph graph(eventTotal(sizes), layeredWorks(sizes, random),
                           eventNames(eventTotal(sizes)), 1'000'000);
        shuffleLayers(graph, random);
        const std::int64_t fewest = fewestCrossings(graph);
        orderBySweeps(graph, 8);
        const std::int64_t found = crossingPairs(graph);
        QVERIFY(found >= fewest);
        optimal += found == fewest ? 1 : 0;
    }
    QVERIFY2(optimal * 6 >= kRounds * 5, qPrintable(QString::number(optimal)));
}

QTEST_GUILESS_MAIN(TestSweepOrdering)
#include "tst_sweepordering.moc"
