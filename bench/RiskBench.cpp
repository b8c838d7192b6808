#include "Bench.h"

#include "AnalyticRisk.h"
#include "DurationDistribution.h"
#include "RiskSimulation.h"

#include <boost/math/special_functions/beta.hpp>

#include <QString>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <sys/resource.h>
#include <thread>

// The risk simulation: runs × works per second on every core against one plain forward pass,
// memory against the number of runs, and the accuracy of the tabulated beta law.
namespace {

using namespace risk;

// A project in layers of events, as the schedule section's: three works from every event to the
// next layer (now and then to the one after), estimates in tenths of days.
RiskNetwork layeredNetwork(int works, std::uint64_t seed)
{
    constexpr int kLayers = 100;
    constexpr int kOut = 3;
    const int width = std::max(1, works / (kLayers * kOut));
    std::mt19937_64 random(seed);
    std::uniform_int_distribution<int> column(0, width - 1);
    std::uniform_int_distribution<int> tenths(1, 100);
    std::uniform_real_distribution<double> share(0, 1);
    const auto event = [&](int layer, int index) {
        return layer < 0 ? 0 : layer >= kLayers ? 1 + kLayers * width : 1 + layer * width + index;
    };
    std::vector<RiskWork> list;
    const auto add = [&](int from, int to) {
        const long double a = tenths(random) / 10.0L;
        const long double m = a + tenths(random) / 10.0L;
        list.push_back({from, to, m, a, m + tenths(random) / 5.0L});
    };
    for (int index = 0; index < width; ++index)
        add(event(-1, 0), event(0, index));
    for (int layer = 0; layer + 1 < kLayers; ++layer)
        for (int index = 0; index < width; ++index)
            for (int k = 0; k < kOut; ++k) {
                const int next = layer + 2 < kLayers && share(random) < 0.1 ? layer + 2 : layer + 1;
                add(event(layer, index), event(next, k == 0 ? index : column(random)));
            }
    for (int index = 0; index < width; ++index)
        add(event(kLayers - 1, index), event(kLayers, 0));
    return RiskNetwork(std::move(list), 2 + kLayers * width, 0, 1 + kLayers * width);
}

// User and system time of every thread of the process so far: on a machine shared with other
// work, wall time alone says little.
double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// One forward pass over the network with fixed durations: the least a run can cost.
double forwardPassSeconds(const RiskNetwork& network)
{
    struct Step
    {
        int start;
        int end;
        double duration;
    };
    std::vector<Step> steps;
    for (const int index : network.pathWorks()) {
        const RiskWork& work = network.works()[std::size_t(index)];
        steps.push_back(
            {network.pathEvent(work.start), network.pathEvent(work.end), double(work.mostLikely)});
    }
    std::vector<double> times(std::size_t(network.pathEventCount()));
    double length = 0;
    const int repeats = 200;
    const double seconds = bench::seconds(
        [&] {
            for (int repeat = 0; repeat < repeats; ++repeat) {
                std::fill(times.begin(), times.end(), -std::numeric_limits<double>::infinity());
                times[0] = 0;
                for (const Step& step : steps)
                    times[std::size_t(step.end)] =
                        std::max(times[std::size_t(step.end)],
                                 times[std::size_t(step.start)] + step.duration);
                length += times.back();
            }
        },
        3);
    return length > 0 ? seconds / repeats : 0;
}

void benchNetwork(int works, qint64 runs, Distribution law)
{
    const RiskNetwork network = layeredNetwork(works, 7);
    const int threads = int(std::max(1u, std::thread::hardware_concurrency()));
    const QString shape =
        QStringLiteral("%1 works, %2 runs, %3")
            .arg(network.works().size())
            .arg(runs)
            .arg(law == Distribution::Beta ? QStringLiteral("beta") : QStringLiteral("triangular"));
    SimulationSettings settings;
    settings.runs = runs;
    settings.seed = 1;
    settings.distribution = law;
    SimulationResult result;
    const double cpuBefore = cpuSeconds();
    const double seconds = bench::seconds([&] { result = simulate(network, settings); });
    const double cpu = cpuSeconds() - cpuBefore;
    const double forward = forwardPassSeconds(network);
    const double samples = double(runs) * double(network.pathWorks().size());
    bench::report(QStringLiteral("Simulate %1").arg(shape),
                  QStringLiteral("%1 s (%6 s of processor time), %2 runs × works a second on "
                                 "%3 threads; a run costs %4 forward passes of one core (%5 µs)")
                      .arg(seconds, 0, 'f', 3)
                      .arg(samples / seconds, 0, 'e', 2)
                      .arg(threads)
                      .arg(seconds * threads / double(runs) / forward, 0, 'f', 1)
                      .arg(forward * 1e6, 0, 'f', 1)
                      .arg(cpu, 0, 'f', 3));
    bench::report(QStringLiteral("  mean, σ, 95 %, resolution (days)"),
                  QStringLiteral("%1, %2, %3, %4")
                      .arg(result.mean(), 0, 'f', 3)
                      .arg(result.sigma(), 0, 'f', 3)
                      .arg(result.percentile(0.95), 0, 'f', 3)
                      .arg(result.resolution(), 0, 'g', 3));
    bench::report(QStringLiteral("  peak memory of the process so far"),
                  QStringLiteral("%1 MB").arg(bench::peakRssMegabytes(), 0, 'f', 1));
}

// The tabulated PERT beta on [0, 1] against the exact law (Boost's incomplete beta): mean,
// variance and quantiles, integrated over 2^24 evenly spread draws.
void benchBetaAccuracy()
{
    double worstMean = 0;
    double worstVariance = 0;
    double worstQuantile = 0;
    for (const double mode : {0.0, 0.1, 0.25, 0.37, 0.5, 0.61, 0.9, 1.0}) {
        const BetaQuantiles::Shape shape = BetaQuantiles::instance().shape(mode);
        const double alpha = 1 + 4 * mode;
        const double beta = 5 - 4 * mode;
        long double sum = 0;
        long double squares = 0;
        constexpr int kDraws = 1 << 24;
        for (std::uint32_t k = 0; k < std::uint32_t(kDraws); ++k) {
            const double value = BetaQuantiles::quantile(shape, (k << 8) | 0x80u);
            sum += value;
            squares += value * value;
        }
        const double mean = double(sum / kDraws);
        const double variance = double(squares / kDraws) - mean * mean;
        worstMean = std::max(worstMean, std::abs(mean - alpha / 6));
        worstVariance = std::max(worstVariance, std::abs(variance / (alpha * beta / 252) - 1));
        for (const double u : {1e-4, 0.01, 0.1, 0.5, 0.8, 0.9, 0.95, 0.99, 0.9999}) {
            const auto draw = std::uint32_t(u * 0x1p32);
            worstQuantile =
                std::max(worstQuantile,
                         std::abs(double(BetaQuantiles::quantile(shape, draw)) -
                                  boost::math::ibeta_inv(alpha, beta, (draw + 0.5) * 0x1p-32)));
        }
    }
    bench::report(QStringLiteral("Beta table: worst error of the mean (× (b − a))"),
                  QString::number(worstMean, 'e', 2));
    bench::report(QStringLiteral("Beta table: worst relative error of the variance"),
                  QString::number(worstVariance, 'e', 2));
    bench::report(QStringLiteral("Beta table: worst error of a quantile (× (b − a))"),
                  QString::number(worstQuantile, 'e', 2));
}

} // namespace

void benchRisk()
{
    const double tables = bench::seconds([] { BetaQuantiles::instance(); });
    bench::report(QStringLiteral("Tabulate the PERT beta (once per process)"),
                  QStringLiteral("%1 s").arg(tables, 0, 'f', 3));
    benchBetaAccuracy();

    const RiskNetwork large = layeredNetwork(100'000, 7);
    const double analytic =
        bench::seconds([&] { AnalyticRisk risk(large, EstimateMethod::ThreePoint); }, 3);
    bench::report(QStringLiteral("Analytic method, %1 works").arg(large.works().size()),
                  QStringLiteral("%1 s").arg(analytic, 0, 'f', 3));

    benchNetwork(10'000, 10'000, Distribution::Beta);
    benchNetwork(10'000, 10'000, Distribution::Triangular);
    benchNetwork(10'000, 100'000, Distribution::Beta);
    benchNetwork(100'000, 10'000, Distribution::Beta);
    benchNetwork(100'000, 10'000, Distribution::Triangular);
}
