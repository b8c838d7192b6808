#include "DurationDistribution.h"

#include <boost/math/special_functions/beta.hpp>

#include <algorithm>

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

BetaQuantiles::BetaQuantiles() : m_values(std::size_t(kShapeSteps + 1) * kRowLength)
{
    const auto fill = [](float* row, double alpha, double beta) {
        const auto at = [&](double u) {
            if (u <= 0)
                return 0.0f;
            if (u >= 1)
                return 1.0f;
            return float(boost::math::ibeta_inv(alpha, beta, u));
        };
        for (int k = 0; k <= kEndCells; ++k) {
            row[kHead + k] = at(double(k) / (kCells * kEndCells));
            row[kTail + k] = at(double((kCells - 1) * kEndCells + k) / (kCells * kEndCells));
        }
        for (int k = 0; k <= kCells; ++k)
            row[kMain + k] = at(double(k) / kCells);
    };
    // The law at 1 − t is the mirror of the law at t: Q(u) = 1 − Q'(1 − u). Half the rows are
    // computed, the other half mirrored, so that both halves are exactly symmetric.
    for (int step = 0; step <= kShapeSteps / 2; ++step) {
        const double t = double(step) / kShapeSteps;
        float* row = m_values.data() + std::size_t(step) * kRowLength;
        fill(row, 1 + 4 * t, 5 - 4 * t);
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
