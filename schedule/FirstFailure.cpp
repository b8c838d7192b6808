#include "FirstFailure.h"

#include "CheckedArithmetic.h"
#include "KestrinError.h"
#include "SourceSweep.h"
#include "SuccessorGraph.h"

#include <stdexcept>

TargetOutlook outlookTowards(const SuccessorGraph& graph, const SourceSweep& sweep, int target)
{
    TargetOutlook outlook;
    outlook.leadsToTarget.assign(std::size_t(graph.eventCount()), 0);
    outlook.badDurationAhead.assign(std::size_t(graph.eventCount()), 0);
    const std::vector<int>& order = sweep.order();
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        const int event = *it;
        if (event == target) {
            outlook.leadsToTarget[std::size_t(event)] = 1;
            continue;
        }
        for (int edge = graph.firstEdge(event); edge < graph.endEdge(event); ++edge) {
            const int next = graph.edgeTarget(edge);
            if (next != target && !outlook.leadsToTarget[std::size_t(next)])
                continue;
            outlook.leadsToTarget[std::size_t(event)] = 1;
            if (graph.edgeHasBadDuration(edge) ||
                (next != target && outlook.badDurationAhead[std::size_t(next)]))
                outlook.badDurationAhead[std::size_t(event)] = 1;
        }
    }
    return outlook;
}

void raiseFirstFailure(const SuccessorGraph& graph, int source, int target,
                       const std::function<bool(int)>& leadsToTarget,
                       const std::function<bool(int)>& badDurationAhead,
                       const std::function<bool(int, long double)>& overflowAhead)
{
    int event = source;
    long double total = 0;
    for (;;) {
        int chosen = -1;
        long double chosenTotal = 0;
        for (int edge = graph.firstEdge(event); edge < graph.endEdge(event) && chosen < 0; ++edge) {
            const int next = graph.edgeTarget(edge);
            if (next != target && !leadsToTarget(next))
                continue;
            // Every path through this edge starts the same way: its rows fail here or not at all.
            long double extended = total;
            for (const int row : graph.edgeRows(edge)) {
                if (!graph.durationParses(row))
                    throw KestrinError(graph.badDurationMessage(row));
                extended = checked::add(extended, graph.duration(row));
            }
            if (next == target)
                continue;
            if (badDurationAhead(next) || (overflowAhead && overflowAhead(next, extended))) {
                chosen = next;
                chosenTotal = extended;
            }
        }
        if (chosen < 0)
            throw std::logic_error("raiseFirstFailure: the search does not fail");
        event = chosen;
        total = chosenTotal;
    }
}
