#pragma once

#include "DurationDistribution.h"
#include "RiskNetwork.h"

#include <QtGlobal>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace risk {

// The shares of runs whose lengths the percentile table lists.
inline constexpr std::array<double, 6> kPercentileShares{0.10, 0.50, 0.80, 0.90, 0.95, 0.99};

struct SimulationSettings
{
    static constexpr qint64 kMaxRuns = 1'000'000;

    qint64 runs = 10'000; // 1 .. kMaxRuns
    std::uint64_t seed = 1;
    Distribution distribution = Distribution::Beta;
    // Days from the start: when given, the share of runs that meet it is counted exactly.
    std::optional<double> directive;
    // Worker threads; 0 uses every core. The results do not depend on it.
    int threads = 0;
};

// Called on the thread that runs the simulation, about ten times a second, with the runs made so
// far; returning false cancels. A cancelled simulation keeps the runs it made.
using SimulationProgress = std::function<bool(qint64 runsDone, qint64 runs)>;

// One bar of the project length's histogram: runs whose length fell in [from, to), and the share
// of all runs at or below `to` (the cumulative curve).
struct HistogramBar
{
    double from = 0;
    double to = 0;
    qint64 runs = 0;
    double cumulativeShare = 0;
};

// What the runs of a simulation give. Lengths are kept in a fine histogram of kBins bins between
// the all-optimistic and the all-pessimistic lengths (no run can leave those bounds), so memory
// does not grow with the runs; percentiles and shares interpolate within a bin, so they are exact
// to resolution() days. Mean and σ are summed exactly from the lengths rounded to 2^-32 of that
// span.
class SimulationResult
{
public:
    static constexpr int kBinBits = 18;
    static constexpr int kBins = 1 << kBinBits;

    qint64 runs() const { return m_runs; }
    bool cancelled() const { return m_cancelled; }

    // The shortest and the longest length any run could have (all optimistic, all pessimistic).
    double lowerBound() const { return m_lower; }
    double upperBound() const { return m_upper; }
    // The width of a bin of the fine histogram, days.
    double resolution() const { return (m_upper - m_lower) / kBins; }
    // The shortest and the longest length of the runs made.
    double minimum() const { return m_minimum; }
    double maximum() const { return m_maximum; }
    double mean() const { return m_mean; }
    // The standard deviation of the runs' lengths (with n − 1).
    double sigma() const { return m_sigma; }

    // The length not exceeded in the share p (0 < p < 1) of the runs.
    double percentile(double share) const;
    // The share of runs whose length is at most `length` days.
    double probabilityOfMeeting(double length) const;
    // The exact share of runs that met the settings' directive, when one was given.
    std::optional<double> directiveProbability() const { return m_directiveShare; }

    // About `bars` equal bars between minimum() and maximum(), snapped to the fine bins.
    std::vector<HistogramBar> histogram(int bars) const;

    // Per work of the network (in its order): the share of runs in which the work lay on a longest
    // path from the start to the end event. Works off those paths have 0.
    const std::vector<double>& criticality() const { return m_criticality; }

private:
    friend class Simulation;

    qint64 m_runs = 0;
    bool m_cancelled = false;
    double m_lower = 0;
    double m_upper = 0;
    double m_minimum = 0;
    double m_maximum = 0;
    double m_mean = 0;
    double m_sigma = 0;
    std::optional<double> m_directiveShare;
    std::vector<qint64> m_bins;
    std::vector<double> m_criticality;
};

// The Monte Carlo simulation of the network between its start and end events: every run draws
// each work's duration from its law (a work without estimates keeps m), finds the project length
// by a forward pass in topological order and the critical works by a backward pass, on every
// core. The same seed gives the same result whatever the number of threads or the machine.
// Raises KestrinError for a number of runs out of range.
SimulationResult simulate(const RiskNetwork& network, const SimulationSettings& settings,
                          const SimulationProgress& progress = {});

} // namespace risk
