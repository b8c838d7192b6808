#include "CalendarSection.h"

#include "KestrinError.h"

#include <QStringList>

namespace calendarsection {
namespace {

const QString kDays = QStringLiteral("days");
const QString kWeek = QStringLiteral("week");
const QString kOff = QStringLiteral("off");
const QString kWorking = QStringLiteral("working");
const QString kWorkingDays = QStringLiteral("working");
const QString kCalendarDays = QStringLiteral("calendar");
const QString kSixDays = QStringLiteral("6");
const QString kFiveDays = QStringLiteral("5");

[[noreturn]] void raiseDamaged(const QString& what)
{
    throw KestrinError(QStringLiteral("Рабочий календарь плана повреждён: ") + what);
}

QString datesOf(const CalendarExceptions& exceptions, bool working)
{
    QStringList dates;
    for (const auto& [date, isWorking] : exceptions) {
        if (isWorking == working)
            dates.append(date.toString(Qt::ISODate));
    }
    return dates.join(QLatin1Char(' '));
}

void readDates(const QString& text, bool working, CalendarExceptions& exceptions)
{
    for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        // Exactly the ten characters the writer makes: Qt's ISO reader alone also takes a
        // trailing time or blank.
        const QDate date = word.size() == 10 ? QDate::fromString(word, Qt::ISODate) : QDate();
        if (!date.isValid())
            raiseDamaged(QStringLiteral("«%1» не дата").arg(word));
        if (!exceptions.emplace(date, working).second)
            raiseDamaged(QStringLiteral("день %1 указан дважды").arg(word));
    }
}

} // namespace

Section encode(const WorkCalendar& calendar)
{
    Section section;
    if (calendar.countsWorkingDays())
        section[kDays] = kWorkingDays;
    if (calendar.week() == WorkWeek::SixDays)
        section[kWeek] = kSixDays;
    for (const bool working : {false, true}) {
        const QString dates = datesOf(calendar.exceptions(), working);
        if (!dates.isEmpty())
            section[working ? kWorking : kOff] = dates;
    }
    return section;
}

WorkCalendar decode(const Section& section)
{
    WorkCalendar calendar;
    CalendarExceptions exceptions;
    for (const auto& [key, value] : section) {
        if (key == kDays) {
            if (value != kWorkingDays && value != kCalendarDays)
                raiseDamaged(QStringLiteral("счёт дней «%1»").arg(value));
            calendar.setCountsWorkingDays(value == kWorkingDays);
        } else if (key == kWeek) {
            if (value != kFiveDays && value != kSixDays)
                raiseDamaged(QStringLiteral("неделя «%1»").arg(value));
            calendar.setWeek(value == kSixDays ? WorkWeek::SixDays : WorkWeek::FiveDays);
        } else if (key == kOff || key == kWorking) {
            readDates(value, key == kWorking, exceptions);
        } else {
            raiseDamaged(QStringLiteral("неизвестный ключ «%1»").arg(key));
        }
    }
    calendar.setExceptions(std::move(exceptions));
    calendar.check();
    return calendar;
}

} // namespace calendarsection
