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
    : m_graph(&graph), m_numbers(numbers), m_start(start), m_end(end)
{
    m_fromStart = std::make_unique<ForwardSearches>(*m_graph, m_start);
    m_length = m_fromStart->lengthTo(m_end);
    m_lengthText = numbers.format(m_length);
    m_toEnd = std::make_unique<BackwardSearches>(*m_graph, m_end);
    m_early.resize(std::size_t(m_graph->eventCount()));
    m_late.resize(std::size_t(m_graph->eventCount()));
}

EventTimes::~EventTimes() = default;

const QString& EventTimes::earlyText(int event)
{
    Time& time = m_early[std::size_t(event)];
    if (!time.known) {
        time.text = m_numbers.format(m_fromStart->lengthTo(event));
        time.value = m_numbers.parse(time.text);
        time.known = true;
    }
    return time.text;
}

long double EventTimes::earlyValue(int event)
{
    earlyText(event);
    return m_early[std::size_t(event)].value;
}

const QString& EventTimes::lateText(int event)
{
    Time& time = m_late[std::size_t(event)];
    if (!time.known) {
        time.text = m_toEnd->remainderText(event, m_length, m_numbers);
        time.value = m_numbers.parse(time.text);
        time.known = true;
    }
    return time.text;
}

long double EventTimes::lateValue(int event)
{
    lateText(event);
    return m_late[std::size_t(event)].value;
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
    for (const int event : sweep.order()) {
        if (m_toEnd->leadsToEnd(event)) {
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
