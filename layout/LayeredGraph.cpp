#include "LayeredGraph.h"

#include "KestrinError.h"
#include "NetworkLoop.h"

#include <algorithm>
#include <numeric>

namespace {

// Events joined by works, one way or the other, as index lists.
struct EventLinks
{
    std::vector<std::vector<int>> out;
    std::vector<std::vector<int>> in;
};

EventLinks linksOf(int eventCount, const std::vector<LayoutWork>& works)
{
    EventLinks links;
    links.out.resize(std::size_t(eventCount));
    links.in.resize(std::size_t(eventCount));
    for (const LayoutWork& work : works) {
        links.out[std::size_t(work.from)].push_back(work.to);
        links.in[std::size_t(work.to)].push_back(work.from);
    }
    return links;
}

// Events in topological order (Kahn's, lowest ids first among the ready ones); fewer than all
// when the works close a loop.
std::vector<int> topologicalOrder(const EventLinks& links, std::vector<int>& unsettledIn)
{
    const std::size_t count = links.out.size();
    unsettledIn.assign(count, 0);
    for (std::size_t event = 0; event < count; ++event)
        unsettledIn[event] = int(links.in[event].size());
    std::vector<int> order;
    order.reserve(count);
    for (std::size_t event = 0; event < count; ++event)
        if (unsettledIn[event] == 0)
            order.push_back(int(event));
    for (std::size_t next = 0; next < order.size(); ++next)
        for (const int successor : links.out[std::size_t(order[next])])
            if (--unsettledIn[std::size_t(successor)] == 0)
                order.push_back(successor);
    return order;
}

// One loop among the events Kahn's pass could not settle: each of them still has an unsettled
// predecessor, so walking back along those must come round. The events in work order, the first
// repeated at the end.
std::vector<int> loopAmong(const EventLinks& links, const std::vector<int>& unsettledIn)
{
    const auto unsettled = [&](int event) {
        return unsettledIn[std::size_t(event)] > 0;
    };
    int event = 0;
    while (!unsettled(event))
        ++event;
    std::vector<int> walk;
    std::vector<int> seenAt(links.out.size(), -1);
    while (seenAt[std::size_t(event)] < 0) {
        seenAt[std::size_t(event)] = int(walk.size());
        walk.push_back(event);
        const std::vector<int>& before = links.in[std::size_t(event)];
        event = *std::find_if(before.begin(), before.end(), unsettled);
    }
    std::vector<int> loop(walk.begin() + seenAt[std::size_t(event)], walk.end());
    loop.push_back(event);
    std::reverse(loop.begin(), loop.end());
    return loop;
}

} // namespace

