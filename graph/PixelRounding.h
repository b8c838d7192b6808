#pragma once

#include <cmath>

// Floating-point values become pixel coordinates by rounding to the nearest integer, an exact half
// to the even neighbour (150.5 -> 150, 151.5 -> 152). std::nearbyint rounds that way under the
// default rounding mode, which the program never changes.
inline int roundToPixel(long double value)
{
    return static_cast<int>(std::nearbyint(value));
}
