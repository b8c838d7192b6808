#pragma once

#include "Decimal.h"
#include "ExactCost.h"

#include <QStringList>

#include <cstdint>
#include <optional>
#include <vector>

// A work as the time–cost engine sees it: from one event to another, lasting `duration` days at
// `cost`, and, when it can be sped up, lasting as little as `shortestDuration` at `shortestCost`.
// Between the two the cost is linear in the duration; a work without both cannot be shortened.
struct CostedWork
{
    int startEvent = 0; // index into TimeCostNetwork::eventNames
    int endEvent = 0;
    Decimal duration;
    Decimal cost;
    std::optional<Decimal> shortestDuration;
    std::optional<Decimal> shortestCost;
};

// The whole question: the works, the names of the events (for messages) and the events the
// project starts and ends at.
struct TimeCostNetwork
{
    QStringList eventNames;
    std::vector<CostedWork> works;
    int startEvent = 0;
    int endEvent = 0;
};

// The network checked and put on integer grids, as the flow works on it. Every duration is counted
// in 10^-durationDecimals days and every cost in 10^-costDecimals, the finest scale any input
// uses, so that sums and differences of durations are exact integers.
struct ScaledNetwork
{
    int durationDecimals = 0;
    int costDecimals = 0;
    // Per work. A work that cannot be shortened has shortest == duration and costRise 0.
    std::vector<std::int64_t> duration;
    std::vector<std::int64_t> shortest;
    std::vector<std::int64_t> costRise; // shortest cost less normal cost, >= 0
    ExactCost normalCost;               // the sum of the normal costs
    // The events on some path from the start to the end, in an order where every work on such a
    // path goes forward; the start first, the end last.
    std::vector<int> pathEvents;
    // The works between two such events: the only ones the length depends on.
    std::vector<int> pathWorks;
};

// Raises the user's message for a work that cannot exist ("кратчайшая продолжительность больше
// продолжительности", a negative duration or cost, a shortest cost below the normal cost), for a
// loop reachable from the start (the schedule's loop message), for an end that no path reaches,
// and for numbers too long to be counted exactly in 64 bits.
ScaledNetwork scaleNetwork(const TimeCostNetwork& network);

// "Работа «A»→«B»", how the engine's messages name a work.
QString workName(const TimeCostNetwork& network, int work);
