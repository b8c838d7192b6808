#include "DiagramModel.h"

#include "CriticalPath.h"
#include "EventIndex.h"
#include "EventTimes.h"
#include "NumberFormat.h"
#include "SuccessorGraph.h"
#include "WorkCells.h"
#include "WorkFloats.h"

DiagramModel::DiagramModel(const WorkCells& table, const EventIndex& events,
                           const QString& startEvent, const QString& endEvent,
                           const NumberFormat& numbers)
    : m_startEvent(startEvent), m_endEvent(endEvent)
{
    const SuccessorGraph graph(table, events, QStringList{startEvent, endEvent}, numbers);
    EventTimes times(graph, graph.eventId(startEvent), graph.eventId(endEvent), numbers);
    m_lengthText = times.lengthText();
    const std::vector<WorkFloats> floats = workFloats(times);

    // Events in the order rows first name them, start before end.
    std::vector<int> eventOf(std::size_t(graph.eventCount()), -1);
    const auto diagramEvent = [&](int id) {
        int& event = eventOf[std::size_t(id)];
        if (event < 0) {
            event = int(m_events.size());
            DiagramEvent added;
            added.name = graph.eventName(id);
            if (times.onPath(id)) {
                added.timesKnown = true;
                added.early = times.earlyText(id).toString();
                added.late = times.lateText(id).toString();
                added.slack = times.slackText(id);
                added.critical = numbers.parse(added.slack) == 0;
            }
            m_events.push_back(std::move(added));
        }
        return event;
    };
    for (int row = 0; row < graph.rowCount(); ++row) {
        if (graph.isBlank(row) || table.cellView(WorkColumn::StartEvent, row).isEmpty() ||
            table.cellView(WorkColumn::EndEvent, row).isEmpty())
            continue;
        DiagramWork work;
        work.row = row;
        work.from = diagramEvent(graph.rowStart(row));
        work.to = diagramEvent(graph.rowEnd(row));
        work.duration = table.cell(WorkColumn::Duration, row);
        work.name = table.workName(row);
        const WorkFloats& floatsOfWork = floats[std::size_t(row)];
        if (floatsOfWork.onPath())
            work.totalFloat = floatsOfWork.totalFloat;
        work.critical = floatsOfWork.critical;
        work.zeroDuration = graph.durationParses(row) && graph.duration(row) == 0;
        m_works.push_back(std::move(work));
    }

    if (times.length() > 0) {
        for (const QString& name :
             criticalPathEvents(graph, times.toEnd(), times.start(), times.end(), times.length())) {
            const int id = graph.eventId(name);
            if (id < 0 || eventOf[std::size_t(id)] < 0)
                break;
            m_criticalPath.push_back(eventOf[std::size_t(id)]);
        }
    }
}

QString DiagramModel::caption() const
{
    // One arg() for all: a later one would also replace a "%2" inside an event's name.
    return QStringLiteral("Сетевой график от «%1» до «%2», L = %3")
        .arg(m_startEvent, m_endEvent, m_lengthText);
}

LayoutInput DiagramModel::layoutInput() const
{
    LayoutInput input;
    input.names.reserve(qsizetype(m_events.size()));
    for (const DiagramEvent& event : m_events)
        input.names.append(event.name);
    input.works.reserve(m_works.size());
    for (const DiagramWork& work : m_works)
        input.works.push_back({work.from, work.to, work.critical});
    input.line = m_criticalPath;
    return input;
}
