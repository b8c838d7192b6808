#include "WorkFloats.h"

#include "EventTimes.h"
#include "NumberFormat.h"
#include "RowFigures.h"
#include "SuccessorGraph.h"

std::vector<WorkFloats> workFloats(EventTimes& times)
{
    const SuccessorGraph& graph = times.graph();
    const NumberFormat& numbers = times.numbers();
    const int rows = graph.rowCount();
    std::vector<WorkFloats> floats(static_cast<std::size_t>(rows));
    std::vector<long double> earlyFinish(std::size_t(rows), 0.0L);
    // The recalculation's first pass, then its second.
    for (int row = 0; row < rows; ++row) {
        if (graph.isBlank(row))
            continue;
        WorkFloats& work = floats[std::size_t(row)];
        work.blank = false;
        const RowFigures figures = rowFigures(times, row);
        earlyFinish[std::size_t(row)] = figures.earlyFinishValue;
        work.totalFloat = figures.totalFloat.toString();
        work.totalFloatValue = numbers.parse(figures.totalFloat.view());
    }
    for (int row = 0; row < rows; ++row) {
        if (!graph.isBlank(row))
            floats[std::size_t(row)].freeFloat =
                freeFloat(times, row, earlyFinish[std::size_t(row)]).toString();
    }

    // The works on paths from the start to the end event: the edges between events on such
    // paths (paths stop at the end event, so nothing leaving it counts).
    for (const int event : times.pathEvents()) {
        if (event == times.end())
            continue;
        for (int edge = graph.firstEdge(event); edge < graph.endEdge(event); ++edge) {
            if (!times.onPath(graph.edgeTarget(edge)))
                continue;
            for (const int row : graph.edgeRows(edge)) {
                WorkFloats& work = floats[std::size_t(row)];
                work.pathEdge = edge;
                work.critical = work.totalFloatValue == 0;
            }
        }
    }
    return floats;
}
