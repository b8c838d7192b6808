#include "AnalyticRisk.h"
#include "RiskSimulation.h"

#include <QTest>

#include <cmath>
#include <numbers>
#include <random>

using namespace risk;

namespace {

RiskWork work(int start, int end, long double a, long double m, long double b)
{
    return {start, end, m, a, b};
}

// The mean and variance of a work's law, from the textbook formulas of the beta and triangular
// distributions (the test's own, not the engine's).
std::pair<double, double> lawMoments(const RiskWork& work, Distribution law)
{
    if (!work.hasEstimates())
        return {double(work.mostLikely), 0};
    const double a = double(*work.optimistic);
    const double m = double(work.mostLikely);
    const double b = double(*work.pessimistic);
    if (law == Distribution::Triangular)
        return {(a + m + b) / 3, (a * a + b * b + m * m - a * b - a * m - b * m) / 18};
    const double alpha = 1 + 4 * (m - a) / (b - a);
    const double beta = 1 + 4 * (b - m) / (b - a);
    const double sum = alpha + beta;
    return {a + (b - a) * alpha / sum, (b - a) * (b - a) * alpha * beta / (sum * sum * (sum + 1))};
}

// Modes at both ends, midway and between; one work without estimates.
std::vector<RiskWork> chainWorks()
{
    const long double estimates[][3] = {{2, 5, 8},    {1, 1, 4},      {3, 6, 6},      {0.5, 2, 9.5},
                                        {4, 4.2, 12}, {10, 13, 14.5}, {1, 2, 3},      {0, 7, 7.5},
                                        {2.5, 3, 20}, {6, 9, 12},     {0.1, 0.3, 0.4}};
    std::vector<RiskWork> works;
    int event = 0;
    for (const auto& e : estimates) {
        works.push_back(work(event, event + 1, e[0], e[1], e[2]));
        ++event;
    }
    works.push_back({event, event + 1, 3.5L, std::nullopt, std::nullopt});
    return works;
}

// A layered network with some long works across layers.
std::vector<RiskWork> layeredWorks(int layers, int width, std::uint64_t seed)
{
    std::mt19937_64 random(seed);
    std::uniform_int_distribution<int> column(0, width - 1);
    std::uniform_int_distribution<int> tenths(5, 80);
    const auto event = [&](int layer, int index) {
        return layer == 0       ? 0
               : layer > layers ? 1 + layers * width
                                : 1 + (layer - 1) * width + index;
    };
    std::vector<RiskWork> works;
    const auto add = [&](int from, int to) {
        const long double a = tenths(random) / 10.0L;
        const long double m = a + tenths(random) / 10.0L;
        works.push_back(work(from, to, a, m, m + tenths(random) / 5.0L));
    };
    for (int index = 0; index < width; ++index)
        add(event(0, 0), event(1, index));
    for (int layer = 1; layer < layers; ++layer)
        for (int index = 0; index < width; ++index) {
            add(event(layer, index), event(layer + 1, index));
            add(event(layer, index), event(layer + 1, column(random)));
            if (layer + 2 <= layers)
                add(event(layer, index), event(layer + 2, column(random)));
        }
    for (int index = 0; index < width; ++index)
        add(event(layers, index), event(layers + 1, 0));
    return works;
}

RiskNetwork layeredNetwork(int layers, int width, std::uint64_t seed)
{
    return RiskNetwork(layeredWorks(layers, width, seed), 2 + layers * width, 0,
                       1 + layers * width);
}

} // namespace

// The simulation against the laws it samples and the merge effect, and its promise of the same
// results from the same seed.
class TestRiskSimulation : public QObject
{
    Q_OBJECT

private slots:
    void chainSumsTheLaws_data();
    void chainSumsTheLaws();
    void equalParallelPathsFinishLater();
    void sameSeedSameResultOnAnyThreads();
    void cancelKeepsTheRunsMade();
};

void TestRiskSimulation::chainSumsTheLaws_data()
{
    QTest::addColumn<int>("law");
    QTest::newRow("beta") << int(Distribution::Beta);
    QTest::newRow("triangular") << int(Distribution::Triangular);
}

void TestRiskSimulation::chainSumsTheLaws()
{
    QFETCH(int, law);
    const std::vector<RiskWork> works = chainWorks();
    const RiskNetwork network(works, int(works.size()) + 1, 0, int(works.size()));
    double mean = 0;
    double variance = 0;
    double textbookVariance = 0;
    for (const RiskWork& work : works) {
        const auto [workMean, workVariance] = lawMoments(work, Distribution(law));
        mean += workMean;
        variance += workVariance;
        textbookVariance += double(estimate(work, EstimateMethod::ThreePoint).variance);
    }
    SimulationSettings settings;
    settings.runs = 400'000;
    settings.seed = 20261207;
    settings.distribution = Distribution(law);
    const SimulationResult result = simulate(network, settings);
    QCOMPARE(result.runs(), settings.runs);
    QVERIFY(!result.cancelled());

    // Four standard errors: of the mean, σ/√n; of the variance, about σ²√(2/n) for a sum this
    // close to normal (a fifth more for its tails).
    const double runs = double(settings.runs);
    const double meanError = std::sqrt(variance / runs);
    const double varianceError = 1.2 * variance * std::sqrt(2 / runs);
    const double simulatedVariance = result.sigma() * result.sigma();
    QVERIFY2(std::abs(result.mean() - mean) < 4 * meanError,
             qPrintable(QStringLiteral("%1 against %2").arg(result.mean()).arg(mean)));
    QVERIFY2(std::abs(simulatedVariance - variance) < 4 * varianceError,
             qPrintable(QStringLiteral("%1 against %2").arg(simulatedVariance).arg(variance)));
    if (Distribution(law) == Distribution::Beta) {
        // The PERT beta is wider than the textbook σ = (b − a)/6 says, and the simulation shows it.
        QVERIFY(std::abs(simulatedVariance - textbookVariance) > 10 * varianceError);
        QVERIFY(
            std::abs(result.mean() -
                     double(AnalyticRisk(network, EstimateMethod::ThreePoint).expectedLength())) <
            4 * meanError);
    }
    for (const double share : result.criticality())
        QCOMPARE(share, 1.0);
    // The median of a near-normal sum sits at its mean.
    QVERIFY(std::abs(result.percentile(0.5) - mean) < 0.1 * std::sqrt(variance));
}

