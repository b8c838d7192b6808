#pragma once

#include <boost/multiprecision/cpp_int.hpp>

#include <cstdint>

class Decimal;

// An amount of money held exactly. A cost between a work's normal and shortest durations is a
// fraction (three days' shortening bought for 100 costs 33 1/3 a day), so costs are rationals of
// unbounded size; they are rounded once, to the nearest long double, only for display.
using ExactCost = boost::multiprecision::cpp_rational;

namespace exactcost {

ExactCost fromDecimal(const Decimal& value);
// The nearest long double, ties to even: the one rounding between the exact cost and its text.
long double nearest(const ExactCost& value);

} // namespace exactcost
