#include "WorkCalendar.h"

#include "KestrinError.h"
#include "PublicHolidays.h"

namespace {

// A whole year of days off, at the shortest.
constexpr qint64 kYearOfDaysOff = 365;

QString dayText(QDate date)
{
    return date.toString(QStringLiteral("dd.MM.yyyy"));
}

} // namespace

bool WorkCalendar::isWorkingByWeek(WorkWeek week, QDate date)
{
    const int weekday = date.dayOfWeek();
    return weekday < (week == WorkWeek::FiveDays ? Qt::Saturday : Qt::Sunday);
}

bool WorkCalendar::isWorkingDay(QDate date) const
{
    const auto exception = m_exceptions.find(date);
    return exception != m_exceptions.end() ? exception->second : isWorkingByWeek(m_week, date);
}

void WorkCalendar::setException(QDate date, bool working)
{
    if (date.isValid())
        m_exceptions[date] = working;
}

void WorkCalendar::addExceptions(const CalendarExceptions& exceptions)
{
    for (const auto& [date, working] : exceptions)
        setException(date, working);
}

void WorkCalendar::toggle(QDate date)
{
    if (!date.isValid())
        return;
    const bool working = !isWorkingDay(date);
    if (working == isWorkingByWeek(m_week, date))
        m_exceptions.erase(date);
    else
        m_exceptions[date] = working;
}

void WorkCalendar::addPublicHolidays(int year)
{
    for (QDate holiday : russianPublicHolidays(year))
        setException(holiday, false);
}

void WorkCalendar::check() const
{
    if (!m_workingDays || m_exceptions.empty())
        return;
    // Only days off by exception can make such a run, so the days around the exceptions are all
    // that need looking at; the week's own days off lengthen a run by a weekend at either end.
    const QDate first = m_exceptions.begin()->first.addDays(-7);
    const QDate last = m_exceptions.rbegin()->first.addDays(7);
    auto exception = m_exceptions.lower_bound(first);
    QDate runStart;
    qint64 run = 0;
    for (QDate day = first; day <= last; day = day.addDays(1)) {
        while (exception != m_exceptions.end() && exception->first < day)
            ++exception;
        const bool working = exception != m_exceptions.end() && exception->first == day
                                 ? exception->second
                                 : isWorkingByWeek(m_week, day);
        if (working) {
            run = 0;
            // Up to the next exception the week alone decides, and its runs of days off are a
            // weekend long: the walk goes on a week before that exception, so that exceptions
            // years apart cost no walk through the years between.
            if (exception != m_exceptions.end() && day.daysTo(exception->first) > 8)
                day = exception->first.addDays(-8);
            continue;
        }
        if (run++ == 0)
            runStart = day;
        if (run == kYearOfDaysOff) {
            QDate runEnd = day;
            while (runEnd < last && !isWorkingDay(runEnd.addDays(1)))
                runEnd = runEnd.addDays(1);
            throw KestrinError(
                QStringLiteral("В рабочем календаре нет ни одного рабочего дня с %1 по %2: "
                               "в каждом году должны быть рабочие дни")
                    .arg(dayText(runStart), dayText(runEnd)));
        }
    }
}
