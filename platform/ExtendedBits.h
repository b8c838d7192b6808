#pragma once

#include <cstdint>
#include <cstring>
#include <limits>

// The parts of an x87 extended-precision value (the long double of GCC and clang on x86): a
// 64-bit significand with an explicit leading bit, a 15-bit biased exponent and the sign. The
// number texts, the exact searches and the classification of durations read them directly,
// without the library's frexp and ldexp.
struct ExtendedBits
{
    static_assert(std::numeric_limits<long double>::digits == 64, "x87 extended precision");

    std::uint64_t significand = 0;
    std::uint16_t signAndExponent = 0;

    static constexpr int kBias = 16383;

    static ExtendedBits of(long double value)
    {
        ExtendedBits bits;
        std::memcpy(&bits.significand, &value, sizeof bits.significand);
        std::memcpy(&bits.signAndExponent,
                    reinterpret_cast<const char*>(&value) + sizeof bits.significand,
                    sizeof bits.signAndExponent);
        return bits;
    }

    long double value() const
    {
        long double result = 0;
        std::memcpy(&result, &significand, sizeof significand);
        std::memcpy(reinterpret_cast<char*>(&result) + sizeof significand, &signAndExponent,
                    sizeof signAndExponent);
        return result;
    }

    bool negative() const { return (signAndExponent & 0x8000) != 0; }
    int biasedExponent() const { return signAndExponent & 0x7fff; }
};
