#include "PriorityRules.h"

#include "ActivityNetwork.h"

#include <algorithm>
#include <bit>
#include <queue>

namespace {

// Above this many works the transitive successor sets (n² bits) cost too much; the count of
// direct successors stands in.
constexpr int kMostWorksForTransitiveSuccessors = 20'000;

std::vector<long long> totalSuccessors(const ActivityNetwork& network)
{
    const int n = network.size();
    std::vector<long long> counts(std::size_t(n), 0);
    if (n > kMostWorksForTransitiveSuccessors) {
        for (int a = 0; a < n; ++a)
            counts[std::size_t(a)] = network.successors(a).end() - network.successors(a).begin();
        return counts;
    }
    const std::size_t words = (std::size_t(n) + 63) / 64;
    std::vector<std::uint64_t> reach(words * std::size_t(n), 0);
    const std::vector<int>& order = network.topologicalOrder();
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        std::uint64_t* row = reach.data() + std::size_t(*it) * words;
        for (const int s : network.successors(*it)) {
            const std::uint64_t* other = reach.data() + std::size_t(s) * words;
            for (std::size_t w = 0; w < words; ++w)
                row[w] |= other[w];
            row[std::size_t(s) / 64] |= std::uint64_t(1) << (s % 64);
        }
        long long count = 0;
        for (std::size_t w = 0; w < words; ++w)
            count += std::popcount(row[w]);
        counts[std::size_t(*it)] = count;
    }
    return counts;
}

// Runs fn(eligible works) to pick the next work until every work is listed.
template <typename Pick> std::vector<int> buildList(const ActivityNetwork& network, Pick pick)
{
    const int n = network.size();
    std::vector<int> waiting(static_cast<std::size_t>(n));
    std::vector<int> eligible;
    for (int a = 0; a < n; ++a) {
        waiting[std::size_t(a)] =
            int(network.predecessors(a).end() - network.predecessors(a).begin());
        if (waiting[std::size_t(a)] == 0)
            eligible.push_back(a);
    }
    std::vector<int> list;
    list.reserve(static_cast<std::size_t>(n));
    while (!eligible.empty()) {
        const std::size_t chosen = pick(eligible);
        const int a = eligible[chosen];
        eligible[chosen] = eligible.back();
        eligible.pop_back();
        list.push_back(a);
        for (const int s : network.successors(a))
            if (--waiting[std::size_t(s)] == 0)
                eligible.push_back(s);
    }
    return list;
}

} // namespace

std::vector<long long> priorityValues(const ActivityNetwork& network, PriorityRule rule)
{
    const int n = network.size();
    std::vector<long long> values(static_cast<std::size_t>(n));
    const std::vector<int>& es = network.earliestStarts();
    const std::vector<int>& lf = network.latestFinishes();
    switch (rule) {
    case PriorityRule::LatestFinish:
        for (int a = 0; a < n; ++a)
            values[std::size_t(a)] = lf[std::size_t(a)];
        break;
    case PriorityRule::LatestStart:
        for (int a = 0; a < n; ++a)
            values[std::size_t(a)] = lf[std::size_t(a)] - network.duration(a);
        break;
    case PriorityRule::MinimumSlack:
        for (int a = 0; a < n; ++a)
            values[std::size_t(a)] = lf[std::size_t(a)] - network.duration(a) - es[std::size_t(a)];
        break;
    case PriorityRule::MostTotalSuccessors:
        values = totalSuccessors(network);
        for (long long& value : values)
            value = -value;
        break;
    case PriorityRule::GreatestRankPositionalWeight:
        for (int a = 0; a < n; ++a) {
            long long weight = network.duration(a);
            for (const int s : network.successors(a))
                weight += network.duration(s);
            values[std::size_t(a)] = -weight;
        }
        break;
    }
    return values;
}

std::vector<int> priorityList(const ActivityNetwork& network, const std::vector<long long>& values)
{
    const int n = network.size();
    std::vector<int> waiting(static_cast<std::size_t>(n));
    using Entry = std::pair<long long, int>;
    std::priority_queue<Entry, std::vector<Entry>, std::greater<>> eligible;
    for (int a = 0; a < n; ++a) {
        waiting[std::size_t(a)] =
            int(network.predecessors(a).end() - network.predecessors(a).begin());
        if (waiting[std::size_t(a)] == 0)
            eligible.push({values[std::size_t(a)], a});
    }
    std::vector<int> list;
    list.reserve(static_cast<std::size_t>(n));
    while (!eligible.empty()) {
        const int a = eligible.top().second;
        eligible.pop();
        list.push_back(a);
        for (const int s : network.successors(a))
            if (--waiting[std::size_t(s)] == 0)
                eligible.push({values[std::size_t(s)], s});
    }
    return list;
}

std::vector<int> sampledList(const ActivityNetwork& network, const std::vector<long long>& values,
                             std::mt19937_64& random)
{
    std::vector<double> weights;
    return buildList(network, [&](const std::vector<int>& eligible) {
        long long least = values[std::size_t(eligible[0])];
        for (const int a : eligible)
            least = std::max(least, values[std::size_t(a)]);
        weights.resize(eligible.size());
        double total = 0;
        for (std::size_t i = 0; i < eligible.size(); ++i) {
            weights[i] = double(least - values[std::size_t(eligible[i])]) + 1.0;
            total += weights[i];
        }
        double draw = randomShare(random) * total;
        for (std::size_t i = 0; i + 1 < eligible.size(); ++i) {
            draw -= weights[i];
            if (draw < 0)
                return i;
        }
        return eligible.size() - 1;
    });
}

int randomBelow(std::mt19937_64& random, int bound)
{
    return int((random() >> 11) % std::uint64_t(bound));
}

double randomShare(std::mt19937_64& random)
{
    return double(random() >> 11) * 0x1.0p-53;
}
