#include "CriticalPath.h"

#include "BackwardSearches.h"
#include "Progress.h"
#include "SuccessorGraph.h"

#include <stdexcept>

QStringList criticalPathEvents(const SuccessorGraph& graph, BackwardSearches& toEnd, int start,
                               int end, long double length)
{
    QStringList events{graph.eventName(start)};
    int event = start;
    long double total = 0;
    while (event != end) {
        progress::step(u"Пересчёт графика", events.size(), graph.eventCount());
        int chosen = -1;
        for (int edge = graph.firstEdge(event); edge < graph.endEdge(event) && chosen < 0; ++edge) {
            const int next = graph.edgeTarget(edge);
            if (!toEnd.leadsToEnd(next))
                continue;
            long double extended = total;
            graph.addEdgeTo(edge, extended);
            if (toEnd.reachesExactly(next, extended, length)) {
                chosen = next;
                total = extended;
            }
        }
        if (chosen < 0)
            throw std::logic_error("criticalPathEvents: no path of the given length");
        events.append(graph.eventName(chosen));
        event = chosen;
    }
    return events;
}
