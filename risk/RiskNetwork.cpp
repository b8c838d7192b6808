#include "RiskNetwork.h"

#include "KestrinError.h"
#include "NetworkLoop.h"

#include <algorithm>
#include <cmath>

namespace risk {

namespace {

// Works grouped by one of their events: the works of event e are list[first[e] .. first[e + 1]).
void groupWorks(const std::vector<RiskWork>& works, int eventCount, bool byStart,
                std::vector<int>& first, std::vector<int>& list)
{
    first.assign(std::size_t(eventCount) + 1, 0);
    for (const RiskWork& work : works)
        ++first[std::size_t(byStart ? work.start : work.end) + 1];
    for (int event = 0; event < eventCount; ++event)
        first[std::size_t(event) + 1] += first[std::size_t(event)];
    list.assign(works.size(), 0);
    std::vector<int> next(first.begin(), first.end() - 1);
    for (int index = 0; index < int(works.size()); ++index) {
        const RiskWork& work = works[std::size_t(index)];
        list[std::size_t(next[std::size_t(byStart ? work.start : work.end)]++)] = index;
    }
}

// Marks the events reached from `from` along the works of the grouping.
std::vector<char> reach(int from, const std::vector<RiskWork>& works, bool forward,
                        const std::vector<int>& first, const std::vector<int>& list)
{
    std::vector<char> reached(first.size() - 1, 0);
    std::vector<int> stack{from};
    reached[std::size_t(from)] = 1;
    while (!stack.empty()) {
        const int event = stack.back();
        stack.pop_back();
        for (int k = first[std::size_t(event)]; k < first[std::size_t(event) + 1]; ++k) {
            const RiskWork& work = works[std::size_t(list[std::size_t(k)])];
            const int next = forward ? work.end : work.start;
            if (!reached[std::size_t(next)]) {
                reached[std::size_t(next)] = 1;
                stack.push_back(next);
            }
        }
    }
    return reached;
}

} // namespace

RiskNetwork::RiskNetwork(std::vector<RiskWork> works, int eventCount, int startEvent, int endEvent,
                         QStringList eventNames)
    : m_works(std::move(works)), m_eventCount(eventCount), m_startEvent(startEvent),
      m_endEvent(endEvent), m_eventNames(std::move(eventNames))
{
    if (eventCount < 1 || startEvent < 0 || startEvent >= eventCount || endEvent < 0 ||
        endEvent >= eventCount)
        throw KestrinError(QStringLiteral("Начальное или конечное событие не входит в сеть"));
    checkWorks();
    orderPath();
}

QString RiskNetwork::eventName(int event) const
{
    if (event < m_eventNames.size() && !m_eventNames[event].isEmpty())
        return m_eventNames[event];
    return QString::number(event + 1);
}

void RiskNetwork::checkWorks() const
{
    for (const RiskWork& work : m_works) {
        if (work.start < 0 || work.start >= m_eventCount || work.end < 0 ||
            work.end >= m_eventCount)
            throw KestrinError(QStringLiteral("Событие работы не входит в сеть"));
        const QString name = eventName(work.start) + QStringLiteral(" – ") + eventName(work.end);
        const bool finite = std::isfinite(work.mostLikely) &&
                            (!work.optimistic || std::isfinite(*work.optimistic)) &&
                            (!work.pessimistic || std::isfinite(*work.pessimistic));
        if (!finite)
            throw KestrinError(
                QStringLiteral("Работа %1: длительность не является числом").arg(name));
        if (work.optimistic.has_value() != work.pessimistic.has_value())
            throw KestrinError(
                QStringLiteral("Работа %1: задана только одна из двух оценок").arg(name));
        if (work.hasEstimates() &&
            !(*work.optimistic <= work.mostLikely && work.mostLikely <= *work.pessimistic))
            throw KestrinError(QStringLiteral("Работа %1: оценки должны идти по порядку: "
                                              "оптимистическая ≤ наиболее вероятная ≤ "
                                              "пессимистическая")
                                   .arg(name));
    }
}

void RiskNetwork::orderPath()
{
    std::vector<int> firstOut, outWorks, firstIn, inWorks;
    groupWorks(m_works, m_eventCount, true, firstOut, outWorks);
    groupWorks(m_works, m_eventCount, false, firstIn, inWorks);
    const std::vector<char> fromStart = reach(m_startEvent, m_works, true, firstOut, outWorks);
    const std::vector<char> toEnd = reach(m_endEvent, m_works, false, firstIn, inWorks);
    if (!fromStart[std::size_t(m_endEvent)])
        throw KestrinError(QStringLiteral("Событие «%1» недостижимо из начального события «%2»")
                               .arg(eventName(m_endEvent), eventName(m_startEvent)));

    std::vector<char> onPathEvent(std::size_t(m_eventCount), 0);
    for (std::size_t event = 0; event < onPathEvent.size(); ++event)
        onPathEvent[event] = fromStart[event] && toEnd[event];
    m_onPath.assign(m_works.size(), 0);
    std::vector<int> waiting(std::size_t(m_eventCount), 0); // path works still to come in
    for (std::size_t index = 0; index < m_works.size(); ++index) {
        const RiskWork& work = m_works[index];
        if (onPathEvent[std::size_t(work.start)] && onPathEvent[std::size_t(work.end)]) {
            m_onPath[index] = 1;
            ++waiting[std::size_t(work.end)];
        }
    }

    // Kahn's order of the path events, from the start event.
    m_pathEvent.assign(std::size_t(m_eventCount), -1);
    std::vector<int> order;
    if (waiting[std::size_t(m_startEvent)] == 0)
        order.push_back(m_startEvent);
    for (std::size_t next = 0; next < order.size(); ++next) {
        const int event = order[next];
        m_pathEvent[std::size_t(event)] = int(next);
        for (int k = firstOut[std::size_t(event)]; k < firstOut[std::size_t(event) + 1]; ++k) {
            const int index = outWorks[std::size_t(k)];
            if (!m_onPath[std::size_t(index)])
                continue;
            const int end = m_works[std::size_t(index)].end;
            if (--waiting[std::size_t(end)] == 0)
                order.push_back(end);
            m_pathWorks.push_back(index); // after every work into its start event
        }
    }
    m_pathEventCount = int(order.size());
    // The path events left out of the order, if any, are those of a loop or behind one.
    bool loop = false;
    for (std::size_t event = 0; event < onPathEvent.size(); ++event) {
        onPathEvent[event] = onPathEvent[event] && m_pathEvent[event] < 0;
        loop = loop || onPathEvent[event];
    }
    if (loop)
        raiseLoopAmong(onPathEvent, firstIn, inWorks);
}

void RiskNetwork::raiseLoopAmong(const std::vector<char>& unordered,
                                 const std::vector<int>& firstIn,
                                 const std::vector<int>& inWorks) const
{
    // Every event left out of the order has a path work into it from another left-out event:
    // walking back along such works must come round to an event already seen.
    int event = int(std::find(unordered.begin(), unordered.end(), 1) - unordered.begin());
    std::vector<int> seenAt(unordered.size(), -1);
    std::vector<int> walk;
    while (seenAt[std::size_t(event)] < 0) {
        seenAt[std::size_t(event)] = int(walk.size());
        walk.push_back(event);
        for (int k = firstIn[std::size_t(event)]; k < firstIn[std::size_t(event) + 1]; ++k) {
            const RiskWork& work = m_works[std::size_t(inWorks[std::size_t(k)])];
            if (m_onPath[std::size_t(inWorks[std::size_t(k)])] &&
                unordered[std::size_t(work.start)]) {
                event = work.start;
                break;
            }
        }
    }
    std::vector<int> loop(walk.begin() + seenAt[std::size_t(event)], walk.end());
    std::reverse(loop.begin(), loop.end());
    loop.push_back(loop.front());
    QStringList names;
    for (const int member : loop)
        names.append(eventName(member));
    throw KestrinError(loopMessage(names));
}

} // namespace risk
