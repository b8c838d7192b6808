#pragma once

#include "CheckedArithmetic.h"
#include "EventTimes.h"
#include "KestrinError.h"
#include "NumberFormat.h"
#include "SuccessorGraph.h"
#include "WorkCells.h"

// The computed figures of one work (a non-blank row) from the times of its events, in the one
// text chain that the recalculation writes and the analysis and the diagram show: every figure is
// made as general number text and read back from that text before the next one uses it.
//     early start  = Tр of the start event
//     early finish = early start + duration
//     late finish  = Tп of the end event
//     late start   = late finish - duration
//     total float  = late start - early start
//     free float   = the following works' early start (EventTimes::followingStart) - early finish
struct RowFigures
{
    QStringView earlyStart; // the event times' own texts, valid as long as the EventTimes
    NumberText earlyFinish;
    long double earlyFinishValue = 0; // what the free float is made from
    QStringView lateFinish;
    NumberText lateStart;
    NumberText totalFloat;
};

// Makes the figures of `row` but the free float in the order above and hands each to
// shown(column, text) the moment it is made. A failure (a search, a duration that is not a
// number, an overflow) is raised where the recalculation's first pass meets it, the figures
// before it already handed on.
template <typename Shown> RowFigures rowFigures(EventTimes& times, int row, Shown&& shown)
{
    const SuccessorGraph& graph = times.graph();
    const NumberFormat& numbers = times.numbers();
    RowFigures figures;
    const int start = graph.rowStart(row);
    const long double earlyStart = times.earlyValue(start);
    figures.earlyStart = times.earlyText(start);
    shown(WorkColumn::EarlyStart, figures.earlyStart);
    if (!graph.durationParses(row))
        throw KestrinError(graph.badDurationMessage(row));
    const long double duration = graph.duration(row);
    figures.earlyFinish =
        numbers.text(checked::add(duration, earlyStart), figures.earlyFinishValue);
    shown(WorkColumn::EarlyFinish, figures.earlyFinish.view());
    const int end = graph.rowEnd(row);
    const long double lateFinish = times.lateValue(end);
    figures.lateFinish = times.lateText(end);
    shown(WorkColumn::LateFinish, figures.lateFinish);
    long double lateStart = 0;
    figures.lateStart = numbers.text(checked::subtract(lateFinish, duration), lateStart);
    shown(WorkColumn::LateStart, figures.lateStart.view());
    figures.totalFloat = numbers.text(checked::subtract(lateStart, earlyStart));
    shown(WorkColumn::TotalFloat, figures.totalFloat.view());
    return figures;
}

inline RowFigures rowFigures(EventTimes& times, int row)
{
    return rowFigures(times, row, [](WorkColumn, QStringView) {});
}

// The free float of a non-blank row (the recalculation's second pass), from the value of its
// early finish.
inline NumberText freeFloat(EventTimes& times, int row, long double earlyFinish)
{
    const long double following = times.followingStart(times.graph().rowEnd(row));
    return times.numbers().text(checked::subtract(following, earlyFinish));
}
