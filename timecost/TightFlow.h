#pragma once

#include <vector>

struct ResidualNetwork;

// Raises the flow from the start to the end over the tight arcs alone (usable, with no slack) to
// a maximum, from the flow already there: augmenting paths found level by level (Dinic). Each
// round numbers the nodes by their fewest tight arcs from the start and, at the same pace, to the
// end, and keeps whichever search ends first: near a maximum one side of the cut is often most of
// the network, and only the other is then searched. Nothing is built or cleared for the nodes a
// search does not reach.
class TightFlow
{
public:
    explicit TightFlow(int nodes);

    void raise(ResidualNetwork& residual);

private:
    struct Numbering
    {
        std::vector<int> roundOf; // the round a node's number belongs to
        std::vector<int> number;  // kDead: no path to the end goes on from here
        std::vector<int> queue;
        std::size_t next = 0;
    };
    static constexpr int kDead = -2;

    // Whether a tight path joins start and end; if so, `m_kept` is the numbering to follow.
    bool number(const ResidualNetwork& residual);
    // Numbers the nodes one arc on from the next in the side's queue; whether the search reached
    // the other end, or -1 when it has no node left.
    int step(const ResidualNetwork& residual, Numbering& side, bool fromStart);
    void reach(const ResidualNetwork& residual, Numbering& side, int node, int number);
    bool numbered(const Numbering& side, int node) const;
    // Whether the arc leads one level on towards the end in the kept numbering.
    bool leadsOn(int from, int to) const;
    // Augments along paths that go one level on each arc until none is left.
    void block(ResidualNetwork& residual);

    int m_round = 0;
    Numbering m_fromStart;
    Numbering m_toEnd;
    Numbering* m_kept = nullptr;
    std::vector<int> m_nextArc; // the first arc of a node not yet found useless this round
    std::vector<int> m_path;
};
