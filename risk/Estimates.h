#pragma once

#include "RiskNetwork.h"

#include <QString>
#include <QStringList>

namespace risk {

// How the expected duration and its spread follow from a work's estimates (the analytic method).
enum class EstimateMethod {
    ThreePoint, // "Три оценки": te = (a + 4m + b) / 6, σ = (b − a) / 6
    TwoPoint,   // "Две оценки": te = (3a + 2b) / 5, σ² = 0,04 (b − a)²
};

// The names of the methods as the method selector lists them, in the order of the enumeration.
QStringList estimateMethodNames();

struct Estimate
{
    long double expected = 0; // te, days
    long double variance = 0; // σ², days²
};

// A work without estimates has te = m and σ = 0.
Estimate estimate(const RiskWork& work, EstimateMethod method);

// The expected duration and the variance are whole multiples of the work's values over one
// divisor per method: te = (weights · (a, m, b)) / divisor, σ² = (b − a)² / divisor², where a
// work without estimates counts as a = b = m. Sums of these numerators are what the analysis
// adds exactly.
struct EstimateWeights
{
    int optimistic;
    int mostLikely;
    int pessimistic;
    int divisor;
};
EstimateWeights estimateWeights(EstimateMethod method);

} // namespace risk
