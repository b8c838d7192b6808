#pragma once

#include <vector>

struct LevellingProblem;

// One stretch of constant demand: from time `from` up to (not including) time `to`.
struct LoadStep
{
    int from = 0;
    int to = 0;
    int demand = 0;
};

// A stretch in which the demand exceeds what is available: from `from` up to `to` the works
// need `required` units and `available` are there.
struct Overload
{
    int from = 0;
    int to = 0;
    int required = 0;
    int available = 0;
};

// The demand for one resource over time when the works start at `starts`: steps of constant
// demand in time order, neighbours always differing, from the first start to the last finish of
// a work that takes time (stretches of zero demand in between included); empty when no work
// takes time. Linear in the works and the span (a difference array) when the span is at most a
// few times the number of works, else a sort of the start and finish times.
std::vector<LoadStep> loadProfile(const LevellingProblem& problem, const std::vector<int>& starts,
                                  int resource);

// The steps of a profile whose demand exceeds `available`, one row per step (neighbouring rows
// differ in what is required).
std::vector<Overload> overloads(const std::vector<LoadStep>& profile, int available);
