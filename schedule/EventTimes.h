#pragma once

#include "TextArena.h"

#include <QString>
#include <QStringView>

#include <memory>
#include <vector>

class BackwardSearches;
class ForwardSearches;
class NumberFormat;
class SuccessorGraph;

// The times of the events of a network between its start and end events, exactly as the
// recalculation computes them, with the same searches and the same number texts:
// - L, the search from the start to the end event;
// - Tр(e), the search from the start event to e: the early start of every work leaving e;
// - Tп(e), L minus the search from e to the end event: the late finish of every work entering e.
// So the early start and late finish cells of a work i→j read Tр(i) and Tп(j), text for text. Each
// time is searched once, when first asked for, and raises what the recalculation would raise
// there (a loop, a duration that is not a number, an overflow). Asking again for a time already
// known only reads, so several threads may read the times that have all been asked for before.
class EventTimes
{
public:
    // Computes L at once (and raises as the recalculation's first search would). start and end
    // are the graph's ids of the start and end events; the graph and the format must outlive
    // this.
    EventTimes(const SuccessorGraph& graph, int start, int end, const NumberFormat& numbers);
    ~EventTimes();
    EventTimes(const EventTimes&) = delete;
    EventTimes& operator=(const EventTimes&) = delete;

    const SuccessorGraph& graph() const { return *m_graph; }
    // The searches to the end event, made when first needed.
    BackwardSearches& toEnd();
    const NumberFormat& numbers() const { return m_numbers; }
    int start() const { return m_start; }
    int end() const { return m_end; }

    long double length() const { return m_length; }
    const QString& lengthText() const { return m_lengthText; }

    // Times as general number text (views that hold as long as this object), and the values
    // those texts read back to (what the recalculation computes with).
    QStringView earlyText(int event)
    {
        learnEarly(event);
        return m_earlyText.get(std::size_t(event));
    }
    long double earlyValue(int event)
    {
        learnEarly(event);
        return m_early[std::size_t(event)];
    }
    QStringView lateText(int event)
    {
        learnLate(event);
        return m_lateText.get(std::size_t(event));
    }
    long double lateValue(int event)
    {
        learnLate(event);
        return m_late[std::size_t(event)];
    }
    // R = Tп - Tр, the slack of an event, as general number text.
    QString slackText(int event);

    // Whether some work (a non-blank row) starts at the event.
    bool worksStartAt(int event) const { return m_worksStartAt[std::size_t(event)] != 0; }
    // The early start of the works that follow a work ending at `event`: they all start there and
    // so share Tр(event); where none does, L.
    long double followingStart(int event)
    {
        return worksStartAt(event) ? earlyValue(event) : m_length;
    }

    // The events on some path from the start to the end event (reachable from the start event
    // without passing the end event, and leading to it), start event first, each after every
    // event with a work into it. Known once the times of the region are asked for.
    const std::vector<int>& pathEvents();
    bool onPath(int event);

private:
    void learnEarly(int event)
    {
        if (!m_earlyKnown[std::size_t(event)])
            searchEarly(event);
    }
    void learnLate(int event)
    {
        if (!m_lateKnown[std::size_t(event)])
            searchLate(event);
    }
    void searchEarly(int event);
    void searchLate(int event);
    void findPathEvents();

    const SuccessorGraph* m_graph;
    const NumberFormat& m_numbers;
    std::unique_ptr<ForwardSearches> m_fromStart;
    std::unique_ptr<BackwardSearches> m_toEnd;
    int m_start;
    int m_end;
    long double m_length = 0;
    QString m_lengthText;

    TextArena m_earlyText;
    std::vector<long double> m_early;
    std::vector<char> m_earlyKnown;
    TextArena m_lateText;
    std::vector<long double> m_late;
    std::vector<char> m_lateKnown;
    std::vector<char> m_worksStartAt;
    bool m_pathEventsKnown = false;
    std::vector<int> m_pathEvents;
    std::vector<char> m_onPath;
};

// Whether the general number text of value is shownText, the text of shown: decided from the
// values where they settle it (equal values, or values too far apart to share 15 digits), so that
// most comparisons make no text.
bool showsAs(const NumberFormat& numbers, long double value, long double shown,
             QStringView shownText);
