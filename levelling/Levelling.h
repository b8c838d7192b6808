#pragma once

#include "LevellingProblem.h"
#include "PriorityRules.h"

#include <cstdint>
#include <vector>

struct LevellingOptions
{
    std::uint64_t seed = 1;
    // Schedules generated in all; with the same seed and limit (and no time limit reached) the
    // levelling gives the same starts on every run and any number of threads.
    long long scheduleLimit = 10'000'000;
    double secondsLimit = 1.0; // 0 or less: none
    int threads = 2;           // 1 or 2
};

struct LevelledSchedule
{
    std::vector<int> starts; // per activity, time units from 0
    int length = 0;
    int criticalLength = 0; // the length without resource limits
    int lowerBound = 0;     // no schedule within the capacities is shorter
    long long schedules = 0;

    bool provenShortest() const { return length == lowerBound; }
};

// The shortest schedule found in which every work starts no earlier than its predecessors finish
// and no resource is ever asked for more than its capacity (so, when the critical length can be
// kept, a levelling within the floats). Two searches (ActivityListSearch) with seeds drawn from
// options.seed share the schedule limit and run on up to two threads; they stop at the lower
// bound (the critical length, or a resource's total work over its capacity), at the limits, and
// the better result is taken. The first population is always completed, so a huge network still
// gets a schedule if it takes longer than the time limit.
// Raises KestrinError for input checkLevellingInput rejects, for a loop of links, and for
// networks whose total duration exceeds what the time-indexed search can hold.
LevelledSchedule levelResources(const LevellingProblem& problem,
                                const LevellingOptions& options = {});

// One pass of the serial scheme over the list of one priority rule, without improvement: what
// simple planning tools do, for comparison.
LevelledSchedule scheduleByRule(const LevellingProblem& problem, PriorityRule rule);
