#include "DurationDistribution.h"

#include <boost/math/special_functions/beta.hpp>

#include <algorithm>
#include <cmath>

namespace risk {

QStringList distributionNames()
{
    return {QStringLiteral("Бета-распределение (PERT)"), QStringLiteral("Треугольное")};
}

Moments sampledMoments(const RiskWork& work, Distribution distribution)
{
    if (!work.hasEstimates() || work.high() == work.low())
        return {work.mostLikely, 0};
    const long double a = work.low();
    const long double b = work.high();
    const long double m = work.mostLikely;
    if (distribution == Distribution::Triangular)
        return {(a + m + b) / 3, (a * a + b * b + m * m - a * b - a * m - b * m) / 18};
    const long double width = b - a;
    const long double alpha = 1 + 4 * (m - a) / width;
    const long double beta = 1 + 4 * (b - m) / width;
    return {a + width * alpha / 6, width * width * alpha * beta / 252};
}

const BetaQuantiles& BetaQuantiles::instance()
{
    static const BetaQuantiles tables;
    return tables;
}

namespace {

// Boost's inversion of the incomplete beta, computed in double: the table keeps floats, and
// promoting to long double would cost ten times as much.
double betaQuantile(double alpha, double beta, double u)
{
    using Policy = boost::math::policies::policy<boost::math::policies::promote_double<false>>;
    return boost::math::ibeta_inv(alpha, beta, u, Policy());
}

} // namespace

BetaQuantiles::BetaQuantiles() : m_values(std::size_t(kShapeSteps + 1) * kRowLength)
{
    // Every point of a row: its place in the row and u in steps of 2^-16.
    std::vector<std::pair<int, int>> points;
    for (int k = 0; k <= kEndCells; ++k)
        points.emplace_back(kHead + k, k);
    for (int k = 1; k < kCells; ++k)
        points.emplace_back(kMain + k, k * kEndCells);
    for (int k = 0; k <= kEndCells; ++k)
        points.emplace_back(kTail + k, (kCells - 1) * kEndCells + k);
    constexpr double kStep = 1.0 / (kCells * kEndCells);

    // The law at 1 − t is the mirror of the law at t: Q(u) = 1 − Q'(1 − u). Half the rows are
    // computed, the other half mirrored, so that both halves are exactly symmetric.
    for (int step = 0; step <= kShapeSteps / 2; ++step) {
        const double t = double(step) / kShapeSteps;
        float* row = m_values.data() + std::size_t(step) * kRowLength;
        for (const auto& [place, steps] : points) {
            const double u = steps * kStep;
            row[place] = u <= 0   ? 0.0f
                         : u >= 1 ? 1.0f
                                  : float(betaQuantile(1 + 4 * t, 5 - 4 * t, u));
        }
        row[kMain] = row[kHead];
        row[kMain + kCells] = row[kTail + kEndCells];
        if (2 * step == kShapeSteps)
            continue;
        float* mirror = m_values.data() + std::size_t(kShapeSteps - step) * kRowLength;
        for (int k = 0; k <= kEndCells; ++k) {
            mirror[kHead + k] = 1 - row[kTail + kEndCells - k];
            mirror[kTail + k] = 1 - row[kHead + kEndCells - k];
        }
        for (int k = 0; k <= kCells; ++k)
            mirror[kMain + k] = 1 - row[kMain + kCells - k];
    }
}

BetaQuantiles::Shape BetaQuantiles::shape(double modePosition) const
{
    const double scaled = std::clamp(modePosition, 0.0, 1.0) * kShapeSteps;
    const int step = std::min(int(scaled), kShapeSteps - 1);
    return {m_values.data() + std::size_t(step) * kRowLength, float(scaled - step)};
}

} // namespace risk
