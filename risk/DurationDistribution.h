#pragma once

#include "RiskNetwork.h"

#include <QStringList>

#include <cmath>
#include <cstdint>
#include <vector>

namespace risk {

// The law a simulated duration is drawn from, on [a, b] with its mode at m.
enum class Distribution {
    Beta,       // PERT: α = 1 + 4(m − a)/(b − a), β = 1 + 4(b − m)/(b − a)
    Triangular, // triangle with its peak at m
};

// The names of the laws as the distribution selector lists them, in the order of the enumeration.
QStringList distributionNames();

struct Moments
{
    long double mean = 0;     // days
    long double variance = 0; // days²
};

// The exact mean and variance of the law a work's duration is drawn from (m and 0 without
// estimates). For the PERT beta the mean is (a + 4m + b)/6 but the variance is
// (b − a)² αβ / 252, not ((b − a)/6)²: (b − a)²/28 when m is midway.
Moments sampledMoments(const RiskWork& work, Distribution distribution);

// The quantile function of the PERT beta on [0, 1] for every position t = (m − a)/(b − a) of the
// mode, tabulated once per process: rows for t = 0, 1/64, ..., 1, each holding the quantiles at
// u = i/1024 and, in the first and the last of those cells, at 64 times finer steps (the quantile
// function is steepest at its ends). A draw interpolates linearly in u and then between the two
// rows around t; the interpolation between rows keeps the mean exact, since the mean is linear in
// t. The errors of the variance and the percentiles are measured by the benchmark's `risk`
// section and recorded in docs/DECISIONS.md.
class BetaQuantiles
{
public:
    static constexpr int kShapeSteps = 64;
    static constexpr int kCells = 1024;
    static constexpr int kEndCells = 64;
    static constexpr int kHead = 0;
    static constexpr int kMain = kEndCells + 1;
    static constexpr int kTail = kMain + kCells + 1;
    static constexpr int kRowLength = kTail + kEndCells + 1;

    // The two rows around t and the weight of the second.
    struct Shape
    {
        const float* row = nullptr;
        float weight = 0;
    };

    static const BetaQuantiles& instance();
    Shape shape(double modePosition) const;

    // The quantile at the uniform draw (draw + 1/2) / 2^32, in [0, 1].
    static float quantile(const Shape& shape, std::uint32_t draw)
    {
        const std::uint32_t cell = draw >> 22;
        const float* cells;
        std::uint32_t index;
        float fraction;
        if (cell == 0 || cell == kCells - 1) {
            cells = shape.row + (cell == 0 ? kHead : kTail);
            index = (draw >> 16) & (kEndCells - 1);
            fraction = (float(draw & 0xFFFF) + 0.5f) * 0x1p-16f;
        } else {
            cells = shape.row + kMain;
            index = cell;
            fraction = (float(draw & 0x3FFFFF) + 0.5f) * 0x1p-22f;
        }
        const float* next = cells + kRowLength;
        const float here = cells[index] + fraction * (cells[index + 1] - cells[index]);
        const float there = next[index] + fraction * (next[index + 1] - next[index]);
        return here + shape.weight * (there - here);
    }

private:
    BetaQuantiles();
    std::vector<float> m_values; // (kShapeSteps + 1) rows of kRowLength
};

// The triangular law's quantile on [0, 1] with its mode at c, for the uniform draw taken to 24
// bits, (⌊draw / 256⌋ + 1/2) / 2^24, in single precision like the beta table: the square root
// costs half the double one's time.
inline float triangularQuantile(float mode, std::uint32_t draw)
{
    // Without a branch: which side of the mode a draw falls is a coin toss no predictor guesses,
    // so the two sides are blended by a 0 or 1 weight rather than chosen.
    const float u = (float(draw >> 8) + 0.5f) * 0x1p-24f;
    const float rising = float(u < mode);
    const float root = std::sqrt(rising * (u * mode) + (1 - rising) * ((1 - u) * (1 - mode)));
    return rising * root + (1 - rising) * (1 - root);
}

} // namespace risk
