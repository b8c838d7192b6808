#pragma once

#include "Decimal.h"
#include "ExactCost.h"

#include <vector>

struct TimeCostNetwork;

// A work below its normal duration at a point of the curve.
struct ShortenedWork
{
    int work = 0; // index into TimeCostNetwork::works
    Decimal duration;
};

// A corner of the least-cost curve: finishing within `length` days costs at least `directCost`,
// and the works listed (all others at their normal durations) reach it at that cost.
struct CurvePoint
{
    Decimal length;
    ExactCost directCost;
    std::vector<ShortenedWork> shortened; // in work order
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
