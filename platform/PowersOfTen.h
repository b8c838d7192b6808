#pragma once

#include <array>
#include <cstdint>

// Powers of ten, exact: the number texts and the dBASE numeric fields scale by them.
namespace poweroften {

// 10^0 .. 10^27 in extended precision: 10^27 = 2^27 * 5^27 and 5^27 < 2^64, so each is exact.
inline constexpr int kLongDoubleCount = 28;
inline constexpr std::array<long double, kLongDoubleCount> kLongDouble = [] {
    std::array<long double, kLongDoubleCount> powers{};
    long double power = 1;
    for (long double& entry : powers) {
        entry = power;
        power *= 10;
    }
    return powers;
}();

// 10^0 .. 10^19, every power of ten a 64-bit unsigned integer holds.
inline constexpr int kIntegerCount = 20;
inline constexpr std::array<std::uint64_t, kIntegerCount> kInteger = [] {
    std::array<std::uint64_t, kIntegerCount> powers{};
    std::uint64_t power = 1;
    for (std::uint64_t& entry : powers) {
        entry = power;
        power *= 10;
    }
    return powers;
}();

} // namespace poweroften
