#include "CalendarSection.h"

#include "KestrinError.h"

#include <QStringList>

namespace calendarsection {

namespace {

const QString kCount = QStringLiteral("count");
const QString kWeek = QStringLiteral("week");
const QString kOff = QStringLiteral("off");
const QString kWorking = QStringLiteral("working");
const QString kWorkingDays = QStringLiteral("working-days");
const QString kCalendarDays = QStringLiteral("calendar-days");

QString sectionName()
{
    return QString::fromUtf16(plansection::kCalendar);
}

[[noreturn]] void unreadable(const QString& key, const QString& value)
{
    throw KestrinError(
        QStringLiteral("Рабочий календарь плана не прочитан: «%1» = «%2»").arg(key, value));
}

QString value(const PlanSection& section, const QString& key)
{
    const auto found = section.find(key);
    return found == section.end() ? QString() : found->second;
}

void readDates(const PlanSection& section, const QString& key, bool working,
               CalendarExceptions& exceptions)
{
    const QString dates = value(section, key);
    for (const QString& text : dates.split(u' ', Qt::SkipEmptyParts)) {
        const QDate date = QDate::fromString(text, Qt::ISODate);
        if (!date.isValid())
            unreadable(key, text);
        exceptions[date] = working;
    }
}

} // namespace

PlanSection encode(const WorkCalendar& calendar)
{
    QStringList off;
    QStringList working;
    for (const auto& [date, isWorking] : calendar.exceptions())
        (isWorking ? working : off).append(date.toString(Qt::ISODate));
    PlanSection section;
    section[kCount] = calendar.countsWorkingDays() ? kWorkingDays : kCalendarDays;
    section[kWeek] =
        calendar.week() == WorkWeek::SixDays ? QStringLiteral("6") : QStringLiteral("5");
    if (!off.isEmpty())
        section[kOff] = off.join(u' ');
    if (!working.isEmpty())
        section[kWorking] = working.join(u' ');
    return section;
}

WorkCalendar decode(const PlanSection& section)
{
    WorkCalendar calendar;
    const QString count = value(section, kCount);
    if (count == kWorkingDays)
        calendar.setCountsWorkingDays(true);
    else if (!count.isEmpty() && count != kCalendarDays)
        unreadable(kCount, count);
    const QString week = value(section, kWeek);
    if (week == u"6")
        calendar.setWeek(WorkWeek::SixDays);
    else if (!week.isEmpty() && week != u"5")
        unreadable(kWeek, week);
    CalendarExceptions exceptions;
    readDates(section, kOff, false, exceptions);
    readDates(section, kWorking, true, exceptions);
    calendar.setExceptions(std::move(exceptions));
    return calendar;
}

WorkCalendar of(const Plan& plan)
{
    return decode(plan.section(sectionName()));
}

void put(Plan& plan, const WorkCalendar& calendar)
{
    plan.setSection(sectionName(), encode(calendar));
}

} // namespace calendarsection
