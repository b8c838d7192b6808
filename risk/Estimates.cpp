#include "Estimates.h"

namespace risk {

QStringList estimateMethodNames()
{
    return {QStringLiteral("Три оценки"), QStringLiteral("Две оценки")};
}

EstimateWeights estimateWeights(EstimateMethod method)
{
    // 0,04 = 1/25: the two-point variance is (b − a)² over the square of its divisor too.
    return method == EstimateMethod::ThreePoint ? EstimateWeights{1, 4, 1, 6}
                                                : EstimateWeights{3, 0, 2, 5};
}

Estimate estimate(const RiskWork& work, EstimateMethod method)
{
    if (!work.hasEstimates())
        return {work.mostLikely, 0};
    const EstimateWeights weights = estimateWeights(method);
    const long double a = *work.optimistic;
    const long double b = *work.pessimistic;
    const long double spread = (b - a) / weights.divisor;
    return {
        (weights.optimistic * a + weights.mostLikely * work.mostLikely + weights.pessimistic * b) /
            weights.divisor,
        spread * spread};
}

} // namespace risk