LayeredGraph::LayeredGraph(int eventCount, const std::vector<LayoutWork>& works,
                           const QStringList& names, std::int64_t bendBudget,
                           const std::vector<int>& firstWorks)
    : m_eventCount(eventCount)
{
    const EventLinks links = linksOf(eventCount, works);
    std::vector<int> unsettledIn;
    const std::vector<int> order = topologicalOrder(links, unsettledIn);
    if (int(order.size()) < eventCount) {
        QStringList loop;
        for (const int event : loopAmong(links, unsettledIn))
            loop.append(names.value(event));
        throw KestrinError(loopMessage(loop));
    }

    m_layer.assign(std::size_t(eventCount), 0);
    for (const int event : order)
        for (const int successor : links.out[std::size_t(event)])
            m_layer[std::size_t(successor)] =
                std::max(m_layer[std::size_t(successor)], m_layer[std::size_t(event)] + 1);

    // Bends for the works, the chosen ones first, then the shortest; a work that no longer fits
    // the budget stays straight.
    std::vector<int> byNeed(works.size());
    std::iota(byNeed.begin(), byNeed.end(), 0);
    const auto span = [&](int work) {
        const LayoutWork& w = works[std::size_t(work)];
        return m_layer[std::size_t(w.to)] - m_layer[std::size_t(w.from)];
    };
    std::stable_sort(byNeed.begin(), byNeed.end(), [&](int a, int b) { return span(a) < span(b); });
    std::vector<char> chosen(works.size(), 0);
    for (const int work : firstWorks)
        chosen[std::size_t(work)] = 1;
    std::vector<int> routing(firstWorks);
    for (const int work : byNeed)
        if (!chosen[std::size_t(work)])
            routing.push_back(work);

    m_workNodes.resize(works.size());
    std::int64_t bends = 0;
    for (const int work : routing) {
        const int needed = span(work) - 1;
        if (!chosen[std::size_t(work)] && bends + needed > bendBudget)
            continue;
        bends += needed;
        const LayoutWork& w = works[std::size_t(work)];
        std::vector<int>& nodes = m_workNodes[std::size_t(work)];
        nodes.reserve(std::size_t(needed) + 2);
        nodes.push_back(w.from);
        for (int layer = m_layer[std::size_t(w.from)] + 1; layer < m_layer[std::size_t(w.to)];
             ++layer) {
            nodes.push_back(int(m_layer.size()));
            m_layer.push_back(layer);
        }
        nodes.push_back(w.to);
    }

    // The edges, in work order, as compressed adjacency lists both ways.
    const std::size_t nodes = m_layer.size();
    std::vector<int> outDegree(nodes + 1, 0);
    std::vector<int> inDegree(nodes + 1, 0);
    for (const std::vector<int>& chain : m_workNodes)
        for (std::size_t i = 1; i < chain.size(); ++i) {
            ++outDegree[std::size_t(chain[i - 1])];
            ++inDegree[std::size_t(chain[i])];
        }
    const auto fill = [&](Adjacency& adjacency, const std::vector<int>& degree, bool forward) {
        adjacency.begin.assign(nodes + 1, 0);
        for (std::size_t node = 0; node < nodes; ++node)
            adjacency.begin[node + 1] = adjacency.begin[node] + degree[node];
        adjacency.targets.assign(std::size_t(adjacency.begin[nodes]), 0);
        std::vector<int> next(adjacency.begin.begin(), adjacency.begin.end() - 1);
        for (const std::vector<int>& chain : m_workNodes)
            for (std::size_t i = 1; i < chain.size(); ++i) {
                const int from = forward ? chain[i - 1] : chain[i];
                const int to = forward ? chain[i] : chain[i - 1];
                adjacency.targets[std::size_t(next[std::size_t(from)]++)] = to;
            }
    };
    fill(m_successors, outDegree, true);
    fill(m_predecessors, inDegree, false);

    // A first order: depth first from the nodes without predecessors, so that a chain of works
    // starts out in one line.
    int layerCount = 0;
    for (const int layer : m_layer)
        layerCount = std::max(layerCount, layer + 1);
    layers.assign(std::size_t(layerCount), {});
    std::vector<char> placed(nodes, 0);
    std::vector<int> stack;
    for (std::size_t root = 0; root < nodes; ++root) {
        if (placed[root] || !predecessors(int(root)).empty())
            continue;
        stack.push_back(int(root));
        while (!stack.empty()) {
            const int node = stack.back();
            stack.pop_back();
            if (placed[std::size_t(node)])
                continue;
            placed[std::size_t(node)] = 1;
            layers[std::size_t(layer(node))].push_back(node);
            const std::span<const int> next = successors(node);
            for (auto it = next.rbegin(); it != next.rend(); ++it)
                if (!placed[std::size_t(*it)])
                    stack.push_back(*it);
        }
    }
}

std::vector<int> LayeredGraph::positions() const
{
    std::vector<int> position(m_layer.size(), 0);
    for (const std::vector<int>& nodes : layers)
        for (std::size_t i = 0; i < nodes.size(); ++i)
            position[std::size_t(nodes[i])] = int(i);
    return position;
}

std::int64_t LayeredGraph::crossings() const
{
    // Barth, Jünger and Mutzel's count: the edges between two layers sorted by their upper end,
    // their lower ends inserted into an accumulator tree that counts those already further right.
    const std::vector<int> position = positions();
    std::int64_t count = 0;
    std::vector<std::pair<int, int>> edges;
    std::vector<std::int64_t> tree;
    for (std::size_t layer = 0; layer + 1 < layers.size(); ++layer) {
        edges.clear();
        for (const int node : layers[layer])
            for (const int next : successors(node))
                edges.emplace_back(position[std::size_t(node)], position[std::size_t(next)]);
        std::sort(edges.begin(), edges.end());
        std::size_t leaves = 1;
        while (leaves < layers[layer + 1].size())
            leaves *= 2;
        tree.assign(2 * leaves, 0);
        for (const auto& edge : edges) {
            std::size_t index = std::size_t(edge.second) + leaves;
            ++tree[index];
            while (index > 1) {
                if (index % 2 == 0)
                    count += tree[index + 1];
                index /= 2;
                ++tree[index];
            }
        }
    }
    return count;
}
