#include "ResidualNetwork.h"

#include "TimeCostNetwork.h"

#include <algorithm>
#include <limits>

namespace {

struct PlannedArc
{
    int from;
    int to;
    std::int64_t gain;
    long double room;
    bool unbounded;
};

std::vector<PlannedArc> plannedArcs(const TimeCostNetwork& network, const ScaledNetwork& scaled)
{
    std::vector<int> node(std::size_t(network.eventNames.size()), -1);
    for (int i = 0; i < int(scaled.pathEvents.size()); ++i)
        node[std::size_t(scaled.pathEvents[std::size_t(i)])] = i;

    const auto perDay = [&scaled](std::size_t work) {
        return static_cast<long double>(scaled.costRise[work]) /
               static_cast<long double>(scaled.duration[work] - scaled.shortest[work]);
    };
    long double steepest = 0;
    for (const int w : scaled.pathWorks) {
        if (scaled.costRise[std::size_t(w)] > 0)
            steepest = std::max(steepest, perDay(std::size_t(w)));
    }
    std::vector<PlannedArc> planned;
    long double bounded = 1;
    for (const int w : scaled.pathWorks) {
        const auto i = std::size_t(w);
        const CostedWork& work = network.works[i];
        const int from = node[std::size_t(work.startEvent)];
        const int to = node[std::size_t(work.endEvent)];
        if (scaled.costRise[i] > 0) {
            planned.push_back({from, to, scaled.duration[i], perDay(i) / steepest, false});
            bounded += planned.back().room;
        }
        // A work shortened for nothing has only this arc: it is as short as it can be whenever
        // that helps.
        planned.push_back({from, to, scaled.shortest[i], 0, true});
    }
    // Any flow is at most the sum of the bounded rooms, so this room is never filled.
    for (PlannedArc& arc : planned) {
        if (arc.unbounded)
            arc.room = bounded;
    }
    return planned;
}

} // namespace

ResidualNetwork residualNetwork(const TimeCostNetwork& network, const ScaledNetwork& scaled)
{
    const std::vector<PlannedArc> planned = plannedArcs(network, scaled);
    const int nodes = int(scaled.pathEvents.size());
    ResidualNetwork residual;
    residual.sink = nodes - 1;

    // Each planned arc is a forward half leaving its start and a back half leaving its end,
    // placed by counting.
    residual.firstOut.assign(std::size_t(nodes) + 1, 0);
    for (const PlannedArc& arc : planned) {
        ++residual.firstOut[std::size_t(arc.from) + 1];
        ++residual.firstOut[std::size_t(arc.to) + 1];
    }
    for (std::size_t v = 1; v < residual.firstOut.size(); ++v)
        residual.firstOut[v] += residual.firstOut[v - 1];
    const std::size_t arcs = planned.size() * 2;
    residual.head.resize(arcs);
    residual.partner.resize(arcs);
    residual.gain.resize(arcs);
    residual.room.resize(arcs);
    residual.open.resize(arcs);
    residual.unbounded.resize(arcs);
    std::vector<int> next(residual.firstOut.begin(), residual.firstOut.end() - 1);
    for (const PlannedArc& arc : planned) {
        const int forward = next[std::size_t(arc.from)]++;
        const int back = next[std::size_t(arc.to)]++;
        const auto f = std::size_t(forward);
        const auto b = std::size_t(back);
        residual.head[f] = arc.to;
        residual.head[b] = arc.from;
        residual.partner[f] = back;
        residual.partner[b] = forward;
        residual.gain[f] = arc.gain;
        residual.gain[b] = -arc.gain;
        residual.room[f] = arc.room;
        residual.room[b] = 0;
        residual.open[f] = arc.room > ResidualNetwork::kSpent;
        residual.open[b] = false;
        residual.unbounded[f] = arc.unbounded;
        residual.unbounded[b] = false;
    }

    // The first times: the longest distances along the forward arcs, in path order.
    constexpr std::int64_t kUnset = std::numeric_limits<std::int64_t>::min();
    residual.time.assign(std::size_t(nodes), kUnset);
    residual.time[0] = 0;
    for (int v = 0; v < nodes; ++v) {
        for (int a = residual.firstOut[std::size_t(v)]; a < residual.firstOut[std::size_t(v) + 1];
             ++a) {
            if (residual.usable(a)) {
                std::int64_t& to = residual.time[std::size_t(residual.head[std::size_t(a)])];
                to = std::max(to, residual.time[std::size_t(v)] + residual.gain[std::size_t(a)]);
            }
        }
    }
    return residual;
}
