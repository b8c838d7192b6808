#include "RiskSimulation.h"

#include "ExactDecimal.h"
#include "KestrinError.h"
#include "RunDraws.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <limits>
#include <mutex>
#include <thread>

namespace risk {

namespace {

// Runs are handed to the threads in chunks: small enough for a quick cancel and an even share,
// large enough that taking one costs nothing.
constexpr qint64 kChunkRuns = 64;
constexpr double kQuantumSteps = 0x1p32; // the span between the bounds in mean and σ units

// A work as a run handles it, in topological order, its events numbered along the paths.
struct PlannedWork
{
    int start = 0;
    int end = 0;
    double low = 0;
    double width = 0;
    float mode = 0; // (m − a) / (b − a)
    BetaQuantiles::Shape shape;
};

// What one thread's runs add up to. Only integers, minima and maxima: merging in any order gives
// the same totals.
struct Tally
{
    std::vector<std::uint32_t> bins;
    std::vector<std::uint32_t> critical; // by planned work
    std::uint64_t quantumSum = 0;
    Unsigned128 quantumSquares = 0;
    qint64 runs = 0;
    qint64 met = 0;
    double minimum = std::numeric_limits<double>::infinity();
    double maximum = -std::numeric_limits<double>::infinity();
};

} // namespace

// The runs of one simulation, shared by its threads.
class Simulation
{
public:
    Simulation(const RiskNetwork& network, const SimulationSettings& settings);
    SimulationResult run(const SimulationProgress& progress);

private:
    double forwardPass(bool pessimistic) const;
    void work(Tally& tally);
    template <Distribution law>
    void makeRuns(qint64 first, qint64 last, Tally& tally, std::vector<double>& times,
                  std::vector<double>& durations, std::vector<char>& critical) const;
    SimulationResult merge(std::vector<Tally>& tallies) const;

    const RiskNetwork& m_network;
    SimulationSettings m_settings;
    std::vector<PlannedWork> m_works;
    int m_events = 0;
    int m_endEvent = 0;
    double m_lower = 0;
    double m_upper = 0;
    double m_quantumScale = 0; // quantum steps per day

