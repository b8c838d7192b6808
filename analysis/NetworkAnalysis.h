#pragma once

#include "AnalysisPage.h"
#include "ScheduleDates.h"

#include <QString>

#include <vector>

class DateFormat;
class EventIndex;
class NumberFormat;
class WorkCells;

// The analysis of the network of the work table between a start and an end event, as four pages
// of display texts: the events with their times, the works with their floats and tension, the
// critical and the longest other paths, and the check of the network. Widget-free: the window,
// the printout and the CSV file only show these texts.
//
// The times are those of a recalculation with the same start and end events and start date, text
// for text (EventTimes), and their dates those of its date column (ScheduleDates). A network whose
// times cannot be computed (a loop, a duration that is not a number, an overflow) still gets its
// check: the failure, in the words the recalculation would show, becomes the first finding, and the
// other pages stay empty.
class NetworkAnalysis
{
public:
    enum Page { Events, Tension, Paths, Check, PageCount };

    NetworkAnalysis(const WorkCells& table, const EventIndex& events, const QString& startEvent,
                    const QString& endEvent, double startDate, const NumberFormat& numbers,
                    const DateFormat& dates);
    // The same with the events dated through the working calendar's mapping.
    NetworkAnalysis(const WorkCells& table, const EventIndex& events, const QString& startEvent,
                    const QString& endEvent, const ScheduleDates& scheduleDates,
                    const NumberFormat& numbers, const DateFormat& dates);

    const AnalysisPage& page(Page page) const { return m_pages[std::size_t(page)]; }
    const std::vector<AnalysisPage>& pages() const { return m_pages; }
    // One line that names the start and end events, L and the start date.
    const QString& summary() const { return m_summary; }
    bool timesKnown() const { return m_timesKnown; }

private:
    std::vector<AnalysisPage> m_pages;
    QString m_summary;
    bool m_timesKnown = false;
};

// The rows of a finding as the user counts them (from 1), at most 20 of them written out.
QString rowListText(const std::vector<int>& rows);
