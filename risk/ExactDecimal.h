#pragma once

#include <array>
#include <compare>
#include <cstdint>

namespace risk {

// GCC and clang on 64-bit targets.
__extension__ using Unsigned128 = unsigned __int128;

// A number read back as the shortest decimal that converts to it: ±digits × 10^exponent. A
// duration typed as 0,1 is the long double nearest to a tenth; its shortest decimal is 1 × 10^-1
// again, so sums of such decimals are the sums the user means, and 0,1 + 0,2 equals 0,3.
struct Decimal
{
    Unsigned128 digits = 0;
    int exponent = 0;
    bool negative = false;

    // The number of decimal digits of `digits` (0 for zero).
    int digitCount() const;
};
Decimal shortestDecimal(long double value);

// A signed integer of 512 bits (two's complement), for exact sums of decimals brought to one
// power of ten. The caller keeps every value within range (see DecimalScale).
class WideInteger
{
public:
    static constexpr int kLimbs = 8;
    static constexpr int kBits = 64 * kLimbs;

    WideInteger() = default;
    explicit WideInteger(std::int64_t value);
    static WideInteger fromUnsigned(std::uint64_t value);

    WideInteger& operator+=(const WideInteger& other);
    WideInteger operator-() const;
    // Multiplies by a factor; the product must stay in range.
    WideInteger& multiplyBy(std::uint64_t factor);
    // The product of two integers whose product stays in range.
    friend WideInteger operator*(const WideInteger& left, const WideInteger& right);

    bool isNegative() const { return (m_limbs[kLimbs - 1] >> 63) != 0; }
    bool isZero() const;
    friend bool operator==(const WideInteger&, const WideInteger&) = default;
    friend std::strong_ordering operator<=>(const WideInteger& left, const WideInteger& right);

    // The nearest long double to this × 10^exponent (one rounding).
    long double toLongDouble(int exponent) const;

private:
    // Divides the magnitude-only (non-negative) integer by divisor, returning the remainder.
    std::uint64_t divideBy(std::uint64_t divisor);

    std::array<std::uint64_t, kLimbs> m_limbs{};
};

// One power of ten 10^exponent for all the decimals of a calculation, and the largest number of
// digits a value has above it: values become WideIntegers in units of 10^exponent.
class DecimalScale
{
public:
    // Widens the scale to hold the value exactly.
    void include(const Decimal& value);
    int exponent() const { return m_exponent; }
    // The number of bits a value at this scale needs (without the sign).
    int valueBits() const;

    WideInteger toWide(const Decimal& value) const;

private:
    bool m_empty = true;
    int m_exponent = 0;
    int m_top = 0; // every value is below 10^m_top
};

} // namespace risk
