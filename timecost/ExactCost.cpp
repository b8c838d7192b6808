#include "ExactCost.h"

#include "Decimal.h"

#include <cmath>

namespace exactcost {

using boost::multiprecision::cpp_int;

ExactCost fromDecimal(const Decimal& value)
{
    cpp_int denominator = 1;
    for (int i = 0; i < value.decimals(); ++i)
        denominator *= 10;
    return ExactCost(cpp_int(value.units()), denominator);
}

long double nearest(const ExactCost& value)
{
    cpp_int numerator = boost::multiprecision::numerator(value);
    const cpp_int denominator = boost::multiprecision::denominator(value);
    if (numerator == 0)
        return 0;
    const bool negative = numerator < 0;
    if (negative)
        numerator = -numerator;

    // numerator * 2^shift / denominator lies in [2^64, 2^66): a quotient of 65 or 66 bits, of
    // which the top 64 are the significand, the next one the half bit, and the rest together with
    // the remainder say whether anything lies beyond the half.
    namespace mp = boost::multiprecision;
    const long long shift = 65 - (static_cast<long long>(mp::msb(numerator)) -
                                  static_cast<long long>(mp::msb(denominator)));
    cpp_int quotient;
    cpp_int remainder;
    if (shift >= 0)
        mp::divide_qr(cpp_int(numerator << std::size_t(shift)), denominator, quotient, remainder);
    else
        mp::divide_qr(numerator, cpp_int(denominator << std::size_t(-shift)), quotient, remainder);
    const unsigned drop = unsigned(mp::msb(quotient)) - 63;
    const bool half = mp::bit_test(quotient, drop - 1);
    const bool beyondHalf = remainder != 0 || (drop == 2 && mp::bit_test(quotient, 0));
    std::uint64_t significand = cpp_int(quotient >> drop).convert_to<std::uint64_t>();
    long long exponent = drop - shift;
    if (half && (beyondHalf || (significand & 1) != 0)) {
        if (++significand == 0) {
            significand = std::uint64_t(1) << 63;
            ++exponent;
        }
    }
    const long double magnitude = std::ldexp(static_cast<long double>(significand), int(exponent));
    return negative ? -magnitude : magnitude;
}

} // namespace exactcost
