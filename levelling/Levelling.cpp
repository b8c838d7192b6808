#include "Levelling.h"

#include "ActivityListSearch.h"
#include "ActivityNetwork.h"
#include "KestrinError.h"
#include "SerialScheduler.h"

#include <algorithm>
#include <numeric>
#include <thread>

namespace {

// The time-indexed search keeps 4 bytes a resource and time unit of the sum of the durations.
constexpr long long kLongestTotalDuration = 200'000'000;

void checkSize(const LevellingProblem& problem)
{
    const long long total =
        std::accumulate(problem.durations.begin(), problem.durations.end(), 0LL);
    if (total > kLongestTotalDuration)
        throw KestrinError(
            QStringLiteral("Сумма продолжительностей работ (%1) слишком велика для выравнивания")
                .arg(total));
}

int resourceBound(const LevellingProblem& problem)
{
    int bound = 0;
    for (int r = 0; r < problem.resourceCount(); ++r) {
        const long long capacity = problem.capacities[std::size_t(r)];
        if (capacity == 0)
            continue; // then nothing needs it, as the input check made sure
        long long work = 0;
        for (int a = 0; a < problem.activityCount(); ++a)
            work += (long long)problem.durations[std::size_t(a)] * problem.demand(a, r);
        bound = std::max(bound, int((work + capacity - 1) / capacity));
    }
    return bound;
}

LevelledSchedule emptyResult(const ActivityNetwork& network, const LevellingProblem& problem)
{
    LevelledSchedule result;
    result.criticalLength = network.criticalLength();
    result.lowerBound = std::max(result.criticalLength, resourceBound(problem));
    return result;
}

} // namespace

LevelledSchedule levelResources(const LevellingProblem& problem, const LevellingOptions& options)
{
    checkLevellingInput(problem);
    checkSize(problem);
    const ActivityNetwork network(problem);
    LevelledSchedule result = emptyResult(network, problem);
    if (problem.activityCount() == 0)
        return result;

    const auto started = std::chrono::steady_clock::now();
    const bool timed = options.secondsLimit > 0;
    const auto after = [&](double share) {
        return started + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                             std::chrono::duration<double>(options.secondsLimit * share));
    };
    std::seed_seq seeds{options.seed};
    std::uint64_t islandSeeds[2];
    {
        std::uint32_t words[4];
        seeds.generate(words, words + 4);
        islandSeeds[0] = (std::uint64_t(words[0]) << 32) | words[1];
        islandSeeds[1] = (std::uint64_t(words[2]) << 32) | words[3];
    }
    const long long limit = std::max(1LL, options.scheduleLimit);
    ActivityListSearch::Race race;
    ActivityListSearch first(problem, network, islandSeeds[0], true);
    ActivityListSearch second(problem, network, islandSeeds[1], false);
    const bool together = options.threads >= 2;
    ActivityListSearch::Stop stopFirst{(limit + 1) / 2, after(together ? 1.0 : 0.5), timed,
                                       result.lowerBound};
    ActivityListSearch::Stop stopSecond{limit / 2, after(1.0), timed, result.lowerBound};
    if (stopSecond.schedules == 0) {
        first.run(stopFirst, race, 0);
    } else if (together) {
        std::thread helper([&] { second.run(stopSecond, race, 1); });
        first.run(stopFirst, race, 0);
        helper.join();
    } else {
        first.run(stopFirst, race, 0);
        second.run(stopSecond, race, 1);
    }
    // Both may reach the bound when the second got there first but the first did not hear of it
    // in time: the earlier (by schedules) wins, so the outcome does not depend on timing.
    const bool secondWins =
        stopSecond.schedules > 0 && (second.bestLength() < first.bestLength() ||
                                     (second.bestLength() == first.bestLength() &&
                                      race.reachedAt[1].load() < race.reachedAt[0].load()));
    const ActivityListSearch& winner = secondWins ? second : first;
    result.starts = winner.bestStarts();
    result.length = winner.bestLength();
    result.schedules = first.schedules() + second.schedules();
    return result;
}

LevelledSchedule scheduleByRule(const LevellingProblem& problem, PriorityRule rule)
{
    checkLevellingInput(problem);
    checkSize(problem);
    const ActivityNetwork network(problem);
    LevelledSchedule result = emptyResult(network, problem);
    SerialScheduler scheduler(problem, network);
    result.length = scheduler.schedule(priorityList(network, priorityValues(network, rule)), false,
                                       result.starts);
    result.schedules = 1;
    return result;
}
