#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace risk {

// One work of the plan as the risk analysis reads it: its events (indices into the network's
// events), its most likely duration m (the duration of the schedule) and, when the plan has them,
// its optimistic a and pessimistic b durations, in days.
struct RiskWork
{
    int start = 0;
    int end = 0;
    long double mostLikely = 0;
    std::optional<long double> optimistic;
    std::optional<long double> pessimistic;

    bool hasEstimates() const { return optimistic.has_value() && pessimistic.has_value(); }
    // The range a duration can take: [a, b], or [m, m] for a work without estimates.
    long double low() const { return hasEstimates() ? *optimistic : mostLikely; }
    long double high() const { return hasEstimates() ? *pessimistic : mostLikely; }
};

// The works between a start and an end event, checked and put in order once for every
// calculation of the analysis.
//
// Only the works on some path from the start to the end event count: a work elsewhere can never
// be critical and changes no length. Raises KestrinError
// - with the recalculation's loop message when works on such paths form a loop;
// - when the end event cannot be reached from the start event;
// - for an event index out of range, a duration that is not finite, a work with only one of its
//   two estimates, or estimates out of order (a <= m <= b must hold).
class RiskNetwork
{
public:
    // eventNames name the events in the messages (an event without a name is called by its
    // number, from 1).
    RiskNetwork(std::vector<RiskWork> works, int eventCount, int startEvent, int endEvent,
                QStringList eventNames = {});

    const std::vector<RiskWork>& works() const { return m_works; }
    int eventCount() const { return m_eventCount; }
    int startEvent() const { return m_startEvent; }
    int endEvent() const { return m_endEvent; }
    QString eventName(int event) const;

    // The works on paths from the start to the end event, each after every work that ends at
    // its start event (a topological order; ties in input order).
    const std::vector<int>& pathWorks() const { return m_pathWorks; }
    bool onPath(int work) const { return m_onPath[std::size_t(work)] != 0; }
    // The events on those paths, numbered 0.. in topological order: the start event is 0.
    int pathEventCount() const { return m_pathEventCount; }
    int pathEvent(int event) const { return m_pathEvent[std::size_t(event)]; }

private:
    void checkWorks() const;
    void orderPath();
    [[noreturn]] void raiseLoopAmong(const std::vector<char>& unordered,
                                     const std::vector<int>& firstIn,
                                     const std::vector<int>& inWorks) const;

    std::vector<RiskWork> m_works;
    int m_eventCount;
    int m_startEvent;
    int m_endEvent;
    QStringList m_eventNames;
    std::vector<int> m_pathWorks;
    std::vector<char> m_onPath;
    std::vector<int> m_pathEvent; // -1 off the paths
    int m_pathEventCount = 0;
};

} // namespace risk
