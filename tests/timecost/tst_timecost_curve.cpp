#include "KestrinError.h"
#include "TimeCostCurve.h"
#include "TimeCostNetwork.h"
#include "TimeCostTestSupport.h"
#include "TotalCost.h"

#include <QTest>

#include <lemon/list_graph.h>
#include <lemon/network_simplex.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <tuple>

using namespace timecosttest;

// The least-cost curve against what it must be: hand-solved textbook networks, every integer
// shortening of small random networks, and an independent minimum-cost flow solver (LEMON's
// network simplex) at every corner of larger ones.
class TstTimeCostCurve : public QObject
{
    Q_OBJECT

private slots:
    void handSolved_data();
    void handSolved();
    void matchesEveryIntegerShortening();
    void matchesNetworkSimplexOnLargerNetworks_data();
    void matchesNetworkSimplexOnLargerNetworks();
    void refusesWorksThatCannotExist_data();
    void refusesWorksThatCannotExist();
};

namespace {

// "T|cost|work=duration ..." per point, works named by their start and end events ("A-B").
QStringList describe(const TimeCostNetwork& network, const TimeCostCurve& curve)
{
    QStringList points;
    for (std::size_t i = 0; i < curve.points.size(); ++i) {
        const CurvePoint& point = curve.points[i];
        QStringList shortened;
        for (const WorkDuration& s : shortenedAt(network, curve, i)) {
            const CostedWork& work = network.works[std::size_t(s.work)];
            shortened.append(network.eventNames[work.startEvent] + QLatin1Char('-') +
                             network.eventNames[work.endEvent] + QLatin1Char('=') +
                             s.duration.text(pointNumbers()));
        }
        const bool whole = boost::multiprecision::denominator(point.directCost) == 1;
        points.append(point.length.text(pointNumbers()) + QLatin1Char('|') +
                      (whole ? QString::fromStdString(point.directCost.str())
                             : QStringLiteral("~") +
                                   pointNumbers().format(exactcost::nearest(point.directCost))) +
                      QLatin1Char('|') + shortened.join(QLatin1Char(' ')));
    }
    return points;
}

} // namespace

void TstTimeCostCurve::handSolved_data()
{
    QTest::addColumn<QStringList>("works");
    QTest::addColumn<QStringList>("expected");

    // Two critical paths of 7 days. Speeding up one work alone gains nothing: each day needs the
    // cheapest work of each path, B and C at 20 a day each; once B is at its shortest, D (40)
    // takes its place.
    QTest::newRow("two critical paths")
        << texts({"1 2 4 100 2 160", "1 3 4 80 3 100", "2 4 3 50 1 90", "3 4 3 60 2 100"})
        << texts({"7|290|", "6|330|1-3=3 2-4=2", "5|390|1-3=3 2-4=1 3-4=2"});

    // The bridge 2-3 is the cheapest to shorten first (10 a day, 2 days); then all three paths
    // are critical and the cheapest cut is A and D with the bridge given its days back
    // (30 + 30 - 10 = 50 a day), which a step-by-step crashing never undoes; then B, C and the
    // bridge again (90 a day).
    QTest::newRow("shortening undone")
        << texts({"1 2 3 100 1 160", "1 3 5 200 3 280", "2 4 5 150 3 230", "3 4 3 120 1 180",
                  "2 3 4 80 2 100"})
        << texts({"10|650|", "8|670|2-3=2", "6|770|1-2=1 3-4=1",
                  "4|950|1-2=1 1-3=3 2-4=3 3-4=1 2-3=2"});

    // 0.1 + 0.2 is exactly 0.3 here, so both paths are critical from the start; the bridge's
    // cost a day is 5/3, so the middle cost is a fraction and the last a decimal again.
    QTest::newRow("decimals") << texts({"1 2 0.1 10.05 0.05 10.10", "2 4 0.2 20 0.1 20.3",
                                        "1 4 0.3 7.5 0.24 7.6"})
                              << texts({"0.3|~37.55|", "0.25|~37.6833333333333|1-2=0.05 1-4=0.25",
                                        "0.24|~37.73|1-2=0.05 2-4=0.19 1-4=0.24"});

    // Works that cannot be shortened, one shortened for nothing (only when it helps) and works
    // off every path from 1 to 4.
    QTest::newRow("fixed, free and idle works")
        << texts({"1 2 2 10", "2 4 3 5 1 5", "1 3 4 20 2 60", "3 4 1 1", "2 5 9 1 1 50", "5 6 1 1"})
        << texts({"5|38|", "3|78|2-4=1 1-3=2"});
}