    std::atomic<qint64> m_nextChunk{0};
    std::atomic<qint64> m_runsDone{0};
    std::atomic<bool> m_cancel{false};
};

Simulation::Simulation(const RiskNetwork& network, const SimulationSettings& settings)
    : m_network(network), m_settings(settings)
{
    if (settings.runs < 1 || settings.runs > SimulationSettings::kMaxRuns)
        throw KestrinError(QStringLiteral("Число прогонов должно быть от 1 до 1 000 000"));
    const BetaQuantiles& quantiles = BetaQuantiles::instance();
    for (const int index : network.pathWorks()) {
        const RiskWork& work = network.works()[std::size_t(index)];
        PlannedWork planned;
        planned.start = network.pathEvent(work.start);
        planned.end = network.pathEvent(work.end);
        planned.low = double(work.low());
        planned.width = std::max(0.0, double(work.high() - work.low()));
        if (planned.width > 0)
            planned.mode = float((work.mostLikely - work.low()) / (work.high() - work.low()));
        planned.shape = quantiles.shape(planned.mode);
        m_works.push_back(planned);
    }
    m_events = network.pathEventCount();
    m_endEvent = network.pathEvent(network.endEvent());
    m_lower = forwardPass(false);
    m_upper = forwardPass(true);
    if (m_upper > m_lower)
        m_quantumScale = kQuantumSteps / (m_upper - m_lower);
}

// The project length with every duration at its least or at its most, computed as the runs
// compute theirs (low + width × q): rounding is monotone, so no run falls outside.
double Simulation::forwardPass(bool pessimistic) const
{
    std::vector<double> times(std::size_t(m_events), -std::numeric_limits<double>::infinity());
    times[0] = 0;
    for (const PlannedWork& work : m_works) {
        const double duration = work.low + work.width * (pessimistic ? 1.0 : 0.0);
        times[std::size_t(work.end)] =
            std::max(times[std::size_t(work.end)], times[std::size_t(work.start)] + duration);
    }
    return times[std::size_t(m_endEvent)];
}

template <Distribution law>
void Simulation::makeRuns(qint64 first, qint64 last, Tally& tally, std::vector<double>& times,
                          std::vector<double>& durations, std::vector<char>& critical) const
{
    const std::size_t count = m_works.size();
    const PlannedWork* works = m_works.data();
    double* time = times.data();
    double* duration = durations.data();
    for (qint64 run = first; run < last; ++run) {
        const RunDraws draws(m_settings.seed, std::uint64_t(run));
        std::fill(times.begin(), times.end(), -std::numeric_limits<double>::infinity());
        time[0] = 0;
        for (std::size_t base = 0; base < count; base += 4) {
            const std::array<std::uint32_t, 4> block = draws.block(std::uint32_t(base / 4));
            const std::size_t lanes = std::min<std::size_t>(4, count - base);
            for (std::size_t lane = 0; lane < lanes; ++lane) {
                const PlannedWork& work = works[base + lane];
                double share;
                if constexpr (law == Distribution::Beta)
                    share = BetaQuantiles::quantile(work.shape, block[lane]);
                else
                    share = triangularQuantile(work.mode, block[lane]);
                const double drawn = work.low + work.width * share;
                duration[base + lane] = drawn;
                const double reached = time[work.start] + drawn;
                time[work.end] = std::max(time[work.end], reached);
            }
        }
        const double length = time[m_endEvent];

        // Backward: a work is critical when it ends on a critical event and its start time plus
        // its duration is that event's time, summed exactly as the forward pass summed it.
        // Without branches: which works are critical is what no predictor can guess.
        std::fill(critical.begin(), critical.end(), 0);
        critical[std::size_t(m_endEvent)] = 1;
        char* onPath = critical.data();
        std::uint32_t* counts = tally.critical.data();
        for (std::size_t k = count; k-- > 0;) {
            const PlannedWork& work = works[k];
            const char isCritical =
                onPath[work.end] & char(time[work.start] + duration[k] == time[work.end]);
            counts[k] += std::uint32_t(isCritical);
            onPath[work.start] |= isCritical;
        }

        const double offset = std::clamp((length - m_lower) * m_quantumScale, 0.0, kQuantumSteps);
        const auto quantum = std::uint64_t(offset);
        ++tally.bins[std::min<std::uint64_t>(quantum >> (32 - SimulationResult::kBinBits),
                                             SimulationResult::kBins - 1)];
        tally.quantumSum += quantum;
        tally.quantumSquares += static_cast<Unsigned128>(quantum) * quantum;
        tally.minimum = std::min(tally.minimum, length);
        tally.maximum = std::max(tally.maximum, length);
        if (m_settings.directive && length <= *m_settings.directive)
            ++tally.met;
        ++tally.runs;
    }
}

void Simulation::work(Tally& tally)
{
    tally.bins.assign(SimulationResult::kBins, 0);
    tally.critical.assign(m_works.size(), 0);
    std::vector<double> times(static_cast<std::size_t>(m_events));
    std::vector<double> durations(m_works.size());
    std::vector<char> critical(static_cast<std::size_t>(m_events));
    while (!m_cancel.load(std::memory_order_relaxed)) {
        const qint64 first = m_nextChunk.fetch_add(1) * kChunkRuns;
        if (first >= m_settings.runs)
            break;
        const qint64 last = std::min(first + kChunkRuns, m_settings.runs);
        if (m_settings.distribution == Distribution::Beta)
            makeRuns<Distribution::Beta>(first, last, tally, times, durations, critical);
        else
            makeRuns<Distribution::Triangular>(first, last, tally, times, durations, critical);
        m_runsDone.fetch_add(last - first);
    }
}

SimulationResult Simulation::run(const SimulationProgress& progress)
{
    const qint64 chunks = (m_settings.runs + kChunkRuns - 1) / kChunkRuns;
    int threads = m_settings.threads > 0 ? m_settings.threads
                                         : int(std::max(1u, std::thread::hardware_concurrency()));
    threads = int(std::min<qint64>(threads, chunks));
    std::vector<Tally> tallies(static_cast<std::size_t>(threads));
    std::mutex mutex;
    std::condition_variable finished;
    int running = threads;
    std::exception_ptr failure;
    std::vector<std::thread> workers;
    for (int index = 0; index < threads; ++index) {
        workers.emplace_back([&, index] {
            try {
                work(tallies[std::size_t(index)]);
            } catch (...) {
                const std::lock_guard lock(mutex);
                failure = std::current_exception();
                m_cancel = true;
            }
            const std::lock_guard lock(mutex);
            --running;
            finished.notify_all();
        });
    }
    {
        std::unique_lock lock(mutex);
        while (!finished.wait_for(lock, std::chrono::milliseconds(100),
                                  [&] { return running == 0; })) {
            if (!progress)
                continue;
            lock.unlock();
            if (!progress(m_runsDone.load(), m_settings.runs))
                m_cancel = true;
            lock.lock();
        }
    }
    for (std::thread& worker : workers)
        worker.join();
    if (failure)
        std::rethrow_exception(failure);
    SimulationResult result = merge(tallies);
    if (progress)
        progress(result.runs(), m_settings.runs);
    return result;
}

SimulationResult Simulation::merge(std::vector<Tally>& tallies) const
{
    SimulationResult result;
    result.m_lower = m_lower;
    result.m_upper = m_upper;
    result.m_bins.assign(SimulationResult::kBins, 0);
    std::vector<qint64> critical(m_works.size(), 0);
    std::uint64_t quantumSum = 0;
    Unsigned128 quantumSquares = 0;
    qint64 met = 0;
    result.m_minimum = std::numeric_limits<double>::infinity();
    result.m_maximum = -std::numeric_limits<double>::infinity();
    for (const Tally& tally : tallies) {
        if (tally.runs == 0)
            continue;
        for (std::size_t bin = 0; bin < tally.bins.size(); ++bin)
            result.m_bins[bin] += tally.bins[bin];
        for (std::size_t k = 0; k < critical.size(); ++k)
            critical[k] += tally.critical[k];
        quantumSum += tally.quantumSum;
        quantumSquares += tally.quantumSquares;
        met += tally.met;
        result.m_runs += tally.runs;
        result.m_minimum = std::min(result.m_minimum, tally.minimum);
        result.m_maximum = std::max(result.m_maximum, tally.maximum);
    }
    result.m_cancelled = result.m_runs < m_settings.runs;
    result.m_criticality.assign(m_network.works().size(), 0.0);
    if (result.m_runs == 0)
        return result;

    const auto runs = static_cast<Unsigned128>(result.m_runs);
    const double stepDays = m_quantumScale > 0 ? 1 / m_quantumScale : 0;
    result.m_mean =
        m_lower + double(static_cast<long double>(quantumSum) / result.m_runs) * stepDays;
    if (result.m_runs > 1) {
        // n Σq² − (Σq)² is exact in 128 bits (q < 2^33, n ≤ 2^20): no cancellation.
        const Unsigned128 spread =
            runs * quantumSquares - static_cast<Unsigned128>(quantumSum) * quantumSum;
        const long double variance =
            static_cast<long double>(spread) /
            (static_cast<long double>(result.m_runs) * (result.m_runs - 1));
        result.m_sigma = double(std::sqrt(variance)) * stepDays;
    }
    if (m_settings.directive)
        result.m_directiveShare = double(met) / double(result.m_runs);
    for (std::size_t k = 0; k < critical.size(); ++k)
        result.m_criticality[std::size_t(m_network.pathWorks()[k])] =
            double(critical[k]) / double(result.m_runs);
    return result;
}

double SimulationResult::percentile(double share) const
{
    if (m_runs == 0)
        return 0;
    const double wanted = std::clamp(share, 0.0, 1.0) * double(m_runs);
    double below = 0;
    for (int bin = 0; bin < kBins; ++bin) {
        const auto here = double(m_bins[std::size_t(bin)]);
        if (here > 0 && below + here >= wanted) {
            const double at = m_lower + (bin + (wanted - below) / here) * resolution();
            return std::clamp(at, m_minimum, m_maximum);
        }
        below += here;
    }
    return m_maximum;
}

double SimulationResult::probabilityOfMeeting(double length) const
{
    if (m_runs == 0 || length < m_minimum)
        return 0;
    if (length >= m_maximum)
        return 1;
    const double position = resolution() > 0 ? (length - m_lower) / resolution() : 0;
    const int bin = std::clamp(int(position), 0, kBins - 1);
    qint64 below = 0;
    for (int k = 0; k < bin; ++k)
        below += m_bins[std::size_t(k)];
    const double inside = std::clamp(position - bin, 0.0, 1.0) * double(m_bins[std::size_t(bin)]);
    return (double(below) + inside) / double(m_runs);
}

std::vector<HistogramBar> SimulationResult::histogram(int bars) const
{
    std::vector<HistogramBar> result;
    if (m_runs == 0 || bars < 1)
        return result;
    const auto binOf = [&](double length) {
        const double position = resolution() > 0 ? (length - m_lower) / resolution() : 0;
        return std::clamp(int(position), 0, kBins - 1);
    };
    const int first = binOf(m_minimum);
    const int span = binOf(m_maximum) - first + 1;
    const int count = std::min(bars, span);
    qint64 below = 0;
    for (int bar = 0; bar < count; ++bar) {
        const int from = first + int(qint64(span) * bar / count);
        const int to = first + int(qint64(span) * (bar + 1) / count);
        HistogramBar piece;
        piece.from = m_lower + from * resolution();
        piece.to = m_lower + to * resolution();
        for (int bin = from; bin < to; ++bin)
            piece.runs += m_bins[std::size_t(bin)];
        below += piece.runs;
        piece.cumulativeShare = double(below) / double(m_runs);
        result.push_back(piece);
    }
    return result;
}

SimulationResult simulate(const RiskNetwork& network, const SimulationSettings& settings,
                          const SimulationProgress& progress)
{
    Simulation simulation(network, settings);
    return simulation.run(progress);
}

} // namespace risk
