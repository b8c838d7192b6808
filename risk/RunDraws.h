#pragma once

#include <array>
#include <cstdint>

namespace risk {

// The random draws of one simulated run: Philox4x32-10 (Salmon et al., "Parallel random numbers:
// as easy as 1, 2, 3", 2011), a counter-based generator. Draw k of run r under a seed is a fixed
// function of (seed, r, k) alone, so a run gives the same durations whichever thread makes it and
// whatever runs came before, on any machine.
class RunDraws
{
public:
    RunDraws(std::uint64_t seed, std::uint64_t run)
        : m_key{std::uint32_t(seed), std::uint32_t(seed >> 32)}, m_run(run)
    {
    }

    // Draws 4k .. 4k + 3 of the run.
    std::array<std::uint32_t, 4> block(std::uint32_t k) const
    {
        std::array<std::uint32_t, 4> counter{k, 0, std::uint32_t(m_run),
                                             std::uint32_t(m_run >> 32)};
        std::array<std::uint32_t, 2> key = m_key;
        for (int round = 0; round < 10; ++round) {
            const std::uint64_t product0 = std::uint64_t(0xD2511F53u) * counter[0];
            const std::uint64_t product1 = std::uint64_t(0xCD9E8D57u) * counter[2];
            counter = {std::uint32_t(product1 >> 32) ^ counter[1] ^ key[0], std::uint32_t(product1),
                       std::uint32_t(product0 >> 32) ^ counter[3] ^ key[1],
                       std::uint32_t(product0)};
            key[0] += 0x9E3779B9u;
            key[1] += 0xBB67AE85u;
        }
        return counter;
    }

private:
    std::array<std::uint32_t, 2> m_key;
    std::uint64_t m_run;
};

} // namespace risk
