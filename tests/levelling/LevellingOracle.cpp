#include "LevellingOracle.h"

#include <algorithm>
#include <functional>

std::vector<int> demandPerTimeUnit(const LevellingProblem& problem, const std::vector<int>& starts,
                                   int resource, int horizon)
{
    std::vector<int> demand(std::size_t(horizon), 0);
    for (int a = 0; a < problem.activityCount(); ++a)
        for (int t = starts[std::size_t(a)];
             t < starts[std::size_t(a)] + problem.durations[std::size_t(a)]; ++t)
            if (t >= 0 && t < horizon)
                demand[std::size_t(t)] += problem.demand(a, resource);
    return demand;
}

QString levellingFault(const LevellingProblem& problem, const std::vector<int>& starts, int length)
{
    if (int(starts.size()) != problem.activityCount())
        return QStringLiteral("%1 starts for %2 activities")
            .arg(starts.size())
            .arg(problem.activityCount());
    int latest = 0;
    for (int a = 0; a < problem.activityCount(); ++a) {
        if (starts[std::size_t(a)] < 0)
            return QStringLiteral("activity %1 starts at %2").arg(a).arg(starts[std::size_t(a)]);
        latest = std::max(latest, starts[std::size_t(a)] + problem.durations[std::size_t(a)]);
    }
    if (latest != length)
        return QStringLiteral("length %1 reported, the schedule ends at %2")
            .arg(length)
            .arg(latest);
    for (const Precedence& link : problem.precedences) {
        const int finish =
            starts[std::size_t(link.before)] + problem.durations[std::size_t(link.before)];
        if (starts[std::size_t(link.after)] < finish)
            return QStringLiteral("activity %1 starts at %2, before %3 finishes at %4")
                .arg(link.after)
                .arg(starts[std::size_t(link.after)])
                .arg(link.before)
                .arg(finish);
    }
    for (int r = 0; r < problem.resourceCount(); ++r) {
        const std::vector<int> demand = demandPerTimeUnit(problem, starts, r, latest);
        for (int t = 0; t < latest; ++t)
            if (demand[std::size_t(t)] > problem.capacities[std::size_t(r)])
                return QStringLiteral("resource %1 needs %2 of %3 at time %4")
                    .arg(r)
                    .arg(demand[std::size_t(t)])
                    .arg(problem.capacities[std::size_t(r)])
                    .arg(t);
    }
    return {};
}

int shortestLengthByEnumeration(const LevellingProblem& problem)
{
    const int n = problem.activityCount();
    const int resources = problem.resourceCount();
    // A topological order by repeated scans (the networks are tiny).
    std::vector<int> order;
    std::vector<char> placed(std::size_t(n), 0);
    while (int(order.size()) < n) {
        for (int a = 0; a < n; ++a) {
            if (placed[std::size_t(a)])
                continue;
            const bool ready =
                std::none_of(problem.precedences.begin(), problem.precedences.end(),
                             [&](const Precedence& link) {
                                 return link.after == a && !placed[std::size_t(link.before)];
                             });
            if (ready) {
                placed[std::size_t(a)] = 1;
                order.push_back(a);
            }
        }
    }
    int total = 0;
    for (const int duration : problem.durations)
        total += duration;
    int best = total; // all in a row always fits
    std::vector<int> starts(std::size_t(n), 0);
    std::vector<int> use(std::size_t(total + 1) * std::size_t(std::max(1, resources)), 0);
    const auto at = [&](int t, int r) -> int& {
        return use[std::size_t(t) * std::size_t(resources) + std::size_t(r)];
    };
    const std::function<void(int, int)> place = [&](int index, int length) {
        if (index == n) {
            best = std::min(best, length);
            return;
        }
        const int a = order[std::size_t(index)];
        const int duration = problem.durations[std::size_t(a)];
        int earliest = 0;
        for (const Precedence& link : problem.precedences)
            if (link.after == a)
                earliest = std::max(earliest, starts[std::size_t(link.before)] +
                                                  problem.durations[std::size_t(link.before)]);
        for (int start = earliest; start + duration < best; ++start) {
            bool fits = true;
            for (int t = start; t < start + duration && fits; ++t)
                for (int r = 0; r < resources && fits; ++r)
                    fits = at(t, r) + problem.demand(a, r) <= problem.capacities[std::size_t(r)];
            if (!fits)
                continue;
            for (int t = start; t < start + duration; ++t)
                for (int r = 0; r < resources; ++r)
                    at(t, r) += problem.demand(a, r);
            starts[std::size_t(a)] = start;
            place(index + 1, std::max(length, start + duration));
            for (int t = start; t < start + duration; ++t)
                for (int r = 0; r < resources; ++r)
                    at(t, r) -= problem.demand(a, r);
        }
    };
    place(0, 0);
    return best;
}
