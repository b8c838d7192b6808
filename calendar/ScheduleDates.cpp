#include "ScheduleDates.h"

#include "CheckedArithmetic.h"
#include "DateFormat.h"

#include <cmath>

namespace {

qint64 dayCountOf(QDate date)
{
    return DateFormat::epoch().daysTo(date);
}

QDate dateOfDayCount(qint64 day)
{
    return DateFormat::epoch().addDays(day);
}

// The calendar's range: the days DateFormat writes, years 1 to 9999.
const qint64 kFirstDay = dayCountOf(QDate(1, 1, 1));
const qint64 kLastDay = dayCountOf(QDate(9999, 12, 31));
// More working days than the whole range holds: larger times are refused before any arithmetic.
constexpr long double kMostWorkingDays = 4'000'000;

} // namespace

ScheduleDates::ScheduleDates(const WorkCalendar& calendar, double startDate)
    : m_calendar(calendar), m_startDate(startDate)
{
    if (!m_calendar.countsWorkingDays())
        return;
    m_calendar.check();
    // The day that holds the start date, as DateFormat reckons it; a start beyond the range
    // fails on the first date asked for, as it does with calendar days.
    m_startInRange = std::isfinite(startDate) && std::fabs(startDate) <= double(kLastDay + 1);
    if (m_startInRange) {
        m_firstDay = static_cast<qint64>(std::trunc(startDate));
        m_startInRange = m_firstDay >= kFirstDay && m_firstDay <= kLastDay;
    }
    if (!m_startInRange)
        return;

    const CalendarExceptions& exceptions = m_calendar.exceptions();
    m_periodStart = m_firstDay;
    if (!exceptions.empty())
        m_periodStart = std::max(m_firstDay, dayCountOf(exceptions.rbegin()->first) + 1);
    QDate date = dateOfDayCount(m_firstDay);
    for (qint64 day = m_firstDay; day < m_periodStart; ++day, date = date.addDays(1)) {
        if (m_calendar.isWorkingDay(date))
            m_table.push_back(static_cast<qint32>(day - m_firstDay));
    }
    m_daysPerWeek = 0;
    date = dateOfDayCount(m_periodStart);
    for (qint32 offset = 0; offset < 7; ++offset, date = date.addDays(1)) {
        if (WorkCalendar::isWorkingByWeek(m_calendar.week(), date))
            m_weekOffsets[std::size_t(m_daysPerWeek++)] = offset;
    }
}

qint64 ScheduleDates::workingDay(qint64 number) const
{
    const auto tabled = static_cast<qint64>(m_table.size());
    if (number < tabled)
        return m_firstDay + m_table[std::size_t(number)];
    const qint64 beyond = number - tabled;
    return m_periodStart + 7 * (beyond / m_daysPerWeek) +
           m_weekOffsets[std::size_t(beyond % m_daysPerWeek)];
}

double ScheduleDates::dayOf(long double time) const
{
    if (!m_calendar.countsWorkingDays())
        return checked::toDouble(checked::add(m_startDate, time));
    if (!m_startInRange || !(time >= 0) || time > kMostWorkingDays)
        DateFormat::raiseBeyondCalendar();
    const qint64 day = workingDay(static_cast<qint64>(time));
    if (day > kLastDay)
        DateFormat::raiseBeyondCalendar();
    return static_cast<double>(day);
}

QDate ScheduleDates::dateOf(long double time) const
{
    return DateFormat::dateOf(dayOf(time));
}

double ScheduleDates::startPositionOf(long double time) const
{
    const double day = dayOf(time);
    if (!m_calendar.countsWorkingDays())
        return day;
    return day + static_cast<double>(time - std::floor(time));
}

double ScheduleDates::finishPositionOf(long double time) const
{
    if (m_calendar.countsWorkingDays() && time >= 1 && time == std::floor(time))
        return dayOf(time - 1) + 1;
    return startPositionOf(time);
}
