#pragma once

#include <cstdint>
#include <vector>

struct ScaledNetwork;
struct TimeCostNetwork;

// The residual network of the crashing flow over the events on paths (nodes numbered in path
// order, the start 0 and the end last), as flat arrays: arcs in pairs, forward and back, listed by
// the node they leave, each with the length it adds to a path and the flow it can still take;
// and the event times that are the flow's potentials.
//
// The times are kept relative to the end event: a phase that shortens the network moves only the
// events nearer the start than the cut, so the rest are never touched. Only differences of times
// mean anything; the length is the end's time less the start's.
struct ResidualNetwork
{
    // The flow is counted relative to the largest cost a day, and a room within this of nothing
    // is spent: it decides between shortening plans whose costs a day differ by less than that,
    // never a length.
    static constexpr long double kSpent = 1e-12L;

    std::vector<int> firstOut; // per node and one past the last: its arcs are [first, next first)
    std::vector<int> head;     // per arc, the node it enters
    std::vector<int> partner;  // per arc, the other arc of its pair
    std::vector<std::int64_t> gain;
    std::vector<long double> room;
    std::vector<char> open;      // per arc, whether its room is more than spent: read far more
                                 // often than the room changes
    std::vector<char> unbounded; // forward arcs that take any amount
    std::vector<std::int64_t> time;
    int sink = 0; // the start is node 0

    int nodes() const { return int(time.size()); }
    int tail(int arc) const { return head[std::size_t(partner[std::size_t(arc)])]; }
    bool usable(int arc) const { return open[std::size_t(arc)] != 0; }
    // How much longer the arc's events are apart than it needs: never negative for a usable arc.
    std::int64_t slack(int from, int arc) const
    {
        const auto a = std::size_t(arc);
        return time[std::size_t(head[a])] - time[std::size_t(from)] - gain[a];
    }
    bool tight(int from, int arc) const { return usable(arc) && slack(from, arc) == 0; }
    std::int64_t length() const { return time[std::size_t(sink)] - time[0]; }
    // Takes `amount` of the arc's room and gives it to its partner.
    void push(int arc, long double amount)
    {
        const auto a = std::size_t(arc);
        const auto b = std::size_t(partner[a]);
        room[a] -= amount;
        room[b] += amount;
        open[a] = room[a] > kSpent;
        open[b] = room[b] > kSpent;
    }
};

// The network before any shortening: no flow, each work one arc as long as its normal duration
// that carries at most its cost of a day shortened (relative to the largest) and one as long as
// its shortest that carries any amount; the times the longest distances from the start. Needs at
// least two events on paths.
ResidualNetwork residualNetwork(const TimeCostNetwork& network, const ScaledNetwork& scaled);
