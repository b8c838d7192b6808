#include "NormalLaw.h"

#include <boost/math/special_functions/erf.hpp>

#include <cmath>
#include <numbers>

namespace risk {

long double normalProbability(long double z)
{
    // Through erfc, which keeps its relative accuracy far out in the lower tail.
    return std::erfc(-z / std::numbers::sqrt2_v<long double>) / 2;
}

long double normalQuantile(long double probability)
{
    return -std::numbers::sqrt2_v<long double> * boost::math::erfc_inv(2 * probability);
}

} // namespace risk
