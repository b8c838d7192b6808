#pragma once

#include "SourceSweep.h"

#include <unordered_map>

class SuccessorGraph;

// The longest path searches from the start event of a recalculation: L (to the end event) and
// every early start (to a work's start event).
//
// Usually the part of the network reachable from the start event holds no loop, and one sweep
// answers every search at once. When it does hold one, whether a search meets it depends on its
// target (paths stop there), so each distinct target gets a sweep of its own.
class ForwardSearches
{
public:
    ForwardSearches(const SuccessorGraph& graph, int start);

    // The search from the start event to target, as the enumeration gives it: the greatest path
    // total, never below 0. Raises what the enumeration would raise: the conversion or overflow
    // error of the first failing path, or the loop error when it would never end.
    long double lengthTo(int target);

private:
    long double answer(const SourceSweep& sweep, int target) const;

    const SuccessorGraph& m_graph;
    int m_start;
    bool m_trackLowest;
    SourceSweep m_whole;
    bool m_wholeIsAcyclic;
    SourceSweep m_perTarget;
    std::unordered_map<int, long double> m_perTargetLengths;
};
