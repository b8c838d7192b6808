#pragma once

#include "WorkCalendar.h"

#include <QDate>

#include <array>
#include <vector>

// The calendar day of a time of the schedule (days from the start, as the recalculation computes
// early starts), under a working calendar: what the date column, the Gantt chart and every other
// date of the schedule show. Made once for a calendar and a start date, then asked for any number
// of times; answering takes a few operations whatever the time, so a million works cost little
// more than with calendar days. Nothing changes after construction: several threads may ask at
// once.
//
// Counting calendar days, the day of a time t is the start date plus t, summed in extended
// precision and rounded to double, exactly as the date column has always made it.
// Counting working days, t falls on working day number floor(t), counted from the first working
// day on or after the start date's day (working day 0); the start date's time of day is dropped.
class ScheduleDates
{
public:
    // startDate is a day count of the date-time kind (DateFormat). Raises the calendar's own
    // message when the calendar holds a year without a working day (WorkCalendar::check).
    ScheduleDates(const WorkCalendar& calendar, double startDate);

    // The day count (DateFormat's) of the day the time falls on, for DateFormat::formatDate; with
    // calendar days it keeps the sum's time of day, with working days it is a whole day. Raises
    // DateFormat's "Invalid argument to date encode" for a day beyond the calendar's range, as
    // the date column always has: a negative time with working days, or one that is no number,
    // lies before the first working day.
    double dayOf(long double time) const;
    QDate dateOf(long double time) const;

    // Positions in days (DateFormat's day counts) on a time axis of calendar days, for drawing:
    // a start at t is at the beginning of its working day plus the fraction of t, and a finish at
    // a whole number of working days is at the end of the last working day it completes, so a bar
    // never reaches into the days off that follow it. With calendar days both are the start date
    // plus t.
    double startPositionOf(long double time) const;
    double finishPositionOf(long double time) const;

    const WorkCalendar& calendar() const { return m_calendar; }
    // The start date as given: time 0 counting calendar days.
    double startDate() const { return m_startDate; }

private:
    qint64 workingDay(qint64 number) const;

    WorkCalendar m_calendar;
    double m_startDate;
    bool m_startInRange = true;
    // The working days from the start date's day up to the day after the last exception, as
    // offsets from m_firstDay; after that the week alone decides, so the working days repeat
    // every seven days from m_periodStart, m_weekOffsets giving their offsets within a week.
    qint64 m_firstDay = 0;
    std::vector<qint32> m_table;
    qint64 m_periodStart = 0;
    int m_daysPerWeek = 5;
    std::array<qint32, 7> m_weekOffsets{};
};
