#include "NetworkPaths.h"

#include "BackwardSearches.h"
#include "EventTimes.h"
#include "NumberFormat.h"
#include "SuccessorGraph.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <queue>

namespace {

constexpr long double kNoSlack = std::numeric_limits<long double>::infinity();

void findCriticalPaths(EventTimes& times, NetworkPaths& paths)
{
    const SuccessorGraph& graph = times.graph();
    BackwardSearches& toEnd = times.toEnd();
    const long double length = times.length();
    if (!(length > 0))
        return;
    struct Step
    {
        int event;
        int nextEdge;
        long double total;
    };
    std::vector<Step> stack{{times.start(), graph.firstEdge(times.start()), 0.0L}};
    while (!stack.empty()) {
        Step& top = stack.back();
        if (top.event == times.end()) {
            if (int(paths.critical.size()) == kCriticalPathLimit) {
                paths.moreCritical = true;
                return;
            }
            NetworkPath path;
            path.length = top.total;
            path.events.reserve(stack.size());
            for (const Step& step : stack)
                path.events.push_back(step.event);
            paths.critical.push_back(std::move(path));
            stack.pop_back();
            continue;
        }
        if (top.nextEdge == graph.endEdge(top.event)) {
            stack.pop_back();
            continue;
        }
        const int edge = top.nextEdge++;
        const int next = graph.edgeTarget(edge);
        long double total = top.total;
        if (!toEnd.leadsToEnd(next) || !graph.addEdgeTo(edge, total))
            continue;
        if (toEnd.reachesExactly(next, total, length))
            stack.push_back({next, graph.firstEdge(next), total});
    }
}

void findOtherPaths(EventTimes& times, NetworkPaths& paths)
{
    const SuccessorGraph& graph = times.graph();
    const NumberFormat& numbers = times.numbers();
    const std::vector<int>& events = times.pathEvents();
    if (events.empty() || times.start() == times.end())
        return;

    // The slack of every step between events on paths; then, per event, the least slack of a
    // single step that a completion from there can take (after steps without slack).
    std::vector<long double> stepSlack(std::size_t(graph.edgeCount()), kNoSlack);
    std::vector<char> stepTight(std::size_t(graph.edgeCount()), 0);
    std::vector<long double> leastAhead(std::size_t(graph.eventCount()), kNoSlack);
    for (auto at = events.rbegin(); at != events.rend(); ++at) {
        const int event = *at;
        if (event == times.end())
            continue;
        long double least = kNoSlack;
        for (int edge = graph.firstEdge(event); edge < graph.endEdge(event); ++edge) {
            const int next = graph.edgeTarget(edge);
            if (!times.onPath(next))
                continue;
            long double durations = 0;
            if (!graph.addEdgeTo(edge, durations))
                continue;
            const long double lateStart = times.lateValue(next) - durations;
            if (!std::isfinite(lateStart))
                continue;
            const bool tight =
                showsAs(numbers, lateStart, times.lateValue(event), times.lateText(event));
            stepTight[std::size_t(edge)] = tight;
            // The slack of the late start as its text shows it.
            stepSlack[std::size_t(edge)] =
                tight ? 0.0L
                      : std::max(0.0L, numbers.parse(numbers.text(lateStart).view()) -
                                           times.lateValue(event));
            least = std::min(least,
                             tight ? leastAhead[std::size_t(next)] : stepSlack[std::size_t(edge)]);
        }
        leastAhead[std::size_t(event)] = least;
    }
    if (leastAhead[std::size_t(times.start())] == kNoSlack)
        return;

    struct Beginning
    {
        int event;
        int edge; // the step into the event; -1 at the start event
        int parent;
        int depth;
        long double slack;
        bool slackTaken;
    };
    struct Entry
    {
        long double key;
        int depth;
        int beginning;
        // The least key first; of equal keys the deepest, then the latest.
        bool operator<(const Entry& other) const
        {
            if (key != other.key)
                return key > other.key;
            if (depth != other.depth)
                return depth < other.depth;
            return beginning < other.beginning;
        }
    };
    std::vector<Beginning> beginnings{{times.start(), -1, -1, 0, 0.0L, false}};
    std::priority_queue<Entry> pending;
    pending.push({leastAhead[std::size_t(times.start())], 0, 0});
    while (!pending.empty() && int(paths.others.size()) < kOtherPathLimit) {
        const int index = pending.top().beginning;
        pending.pop();
        const Beginning here = beginnings[std::size_t(index)];
        if (here.event == times.end()) {
            std::vector<int> steps;
            for (int at = index; beginnings[std::size_t(at)].edge >= 0;
                 at = beginnings[std::size_t(at)].parent)
                steps.push_back(beginnings[std::size_t(at)].edge);
            std::reverse(steps.begin(), steps.end());
            NetworkPath path;
            path.events.push_back(times.start());
            for (const int edge : steps) {
                graph.addEdgeTo(edge, path.length);
                path.events.push_back(graph.edgeTarget(edge));
            }
            // A path whose slack rounds away is listed with the critical ones.
            if (path.length != times.length())
                paths.others.push_back(std::move(path));
            continue;
        }
        for (int edge = graph.firstEdge(here.event); edge < graph.endEdge(here.event); ++edge) {
            const int next = graph.edgeTarget(edge);
            if (stepSlack[std::size_t(edge)] == kNoSlack)
                continue;
            const bool taken = here.slackTaken || !stepTight[std::size_t(edge)];
            const long double slack = here.slack + stepSlack[std::size_t(edge)];
            const long double key = slack + (taken ? 0.0L : leastAhead[std::size_t(next)]);
            if (key == kNoSlack)
                continue;
            beginnings.push_back({next, edge, index, here.depth + 1, slack, taken});
            pending.push({key, here.depth + 1, int(beginnings.size()) - 1});
        }
    }
}

} // namespace

NetworkPaths networkPaths(EventTimes& times)
{
    NetworkPaths paths;
    findCriticalPaths(times, paths);
    findOtherPaths(times, paths);
    return paths;
}
