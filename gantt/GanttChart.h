#pragma once

#include "ScheduleDates.h"

#include <QString>

#include <optional>
#include <vector>

class NumberFormat;
class WorkCells;

// One work of the chart: its table row and its times, in the duration unit (days) from the
// start of the project, as the last recalculation left them in the table.
struct GanttWork
{
    int row = 0;
    double duration = 0;
    double earlyStart = 0;
    double earlyFinish = 0;
    double lateStart = 0;
    double lateFinish = 0;
    double totalFloat = 0;
    double freeFloat = 0;

    // Total float exactly 0, as the table's text reads.
    bool isCritical() const { return totalFloat == 0; }
    bool isMilestone() const { return duration == 0; }
};

enum class GanttOrder {
    Table,      // the rows in the order of the work table
    EarlyStart, // by early start; works that start together keep their table order
};

// The works of the work table as a time chart sees them; no widgets. Reads the table once, when
// made: the input columns and the computed columns 0 and 4 to 9 of every work (a blank row is no
// work). The chart is ready when there is at least one work and every one of those cells reads
// as a finite number; otherwise the schedule has not been calculated (or a recalculation failed
// part way) and nothing of it is shown. The table must outlive the chart and stay unchanged
// while the chart is used: the event names, duration texts and tool tips are read from it.
class GanttChart
{
public:
    GanttChart(const WorkCells& table, const NumberFormat& numbers, double startDate);
    // The same with the works' times placed on the calendar by the working calendar's mapping.
    GanttChart(const WorkCells& table, const NumberFormat& numbers, ScheduleDates scheduleDates);

    bool isReady() const { return m_ready; }
    const WorkCells& table() const { return *m_table; }
    // The day count (from 30 December 1899) at which the project starts: time 0 of the chart.
    double startDate() const { return m_startDate; }
    // The days the times of the works fall on (calendar days unless a calendar says otherwise).
    const ScheduleDates& scheduleDates() const { return m_scheduleDates; }

    int workCount() const { return int(m_order.size()); }
    // The work shown at `position` (from 0) in the current order.
    const GanttWork& work(int position) const
    {
        return m_works[std::size_t(m_order[std::size_t(position)])];
    }

    GanttOrder order() const { return m_orderKind; }
    void setOrder(GanttOrder order);

    // Shows each work that has a start in `startByRow` (by table row, in days) from that start for
    // its duration, without float lines, as a levelling within the resources placed it; an empty
    // list shows the calculated schedule again. L stays where the calculation put it.
    void showStarts(const std::vector<std::optional<double>>& startByRow);

    // L, the length of the critical path: the largest late finish (that of the works ending at
    // the network's end event). 0 for a chart that is not ready.
    double criticalLength() const { return m_criticalLength; }
    // L as the table writes it (the late finish text of a work that ends at L).
    QString criticalLengthText() const;
    // The earliest and latest times anything of the chart reaches: 0 and L for a calculated
    // network, wider when the table holds figures outside that span.
    double firstTime() const { return m_firstTime; }
    double lastTime() const { return m_lastTime; }

    // The eleven cells of the work's row, one per line with their meaning, and its name where it
    // has one: the tool tip of its bar. Texts as the table holds them.
    QString details(int position) const;
    // "start → end": its label in the work column.
    QString label(int position) const;
    // Whether some work has a name: then the chart has a column of names beside the work column.
    bool hasNames() const;
    // The work's name; empty where it has none.
    QString name(int position) const;
    QString durationText(int position) const;

private:
    const WorkCells* m_table;
    double m_startDate;
    ScheduleDates m_scheduleDates;
    bool m_ready = false;
    std::vector<GanttWork> m_works;
    std::vector<GanttWork> m_calculated; // the works as the table has them, once others are shown
    std::vector<int> m_order;
    GanttOrder m_orderKind = GanttOrder::Table;
    double m_criticalLength = 0;
    int m_criticalRow = -1;
    double m_firstTime = 0;
    double m_lastTime = 0;
};
