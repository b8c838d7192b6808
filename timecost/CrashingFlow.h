#pragma once

#include <cstdint>
#include <functional>
#include <vector>

struct ScaledNetwork;
struct TimeCostNetwork;

// The least-cost shortening of a network, traced from its normal length down to its shortest, as
// the classic minimum-cost flow dual to it (Fulkerson 1961, Kelley 1961). Each work is two arcs:
// one as long as its normal duration that carries at most its cost of a day shortened, and one as
// long as its shortest duration that carries any amount. The event times are the flow's
// potentials; a flow of value v through the network is what one more day shortened costs.
//
// Every phase makes the potentials the longest distances of the residual network (Dijkstra on
// reduced lengths), which gives the next length T at which the cost's slope changes, then raises
// the flow to a maximum over the arcs that are tight at those potentials (augmenting paths from
// the flow already there). T falls by at least one grid step a phase and ends when a path of
// works that are all at their shortest (or cannot be shortened) is tight: the shortest possible
// length. A phase's searches reach only as far as they must, nothing is built or cleared beyond
// them, and only the events whose times move are rewritten.
//
// Lengths and times are exact integers on the durations' grid. The flow, made of costs a day that
// are fractions, is carried in long double relative to the largest such cost, and residual
// capacities within 1e-12 of it count as spent: the tolerance decides between shortening plans
// whose costs a day differ by less than that, never a length.
//
// `visit` is called once a phase, T falling (the first call may repeat the normal length), with
// T, the event times indexed by event (only differences between events on paths from start to end
// mean anything) and the events whose times have changed since the previous call (at the first,
// every event on a path); the others keep theirs.
using CrashingVisit =
    std::function<void(std::int64_t length, const std::vector<std::int64_t>& eventTimes,
                       const std::vector<int>& movedEvents)>;

void traceCrashing(const TimeCostNetwork& network, const ScaledNetwork& scaled,
                   const CrashingVisit& visit);
