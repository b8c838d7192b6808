#include "NetworkLoops.h"

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
    const std::size_t events = std::size_t(graph.eventCount());
    std::vector<int> index(events, -1);
    std::vector<int> lowLink(events, 0);
    std::vector<char> onStack(events, 0);
    std::vector<int> componentOf(events, -1);
    std::vector<int> stack;
    // (event, next edge): an explicit stack, as networks may be far deeper than the call stack.
    std::vector<std::pair<int, int>> calls;
    std::vector<std::vector<int>> components;
    int counter = 0;

    const auto open = [&](int event) {
        index[std::size_t(event)] = lowLink[std::size_t(event)] = counter++;
        stack.push_back(event);
        onStack[std::size_t(event)] = 1;
        calls.emplace_back(event, graph.firstEdge(event));
    };
    for (int root = 0; root < int(events); ++root) {
        if (index[std::size_t(root)] >= 0)
            continue;
        open(root);
        while (!calls.empty()) {
            auto& [event, edge] = calls.back();
            if (edge < graph.endEdge(event)) {
                const int next = graph.edgeTarget(edge++);
                if (index[std::size_t(next)] < 0)
                    open(next);
                else if (onStack[std::size_t(next)])
                    lowLink[std::size_t(event)] =
                        std::min(lowLink[std::size_t(event)], index[std::size_t(next)]);
                continue;
            }
            const int finished = event;
            calls.pop_back();
            if (!calls.empty()) {
                const std::size_t caller = std::size_t(calls.back().first);
                lowLink[caller] = std::min(lowLink[caller], lowLink[std::size_t(finished)]);
            }
            if (lowLink[std::size_t(finished)] != index[std::size_t(finished)])
                continue;
            std::vector<int> members;
            int member = -1;
            do {
                member = stack.back();
                stack.pop_back();
                onStack[std::size_t(member)] = 0;
                componentOf[std::size_t(member)] = int(components.size());
                members.push_back(member);
            } while (member != finished);
            components.push_back(std::move(members));
        }
    }

    std::vector<std::vector<int>> loops;
    for (const std::vector<int>& members : components) {
        bool loop = members.size() > 1;
        const int single = members.front();
        for (int edge = graph.firstEdge(single); edge < graph.endEdge(single) && !loop; ++edge)
            loop = graph.edgeTarget(edge) == single;
        if (loop)
            loops.push_back(
                loopIn(graph, componentOf, *std::min_element(members.begin(), members.end())));
    }
    // Components finish from the network's end backwards; name the loops from its start on.
    std::reverse(loops.begin(), loops.end());
    return loops;
}
