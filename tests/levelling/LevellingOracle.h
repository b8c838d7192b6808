#pragma once

#include "LevellingProblem.h"

#include <QString>

#include <vector>

// What the levelling tests hold the engine to, computed without any of its parts.

// Empty when every activity starts at or after 0 and after all its predecessors have finished,
// no resource is ever asked for more than its capacity (checked time unit by time unit), and
// `length` is the latest finish; otherwise what is wrong.
QString levellingFault(const LevellingProblem& problem, const std::vector<int>& starts, int length);

// The shortest length within the capacities, by trying every start time of every activity
// (depth first in a topological order, cut off at the best length found so far). Exponential:
// for networks of a handful of short activities only.
int shortestLengthByEnumeration(const LevellingProblem& problem);

// The demand for a resource in each time unit [0, horizon), summed activity by activity.
std::vector<int> demandPerTimeUnit(const LevellingProblem& problem, const std::vector<int>& starts,
                                   int resource, int horizon);
