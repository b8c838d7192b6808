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
// neighbouring layers only. With `drawable` the works between two layers are a staircase (each
// next work moves one end or both one place on), which crosses nowhere in the numbered order;
// otherwise they are drawn at random. Every event has a work from the layer before it.
std::vector<LayoutWork> layeredWorks(const std::vector<int>& sizes, bool drawable,
                                     std::mt19937& random)
{
    std::vector<LayoutWork> works;
    int first = 0;
    for (std::size_t layer = 0; layer + 1 < sizes.size(); ++layer) {
        const int upper = sizes[layer];
        const int lower = sizes[layer + 1];
        const int next = first + upper;
        if (drawable) {
            int i = 0, j = 0;
            works.push_back({first, next});
            while (i + 1 < upper || j + 1 < lower) {
                const int step = int(random() % 3);
                if (i + 1 < upper && (step != 1 || j + 1 == lower))
                    ++i;
                if (j + 1 < lower && (step != 0 || i + 1 == upper))
                    ++j;
                works.push_back({first + i, next + j});
            }
        } else {
            for (int j = 0; j < lower; ++j)
                works.push_back({first + int(random() % std::uint32_t(upper)), next + j});
            for (int extra = int(random() % std::uint32_t(upper + 1)); extra > 0; --extra)
                works.push_back({first + int(random() % std::uint32_t(upper)),
                                 next + int(random() % std::uint32_t(lower))});
        }
        first = next;
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
                pairs += (edges[a].first - edges[b].first) * (edges[a].second - edges[b].second) <
                         0;
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
    void untanglesNetworksThatCanBeDrawnWithoutCrossings();
    void comesCloseToTheFewestCrossingsOnSmallNetworks();
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
        LayeredGraph graph(eventTotal(sizes), layeredWorks(sizes, false, random),
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

// A network that some order draws without crossings is drawn without them, from any order.
void TestSweepOrdering::untanglesNetworksThatCanBeDrawnWithoutCrossings()
{
    std::mt19937 random(11);
    for (int round = 0; round < 60; ++round) {
        std::vector<int> sizes;
        for (int layer = 0, count = 2 + int(random() % 6); layer < count; ++layer)
            sizes.push_back(1 + int(random() % 8));
        LayeredGraph graph(eventTotal(sizes), layeredWorks(sizes, true, random),
                           eventNames(eventTotal(sizes)), 1'000'000);
        shuffleLayers(graph, random);
        orderBySweeps(graph, 8);
        QVERIFY2(crossingPairs(graph) == 0, qPrintable(QString::number(round)));
    }
}

// On networks small enough to try every order, the sweeps find the fewest crossings or come
// within one of them.
void TestSweepOrdering::comesCloseToTheFewestCrossingsOnSmallNetworks()
{
    std::mt19937 random(13);
    int optimal = 0;
    constexpr int kRounds = 60;
    for (int round = 0; round < kRounds; ++round) {
        std::vector<int> sizes;
        for (int layer = 0; layer < 3; ++layer)
            sizes.push_back(2 + int(random() % 3));
        LayeredGraph graph(eventTotal(sizes), layeredWorks(sizes, false, random),
                           eventNames(eventTotal(sizes)), 1'000'000);
        shuffleLayers(graph, random);
        const std::int64_t fewest = fewestCrossings(graph);
        orderBySweeps(graph, 8);
        const std::int64_t found = crossingPairs(graph);
        QVERIFY(found >= fewest);
        qInfo("round %d: %lld of %lld", round, (long long)found, (long long)fewest);
        optimal += found == fewest;
    }
    qInfo("optimal %d of %d", optimal, kRounds);
}

QTEST_GUILESS_MAIN(TestSweepOrdering)
#include "tst_sweepordering.moc"
