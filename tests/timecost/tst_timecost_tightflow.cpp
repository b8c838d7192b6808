#include "ResidualNetwork.h"
#include "TightFlow.h"
#include "TimeCostNetwork.h"
#include "TimeCostTestSupport.h"

#include <QTest>

#include <lemon/preflow.h>
#include <lemon/smart_graph.h>

#include <random>

using namespace timecosttest;

// The maximum flow over the tight arcs, which the curve reaches only in phases that need many
// paths, against LEMON's preflow on the same arcs: layers where many paths of equal length share
// each cut.
class TstTimeCostTightFlow : public QObject
{
    Q_OBJECT

private slots:
    void raisesTheFlowOfThePreflow();
};

namespace {

// Events 0, layers of `width` and the end; every work can be shortened at a cost, and the
// durations are 1 or 2 days, so the critical works form many crossing paths.
TimeCostNetwork layers(std::mt19937& random, int count, int width)
{
    const auto uniform = [&random](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    const int end = count * width + 1;
    QStringList lines;
    const auto work = [&](int from, int to) {
        const int d = uniform(1, 2) * 2;
        const int c = uniform(10, 100);
        lines.append(QStringLiteral("%1 %2 %3 %4 %5 %6")
                         .arg(from)
                         .arg(to)
                         .arg(d)
                         .arg(c)
                         .arg(d - 1)
                         .arg(c + uniform(1, 90)));
    };
    for (int index = 0; index < width; ++index) {
        work(0, 1 + index);
        work(1 + (count - 1) * width + index, end);
    }
    for (int layer = 0; layer + 1 < count; ++layer) {
        for (int index = 0; index < width; ++index) {
            for (int k = 0; k < 3; ++k)
                work(1 + layer * width + index, 1 + (layer + 1) * width + uniform(0, width - 1));
        }
    }
    return network(lines, QStringLiteral("0"), QString::number(end));
}

// The library holds LEMON's default tolerance of doubles, and the library is never linked.
struct Tolerance
{
    using Value = double;
    bool positive(double x) const { return x > 1e-12; }
    bool less(double a, double b) const { return a + 1e-12 < b; }
};

using Capacities = lemon::SmartDigraph::ArcMap<double>;

struct PreflowTraits : lemon::PreflowDefaultTraits<lemon::SmartDigraph, Capacities>
{
    using Tolerance = ::Tolerance;
};

// The value of a maximum flow over the tight arcs by LEMON's preflow.
double preflowValue(const ResidualNetwork& residual)
{
    lemon::SmartDigraph graph;
    for (int v = 0; v < residual.nodes(); ++v)
        graph.addNode();
    Capacities capacity(graph);
    for (int v = 0; v < residual.nodes(); ++v) {
        for (int a = residual.firstOut[std::size_t(v)]; a < residual.firstOut[std::size_t(v) + 1];
             ++a) {
            if (residual.tight(v, a))
                capacity[graph.addArc(graph.nodeFromId(v),
                                      graph.nodeFromId(residual.head[std::size_t(a)]))] =
                    double(residual.room[std::size_t(a)]);
        }
    }
    lemon::Preflow<lemon::SmartDigraph, Capacities, PreflowTraits> preflow(
        graph, capacity, graph.nodeFromId(0), graph.nodeFromId(residual.sink));
    preflow.runMinCut();
    return preflow.flowValue();
}

} // namespace

void TstTimeCostTightFlow::raisesTheFlowOfThePreflow()
{
    std::mt19937 random(28);
    for (int round = 0; round < 40; ++round) {
        const TimeCostNetwork net = layers(random, 3 + round % 6, 2 + round % 7);
        const ScaledNetwork scaled = scaleNetwork(net);
        ResidualNetwork residual = residualNetwork(net, scaled);
        const ResidualNetwork before = residual;
        const double expected = preflowValue(before);
        QVERIFY(expected > 0);

        TightFlow(residual.nodes()).raise(residual);

        // A flow: within each arc's room, kept at every event but the start and the end.
        std::vector<long double> netOut(std::size_t(residual.nodes()), 0);
        for (int v = 0; v < residual.nodes(); ++v) {
            for (int a = residual.firstOut[std::size_t(v)];
                 a < residual.firstOut[std::size_t(v) + 1]; ++a) {
                const long double taken =
                    before.room[std::size_t(a)] - residual.room[std::size_t(a)];
                QVERIFY(residual.room[std::size_t(a)] >= -1e-15L);
                if (taken != 0) {
                    // Only the tight arcs carry it, forward or back.
                    QVERIFY(before.tight(v, a) || before.tight(residual.head[std::size_t(a)],
                                                               residual.partner[std::size_t(a)]));
                    netOut[std::size_t(v)] += taken;
                }
            }
        }
        for (int v = 1; v < residual.sink; ++v)
            QVERIFY(std::abs(double(netOut[std::size_t(v)])) <= 1e-12);
        const double value = double(netOut[0]);
        QVERIFY2(std::abs(value - expected) <= 1e-9 * expected,
                 qPrintable(QStringLiteral("%1 against %2").arg(value).arg(expected)));
    }
}

QTEST_GUILESS_MAIN(TstTimeCostTightFlow)
#include "tst_timecost_tightflow.moc"
