#include "EventTimes.h"

#include "BackwardSearches.h"
#include "CheckedArithmetic.h"
#include "ForwardSearches.h"
#include "NetworkLoop.h"
#include "NumberFormat.h"
#include "SourceSweep.h"
#include "SuccessorGraph.h"

#include <algorithm>
#include <cmath>

EventTimes::EventTimes(const SuccessorGraph& graph, int start, int end, const NumberFormat& numbers)
    : m_graph(&graph), m_numbers(numbers), m_start(start), m_end(end),
      m_earlyText(std::size_t(graph.eventCount())), m_lateText(std::size_t(graph.eventCount()))
{
    m_fromStart = std::make_unique<ForwardSearches>(*m_graph, m_start);
    m_length = m_fromStart->lengthTo(m_end);
    m_lengthText = numbers.format(m_length);
    const std::size_t events = std::size_t(m_graph->eventCount());
    m_early.assign(events, 0.0L);
    m_earlyKnown.assign(events, 0);
    m_late.assign(events, 0.0L);
    m_lateKnown.assign(events, 0);
    m_worksStartAt.assign(events, 0);
    for (int row = 0; row < m_graph->rowCount(); ++row) {
        if (!m_graph->isBlank(row))
            m_worksStartAt[std::size_t(m_graph->rowStart(row))] = 1;
    }
}

EventTimes::~EventTimes() = default;

BackwardSearches& EventTimes::toEnd()
{
    if (!m_toEnd)
        m_toEnd = std::make_unique<BackwardSearches>(*m_graph, m_end);
    return *m_toEnd;
}

void EventTimes::searchEarly(int event)
{
    const std::size_t at = std::size_t(event);
    const NumberText text = m_numbers.text(m_fromStart->lengthTo(event), m_early[at]);
    m_earlyText.set(at, text.view());
    m_earlyKnown[at] = 1;
}

void EventTimes::searchLate(int event)
{
    const std::size_t at = std::size_t(event);
    const QString text = toEnd().remainderText(event, m_length, m_numbers);
    m_late[at] = m_numbers.parse(text);
    m_lateText.set(at, text);
    m_lateKnown[at] = 1;
}

QString EventTimes::slackText(int event)
{
    return m_numbers.format(checked::subtract(lateValue(event), earlyValue(event)));
}

const std::vector<int>& EventTimes::pathEvents()
{
    findPathEvents();
    return m_pathEvents;
}

bool EventTimes::onPath(int event)
{
    findPathEvents();
    return m_onPath[std::size_t(event)] != 0;
}

void EventTimes::findPathEvents()
{
    if (m_pathEventsKnown)
        return;
    // The part of the network the search from the start event enters, in topological order; it
    // holds no loop, or the search for L would have raised it.
    SourceSweep sweep(*m_graph);
    if (!sweep.run(m_start, m_end, 0.0L, false))
        raiseLoop(*m_graph, sweep.cycle());
    m_onPath.assign(std::size_t(m_graph->eventCount()), 0);
    const BackwardSearches& ahead = toEnd();
    for (const int event : sweep.order()) {
        if (ahead.leadsToEnd(event)) {
            m_pathEvents.push_back(event);
            m_onPath[std::size_t(event)] = 1;
        }
    }
    m_pathEventsKnown = true;
}

bool showsAs(const NumberFormat& numbers, long double value, long double shown,
             QStringView shownText)
{
    if (value == shown)
        return true;
    // Texts of 15 significant digits are rounded to a unit of at most 1e-14 times the larger
    // magnitude: values further apart than that never round to one text.
    const long double magnitude = std::max(std::fabs(value), std::fabs(shown));
    if (!(std::fabs(value - shown) <= 2e-14L * magnitude))
        return false;
    return numbers.text(value).view() == shownText;
}
