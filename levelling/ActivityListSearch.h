#pragma once

#include "SerialScheduler.h"

#include <atomic>
#include <chrono>
#include <climits>
#include <cstdint>
#include <random>
#include <vector>

class ActivityNetwork;
struct LevellingProblem;

// One run of the activity-list genetic algorithm (Hartmann 1998) with every schedule justified
// forward and backward (Valls, Ballestín, Quintanilla 2005), the justified list written back into
// the individual. The first population: the lists of the priority rules (when asked for) and
// regret-based random samples around the latest-finish rule; then two-point crossover of random
// pairs, swaps of neighbours that are not linked as mutation, and the best of parents and
// children survive. Deterministic for its seed and budget.
class ActivityListSearch
{
public:
    struct Stop
    {
        long long schedules = 0; // this run's budget
        std::chrono::steady_clock::time_point deadline;
        bool timed = false;
        int lowerBound = 0;
    };
    // Between runs that work side by side: the number of schedules after which each run reached
    // the lower bound. A run that can no longer reach it first stops; the earliest (then the
    // lowest index) wins, so the result does not depend on which thread ran faster.
    struct Race
    {
        std::atomic<long long> reachedAt[2] = {LLONG_MAX, LLONG_MAX};
    };

    ActivityListSearch(const LevellingProblem& problem, const ActivityNetwork& network,
                       std::uint64_t seed, bool withRules);

    void run(const Stop& stop, Race& race, int index);

    int bestLength() const { return m_bestLength; }
    const std::vector<int>& bestStarts() const { return m_bestStarts; }
    long long schedules() const { return m_scheduler.schedulesBuilt(); }

private:
    struct Individual
    {
        std::vector<int> list;
        int length = 0;
    };

    void evaluate(Individual& individual);
    void survive(std::vector<Individual>& population);
    bool mustStop(const Stop& stop, Race& race, int index);
    void crossover(const std::vector<int>& mother, const std::vector<int>& father, int from, int to,
                   std::vector<int>& child);
    void mutate(std::vector<int>& list);

    const ActivityNetwork& m_network;
    SerialScheduler m_scheduler;
    std::mt19937_64 m_random;
    bool m_withRules;
    std::vector<int> m_starts, m_bestStarts;
    std::vector<char> m_taken;
    int m_bestLength = 0;
    bool m_haveBest = false;
    const Stop* m_stop = nullptr;
};