void TstTimeCostCurve::handSolved()
{
    QFETCH(QStringList, works);
    QFETCH(QStringList, expected);
    const TimeCostNetwork net = network(works, QStringLiteral("1"), QStringLiteral("4"));
    const TimeCostCurve curve = timeCostCurve(net);
    QCOMPARE(describe(net, curve), expected);
}

namespace {

// A small random network with integer durations 0..4 and integer costs: events 0..n-1, works
// only forward so there is no loop, a chain that joins start and end, and some works that lie on
// no path from the start to the end.
TimeCostNetwork randomNetwork(std::mt19937& random, int events, int works)
{
    const auto uniform = [&random](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    QStringList lines;
    const auto work = [&](int from, int to) {
        const int d = uniform(0, 4);
        const int c = uniform(0, 20);
        QString line = QStringLiteral("%1 %2 %3 %4").arg(from).arg(to).arg(d).arg(c);
        if (uniform(0, 3) > 0)
            line += QStringLiteral(" %1 %2").arg(uniform(0, d)).arg(c + uniform(0, 12));
        lines.append(line);
    };
    for (int e = 0; e + 1 < events;) {
        const int next = std::min(events - 1, e + uniform(1, 2));
        work(e, next);
        e = next;
    }
    while (lines.size() < works) {
        const int from = uniform(0, events - 2);
        work(from, uniform(from + 1, events - 1));
    }
    QStringList names;
    for (int e = 0; e < events; ++e)
        names.append(QString::number(e));
    TimeCostNetwork net = network(lines);
    // network() names events as met; put them back in number order.
    for (CostedWork& w : net.works) {
        w.startEvent = net.eventNames[w.startEvent].toInt();
        w.endEvent = net.eventNames[w.endEvent].toInt();
    }
    net.eventNames = names;
    net.startEvent = 0;
    net.endEvent = events - 1;
    return net;
}

// The longest path from start to end with the given integer durations (-1: the end is not
// reached).
std::int64_t longestPath(const TimeCostNetwork& net, const std::vector<std::int64_t>& durations)
{
    std::vector<std::int64_t> time(std::size_t(net.eventNames.size()), -1);
    time[std::size_t(net.startEvent)] = 0;
    for (int e = 0; e < int(net.eventNames.size()); ++e) { // events numbered in path order
        for (std::size_t w = 0; w < net.works.size(); ++w) {
            if (net.works[w].startEvent == e && time[std::size_t(e)] >= 0)
                time[std::size_t(net.works[w].endEvent)] = std::max(
                    time[std::size_t(net.works[w].endEvent)], time[std::size_t(e)] + durations[w]);
        }
    }
    return time[std::size_t(net.endEvent)];
}

// The exact cost of a plan of durations (linear between normal and shortest).
ExactCost planCost(const TimeCostNetwork& net, const std::vector<std::int64_t>& durations)
{
    ExactCost total = 0;
    for (std::size_t w = 0; w < net.works.size(); ++w) {
        const CostedWork& work = net.works[w];
        total += exactcost::fromDecimal(work.cost);
        const std::int64_t d = work.duration.units();
        if (durations[w] < d) {
            const std::int64_t d0 = work.shortestDuration->units();
            total +=
                (exactcost::fromDecimal(*work.shortestCost) - exactcost::fromDecimal(work.cost)) *
                ExactCost(d - durations[w], d - d0);
        }
    }
    return total;
}

// The curve's value at T, straight between its points.
ExactCost curveAt(const TimeCostCurve& curve, std::int64_t length)
{
    for (std::size_t i = 1; i < curve.points.size(); ++i) {
        const CurvePoint& longer = curve.points[i - 1];
        const CurvePoint& shorter = curve.points[i];
        if (shorter.length.units() <= length)
            return shorter.directCost +
                   (longer.directCost - shorter.directCost) *
                       ExactCost(length - shorter.length.units(),
                                 longer.length.units() - shorter.length.units());
    }
    return curve.points.front().directCost;
}

std::vector<std::int64_t> planOf(const TimeCostNetwork& net, const TimeCostCurve& curve,
                                 std::size_t index)
{
    std::vector<std::int64_t> durations;
    for (const CostedWork& work : net.works)
        durations.push_back(work.duration.units());
    const std::vector<WorkDuration> plan = shortenedAt(net, curve, index);
    for (const WorkDuration& s : plan)
        durations[std::size_t(s.work)] = s.duration.units();
    if (int(plan.size()) != curve.points[index].shortenedCount)
        durations.clear();
    return durations;
}

} // namespace

void TstTimeCostCurve::matchesEveryIntegerShortening()
{
    std::mt19937 random(20261207);
    for (int round = 0; round < 150; ++round) {
        const TimeCostNetwork net = randomNetwork(random, 3 + round % 4, 4 + round % 5);
        const TimeCostCurve curve = timeCostCurve(net);

        // Every plan of integer durations between shortest and normal: the least cost of each
        // length it reaches. The works' constraints form a network matrix, so at integer lengths
        // the least over integer plans is the least over all.
        std::map<std::int64_t, ExactCost> leastAtLength;
        std::vector<std::int64_t> plan;
        for (const CostedWork& work : net.works)
            plan.push_back(work.duration.units());
        for (;;) {
            const std::int64_t length = longestPath(net, plan);
            const ExactCost cost = planCost(net, plan);
            const auto [at, added] = leastAtLength.try_emplace(length, cost);
            if (!added && cost < at->second)
                at->second = cost;
            std::size_t w = 0;
            for (; w < plan.size(); ++w) {
                const CostedWork& work = net.works[w];
                const std::int64_t least =
                    work.shortestDuration ? work.shortestDuration->units() : work.duration.units();
                if (plan[w] > least) {
                    --plan[w];
                    break;
                }
                plan[w] = work.duration.units();
            }
            if (w == plan.size())
                break;
        }
        // Within T is at most T: the least over every length up to T.
        ExactCost best = leastAtLength.begin()->second;
        std::map<std::int64_t, ExactCost> leastWithin;
        for (const auto& [length, cost] : leastAtLength) {
            best = std::min(best, cost);
            leastWithin[length] = best;
        }
        const std::int64_t shortest = leastAtLength.begin()->first;
        const std::int64_t normal = leastAtLength.rbegin()->first;

        const QByteArray context = describe(net, curve).join(QLatin1String("; ")).toUtf8();
        QCOMPARE(curve.points.front().length.units(), normal);
        QCOMPARE(curve.points.back().length.units(), shortest);
        for (std::int64_t length = shortest; length <= normal; ++length) {
            const auto within = std::prev(leastWithin.upper_bound(length));
            QVERIFY2(curveAt(curve, length) == within->second, context.constData());
        }
        for (std::size_t i = 0; i < curve.points.size(); ++i) {
            const CurvePoint& point = curve.points[i];
            const std::vector<std::int64_t> durations = planOf(net, curve, i);
            QVERIFY2(durations.size() == net.works.size(), context.constData());
            QVERIFY2(longestPath(net, durations) <= point.length.units(), context.constData());
            QVERIFY2(planCost(net, durations) == point.directCost, context.constData());
        }
        for (std::size_t i = 2; i < curve.points.size(); ++i) {
            const auto slope = [&curve](std::size_t k) {
                return (curve.points[k].directCost - curve.points[k - 1].directCost) /
                       ExactCost(curve.points[k - 1].length.units() -
                                 curve.points[k].length.units());
            };
            QVERIFY2(slope(i) > slope(i - 1), context.constData()); // a corner at every point
        }

        // The total with a cost a day: its least over every integer length, the shortest of
        // equals.
        const Decimal perDay(std::uniform_int_distribution<int>(0, 30)(random), 0);
        const TotalCosts totals = totalCosts(curve, perDay);
        std::int64_t bestLength = normal;
        ExactCost bestTotal = curveAt(curve, normal) + ExactCost(perDay.units() * normal);
        for (std::int64_t length = normal; length >= shortest; --length) {
            const ExactCost total = leastWithin.at(length) + ExactCost(perDay.units() * length);
            if (total <= bestTotal) {
                bestTotal = total;
                bestLength = length;
            }
        }
        const std::size_t chosen = std::size_t(totals.best);
        QVERIFY2(totals.points[chosen].totalCost == bestTotal, context.constData());
        QVERIFY2(curve.points[chosen].length.units() == bestLength, context.constData());
    }
}

namespace {

// The least cost of finishing within T by LEMON's network simplex, independently of the
// engine's flow: the circulation dual to the shortening problem, each work an arc as long as its
// normal duration carrying at most its cost a day and one as long as its shortest carrying any
// amount, and the end joined back to the start at cost T. No solution below the shortest length.
std::optional<double> simplexCost(const TimeCostNetwork& net, std::int64_t length)
{
    lemon::ListDigraph graph;
    std::vector<lemon::ListDigraph::Node> nodes;
    for (int e = 0; e < int(net.eventNames.size()); ++e)
        nodes.push_back(graph.addNode());
    lemon::ListDigraph::ArcMap<double> upper(graph);
    lemon::ListDigraph::ArcMap<long long> cost(graph);
    const double unbounded = std::numeric_limits<double>::infinity();
    double normal = 0;
    for (const CostedWork& work : net.works) {
        const auto from = nodes[std::size_t(work.startEvent)];
        const auto to = nodes[std::size_t(work.endEvent)];
        normal += double(work.cost.units());
        const std::int64_t d = work.duration.units();
        const std::int64_t d0 = work.shortestDuration ? work.shortestDuration->units() : d;
        if (d0 < d) {
            const auto a = graph.addArc(from, to);
            upper[a] = double(work.shortestCost->units() - work.cost.units()) / double(d - d0);
            cost[a] = -d;
        }
        const auto b = graph.addArc(from, to);
        upper[b] = unbounded;
        cost[b] = -d0;
    }
    const auto back =
        graph.addArc(nodes[std::size_t(net.endEvent)], nodes[std::size_t(net.startEvent)]);
    upper[back] = unbounded;
    cost[back] = length;
    lemon::NetworkSimplex<lemon::ListDigraph, double, long long> simplex(graph);
    simplex.upperMap(upper).costMap(cost);
    if (simplex.run() != decltype(simplex)::OPTIMAL)
        return std::nullopt;
    return normal - simplex.totalCost<double>();
}

} // namespace

namespace {

// "from to d c d0 c0" with random numbers: 1..20 days, shortest a third or more, costs rising
// 0..200 over the shortening, so costs a day are fractions of every kind and some are free.
QString randomWork(std::mt19937& random, int from, int to)
{
    const auto uniform = [&random](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    const int d = uniform(1, 20);
    const int c = uniform(10, 100);
    return QStringLiteral("%1 %2 %3 %4 %5 %6")
        .arg(from)
        .arg(to)
        .arg(d)
        .arg(c)
        .arg(uniform((d + 2) / 3, d))
        .arg(c + uniform(0, 200));
}

// Events numbered in path order from 0 to `events` - 1, the first the start and the last the end.
TimeCostNetwork numberedNetwork(const QStringList& lines, int events)
{
    TimeCostNetwork net = network(lines);
    for (CostedWork& w : net.works) {
        w.startEvent = net.eventNames[w.startEvent].toInt();
        w.endEvent = net.eventNames[w.endEvent].toInt();
    }
    net.eventNames.clear();
    for (int e = 0; e < events; ++e)
        net.eventNames.append(QString::number(e));
    net.startEvent = 0;
    net.endEvent = events - 1;
    return net;
}

// 40 events in order and 150 forward works, each spanning up to 6 events: many corners and
// shortenings undone.
TimeCostNetwork forwardNetwork(std::mt19937& random)
{
    QStringList lines;
    for (int w = 0; w < 150; ++w) {
        const int from = w < 39 ? w : std::uniform_int_distribution<int>(0, 38)(random);
        const int to =
            w < 39 ? w + 1
                   : std::uniform_int_distribution<int>(from + 1, std::min(39, from + 6))(random);
        lines.append(randomWork(random, from, to));
    }
    return numberedNetwork(lines, 40);
}

// 250 works one after another: a corner for nearly every work, the cheapest cut moving up and
// down the chain from one corner to the next.
TimeCostNetwork chainNetwork(std::mt19937& random)
{
    QStringList lines;
    for (int w = 0; w < 250; ++w)
        lines.append(randomWork(random, w, w + 1));
    return numberedNetwork(lines, 251);
}

// 12 layers of 6 events, each event with three works into the next layer: many paths share each
// cut, so a corner needs the flow raised along several paths at once.
TimeCostNetwork layeredNetwork(std::mt19937& random)
{
    constexpr int kLayers = 12;
    constexpr int kWidth = 6;
    const int end = kLayers * kWidth + 1;
    const auto event = [](int layer, int index) {
        return 1 + layer * kWidth + index;
    };
    QStringList lines;
    for (int index = 0; index < kWidth; ++index) {
        lines.append(randomWork(random, 0, event(0, index)));
        lines.append(randomWork(random, event(kLayers - 1, index), end));
    }
    for (int layer = 0; layer + 1 < kLayers; ++layer) {
        for (int index = 0; index < kWidth; ++index) {
            for (int k = 0; k < 3; ++k)
                lines.append(randomWork(
                    random, event(layer, index),
                    event(layer + 1, std::uniform_int_distribution<int>(0, kWidth - 1)(random))));
        }
    }
    return numberedNetwork(lines, end + 1);
}

// 80 paths of two works side by side, all of 100 days: every path is critical from the start, so
// the first corners need the flow raised along more paths than one search a path is allowed.
TimeCostNetwork sideBySideNetwork(std::mt19937& random)
{
    const auto uniform = [&random](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    constexpr int kPaths = 80;
    QStringList lines;
    for (int path = 1; path <= kPaths; ++path) {
        const int split = uniform(1, 9);
        for (const auto& [from, to, d] :
             {std::tuple{0, path, split}, std::tuple{path, kPaths + 1, 10 - split}}) {
            const int c = uniform(10, 100);
            lines.append(QStringLiteral("%1 %2 %3 %4 %5 %6")
                             .arg(from)
                             .arg(to)
                             .arg(d)
                             .arg(c)
                             .arg(uniform(0, (d - 1) / 3))
                             .arg(c + uniform(0, 200)));
        }
    }
    return numberedNetwork(lines, kPaths + 2);
}

using NetworkMaker = TimeCostNetwork (*)(std::mt19937&);

} // namespace

Q_DECLARE_METATYPE(NetworkMaker)

void TstTimeCostCurve::matchesNetworkSimplexOnLargerNetworks_data()
{
    QTest::addColumn<NetworkMaker>("make");
    QTest::addColumn<int>("rounds");
    QTest::newRow("forward works") << NetworkMaker(forwardNetwork) << 6;
    QTest::newRow("one chain") << NetworkMaker(chainNetwork) << 2;
    QTest::newRow("layers") << NetworkMaker(layeredNetwork) << 3;
    QTest::newRow("paths side by side") << NetworkMaker(sideBySideNetwork) << 2;
}

void TstTimeCostCurve::matchesNetworkSimplexOnLargerNetworks()
{
    QFETCH(NetworkMaker, make);
    QFETCH(int, rounds);
    std::mt19937 random(7);
    for (int round = 0; round < rounds; ++round) {
        const TimeCostNetwork net = make(random);
        const TimeCostCurve curve = timeCostCurve(net);
        QVERIFY(curve.points.size() > 5);
        const auto agrees = [&net](std::int64_t length, const ExactCost& expected) {
            const std::optional<double> simplex = simplexCost(net, length);
            const double engine = double(exactcost::nearest(expected));
            return simplex && std::abs(*simplex - engine) <= 1e-9 * engine;
        };
        for (std::size_t i = 0; i < curve.points.size(); ++i) {
            const CurvePoint& point = curve.points[i];
            const QByteArray where = point.length.text(pointNumbers()).toUtf8();
            QVERIFY2(agrees(point.length.units(), point.directCost), where.constData());
            // The corner's plan reaches its length at exactly its cost.
            const std::vector<std::int64_t> durations = planOf(net, curve, i);
            QVERIFY2(durations.size() == net.works.size(), where.constData());
            QVERIFY2(longestPath(net, durations) <= point.length.units(), where.constData());
            QVERIFY2(planCost(net, durations) == point.directCost, where.constData());
            if (i > 0) {
                const std::int64_t middle =
                    (point.length.units() + curve.points[i - 1].length.units()) / 2;
                QVERIFY2(agrees(middle, curveAt(curve, middle)),
                         qPrintable(QString::number(middle)));
            }
        }
        for (std::size_t i = 2; i < curve.points.size(); ++i) {
            const auto slope = [&curve](std::size_t k) {
                return (curve.points[k].directCost - curve.points[k - 1].directCost) /
                       ExactCost(curve.points[k - 1].length.units() -
                                 curve.points[k].length.units());
            };
            QVERIFY(slope(i) > slope(i - 1)); // a corner at every point
        }
        QVERIFY(!simplexCost(net, curve.points.back().length.units() - 1));
    }
}

void TstTimeCostCurve::refusesWorksThatCannotExist_data()
{
    QTest::addColumn<QStringList>("works");
    QTest::addColumn<QString>("message");

    QTest::newRow("shortest above normal")
        << texts({"A B 2 10 3 20"})
        << QStringLiteral("Работа «A»→«B»: кратчайшая продолжительность 3 больше "
                          "продолжительности 2");
    QTest::newRow("negative cost") << texts({"A B 2 10", "B C 1 -4"})
                                   << QStringLiteral("Работа «B»→«C»: отрицательная стоимость -4");
    QTest::newRow("shortest cost below normal")
        << texts({"A B 2 10 1 8"})
        << QStringLiteral("Работа «A»→«B»: стоимость 8 при кратчайшей продолжительности "
                          "меньше стоимости 10 при продолжительности");
    QTest::newRow("loop") << texts({"A B 1 1", "B C 1 1", "C D 1 1", "D B 1 1", "C E 1 1"})
                          << QStringLiteral("Сетевой график содержит цикл: B -> C -> D -> B");
    QTest::newRow("end not reached")
        << texts({"A B 1 1", "C E 1 1"})
        << QStringLiteral("Событие «E» недостижимо из начального события «A»");
}

void TstTimeCostCurve::refusesWorksThatCannotExist()
{
    QFETCH(QStringList, works);
    QFETCH(QString, message);
    const TimeCostNetwork net = network(works, QStringLiteral("A"));
    try {
        timeCostCurve(net);
        QFAIL("accepted");
    } catch (const KestrinError& error) {
        QCOMPARE(error.message(), message);
    }
}

QTEST_GUILESS_MAIN(TstTimeCostCurve)
#include "tst_timecost_curve.moc"
