#pragma once

#include <QDate>

#include <map>

// The days of the week that are off in a working calendar.
enum class WorkWeek {
    FiveDays, // Saturday and Sunday off
    SixDays,  // Sunday off
};

// The dates that differ from the week's rule: true makes a date a working day, false a day off.
using CalendarExceptions = std::map<QDate, bool>;

// A plan's working calendar, a plain value. By default it counts calendar days: every date of the
// schedule is the start date plus the time, as it always was, and the week and the exceptions are
// kept but not used. Counting working days, the schedule's times are working days: a day is
// working by the week's rule unless an exception says otherwise.
class WorkCalendar
{
public:
    bool countsWorkingDays() const { return m_workingDays; }
    void setCountsWorkingDays(bool workingDays) { m_workingDays = workingDays; }

    WorkWeek week() const { return m_week; }
    void setWeek(WorkWeek week) { m_week = week; }

    const CalendarExceptions& exceptions() const { return m_exceptions; }
    void setExceptions(CalendarExceptions exceptions) { m_exceptions = std::move(exceptions); }
    // Makes the date working or off. Explicit: a day off that the week already gives is kept
    // too, so that a holiday stays off when the week changes.
    void setException(QDate date, bool working);
    // Adds the dates, which take the place of the exceptions on those dates.
    void addExceptions(const CalendarExceptions& exceptions);

    // Whether the date is a working day by the week and the exceptions (whatever is counted).
    bool isWorkingDay(QDate date) const;
    static bool isWorkingByWeek(WorkWeek week, QDate date);

    // Turns a working day into a day off and back: a day that comes back to the week's rule
    // loses its exception, any other gets one.
    void toggle(QDate date);

    // Makes the fixed public holidays of the year days off.
    void addPublicHolidays(int year);

    // Raises, naming the days, when counting working days and some 365 days in a row (a whole
    // year) hold no working day: no plan is meant to stand still for a year, and a mistake in a
    // loaded file is the likelier reason.
    void check() const;

    friend bool operator==(const WorkCalendar&, const WorkCalendar&) = default;

private:
    bool m_workingDays = false;
    WorkWeek m_week = WorkWeek::FiveDays;
    CalendarExceptions m_exceptions;
};
