#include "LayeredGraph.h"
#include "NetworkLayout.h"

#include <QTest>

#include <algorithm>
#include <cstdint>
#include <random>

using namespace Qt::StringLiterals;

namespace {

QStringList eventNames(int count)
{
    QStringList names;
    for (int event = 0; event < count; ++event)
        names.append(QString::number(event));
    return names;
}

// Random forward works over `count` events, parallel ones included.
std::vector<LayoutWork> randomWorks(int count, int works, std::uint32_t& seed)
{
    const auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    std::vector<LayoutWork> made;
    for (int i = 0; i < works; ++i) {
        const int from = int(next() % std::uint32_t(count - 1));
        const int to = from + 1 + int(next() % std::uint32_t(std::min(count - 1 - from, 4)));
        made.push_back({from, to});
    }
    return made;
}

} // namespace

// The layered form of a network, under the layout: layers, bends, the count of crossings.
class TestLayeredGraph : public QObject
{
    Q_OBJECT

private slots:
    void everyEdgeJoinsNeighbouringLayers();
    void crossingsAreThePairsOfEdgesThatCross();
    void bendsBeyondTheBudgetLeaveWorksStraight();
    void lineThatBreaksOffIsLaidAsFarAsItHolds();
};

// Works that skip layers pass through bends, one per layer; the layers are the longest chains.
void TestLayeredGraph::everyEdgeJoinsNeighbouringLayers()
{
    std::uint32_t seed = 5;
    const std::vector<LayoutWork> works = randomWorks(60, 150, seed);
    const LayeredGraph graph(60, works, eventNames(60), 1'000'000);
    for (std::size_t w = 0; w < works.size(); ++w) {
        const std::vector<int>& nodes = graph.workNodes(int(w));
        QCOMPARE(nodes.front(), works[w].from);
        QCOMPARE(nodes.back(), works[w].to);
        QCOMPARE(int(nodes.size()) - 1, graph.layer(works[w].to) - graph.layer(works[w].from));
    }
    for (int node = 0; node < graph.nodeCount(); ++node) {
        for (const int next : graph.successors(node))
            QCOMPARE(graph.layer(next), graph.layer(node) + 1);
        if (graph.isEvent(node) && graph.layer(node) > 0)
            QVERIFY(std::any_of(works.begin(), works.end(), [&](const LayoutWork& w) {
                return w.to == node && graph.layer(w.from) == graph.layer(node) - 1;
            }));
    }
    int placed = 0;
    for (const std::vector<int>& layer : graph.layers)
        placed += int(layer.size());
    QCOMPARE(placed, graph.nodeCount());
}

// The fast count agrees with comparing every pair of edges between two layers, for many orders.
void TestLayeredGraph::crossingsAreThePairsOfEdgesThatCross()
{
    std::uint32_t seed = 11;
    LayeredGraph graph(40, randomWorks(40, 120, seed), eventNames(40), 1'000'000);
    std::mt19937 shuffle(3);
    for (int round = 0; round < 20; ++round) {
        for (std::vector<int>& layer : graph.layers)
            std::shuffle(layer.begin(), layer.end(), shuffle);
        const std::vector<int> position = graph.positions();
        std::int64_t pairs = 0;
        for (const std::vector<int>& layer : graph.layers) {
            std::vector<std::pair<int, int>> edges;
            for (const int node : layer)
                for (const int next : graph.successors(node))
                    edges.emplace_back(position[std::size_t(node)], position[std::size_t(next)]);
            for (std::size_t a = 0; a < edges.size(); ++a)
                for (std::size_t b = a + 1; b < edges.size(); ++b)
                    pairs +=
                        (edges[a].first - edges[b].first) * (edges[a].second - edges[b].second) < 0
                            ? 1
                            : 0;
        }
        QCOMPARE(graph.crossings(), pairs);
    }
}

// Bends go to the chosen works and then to the shortest ones; the chosen get theirs even beyond
// the budget, and whatever no longer fits is left straight.
void TestLayeredGraph::bendsBeyondTheBudgetLeaveWorksStraight()
{
    // A chain 0-1-2-3-4-5 and works over two, three and five layers.
    std::vector<LayoutWork> works{{0, 1}, {1, 2}, {2, 3}, {3, 4}, {4, 5}, {0, 5}, {0, 3}, {1, 3}};
    const LayeredGraph budgeted(6, works, eventNames(6), 3);
    QVERIFY(budgeted.isRouted(7));  // one bend
    QVERIFY(budgeted.isRouted(6));  // two
    QVERIFY(!budgeted.isRouted(5)); // four more would pass the budget
    QCOMPARE(budgeted.nodeCount(), 6 + 3);
    const LayeredGraph chosen(6, works, eventNames(6), 3, {5});
    QVERIFY(chosen.isRouted(5));
    QVERIFY(!chosen.isRouted(7));
    QVERIFY(!chosen.isRouted(6));
    QCOMPARE(chosen.nodeCount(), 6 + 4);
}

// A path with a gap or a repeated event is laid on the line up to there.
void TestLayeredGraph::lineThatBreaksOffIsLaidAsFarAsItHolds()
{
    LayoutInput input;
    input.names = eventNames(5);
    input.works = {{0, 1}, {1, 2}, {2, 3}, {0, 3}, {3, 4}};
    input.line = {0, 1, 3, 4};
    NetworkLayout layout = layOutNetwork(input, LayoutMetrics());
    QCOMPARE(layout.onLine, std::vector<char>({1, 0, 0, 0, 0}));
    QCOMPARE(layout.centres[1].y(), layout.centres[0].y());

    input.line = {0, 1, 2, 1};
    layout = layOutNetwork(input, LayoutMetrics());
    QCOMPARE(layout.onLine, std::vector<char>({1, 1, 0, 0, 0}));
}

QTEST_GUILESS_MAIN(TestLayeredGraph)
#include "tst_layeredgraph.moc"
