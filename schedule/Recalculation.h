#pragma once

#include "ScheduleDates.h"

#include <QString>
#include <QStringList>

#include <memory>

class DateFormat;
class EventIndex;
class EventTimes;
class NameCollation;
class NumberFormat;
class SuccessorGraph;
class WorkCells;

// One recalculation of the schedule (sbRecalcClick): the critical length and path, then the
// computed columns of every row.
//
// Every figure is the one that the longest path search by explicit enumeration of all paths gives,
// called 1 + 3 x rows times as the passes describe; the searches are answered by a few passes over
// the network instead (ForwardSearches, BackwardSearches). The passes keep the text chaining:
// every value is written as general number text and parsed back from that text before it is used.
//
// Decisions beyond the enumeration:
// - A blank row (start event, end event and duration all empty) is no work: it takes part in no
//   search, count or scan, and its computed cells are written empty.
// - A search whose enumeration would never end (a loop reachable from its start without passing
//   its target) raises "Сетевой график содержит цикл: a -> b -> a".
// - When no path of positive length leads from the start to the end event the critical path list
//   is emptied, so that no path of an earlier recalculation is shown.
// A failure ends the recalculation where it occurs; cells written before it keep their new text.
class Recalculation
{
public:
    // The date column counts calendar days from the start date.
    Recalculation(WorkCells& table, QString startEvent, QString endEvent, double startDate,
                  const NumberFormat& numbers, const DateFormat& dates, const NameCollation& names);
    // The date column goes through the working calendar's mapping: a work begins on the day of
    // its early start (the start events' works on the day of time 0).
    Recalculation(WorkCells& table, QString startEvent, QString endEvent,
                  ScheduleDates scheduleDates, const NumberFormat& numbers, const DateFormat& dates,
                  const NameCollation& names);
    // The same with the events of the table already indexed; the index must describe the table
    // as it is, and outlive the recalculation.
    Recalculation(WorkCells& table, const EventIndex& events, QString startEvent, QString endEvent,
                  double startDate, const NumberFormat& numbers, const DateFormat& dates,
                  const NameCollation& names);
    Recalculation(WorkCells& table, const EventIndex& events, QString startEvent, QString endEvent,
                  ScheduleDates scheduleDates, const NumberFormat& numbers, const DateFormat& dates,
                  const NameCollation& names);
    ~Recalculation();
    Recalculation(const Recalculation&) = delete;
    Recalculation& operator=(const Recalculation&) = delete;

    // Step 1: the critical length L, the search from the start to the end event. criticalPath is
    // replaced by the first path in depth-first order whose total is L when L > 0, and emptied
    // otherwise. When the search fails, the error passes on and criticalPath keeps its content.
    long double criticalLength(QStringList& criticalPath);

    // The three passes over the rows: columns 0, 4, 5, 7, 6 and 8 row by row, then column 9, then
    // column 10. Raises the first failure where the passes meet it.
    void fillComputedColumns();

private:
    void prepare();
    // The three passes at once, each row's cells written together, where no step of them can
    // fail; returns false, having written nothing, where one could.
    bool fillAtOnce();
    void firstPass();
    void secondPass();
    void thirdPass();

    WorkCells& m_table;
    QString m_startEvent;
    QString m_endEvent;
    ScheduleDates m_scheduleDates;
    const NumberFormat& m_numbers;
    const DateFormat& m_dates;
    const NameCollation& m_names;
    const EventIndex* m_events = nullptr;

    std::unique_ptr<SuccessorGraph> m_graph;
    std::unique_ptr<EventTimes> m_times;
    // Per event: how many works end there (the preceding works of the works leaving it); per
    // row: the value of its early finish, from the first pass for the second.
    struct PassMemo;
    std::unique_ptr<PassMemo> m_memo;
};

// The caption of the path line: "    Критический путь [L=" + L + "]: " followed by every event as
// " ' event ' ", consecutive events joined by " -> ". An empty path gives the header alone.
QString criticalPathLine(const NumberFormat& numbers, long double length, const QStringList& path);
