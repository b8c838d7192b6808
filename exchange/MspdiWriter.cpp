#include "MspdiWriter.h"

#include "DateFormat.h"
#include "ExportCommon.h"
#include "ScheduleDates.h"

#include <QHash>
#include <QXmlStreamWriter>

#include <cmath>

namespace mspdi {
namespace {

constexpr int kMinutesPerDay = 480;

QString duration(double days)
{
    const qint64 minutes = std::llround(std::abs(days) * kMinutesPerDay);
    return QStringLiteral("%1PT%2H%3M0S")
        .arg(days < 0 && minutes > 0 ? QStringLiteral("-") : QString())
        .arg(minutes / 60)
        .arg(minutes % 60);
}

QString dateTime(QDate date, bool finish)
{
    return date.toString(Qt::ISODate) +
           (finish ? QStringLiteral("T17:00:00") : QStringLiteral("T08:00:00"));
}

class Writer
{
public:
    Writer(const ExchangePlan& plan, const std::vector<WorkTimes>& times)
        : m_plan(plan), m_times(times), m_dates(plan.calendar, DateFormat::daysOf(plan.startDate)),
          m_xml(&m_bytes)
    {
    }
    QByteArray encode();

private:
    void element(const QString& name, const QString& value) { m_xml.writeTextElement(name, value); }
    void element(const QString& name, qint64 value) { element(name, QString::number(value)); }
    void calendar();
    void link(int predecessorUid);
    QDate startDate(double time) const { return m_dates.dateOf(time); }
    // The day a span ending at the time finishes on: the day of its last moment.
    QDate finishDate(double start, double finish) const
    {
        return m_dates.dateOf(finish > start ? std::nextafter(finish, start) : start);
    }

