#pragma once

#include "Decimal.h"
#include "ExactCost.h"

#include <vector>

struct TimeCostNetwork;

// A work and its duration at a point of the curve.
struct WorkDuration
{
    int work = 0; // index into TimeCostNetwork::works
    Decimal duration;
};

// A corner of the least-cost curve: finishing within `length` days costs at least `directCost`,
// and the plan of the corner (shortenedAt) reaches it at that cost. A corner keeps only what
// changed since the previous one: a plan a corner would make the memory grow with the square of
// the works on a long chain.
struct CurvePoint
{
    Decimal length;
    ExactCost directCost;
    // The works whose durations differ from the previous corner's, with their durations here (a
    // work given its normal duration back is listed with it), in work order; none at the first.
    std::vector<WorkDuration> changed;
    int shortenedCount = 0; // works below their normal durations here
};

// The least direct cost of finishing the network within T, for every T from the normal length
// down to the shortest possible: convex, piecewise linear, and straight between its points. The
// first point is the normal length with every work at its normal duration; the last is the
// shortest possible length. Lengths and durations are exact; costs are exact rationals.
struct TimeCostCurve
{
    std::vector<CurvePoint> points;
};

// Raises the messages of scaleNetwork() (TimeCostNetwork.h) for bad input and loops.
TimeCostCurve timeCostCurve(const TimeCostNetwork& network);

// The plan of the point at `index`: the works below their normal durations there, with their
// durations, in work order (all other works at their normal durations). Replays the changes of
// the points up to it.
std::vector<WorkDuration> shortenedAt(const TimeCostNetwork& network, const TimeCostCurve& curve,
                                      std::size_t index);
