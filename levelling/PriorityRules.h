#pragma once

#include <cstdint>
#include <random>
#include <vector>

class ActivityNetwork;

// Priority rules of the project-scheduling literature; each gives every work a value, the lower
// the more urgent.
enum class PriorityRule {
    LatestFinish,                 // LFT: latest finish without resource limits
    LatestStart,                  // LST
    MinimumSlack,                 // MSLK: total float
    MostTotalSuccessors,          // MTS: works that follow, directly or not
    GreatestRankPositionalWeight, // GRPW: own duration plus the durations of the direct successors
};

std::vector<long long> priorityValues(const ActivityNetwork& network, PriorityRule rule);

// An activity list taking, among the works whose predecessors are all listed, always the most
// urgent (ties: the lower index).
std::vector<int> priorityList(const ActivityNetwork& network, const std::vector<long long>& values);

// Regret-based biased random sampling: among the works whose predecessors are all listed, draws
// one with a chance proportional to (1 + its regret), the regret being how much less urgent the
// least urgent candidate is. Close to the rule, yet every list can come out.
std::vector<int> sampledList(const ActivityNetwork& network, const std::vector<long long>& values,
                             std::mt19937_64& random);

// Uniform integer in [0, bound) and real in [0, 1) from the generator's raw output, so that a
// seed gives the same levelling whatever the standard library.
int randomBelow(std::mt19937_64& random, int bound);
double randomShare(std::mt19937_64& random);
