#include "LayeredGraph.h"
#include "VerticalPlacement.h"

#include <QTest>

#include <algorithm>
#include <cmath>
#include <random>

namespace {

QStringList eventNames(int count)
{
    QStringList names;
    for (int event = 0; event < count; ++event)
        names.append(QString::number(event));
    return names;
}

// Random forward works over `count` events, some skipping layers (and so passing bends).
std::vector<LayoutWork> randomWorks(int count, int works, std::mt19937& random)
{
    std::vector<LayoutWork> made;
    for (int i = 0; i < works; ++i) {
        const int from = int(random() % std::uint32_t(count - 1));
        const int to = from + 1 + int(random() % std::uint32_t(std::min(count - 1 - from, 4)));
        made.push_back({from, to});
    }
    return made;
}

bool isEvent(const LayeredGraph& graph, int node)
{
    return node < graph.eventCount();
}

// The least distance between the centres of two neighbours of a layer, as the room states it.
double leastDistance(const LayeredGraph& graph, const PlacementRoom& room, int a, int b)
{
    const double extentA = isEvent(graph, a) ? room.eventExtent : room.bendExtent;
    const double extentB = isEvent(graph, b) ? room.eventExtent : room.bendExtent;
    const double gap = isEvent(graph, a) && isEvent(graph, b) ? room.eventGap : room.bendGap;
    return (extentA + extentB) / 2 + gap;
}

} // namespace

// The placement of the nodes across their layers, against the room it must leave and the
// straight lines it must draw.
class TestVerticalPlacement : public QObject
{
    Q_OBJECT

private slots:
    void keepsEveryLayersOrderAndRoomAndTheFixedOnTheLine();
    void mirroredLayersGiveTheMirroredPlacement();
    void fanSpreadsEvenlyAndChainsRunStraight();
};

// Whatever the network, the room and the fixed nodes: each layer keeps its order with at least
// the room it asks between neighbours, and every fixed node stands at 0.
void TestVerticalPlacement::keepsEveryLayersOrderAndRoomAndTheFixedOnTheLine()
{
    std::mt19937 random(3);
    for (int round = 0; round < 30; ++round) {
        const int events = 5 + int(random() % 40);
        LayeredGraph graph(events, randomWorks(events, events * 2, random), eventNames(events),
                           1'000'000);
        for (std::vector<int>& layer : graph.layers)
            std::shuffle(layer.begin(), layer.end(), random);
        PlacementRoom room;
        room.eventExtent = 10 + random() % 40;
        room.bendExtent = random() % 10;
        room.eventGap = 1 + random() % 20;
        room.bendGap = 1 + random() % 10;
        std::vector<int> fixed(std::size_t(graph.layerCount()), -1);
        for (std::size_t layer = 0; layer < fixed.size(); ++layer) {
            const std::vector<int>& nodes = graph.layers[layer];
            if (random() % 3 != 0)
                fixed[layer] = nodes[random() % nodes.size()];
        }

        const std::vector<double> y = placeAcrossLayers(graph, fixed, room);
        QCOMPARE(int(y.size()), graph.nodeCount());
        for (std::size_t layer = 0; layer < fixed.size(); ++layer) {
            const std::vector<int>& nodes = graph.layers[layer];
            for (std::size_t i = 0; i + 1 < nodes.size(); ++i) {
                const double apart = y[std::size_t(nodes[i + 1])] - y[std::size_t(nodes[i])];
                QVERIFY2(apart >= leastDistance(graph, room, nodes[i], nodes[i + 1]) - 1e-9,
                         qPrintable(QStringLiteral("round %1, layer %2").arg(round).arg(layer)));
            }
            if (fixed[layer] >= 0)
                QCOMPARE(y[std::size_t(fixed[layer])], 0.0);
        }
    }
}

// The placement takes no side: turning every layer's order upside down turns the placement
// upside down.
void TestVerticalPlacement::mirroredLayersGiveTheMirroredPlacement()
{
    std::mt19937 random(5);
    for (int round = 0; round < 20; ++round) {
        const int events = 5 + int(random() % 30);
        LayeredGraph graph(events, randomWorks(events, events * 2, random), eventNames(events),
                           1'000'000);
        std::vector<int> fixed(std::size_t(graph.layerCount()), -1);
        for (std::size_t layer = 0; layer < fixed.size(); ++layer)
            if (random() % 2 == 0)
                fixed[layer] = graph.layers[layer][random() % graph.layers[layer].size()];
        const PlacementRoom room{24, 4, 12, 5};
        const std::vector<double> y = placeAcrossLayers(graph, fixed, room);
        for (std::vector<int>& layer : graph.layers)
            std::reverse(layer.begin(), layer.end());
        const std::vector<double> mirrored = placeAcrossLayers(graph, fixed, room);
        for (int node = 0; node < graph.nodeCount(); ++node)
            QVERIFY2(std::fabs(y[std::size_t(node)] + mirrored[std::size_t(node)]) < 1e-6,
                     qPrintable(QStringLiteral("round %1, node %2: %3 and %4")
                                    .arg(round)
                                    .arg(node)
                                    .arg(y[std::size_t(node)])
                                    .arg(mirrored[std::size_t(node)])));
    }
}

// One event on the line with works to five events, each going on in a chain of its own: the
// five stand evenly about the line, as close as the room allows, and every chain runs straight.
void TestVerticalPlacement::fanSpreadsEvenlyAndChainsRunStraight()
{
    constexpr int kFan = 5;
    constexpr int kLength = 4;
    std::vector<LayoutWork> works;
    for (int branch = 0; branch < kFan; ++branch) {
        works.push_back({0, 1 + branch});
        for (int step = 1; step < kLength; ++step)
            works.push_back({1 + branch + (step - 1) * kFan, 1 + branch + step * kFan});
    }
    const int events = 1 + kFan * kLength;
    const LayeredGraph graph(events, works, eventNames(events), 1'000'000);
    std::vector<int> fixed(std::size_t(graph.layerCount()), -1);
    fixed[0] = 0;
    const PlacementRoom room{20, 0, 7, 3};
    const std::vector<double> y = placeAcrossLayers(graph, fixed, room);

    QCOMPARE(y[0], 0.0);
    const double pitch = room.eventExtent + room.eventGap;
    const std::vector<int>& first = graph.layers[1];
    QCOMPARE(int(first.size()), kFan);
    for (int i = 0; i < kFan; ++i)
        QVERIFY(std::fabs(y[std::size_t(first[std::size_t(i)])] - (i - (kFan - 1) / 2.0) * pitch) <
                1e-9);
    for (int branch = 0; branch < kFan; ++branch)
        for (int step = 1; step < kLength; ++step)
            QVERIFY(std::fabs(y[std::size_t(1 + branch + step * kFan)] -
                              y[std::size_t(1 + branch)]) < 1e-9);
}

QTEST_GUILESS_MAIN(TestVerticalPlacement)
#include "tst_verticalplacement.moc"
