#include "LoadProfile.h"

#include "LevellingProblem.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace {

void appendStep(std::vector<LoadStep>& steps, int from, int to, long long demand)
{
    if (from == to)
        return;
    if (!steps.empty() && steps.back().demand == demand && steps.back().to == from)
        steps.back().to = to;
    else
        steps.push_back({from, to, int(demand)});
}

} // namespace

std::vector<LoadStep> loadProfile(const LevellingProblem& problem, const std::vector<int>& starts,
                                  int resource)
{
    const int n = problem.activityCount();
    long long first = LLONG_MAX;
    long long last = LLONG_MIN;
    for (int a = 0; a < n; ++a) {
        if (problem.durations[std::size_t(a)] == 0)
            continue;
        first = std::min<long long>(first, starts[std::size_t(a)]);
        last = std::max<long long>(last, (long long)starts[std::size_t(a)] +
                                             problem.durations[std::size_t(a)]);
    }
    std::vector<LoadStep> steps;
    if (first > last)
        return steps;
    const long long span = last - first;
    if (span <= 4LL * n + 4096) {
        std::vector<long long> change(std::size_t(span) + 1, 0);
        for (int a = 0; a < n; ++a) {
            const int duration = problem.durations[std::size_t(a)];
            const int demand = problem.demand(a, resource);
            if (duration == 0 || demand == 0)
                continue;
            const long long from = starts[std::size_t(a)] - first;
            change[std::size_t(from)] += demand;
            change[std::size_t(from + duration)] -= demand;
        }
        long long demand = 0;
        long long from = 0;
        for (long long t = 0; t < span; ++t) {
            if (change[std::size_t(t)] == 0)
                continue;
            appendStep(steps, int(first + from), int(first + t), demand);
            demand += change[std::size_t(t)];
            from = t;
        }
        appendStep(steps, int(first + from), int(last), demand);
        return steps;
    }
    // A long span with few works: only the moments where the demand changes, in time order by
    // two passes of a radix sort (16 bits of the time from the first start each).
    struct Change
    {
        std::uint32_t time;
        int delta;
    };
    std::vector<Change> changes;
    changes.reserve(2 * static_cast<std::size_t>(n));
    for (int a = 0; a < n; ++a) {
        const int duration = problem.durations[std::size_t(a)];
        const int demand = problem.demand(a, resource);
        if (duration == 0 || demand == 0)
            continue;
        const auto from = std::uint32_t(starts[std::size_t(a)] - first);
        changes.push_back({from, demand});
        changes.push_back({from + std::uint32_t(duration), -demand});
    }
    std::vector<Change> sorted(changes.size());
    for (const int shift : {0, 16}) {
        std::vector<std::size_t> place(65537, 0);
        for (const Change& change : changes)
            ++place[((change.time >> shift) & 0xFFFF) + 1];
        for (std::size_t digit = 1; digit < place.size(); ++digit)
            place[digit] += place[digit - 1];
        for (const Change& change : changes)
            sorted[place[(change.time >> shift) & 0xFFFF]++] = change;
        changes.swap(sorted);
    }
    long long demand = 0;
    long long from = first;
    for (const Change& change : changes) {
        appendStep(steps, int(from), int(first + change.time), demand);
        demand += change.delta;
        from = first + change.time;
    }
    appendStep(steps, int(from), int(last), demand);
    return steps;
}

std::vector<Overload> overloads(const std::vector<LoadStep>& profile, int available)
{
    std::vector<Overload> result;
    for (const LoadStep& step : profile)
        if (step.demand > available)
            result.push_back({step.from, step.to, step.demand, available});
    return result;
}
