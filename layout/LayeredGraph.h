#pragma once

#include <QStringList>

#include <cstdint>
#include <span>
#include <vector>

// A work of a network to lay out: the events it runs from and to (ids from 0), and whether it is
// critical (of parallel works between two events of the line, a critical one goes on it).
struct LayoutWork
{
    int from = 0;
    int to = 0;
    bool critical = false;
};

// A network cut into layers, the form in which layered drawings are made. Every event stands in
// the layer of its longest chain of works from an event without predecessors, so each work runs
// from a layer to a later one. A work that skips layers gets a bend in each layer it passes
// through, so that in this graph every edge joins neighbouring layers; the order of the nodes in
// each layer is then all that an ordering decides.
//
// Nodes are the events [0, eventCount) followed by the bends. Bends are spent on the shortest
// works first, up to a budget; a work left without its bends (only in networks that would need
// more of them than the budget allows) is not part of the edges and is drawn straight.
class LayeredGraph
{
public:
    // Raises the loop message ("Сетевой график содержит цикл: ..."), naming the events of one
    // cycle by `names`, when the works close a loop; a work from an event to itself is one.
    // `firstWorks` are given their bends before any other work.
    LayeredGraph(int eventCount, const std::vector<LayoutWork>& works, const QStringList& names,
                 std::int64_t bendBudget, const std::vector<int>& firstWorks = {});

    int eventCount() const { return m_eventCount; }
    int nodeCount() const { return int(m_layer.size()); }
    bool isEvent(int node) const { return node < m_eventCount; }
    int layer(int node) const { return m_layer[std::size_t(node)]; }
    int layerCount() const { return int(layers.size()); }

    // The nodes a work passes, from its start event through its bends to its end event; empty
    // for a work left without bends.
    const std::vector<int>& workNodes(int work) const { return m_workNodes[std::size_t(work)]; }
    bool isRouted(int work) const { return !m_workNodes[std::size_t(work)].empty(); }

    // The edges, each from a layer to the next; parallel works give parallel edges.
    std::span<const int> successors(int node) const { return slice(m_successors, node); }
    std::span<const int> predecessors(int node) const { return slice(m_predecessors, node); }
    int edgeCount() const { return int(m_successors.targets.size()); }

    // The nodes of each layer in their order, top to bottom; the orderings rearrange them.
    std::vector<std::vector<int>> layers;

    // Where each node stands in its layer's order.
    std::vector<int> positions() const;
    // Pairs of edges between the same two layers that cross, for the order as it is.
    std::int64_t crossings() const;

private:
    struct Adjacency
    {
        std::vector<int> begin;
        std::vector<int> targets;
    };
    static std::span<const int> slice(const Adjacency& adjacency, int node)
    {
        const auto from = std::size_t(adjacency.begin[std::size_t(node)]);
        const auto to = std::size_t(adjacency.begin[std::size_t(node) + 1]);
        return {adjacency.targets.data() + from, to - from};
    }

    int m_eventCount = 0;
    std::vector<int> m_layer;
    std::vector<std::vector<int>> m_workNodes;
    Adjacency m_successors;
    Adjacency m_predecessors;
};