    const ExchangePlan& m_plan;
    const std::vector<WorkTimes>& m_times;
    ScheduleDates m_dates;
    QByteArray m_bytes;
    QXmlStreamWriter m_xml;
};

void Writer::calendar()
{
    const WorkCalendar& calendar = m_plan.calendar;
    const auto workingTimes = [this] {
        m_xml.writeStartElement(QStringLiteral("WorkingTimes"));
        for (const auto& [from, to] :
             {std::pair(QStringLiteral("08:00:00"), QStringLiteral("12:00:00")),
              std::pair(QStringLiteral("13:00:00"), QStringLiteral("17:00:00"))}) {
            m_xml.writeStartElement(QStringLiteral("WorkingTime"));
            element(QStringLiteral("FromTime"), from);
            element(QStringLiteral("ToTime"), to);
            m_xml.writeEndElement();
        }
        m_xml.writeEndElement();
    };
    m_xml.writeStartElement(QStringLiteral("Calendars"));
    m_xml.writeStartElement(QStringLiteral("Calendar"));
    element(QStringLiteral("UID"), 1);
    element(QStringLiteral("Name"), QStringLiteral("Рабочий календарь"));
    element(QStringLiteral("IsBaseCalendar"), 1);
    element(QStringLiteral("BaseCalendarUID"), -1);
    m_xml.writeStartElement(QStringLiteral("WeekDays"));
    for (int dayType = 1; dayType <= 7; ++dayType) {
        // DayType 1 is Sunday; Qt counts Monday as 1.
        const int dayOfWeek = dayType == 1 ? 7 : dayType - 1;
        const bool working = !calendar.countsWorkingDays() ||
                             WorkCalendar::isWorkingByWeek(
                                 calendar.week(), QDate(2024, 1, 1).addDays(dayOfWeek - 1));
        m_xml.writeStartElement(QStringLiteral("WeekDay"));
        element(QStringLiteral("DayType"), dayType);
        element(QStringLiteral("DayWorking"), working ? 1 : 0);
        if (working)
            workingTimes();
        m_xml.writeEndElement();
    }
    m_xml.writeEndElement();
    if (calendar.countsWorkingDays() && !calendar.exceptions().empty()) {
        m_xml.writeStartElement(QStringLiteral("Exceptions"));
        for (const auto& [date, working] : calendar.exceptions()) {
            m_xml.writeStartElement(QStringLiteral("Exception"));
            element(QStringLiteral("EnteredByOccurrences"), 0);
            m_xml.writeStartElement(QStringLiteral("TimePeriod"));
            element(QStringLiteral("FromDate"),
                    date.toString(Qt::ISODate) + QStringLiteral("T00:00:00"));
            element(QStringLiteral("ToDate"),
                    date.toString(Qt::ISODate) + QStringLiteral("T23:59:00"));
            m_xml.writeEndElement();
            element(QStringLiteral("Occurrences"), 1);
            element(QStringLiteral("Name"),
                    working ? QStringLiteral("Рабочий день") : QStringLiteral("Выходной"));
            element(QStringLiteral("Type"), 1);
            element(QStringLiteral("DayWorking"), working ? 1 : 0);
            if (working)
                workingTimes();
            m_xml.writeEndElement();
        }
        m_xml.writeEndElement();
    }
    m_xml.writeEndElement();
    m_xml.writeEndElement();
}

void Writer::link(int predecessorUid)
{
    m_xml.writeStartElement(QStringLiteral("PredecessorLink"));
    element(QStringLiteral("PredecessorUID"), predecessorUid);
    element(QStringLiteral("Type"), 1);
    element(QStringLiteral("CrossProject"), 0);
    element(QStringLiteral("LinkLag"), 0);
    element(QStringLiteral("LagFormat"), 7);
    m_xml.writeEndElement();
}

QByteArray Writer::encode()
{
    const std::vector<double> days = exchangeexport::durations(m_plan);
    const std::vector<QString> events = exchangeexport::events(m_plan);
    QHash<QString, int> eventUid;
    for (std::size_t i = 0; i < events.size(); ++i)
        eventUid.insert(events[i], int(i) + 1);
    const int firstWorkUid = int(events.size()) + 1;
    // An event's moment: the latest early finish of the works that end at it, or the early start
    // of the works that leave it.
    std::vector<double> eventTime(events.size(), 0);
    std::vector<bool> timed(events.size(), false);
    std::vector<std::vector<int>> endingAt(events.size());
    for (std::size_t w = 0; w < m_plan.works.size(); ++w) {
        const std::size_t end = std::size_t(eventUid.value(m_plan.works[w].endEvent)) - 1;
        endingAt[end].push_back(int(w));
        eventTime[end] =
            timed[end] ? std::max(eventTime[end], m_times[w].earlyFinish) : m_times[w].earlyFinish;
        timed[end] = true;
    }
    for (std::size_t w = 0; w < m_plan.works.size(); ++w) {
        const std::size_t start = std::size_t(eventUid.value(m_plan.works[w].startEvent)) - 1;
        if (!timed[start]) {
            eventTime[start] = m_times[w].earlyStart;
            timed[start] = true;
        }
    }

    m_xml.setAutoFormatting(true);
    m_xml.setAutoFormattingIndent(1);
    m_xml.writeStartDocument();
    m_xml.writeDefaultNamespace(QStringLiteral("http://schemas.microsoft.com/project"));
    m_xml.writeStartElement(QStringLiteral("Project"));
    element(QStringLiteral("SaveVersion"), 14);
    element(QStringLiteral("Name"), QStringLiteral("Kestrin"));
    element(QStringLiteral("ScheduleFromStart"), 1);
    element(QStringLiteral("StartDate"), dateTime(m_plan.startDate, false));
    element(QStringLiteral("CalendarUID"), 1);
    element(QStringLiteral("MinutesPerDay"), kMinutesPerDay);
    element(QStringLiteral("MinutesPerWeek"), kMinutesPerDay * 5);
    element(QStringLiteral("DaysPerMonth"), 20);
    calendar();

    m_xml.writeStartElement(QStringLiteral("Tasks"));
    for (std::size_t e = 0; e < events.size(); ++e) {
        const QDate date = startDate(eventTime[e]);
        m_xml.writeStartElement(QStringLiteral("Task"));
        element(QStringLiteral("UID"), qint64(e) + 1);
        element(QStringLiteral("ID"), qint64(e) + 1);
        element(QStringLiteral("Name"), QStringLiteral("Событие ") + events[e]);
        element(QStringLiteral("OutlineLevel"), 1);
        element(QStringLiteral("Milestone"), 1);
        element(QStringLiteral("Summary"), 0);
        element(QStringLiteral("Start"), dateTime(date, false));
        element(QStringLiteral("Finish"), dateTime(date, false));
        element(QStringLiteral("Duration"), duration(0));
        element(QStringLiteral("DurationFormat"), 7);
        for (int w : endingAt[e])
            link(firstWorkUid + w);
        m_xml.writeEndElement();
    }
    for (std::size_t w = 0; w < m_plan.works.size(); ++w) {
        const ExchangeWork& work = m_plan.works[w];
        const WorkTimes& time = m_times[w];
        const int uid = firstWorkUid + int(w);
        m_xml.writeStartElement(QStringLiteral("Task"));
        element(QStringLiteral("UID"), uid);
        element(QStringLiteral("ID"), uid);
        element(QStringLiteral("Name"), exchangeexport::taskName(work));
        element(QStringLiteral("OutlineLevel"), 1);
        element(QStringLiteral("Milestone"), 0);
        element(QStringLiteral("Summary"), 0);
        element(QStringLiteral("Start"), dateTime(startDate(time.earlyStart), false));
        element(QStringLiteral("Finish"),
                dateTime(finishDate(time.earlyStart, time.earlyFinish), days[w] > 0));
        element(QStringLiteral("Duration"), duration(days[w]));
        element(QStringLiteral("DurationFormat"), 7);
        element(QStringLiteral("TotalSlack"), std::llround(time.totalFloat * kMinutesPerDay * 10));
        link(eventUid.value(work.startEvent));
        m_xml.writeEndElement();
    }
    m_xml.writeEndElement();

    m_xml.writeStartElement(QStringLiteral("Resources"));
    for (std::size_t r = 0; r < m_plan.resources.size(); ++r) {
        const ExchangeResource& resource = m_plan.resources[r];
        m_xml.writeStartElement(QStringLiteral("Resource"));
        element(QStringLiteral("UID"), qint64(r) + 1);
        element(QStringLiteral("ID"), qint64(r) + 1);
        element(QStringLiteral("Name"), resource.name);
        element(QStringLiteral("Type"), resource.unit.isEmpty() ? 1 : 0);
        if (!resource.unit.isEmpty())
            element(QStringLiteral("MaterialLabel"), resource.unit);
        element(QStringLiteral("MaxUnits"), QString::number(resource.available, 'g', 15));
        m_xml.writeEndElement();
    }
    m_xml.writeEndElement();
    m_xml.writeStartElement(QStringLiteral("Assignments"));
    for (std::size_t d = 0; d < m_plan.demands.size(); ++d) {
        const ExchangeDemand& demand = m_plan.demands[d];
        m_xml.writeStartElement(QStringLiteral("Assignment"));
        element(QStringLiteral("UID"), qint64(d) + 1);
        element(QStringLiteral("TaskUID"), firstWorkUid + demand.work);
        element(QStringLiteral("ResourceUID"), demand.resource + 1);
        element(QStringLiteral("Units"), QString::number(demand.amount, 'g', 15));
        m_xml.writeEndElement();
    }
    m_xml.writeEndElement();
    m_xml.writeEndElement();
    m_xml.writeEndDocument();
    return m_bytes;
}

} // namespace

QByteArray encode(const ExchangePlan& plan, const std::vector<WorkTimes>& times)
{
    return Writer(plan, times).encode();
}

void write(const QString& path, const ExchangePlan& plan, const std::vector<WorkTimes>& times)
{
    exchangeexport::writeFile(path, encode(plan, times));
}

} // namespace mspdi
