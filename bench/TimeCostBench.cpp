#include "Bench.h"

#include "TimeCostCurve.h"
#include "TimeCostNetwork.h"
#include "TotalCost.h"

#include <random>

// The whole least-cost curve of layered projects: how long the engine takes from the normal length
// down to the shortest, corner by corner.
namespace {

enum class Grid { Days, Quarters };

// Events in 100 layers, each with three works to the next layer (now and then the one after), a
// start before the first layer and an end after the last. Durations 1-20 days (or 0.25-10 in
// quarters); nine works in ten can be shortened, to between a third and all of their duration,
// for 0-500 more on a cost of 100-1000, so costs a day are fractions of every kind.
TimeCostNetwork layeredProject(int works, Grid grid, std::uint64_t seed)
{
    constexpr int kLayers = 100;
    constexpr int kOut = 3;
    const int width = std::max(1, works / (kLayers * kOut));
    std::mt19937_64 random(seed);
    const auto uniform = [&random](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    TimeCostNetwork network;
    for (int layer = 0; layer < kLayers; ++layer) {
        for (int index = 0; index < width; ++index)
            network.eventNames.append(QStringLiteral("E%1.%2").arg(layer).arg(index));
    }
    network.startEvent = int(network.eventNames.size());
    network.eventNames.append(QStringLiteral("Start"));
    network.endEvent = int(network.eventNames.size());
    network.eventNames.append(QStringLiteral("End"));
    const int decimals = grid == Grid::Quarters ? 2 : 0;
    const auto add = [&](int from, int to) {
        CostedWork work;
        work.startEvent = from;
        work.endEvent = to;
        const int units = grid == Grid::Quarters ? 25 * uniform(1, 40) : uniform(1, 20);
        work.duration = Decimal(units, decimals);
        const int cost = uniform(100, 1000);
        work.cost = Decimal(cost, 0);
        if (uniform(1, 10) > 1) {
            const int shortest = grid == Grid::Quarters
                                     ? 25 * uniform((units / 25 + 2) / 3, units / 25)
                                     : uniform((units + 2) / 3, units);
            work.shortestDuration = Decimal(shortest, decimals);
            work.shortestCost = Decimal(cost + uniform(0, 500), 0);
        }
        network.works.push_back(work);
    };
    for (int index = 0; index < width; ++index)
        add(network.startEvent, index);
    for (int layer = 0; layer + 1 < kLayers; ++layer) {
        for (int index = 0; index < width; ++index) {
            for (int k = 0; k < kOut; ++k) {
                const int next = layer + 2 < kLayers && uniform(1, 10) == 1 ? layer + 2 : layer + 1;
                const int target = k == 0 ? index : uniform(0, width - 1);
                add(layer * width + index, next * width + target);
            }
        }
    }
    for (int index = 0; index < width; ++index)
        add((kLayers - 1) * width + index, network.endEvent);
    // The rounding of the width leaves some works over: between random neighbouring layers.
    while (int(network.works.size()) < works) {
        const int layer = uniform(0, kLayers - 2);
        add(layer * width + uniform(0, width - 1), (layer + 1) * width + uniform(0, width - 1));
    }
    return network;
}

// A project of works one after another, each shortenable at a cost a day of its own: every work
// reaching its shortest makes a corner, the most corners a network of that many works can have.
TimeCostNetwork chainProject(int works, std::uint64_t seed)
{
    std::mt19937_64 random(seed);
    const auto uniform = [&random](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    TimeCostNetwork network;
    for (int event = 0; event <= works; ++event)
        network.eventNames.append(QString::number(event));
    network.startEvent = 0;
    network.endEvent = works;
    for (int w = 0; w < works; ++w) {
        CostedWork work;
        work.startEvent = w;
        work.endEvent = w + 1;
        const int days = uniform(2, 20);
        const int cost = uniform(100, 1000);
        work.duration = Decimal(days, 0);
        work.cost = Decimal(cost, 0);
        work.shortestDuration = Decimal(uniform(1, days - 1), 0);
        work.shortestCost = Decimal(cost + uniform(1, 100'000), 0);
        network.works.push_back(work);
    }
    return network;
}

// Works between random events in order, a quarter as many events as works: a chain through all
// of them and the rest each spanning up to ten events ahead, with the costs of layeredProject.
TimeCostNetwork randomProject(int works, std::uint64_t seed)
{
    std::mt19937_64 random(seed);
    const auto uniform = [&random](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    const int events = std::max(2, works / 4);
    TimeCostNetwork network;
    for (int event = 0; event < events; ++event)
        network.eventNames.append(QString::number(event));
    network.startEvent = 0;
    network.endEvent = events - 1;
    for (int w = 0; w < works; ++w) {
        const int from = w + 1 < events ? w : uniform(0, events - 2);
        const int to = w + 1 < events ? w + 1 : uniform(from + 1, std::min(events - 1, from + 10));
        CostedWork work;
        work.startEvent = from;
        work.endEvent = to;
        const int days = uniform(1, 20);
        const int cost = uniform(100, 1000);
        work.duration = Decimal(days, 0);
        work.cost = Decimal(cost, 0);
        if (uniform(1, 10) > 1) {
            work.shortestDuration = Decimal(uniform((days + 2) / 3, days), 0);
            work.shortestCost = Decimal(cost + uniform(0, 500), 0);
        }
        network.works.push_back(work);
    }
    return network;
}

void measure(const QString& name, const TimeCostNetwork& network)
{
    TimeCostCurve curve;
    const double seconds = bench::seconds([&] { curve = timeCostCurve(network); });
    std::size_t changes = 0;
    for (const CurvePoint& point : curve.points)
        changes += point.changed.size();
    const double totalSeconds = bench::seconds([&] { totalCosts(curve, Decimal(5000, 0)); });
    bench::report(name.arg(network.works.size()),
                  QStringLiteral("%1 s, %2 corners (%3 changes of duration, %4 works "
                                 "shortened at the last), totals %5 s, peak %6 MB")
                      .arg(seconds, 0, 'f', 3)
                      .arg(curve.points.size())
                      .arg(changes)
                      .arg(curve.points.back().shortenedCount)
                      .arg(totalSeconds, 0, 'f', 3)
                      .arg(bench::peakRssMegabytes(), 0, 'f', 0));
}

} // namespace

void benchTimeCost()
{
    for (const int works : {1'000, 10'000}) {
        for (const Grid grid : {Grid::Days, Grid::Quarters}) {
            measure(grid == Grid::Days ? QStringLiteral("time-cost curve, %1 works, whole days")
                                       : QStringLiteral("time-cost curve, %1 works, quarter days"),
                    layeredProject(works, grid, 2026));
        }
    }
    for (const int works : {1'000, 10'000})
        measure(QStringLiteral("time-cost curve, %1 works at random"), randomProject(works, 2026));
    for (const int works : {1'000, 10'000})
        measure(QStringLiteral("time-cost curve, %1 works in one chain"),
                chainProject(works, 2026));
}
