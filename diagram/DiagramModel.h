#pragma once

#include "NetworkLayout.h"

#include <QString>

#include <vector>

class EventIndex;
class NumberFormat;
class WorkCells;

// An event of the diagram with its times as the recalculation computes them, text for text
// (EventTimes): Tр, Tп and R = Tп − Tр. Only events on some path from the start to the end
// event have times; R of 0 makes the event critical.
struct DiagramEvent
{
    QString name;
    bool timesKnown = false;
    QString early;
    QString late;
    QString slack;
    bool critical = false;
};

// A work (a row of the table) between two events of the diagram.
struct DiagramWork
{
    int row = 0;
    int from = 0; // events of the diagram
    int to = 0;
    QString duration;   // the cell as typed
    QString totalFloat; // О.З.В. as the recalculation writes it; empty off every path
    QString name;       // the work's name, where it has one (the hint of its arrow)
    bool critical = false;
    bool zeroDuration = false;
};

// The network of the work table as the diagram shows it; widget-free. Every row with a start and
// an end event is a work (blank rows and rows missing an event are left out) and every event such
// a row names is an event, matched exactly as the searches match them. The times, the critical
// works (total float 0) and the critical path (the one the path line shows) are those a
// recalculation with these ends would now compute; nothing is written back.
class DiagramModel
{
public:
    // Raises what a recalculation with these ends raises: the loop message, a duration that is
    // not a number, an overflow. The table and the index must describe the same table.
    DiagramModel(const WorkCells& table, const EventIndex& events, const QString& startEvent,
                 const QString& endEvent, const NumberFormat& numbers);

    const std::vector<DiagramEvent>& events() const { return m_events; }
    const std::vector<DiagramWork>& works() const { return m_works; }
    // The critical path's events in order; empty when no path of positive length joins the ends.
    const std::vector<int>& criticalPath() const { return m_criticalPath; }
    const QString& startEvent() const { return m_startEvent; }
    const QString& endEvent() const { return m_endEvent; }
    const QString& lengthText() const { return m_lengthText; }
    // One line naming the network: "Сетевой график от «1» до «10», L = 21".
    QString caption() const;

    // What the layout engine needs: names, works, and the critical path for the line.
    LayoutInput layoutInput() const;

private:
    std::vector<DiagramEvent> m_events;
    std::vector<DiagramWork> m_works;
    std::vector<int> m_criticalPath;
    QString m_startEvent;
    QString m_endEvent;
    QString m_lengthText;
};
