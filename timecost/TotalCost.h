#pragma once

#include "Decimal.h"
#include "ExactCost.h"

#include <vector>

struct TimeCostCurve;

// The indirect cost of each point of a curve (the cost of a day of the whole project times its
// length) and the total with the direct cost.
struct TotalCostPoint
{
    ExactCost indirectCost;
    ExactCost totalCost;
};

// The totals, point for point with the curve, and the point of the least total: the total is
// convex and straight between the points, so its least is at one of them. Of equal totals the
// shortest length is chosen: the same money buys an earlier finish.
struct TotalCosts
{
    std::vector<TotalCostPoint> points;
    int best = 0;
};

// Raises "Косвенные затраты за день не могут быть отрицательными" for a negative day cost.
TotalCosts totalCosts(const TimeCostCurve& curve, const Decimal& dayCost);
