#include "TotalCost.h"

#include "KestrinError.h"
#include "TimeCostCurve.h"

TotalCosts totalCosts(const TimeCostCurve& curve, const Decimal& dayCost)
{
    if (dayCost.isNegative())
        throw KestrinError(
            QStringLiteral("Косвенные затраты за день не могут быть отрицательными"));
    const ExactCost perDay = exactcost::fromDecimal(dayCost);
    TotalCosts totals;
    totals.points.reserve(curve.points.size());
    for (int i = 0; i < int(curve.points.size()); ++i) {
        const CurvePoint& point = curve.points[std::size_t(i)];
        const ExactCost indirect = perDay * exactcost::fromDecimal(point.length);
        totals.points.push_back({indirect, point.directCost + indirect});
        // Points run from the longest to the shortest length: `<=` keeps the shortest of equals.
        if (totals.points.back().totalCost <= totals.points[std::size_t(totals.best)].totalCost)
            totals.best = i;
    }
    return totals;
}
