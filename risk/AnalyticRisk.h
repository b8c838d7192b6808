#pragma once

#include "Estimates.h"
#include "ExactDecimal.h"
#include "RiskNetwork.h"

#include <vector>

namespace risk {

// The probabilistic method of network planning: the critical path of the expected durations
// between the network's start and end events, its spread from the variances of its works, and
// the normal law for the length T of the project.
//
// Path totals are exact sums of the estimates' decimals (see Decimal), so paths whose expected
// lengths are equal tie exactly, and among them the one with the largest variance is taken.
class AnalyticRisk
{
public:
    // Raises KestrinError when the estimates differ so much in magnitude (beyond some 70 decimal
    // digits between the smallest and the largest) that their exact sums would not fit.
    AnalyticRisk(const RiskNetwork& network, EstimateMethod method);

    // Tкр, days.
    long double expectedLength() const { return m_expectedLength; }
    // σ of Tкр, days: the square root of the sum of the variances along the critical path.
    long double sigma() const { return m_sigma; }
    // The works of that path, from the start to the end event.
    const std::vector<int>& criticalPath() const { return m_criticalPath; }

    // P(T ≤ directive) = Φ((Tд − Tкр) / σ), directive in days from the start. With σ = 0 it is 1
    // when Tд ≥ Tкр (compared exactly) and 0 otherwise; a directive before the start (negative)
    // gives 0.
    long double probabilityOfMeeting(long double directive) const;
    // The length reached with the probability (0 < p < 1): Tкр + σ Φ⁻¹(p). Raises KestrinError
    // for a probability out of range.
    long double lengthWithProbability(long double probability) const;

private:
    DecimalScale m_scale;
    int m_divisor = 1;
    int m_countBits = 1;             // bits enough to count the path works
    WideInteger m_lengthNumerator;   // Tкр × divisor, in units of the scale
    WideInteger m_varianceNumerator; // σ² × divisor², in units of the scale squared
    long double m_expectedLength = 0;
    long double m_sigma = 0;
    std::vector<int> m_criticalPath;
};

} // namespace risk
