#include "ResourceTimeline.h"

#include <algorithm>

ResourceTimeline::ResourceTimeline(std::vector<int> capacities, int horizon)
    : m_capacities(std::move(capacities))
{
    // One block beyond the horizon, always empty, ends every search for free room.
    const std::size_t blocks = std::size_t(horizon >> kShift) + 2;
    const std::size_t resources = m_capacities.size();
    m_use.assign(resources, std::vector<int>(blocks * kBlock, 0));
    m_blockMax.assign(resources, std::vector<int>(blocks, 0));
    m_blockMin.assign(resources, std::vector<int>(blocks, 0));
    m_minStale.assign(resources, std::vector<char>(blocks, 0));
}

void ResourceTimeline::clear()
{
    const std::size_t blocks = std::size_t(m_usedUpTo >> kShift) + 1;
    for (std::size_t r = 0; r < m_capacities.size(); ++r) {
        std::fill_n(m_use[r].begin(), blocks * kBlock, 0);
        std::fill_n(m_blockMax[r].begin(), blocks, 0);
        std::fill_n(m_blockMin[r].begin(), blocks, 0);
        std::fill_n(m_minStale[r].begin(), blocks, 0);
    }
    m_usedUpTo = 0;
}

int ResourceTimeline::leastInBlock(std::size_t resource, int block) const
{
    if (m_minStale[resource][std::size_t(block)]) {
        const auto from = m_use[resource].begin() + (std::ptrdiff_t(block) << kShift);
        m_blockMin[resource][std::size_t(block)] = *std::min_element(from, from + kBlock);
        m_minStale[resource][std::size_t(block)] = 0;
    }
    return m_blockMin[resource][std::size_t(block)];
}

int ResourceTimeline::firstAbove(const std::vector<int>& use, const std::vector<int>& blockMax,
                                 int from, int to, int limit) const
{
    int t = from;
    while (t < to) {
        if ((t & (kBlock - 1)) == 0 && t + kBlock <= to &&
            blockMax[std::size_t(t >> kShift)] <= limit) {
            t += kBlock;
            continue;
        }
        if (use[std::size_t(t)] > limit)
            return t;
        ++t;
    }
    return to;
}

int ResourceTimeline::firstAtMost(std::size_t resource, int from, int limit) const
{
    const std::vector<int>& use = m_use[resource];
    int t = from;
    for (;;) {
        if ((t & (kBlock - 1)) == 0 && leastInBlock(resource, t >> kShift) > limit) {
            t += kBlock;
            continue;
        }
        if (use[std::size_t(t)] <= limit)
            return t;
        ++t;
    }
}

int ResourceTimeline::firstFit(int from, int duration, const Need* first, const Need* last) const
{
    const int count = int(last - first);
    if (duration == 0 || count == 0)
        return from;
    // Round the needs until all of them, one after another, fit at the same start; a clash
    // moves the start past it to the next time unit with room for that need.
    int start = from;
    int fitting = 0;
    int i = 0;
    while (fitting < count) {
        const std::size_t r = std::size_t(first[i].resource);
        const int limit = m_capacities[r] - first[i].amount;
        const int clash = firstAbove(m_use[r], m_blockMax[r], start, start + duration, limit);
        if (clash < start + duration) {
            start = firstAtMost(r, clash + 1, limit);
            fitting = 0;
            continue;
        }
        ++fitting;
        i = i + 1 == count ? 0 : i + 1;
    }
    return start;
}

void ResourceTimeline::place(int start, int duration, const Need* first, const Need* last)
{
    if (duration == 0)
        return;
    const int end = start + duration;
    m_usedUpTo = std::max(m_usedUpTo, end);
    for (const Need* need = first; need != last; ++need) {
        const std::size_t r = std::size_t(need->resource);
        int* use = m_use[r].data();
        int* blockMax = m_blockMax[r].data();
        for (int t = start; t < end; ++t) {
            const int now = use[t] += need->amount;
            int& most = blockMax[t >> kShift];
            most = std::max(most, now);
        }
        // Use only grows while a schedule is built, so the largest is kept up to date above; the
        // smallest is found again only when a search asks for it.
        for (int block = start >> kShift; block <= (end - 1) >> kShift; ++block)
            m_minStale[r][std::size_t(block)] = 1;
    }
}