void TestRiskSimulation::equalParallelPathsFinishLater()
{
    // Two paths of four equal works each between the same events. Each path's length has mean
    // 20 = Tкр, but the project waits for the later one: for two independent normal lengths of σ
    // the expected maximum is 20 + σ/√π. The sum of four betas is close to normal.
    std::vector<RiskWork> works;
    for (int path = 0; path < 2; ++path) {
        const int first = 2 + path * 3; // inner events 2..4 and 5..7
        const std::vector<int> events{0, first, first + 1, first + 2, 1};
        for (int k = 0; k < 4; ++k)
            works.push_back(work(events[std::size_t(k)], events[std::size_t(k) + 1], 2, 5, 8));
    }
    const RiskNetwork network(works, 8, 0, 1);
    const AnalyticRisk analytic(network, EstimateMethod::ThreePoint);
    QVERIFY(std::abs(analytic.expectedLength() - 20) < 1e-15L);

    SimulationSettings settings;
    settings.runs = 200'000;
    settings.seed = 5;
    const SimulationResult result = simulate(network, settings);
    const double pathSigma = std::sqrt(4 * 36.0 / 28); // (b − a)²/28 per work
    const double merge = pathSigma / std::sqrt(std::numbers::pi);
    const double meanError = result.sigma() / std::sqrt(double(settings.runs));
    QVERIFY(result.mean() > 20 + 20 * meanError);
    QVERIFY2(std::abs(result.mean() - (20 + merge)) < 0.03 * merge,
             qPrintable(QStringLiteral("%1 against %2").arg(result.mean()).arg(20 + merge)));
    // The analytic probability of meeting Tкр is 1/2; each path alone meets it half the time, so
    // both together about a quarter of the time.
    QVERIFY(std::abs(analytic.probabilityOfMeeting(20) - 0.5L) < 1e-15L);
    QVERIFY(std::abs(result.probabilityOfMeeting(20) - 0.25) < 0.01);
    const double shareError = std::sqrt(0.25 / double(settings.runs));
    for (const double share : result.criticality())
        QVERIFY(std::abs(share - 0.5) < 4 * shareError);
}

void TestRiskSimulation::sameSeedSameResultOnAnyThreads()
{
    const RiskNetwork network = layeredNetwork(12, 15, 3);
    SimulationSettings settings;
    settings.runs = 30'000;
    settings.seed = 42;
    settings.directive = 60;
    settings.distribution = Distribution::Triangular;
    const auto fingerprint = [&](int threads) {
        settings.threads = threads;
        const SimulationResult result = simulate(network, settings);
        std::vector<double> values{result.mean(), result.sigma(), result.minimum(),
                                   result.maximum(), *result.directiveProbability()};
        for (const double share : kPercentileShares)
            values.push_back(result.percentile(share));
        for (const HistogramBar& bar : result.histogram(40))
            values.push_back(double(bar.runs));
        values.insert(values.end(), result.criticality().begin(), result.criticality().end());
        return values;
    };
    const std::vector<double> alone = fingerprint(1);
    QCOMPARE(fingerprint(2), alone);
    QCOMPARE(fingerprint(3), alone);
    QCOMPARE(fingerprint(8), alone);
    settings.seed = 43;
    QVERIFY(fingerprint(2) != alone);
}

void TestRiskSimulation::cancelKeepsTheRunsMade()
{
    const RiskNetwork network = layeredNetwork(40, 50, 9);
    SimulationSettings settings;
    settings.runs = SimulationSettings::kMaxRuns;
    int calls = 0;
    const SimulationResult result = simulate(network, settings, [&](qint64, qint64) {
        ++calls;
        return calls > 1; // cancel at the first report
    });
    QVERIFY(result.cancelled());
    QVERIFY(result.runs() > 0 && result.runs() < settings.runs);
    qint64 counted = 0;
    for (const HistogramBar& bar : result.histogram(30))
        counted += bar.runs;
    QCOMPARE(counted, result.runs());
    QVERIFY(result.mean() > result.minimum() && result.mean() < result.maximum());
    for (const double share : result.criticality())
        QVERIFY(share >= 0 && share <= 1);
}

QTEST_GUILESS_MAIN(TestRiskSimulation)
#include "tst_risk_simulation.moc"
