#include "NetworkLoops.h"

#include "StrongComponents.h"
#include "SuccessorGraph.h"

#include <algorithm>
#include <unordered_map>
#include <utility>

namespace {

// A loop inside one component: from its first member, always the first step that stays inside,
// until an event comes round again.
std::vector<int> loopIn(const SuccessorGraph& graph, const std::vector<int>& componentOf, int first)
{
    std::vector<int> walk;
    std::unordered_map<int, int> placeInWalk;
    int event = first;
    for (;;) {
        if (const auto seen = placeInWalk.find(event); seen != placeInWalk.end()) {
            std::vector<int> loop(walk.begin() + seen->second, walk.end());
            loop.push_back(event);
            return loop;
        }
        placeInWalk.emplace(event, int(walk.size()));
        walk.push_back(event);
        int next = -1;
        for (int edge = graph.firstEdge(event); edge < graph.endEdge(event) && next < 0; ++edge) {
            if (componentOf[std::size_t(graph.edgeTarget(edge))] == componentOf[std::size_t(event)])
                next = graph.edgeTarget(edge);
        }
        event = next;
    }
}

} // namespace

std::vector<std::vector<int>> networkLoops(const SuccessorGraph& graph)
{
    std::vector<int> componentOf(std::size_t(graph.eventCount()), -1);
    std::vector<std::vector<int>> components;
    forEachStrongComponent(
        graph, -1,
        [&](const std::vector<int>& members) {
            for (const int member : members)
                componentOf[std::size_t(member)] = int(components.size());
            components.push_back(members);
        },
        [](int) {});

    std::vector<std::vector<int>> loops;
    for (const std::vector<int>& members : components) {
        if (componentIsLoop(graph, members))
            loops.push_back(
                loopIn(graph, componentOf, *std::min_element(members.begin(), members.end())));
    }
    // Components finish from the network's end backwards; name the loops from its start on.
    std::reverse(loops.begin(), loops.end());
    return loops;
}
