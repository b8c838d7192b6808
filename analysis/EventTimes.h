#pragma once

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
// there (a loop, a duration that is not a number, an overflow).
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
    BackwardSearches& toEnd() { return *m_toEnd; }
    const NumberFormat& numbers() const { return m_numbers; }
    int start() const { return m_start; }
    int end() const { return m_end; }

    long double length() const { return m_length; }
    const QString& lengthText() const { return m_lengthText; }

    // Times as general number text, and the values those texts read back to (what the
    // recalculation computes with).
    const QString& earlyText(int event);
    long double earlyValue(int event);
    const QString& lateText(int event);
    long double lateValue(int event);
    // R = Tп - Tр, the slack of an event, as general number text.
    QString slackText(int event);

    // The events on some path from the start to the end event (reachable from the start event
    // without passing the end event, and leading to it), start event first, each after every
    // event with a work into it. Known once the times of the region are asked for.
    const std::vector<int>& pathEvents();
    bool onPath(int event);

private:
    void findPathEvents();

    const SuccessorGraph* m_graph;
    const NumberFormat& m_numbers;
    std::unique_ptr<ForwardSearches> m_fromStart;
    std::unique_ptr<BackwardSearches> m_toEnd;
    int m_start;
    int m_end;
    long double m_length = 0;
    QString m_lengthText;

    struct Time
    {
        QString text;
        long double value = 0;
        bool known = false;
    };
    std::vector<Time> m_early;
    std::vector<Time> m_late;
    bool m_pathEventsKnown = false;
    std::vector<int> m_pathEvents;
    std::vector<char> m_onPath;
};

// Whether the general number text of value is shownText, the text of shown: decided from the
// values where they settle it (equal values, or values too far apart to share 15 digits), so that
// most comparisons make no text.
bool showsAs(const NumberFormat& numbers, long double value, long double shown,
             QStringView shownText);
