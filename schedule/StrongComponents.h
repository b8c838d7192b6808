#pragma once

#include "SuccessorGraph.h"

#include <algorithm>
#include <utility>
#include <vector>

// The strongly connected components of a network (Tarjan's algorithm, with explicit stacks, as
// networks may be far deeper than the call stack). onComponent(members) is called for each
// component as it finishes, its members in the order they leave the stack (the component's root
// last); a component finishes after every component it reaches, so a network without loops gives
// its events from the end backwards. The works leaving stopAt (or none, for -1) are not followed:
// paths end there. onRoot(visited) is called before each root of the search with the number of
// events visited so far, for progress. Time and memory linear in events and works.
template <class OnComponent, class OnRoot>
void forEachStrongComponent(const SuccessorGraph& graph, int stopAt, OnComponent&& onComponent,
                            OnRoot&& onRoot)
{
    const int events = graph.eventCount();
    std::vector<int> index(std::size_t(events), -1);
    std::vector<int> lowLink(std::size_t(events), 0);
    std::vector<char> onStack(std::size_t(events), 0);
    std::vector<int> stack;
    std::vector<int> members;
    // (event, next edge): the search's own call stack.
    std::vector<std::pair<int, int>> calls;
    int counter = 0;

    const auto edgesEnd = [&](int event) {
        return event == stopAt ? graph.firstEdge(event) : graph.endEdge(event);
    };
    const auto open = [&](int event) {
        index[std::size_t(event)] = lowLink[std::size_t(event)] = counter++;
        stack.push_back(event);
        onStack[std::size_t(event)] = 1;
        calls.emplace_back(event, graph.firstEdge(event));
    };
    for (int root = 0; root < events; ++root) {
        onRoot(counter);
        if (index[std::size_t(root)] >= 0)
            continue;
        open(root);
        while (!calls.empty()) {
            const int event = calls.back().first;
            const int edge = calls.back().second;
            if (edge < edgesEnd(event)) {
                ++calls.back().second;
                const int next = graph.edgeTarget(edge);
                if (index[std::size_t(next)] < 0)
                    open(next);
                else if (onStack[std::size_t(next)])
                    lowLink[std::size_t(event)] =
                        std::min(lowLink[std::size_t(event)], index[std::size_t(next)]);
                continue;
            }
            calls.pop_back();
            if (!calls.empty()) {
                const std::size_t caller = std::size_t(calls.back().first);
                lowLink[caller] = std::min(lowLink[caller], lowLink[std::size_t(event)]);
            }
            if (lowLink[std::size_t(event)] != index[std::size_t(event)])
                continue;
            members.clear();
            int member = -1;
            do {
                member = stack.back();
                stack.pop_back();
                onStack[std::size_t(member)] = 0;
                members.push_back(member);
            } while (member != event);
            onComponent(std::as_const(members));
        }
    }
}

// Whether a component closes a loop: it has more than one event, or its one event has a work
// to itself (unless the event is stopAt, whose works are not followed).
inline bool componentIsLoop(const SuccessorGraph& graph, const std::vector<int>& members,
                            int stopAt = -1)
{
    if (members.size() > 1)
        return true;
    const int single = members.front();
    if (single == stopAt)
        return false;
    for (int edge = graph.firstEdge(single); edge < graph.endEdge(single); ++edge) {
        if (graph.edgeTarget(edge) == single)
            return true;
    }
    return false;
}
