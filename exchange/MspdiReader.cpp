#include "MspdiReader.h"

#include "InputFile.h"
#include "KestrinError.h"
#include "NumberFormat.h"
#include "TaskNetwork.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QXmlStreamReader>

#include <cmath>

namespace mspdi {
namespace {

const QString kNamespace = QStringLiteral("http://schemas.microsoft.com/project");
// Days of calendar exceptions taken at most: a century of holidays is a few thousand.
constexpr qint64 kMostExceptionDays = 40'000;
// Days walked at most to find the working time between tasks' starts and finishes.
constexpr qint64 kMostSpanDays = 20'000'000;

struct RawLink
{
    QString predecessor;
    int type = 1; // 0 FF, 1 FS, 2 SF, 3 SS
    double lagTenthsOfMinutes = 0;
    int lagFormat = 7;
};

struct RawTask
{
    QString uid;
    QString name;
    int outlineLevel = 1;
    double minutes = 0;
    bool hasDuration = false;
    QDateTime start;
    QDateTime finish;
    int durationFormat = 7;
    bool isNull = false;
    bool milestone = false;
    bool manual = false;
    bool inactive = false;
    int constraintType = 0;
    QString deadline;
    double percentComplete = 0;
    std::vector<RawLink> links;
};

// Working time of a day: minutes from midnight, from and to.
using DayPeriods = std::vector<std::pair<int, int>>;

struct RawCalendar
{
    QString uid;
    std::array<int, 8> weekDay{-1, -1, -1, -1, -1, -1, -1, -1}; // by DayType 1 (Sunday) .. 7
    std::array<DayPeriods, 8> periods;
    CalendarExceptions exceptions;
};

struct RawResource
{
    QString uid;
    QString name;
    int type = 1;
    QString label;
    double maxUnits = 0;
    bool isNull = false;
};

struct RawAssignment
{
    QString task;
    QString resource;
    double units = 0;
};

// Elapsed formats count calendar time; the percent formats, a share of the predecessor.
bool isElapsed(int format)
{
    const int base = format >= 35 ? format - 35 : format;
    return base == 4 || base == 6 || base == 8 || base == 10 || base == 12 || base == 20;
}
bool isPercent(int format)
{
    const int base = format >= 35 ? format - 35 : format;
    return base == 19 || base == 20;
}

class Reader
{
public:
    Reader(QByteArrayView bytes, const QString& fileName)
        : m_xml(QByteArray::fromRawData(bytes.data(), bytes.size())), m_fileName(fileName)
    {
    }
    ImportedPlan read();

private:
    [[noreturn]] void raise(const QString& what) const;
    QString text() { return m_xml.readElementText(QXmlStreamReader::SkipChildElements); }
    double number();
    int integer();
    bool flag() { return integer() != 0; }
    QDate date();
    QDateTime dateTime();
    int timeOfDay();
    double durationMinutes();
    double workingMinutes(const RawCalendar& calendar, const QDateTime& from, const QDateTime& to);
    void readCalendar();
    void readWorkingTimes(DayPeriods& periods);
    void readTask();
    void readResource();
    void readAssignment();
    void note(const QString& line) { m_notes.append(line); }
    ExchangePlan makePlan();
    WorkCalendar makeCalendar();

    QXmlStreamReader m_xml;
    QString m_fileName;
    QStringList m_notes;
    QDate m_start;
    double m_minutesPerDay = 480;
    QString m_calendarUid;
    std::vector<RawCalendar> m_calendars;
    std::vector<RawTask> m_tasks;
    std::vector<RawResource> m_resources;
    std::vector<RawAssignment> m_assignments;
    qint64 m_exceptionDays = 0;
    qint64 m_spanDays = 0;
    const RawCalendar* m_chosenCalendar = nullptr;
};

void Reader::raise(const QString& what) const
{
    throw KestrinError(QStringLiteral("Файл «%1» не прочитан: %2").arg(m_fileName, what));
}

double Reader::number()
{
    const QString value = text();
    bool ok = false;
    const double result = value.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(result))
        raise(QStringLiteral("в строке %1 «%2» — не число").arg(m_xml.lineNumber()).arg(value));
    return result;
}

int Reader::integer()
{
    const QString value = text();
    bool ok = false;
    const int result = value.trimmed().toInt(&ok);
    if (!ok)
        raise(
            QStringLiteral("в строке %1 «%2» — не целое число").arg(m_xml.lineNumber()).arg(value));
    return result;
}

QDate Reader::date()
{
    const QString value = text().trimmed();
    const QDate result = QDate::fromString(value.left(10), Qt::ISODate);
    if (!result.isValid())
        raise(QStringLiteral("в строке %1 «%2» — не дата").arg(m_xml.lineNumber()).arg(value));
    return result;
}

QDateTime Reader::dateTime()
{
    const QString value = text().trimmed();
    QDateTime result = QDateTime::fromString(value.left(19), Qt::ISODate);
    result.setTimeSpec(Qt::UTC);
    if (!result.isValid())
        raise(QStringLiteral("в строке %1 «%2» — не дата и время")
                  .arg(m_xml.lineNumber())
                  .arg(value));
    return result;
}

int Reader::timeOfDay()
{
    const QString value = text().trimmed();
    const QTime time = QTime::fromString(value, Qt::ISODate);
    if (!time.isValid())
        raise(QStringLiteral("в строке %1 «%2» — не время").arg(m_xml.lineNumber()).arg(value));
    // Midnight as an end of a period is the end of the day.
    return time.msecsSinceStartOfDay() / 60'000;
}

// The working minutes between two moments by the calendar's working times: what a task lasts
// when the file gives its start and finish but not its duration (as TaskJuggler writes it).
double Reader::workingMinutes(const RawCalendar& calendar, const QDateTime& from,
                              const QDateTime& to)
{
    if (!from.isValid() || !to.isValid() || to <= from)
        return 0;
    m_spanDays += from.date().daysTo(to.date()) + 1;
    if (m_spanDays > kMostSpanDays)
        raise(QStringLiteral("сроки задач охватывают больше %1 дней").arg(kMostSpanDays));
    static const DayPeriods standard = {{8 * 60, 12 * 60}, {13 * 60, 17 * 60}};
    double minutes = 0;
    for (QDate day = from.date(); day <= to.date(); day = day.addDays(1)) {
        const int dayType = day.dayOfWeek() % 7 + 1; // Sunday is 1
        const auto exception = calendar.exceptions.find(day);
        bool working = calendar.weekDay[dayType] < 0 ? (dayType != 1 && dayType != 7)
                                                     : calendar.weekDay[dayType] == 1;
        if (exception != calendar.exceptions.end())
            working = exception->second;
        if (!working)
            continue;
        const DayPeriods& periods =
            calendar.periods[dayType].empty() ? standard : calendar.periods[dayType];
        const int dayFrom = day == from.date() ? from.time().msecsSinceStartOfDay() / 60'000 : 0;
        const int dayTo = day == to.date() ? to.time().msecsSinceStartOfDay() / 60'000 : 24 * 60;
        for (const auto& [start, end] : periods)
            minutes += std::max(0, std::min(end, dayTo) - std::max(start, dayFrom));
    }
    return minutes;
}

// An ISO 8601 duration as MSPDI writes it ("PT16H0M0S", "P2DT4H"), in minutes.
double Reader::durationMinutes()
{
    const QString value = text().trimmed();
    QStringView rest(value);
    double sign = 1;
    if (rest.startsWith(QLatin1Char('-'))) {
        sign = -1;
        rest = rest.sliced(1);
    }
    bool good = rest.startsWith(QLatin1Char('P'));
    rest = good ? rest.sliced(1) : rest;
    double minutes = 0;
    bool inTime = false;
    while (good && !rest.isEmpty()) {
        if (rest.front() == QLatin1Char('T') && !inTime) {
            inTime = true;
            rest = rest.sliced(1);
            continue;
        }
        qsizetype length = 0;
        while (length < rest.size() && (rest[length].isDigit() || rest[length] == QLatin1Char('.')))
            ++length;
        bool ok = false;
        const double amount = rest.first(length).toDouble(&ok);
        if (!ok || length == rest.size()) {
            good = false;
            break;
        }
        const QChar unit = rest[length];
        rest = rest.sliced(length + 1);
        if (!inTime && unit == QLatin1Char('D'))
            minutes += amount * 24 * 60;
        else if (inTime && unit == QLatin1Char('H'))
            minutes += amount * 60;
        else if (inTime && unit == QLatin1Char('M'))
            minutes += amount;
        else if (inTime && unit == QLatin1Char('S'))
            minutes += amount / 60;
        else
            good = false;
    }
    if (!good || !std::isfinite(minutes))
        raise(QStringLiteral("в строке %1 «%2» — не длительность")
                  .arg(m_xml.lineNumber())
                  .arg(value));
    return sign * minutes;
}

void Reader::readWorkingTimes(DayPeriods& periods)
{
    while (m_xml.readNextStartElement()) {
        if (m_xml.name() != u"WorkingTime") {
            m_xml.skipCurrentElement();
            continue;
        }
        int from = -1;
        int to = -1;
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() == u"FromTime")
                from = timeOfDay();
            else if (m_xml.name() == u"ToTime")
                to = timeOfDay();
            else
                m_xml.skipCurrentElement();
        }
        if (to == 0)
            to = 24 * 60;
        if (from >= 0 && to > from && periods.size() < 48)
            periods.emplace_back(from, to);
    }
}

void Reader::readCalendar()
{
    RawCalendar calendar;
    const auto readPeriod = [this](QDate& from, QDate& to) {
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() == u"FromDate")
                from = date();
            else if (m_xml.name() == u"ToDate")
                to = date();
            else
                m_xml.skipCurrentElement();
        }
    };
    const auto addDays = [&](QDate from, QDate to, bool working) {
        if (!from.isValid() || !to.isValid() || to < from)
            return;
        m_exceptionDays += from.daysTo(to) + 1;
        if (m_exceptionDays > kMostExceptionDays)
            raise(QStringLiteral("в календаре больше %1 дней исключений").arg(kMostExceptionDays));
        for (QDate day = from; day <= to; day = day.addDays(1))
            calendar.exceptions[day] = working;
    };
    while (m_xml.readNextStartElement()) {
        if (m_xml.name() == u"UID") {
            calendar.uid = text().trimmed();
        } else if (m_xml.name() == u"WeekDays" || m_xml.name() == u"Exceptions") {
            while (m_xml.readNextStartElement()) {
                int dayType = 0;
                bool working = false;
                QDate from, to;
                DayPeriods periods;
                while (m_xml.readNextStartElement()) {
                    if (m_xml.name() == u"DayType")
                        dayType = integer();
                    else if (m_xml.name() == u"DayWorking")
                        working = flag();
                    else if (m_xml.name() == u"TimePeriod")
                        readPeriod(from, to);
                    else if (m_xml.name() == u"WorkingTimes")
                        readWorkingTimes(periods);
                    else
                        m_xml.skipCurrentElement();
                }
                if (dayType >= 1 && dayType <= 7) {
                    calendar.weekDay[dayType] = working ? 1 : 0;
                    calendar.periods[dayType] = std::move(periods);
                } else
                    addDays(from, to, working);
            }
        } else {
            m_xml.skipCurrentElement();
        }
    }
    m_calendars.push_back(std::move(calendar));
}

void Reader::readTask()
{
    RawTask task;
    while (m_xml.readNextStartElement()) {
        const QStringView name = m_xml.name();
        if (name == u"UID")
            task.uid = text().trimmed();
        else if (name == u"Name")
            task.name = text();
        else if (name == u"OutlineLevel")
            task.outlineLevel = integer();
        else if (name == u"Duration") {
            task.minutes = durationMinutes();
            task.hasDuration = true;
        } else if (name == u"Start")
            task.start = dateTime();
        else if (name == u"Finish")
            task.finish = dateTime();
        else if (name == u"DurationFormat")
            task.durationFormat = integer();
        else if (name == u"IsNull")
            task.isNull = flag();
        else if (name == u"Milestone")
            task.milestone = flag();
        else if (name == u"Manual")
            task.manual = flag();
        else if (name == u"Active")
            task.inactive = !flag();
        else if (name == u"ConstraintType")
            task.constraintType = integer();
        else if (name == u"Deadline")
            task.deadline = text().trimmed();
        else if (name == u"PercentComplete")
            task.percentComplete = number();
        else if (name == u"PredecessorLink") {
            RawLink link;
            while (m_xml.readNextStartElement()) {
                if (m_xml.name() == u"PredecessorUID")
                    link.predecessor = text().trimmed();
                else if (m_xml.name() == u"Type")
                    link.type = integer();
                else if (m_xml.name() == u"LinkLag")
                    link.lagTenthsOfMinutes = number();
                else if (m_xml.name() == u"LagFormat")
                    link.lagFormat = integer();
                else
                    m_xml.skipCurrentElement();
            }
            task.links.push_back(std::move(link));
        } else {
            m_xml.skipCurrentElement();
        }
    }
    m_tasks.push_back(std::move(task));
}

void Reader::readResource()
{
    RawResource resource;
    while (m_xml.readNextStartElement()) {
        const QStringView name = m_xml.name();
        if (name == u"UID")
            resource.uid = text().trimmed();
        else if (name == u"Name")
            resource.name = text();
        else if (name == u"Type")
            resource.type = integer();
        else if (name == u"MaterialLabel")
            resource.label = text();
        else if (name == u"MaxUnits")
            resource.maxUnits = number();
        else if (name == u"IsNull")
            resource.isNull = flag();
        else
            m_xml.skipCurrentElement();
    }
    m_resources.push_back(std::move(resource));
}

void Reader::readAssignment()
{
    RawAssignment assignment;
    while (m_xml.readNextStartElement()) {
        const QStringView name = m_xml.name();
        if (name == u"TaskUID")
            assignment.task = text().trimmed();
        else if (name == u"ResourceUID")
            assignment.resource = text().trimmed();
        else if (name == u"Units")
            assignment.units = number();
        else
            m_xml.skipCurrentElement();
    }
    m_assignments.push_back(std::move(assignment));
}

ImportedPlan Reader::read()
{
    if (!m_xml.readNextStartElement() || m_xml.name() != u"Project" ||
        (m_xml.namespaceUri() != kNamespace && !m_xml.namespaceUri().isEmpty()))
        throw KestrinError(
            QStringLiteral("Файл «%1» — не файл MS Project XML (MSPDI): в нём нет проекта "
                           "<Project> в пространстве имён %2")
                .arg(m_fileName, kNamespace));
    const auto readList = [this](QStringView item, void (Reader::*readItem)()) {
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() == item)
                (this->*readItem)();
            else
                m_xml.skipCurrentElement();
        }
    };
    while (m_xml.readNextStartElement()) {
        const QStringView name = m_xml.name();
        if (name == u"StartDate")
            m_start = date();
        else if (name == u"MinutesPerDay")
            m_minutesPerDay = number();
        else if (name == u"CalendarUID")
            m_calendarUid = text().trimmed();
        else if (name == u"Calendars")
            readList(u"Calendar", &Reader::readCalendar);
        else if (name == u"Tasks")
            readList(u"Task", &Reader::readTask);
        else if (name == u"Resources")
            readList(u"Resource", &Reader::readResource);
        else if (name == u"Assignments")
            readList(u"Assignment", &Reader::readAssignment);
        else
            m_xml.skipCurrentElement();
    }
    if (m_xml.hasError())
        raise(QStringLiteral("строка %1: %2").arg(m_xml.lineNumber()).arg(m_xml.errorString()));
    if (!(m_minutesPerDay > 0))
        raise(QStringLiteral("минут в рабочем дне — %1").arg(m_minutesPerDay));
    ImportedPlan imported;
    imported.plan = makePlan();
    imported.notes = std::move(m_notes);
    return imported;
}

WorkCalendar Reader::makeCalendar()
{
    WorkCalendar calendar;
    const RawCalendar* chosen = nullptr;
    for (const RawCalendar& raw : m_calendars) {
        if (raw.uid == m_calendarUid || (!chosen && m_calendarUid.isEmpty()))
            chosen = &raw;
    }
    m_chosenCalendar = chosen;
    if (!chosen)
        return calendar;
    // A day the week leaves out is as MS Project's standard week has it: Monday to Friday.
    std::array<bool, 8> working{};
    for (int day = 1; day <= 7; ++day)
        working[day] = chosen->weekDay[day] < 0 ? (day != 1 && day != 7) : chosen->weekDay[day];
    const bool weekdays = working[2] && working[3] && working[4] && working[5] && working[6];
    if (weekdays && !working[7] && !working[1]) {
        calendar.setCountsWorkingDays(true);
        calendar.setWeek(WorkWeek::FiveDays);
    } else if (weekdays && working[7] && !working[1]) {
        calendar.setCountsWorkingDays(true);
        calendar.setWeek(WorkWeek::SixDays);
    } else if (weekdays && working[7] && working[1]) {
        calendar.setCountsWorkingDays(false);
    } else {
        calendar.setCountsWorkingDays(true);
        note(QStringLiteral("Рабочая неделя календаря — не пять, не шесть и не семь дней "
                            "подряд с понедельника: взята пятидневная"));
    }
    calendar.setExceptions(chosen->exceptions);
    return calendar;
}

ExchangePlan Reader::makePlan()
{
    using namespace tasknetwork;
    ExchangePlan plan;
    plan.startDate = m_start;
    plan.calendar = makeCalendar();

    // The tasks that count: blank rows and inactive tasks are left out.
    std::vector<RawTask*> tasks;
    tasks.reserve(m_tasks.size());
    for (RawTask& task : m_tasks) {
        if (task.isNull)
            continue;
        if (task.inactive) {
            note(QStringLiteral("«%1»: неактивная задача не перенесена").arg(task.name));
            continue;
        }
        tasks.push_back(&task);
    }
    QHash<QString, int> indexOfUid;
    indexOfUid.reserve(qsizetype(tasks.size()));
    for (std::size_t i = 0; i < tasks.size(); ++i) {
        if (indexOfUid.contains(tasks[i]->uid))
            raise(QStringLiteral("у двух задач один номер UID %1").arg(tasks[i]->uid));
        indexOfUid.insert(tasks[i]->uid, int(i));
    }

    // The outline: a task is a summary when the next one lies deeper; the project's own summary
    // task (level 0) groups everything.
    std::vector<bool> hasWork(tasks.size(), true);
    std::vector<int> parentOf(tasks.size(), -1);
    std::vector<int> parents;
    for (std::size_t i = 0; i < tasks.size(); ++i) {
        const int level = tasks[i]->outlineLevel;
        while (!parents.empty() && tasks[std::size_t(parents.back())]->outlineLevel >= level)
            parents.pop_back();
        if (!parents.empty()) {
            parentOf[i] = parents.back();
            hasWork[std::size_t(parents.back())] = false;
        }
        parents.push_back(int(i));
        if (level <= 0)
            hasWork[i] = false;
    }
    std::vector<Link> links;
    links.reserve(tasks.size() * 2);
    // A milestone of no duration is a moment, an event of the network rather than a work: its
    // start and end are one (the zero link between them merges).
    int milestones = 0;
    for (std::size_t i = 0; i < tasks.size(); ++i) {
        if (hasWork[i] && tasks[i]->milestone && tasks[i]->minutes == 0) {
            hasWork[i] = false;
            links.push_back({int(i), int(i), LinkType::StartToFinish, 0});
            ++milestones;
        }
    }
    if (milestones > 0)
        note(QStringLiteral("Вехи (%1) стали событиями сети; их названия не перенесены")
                 .arg(milestones));
    for (std::size_t i = 0; i < tasks.size(); ++i) {
        const RawTask& task = *tasks[i];
        if (task.constraintType != 0)
            note(QStringLiteral("«%1»: ограничение по дате не перенесено").arg(task.name));
        if (!task.deadline.isEmpty())
            note(
                QStringLiteral("«%1»: крайний срок %2 не перенесён").arg(task.name, task.deadline));
        if (task.manual)
            note(QStringLiteral("«%1»: задача планировалась вручную, перенесена как "
                                "рассчитываемая")
                     .arg(task.name));
        if (hasWork[i] && isElapsed(task.durationFormat))
            note(QStringLiteral("«%1»: длительность в календарном времени перенесена в днях по "
                                "%2 минут")
                     .arg(task.name)
                     .arg(m_minutesPerDay));
        if (task.percentComplete > 0)
            note(QStringLiteral("«%1»: выполнение %2% не перенесено")
                     .arg(task.name)
                     .arg(task.percentComplete));
        for (const RawLink& raw : task.links) {
            const auto predecessor = indexOfUid.constFind(raw.predecessor);
            if (predecessor == indexOfUid.cend() || *predecessor == int(i)) {
                note(QStringLiteral("«%1»: связь с задачей UID %2, которой нет, не перенесена")
                         .arg(task.name, raw.predecessor));
                continue;
            }
            static constexpr LinkType kTypes[] = {LinkType::FinishToFinish, LinkType::FinishToStart,
                                                  LinkType::StartToFinish, LinkType::StartToStart};
            if (raw.type < 0 || raw.type > 3)
                raise(QStringLiteral("у задачи «%1» связь неизвестного типа %2")
                          .arg(task.name)
                          .arg(raw.type));
            double lag = raw.lagTenthsOfMinutes / 10 / m_minutesPerDay;
            if (isPercent(raw.lagFormat)) {
                note(QStringLiteral("«%1»: задержка связи в процентах перенесена как 0")
                         .arg(task.name));
                lag = 0;
            } else if (isElapsed(raw.lagFormat)) {
                note(QStringLiteral("«%1»: задержка связи в календарном времени перенесена в днях "
                                    "по %2 минут")
                         .arg(task.name)
                         .arg(m_minutesPerDay));
            }
            links.push_back({*predecessor, int(i), kTypes[raw.type], lag});
        }
    }

    // A summary's links hold for all of its tasks: its start comes before theirs and its end
    // after theirs. A summary without links of its own (nor above it) needs neither.
    std::vector<bool> linked(tasks.size(), false);
    for (const Link& link : links)
        linked[std::size_t(link.predecessor)] = linked[std::size_t(link.successor)] = true;
    for (std::size_t i = 0; i < tasks.size(); ++i) {
        const int parent = parentOf[i];
        if (parent < 0)
            continue;
        if (linked[std::size_t(parent)]) {
            linked[i] = linked[i] || !hasWork[i];
            links.push_back({parent, int(i), LinkType::StartToStart, 0});
            links.push_back({int(i), parent, LinkType::FinishToFinish, 0});
        }
    }

    // A task without a duration lasts the working time from its start to its finish.
    int fromDates = 0;
    const RawCalendar noCalendar;
    for (std::size_t i = 0; i < tasks.size(); ++i) {
        RawTask& task = *tasks[i];
        if (hasWork[i] && !task.hasDuration && task.start.isValid() && task.finish.isValid()) {
            task.minutes = workingMinutes(m_chosenCalendar ? *m_chosenCalendar : noCalendar,
                                          task.start, task.finish);
            ++fromDates;
        }
    }
    if (fromDates > 0)
        note(QStringLiteral("У %1 задач нет длительности: она взята как рабочее время от начала до "
                            "окончания")
                 .arg(fromDates));

    const Events events = build(hasWork, links);
    const NumberFormat& numbers = NumberFormat::system();
    std::vector<int> workOfTask(tasks.size(), -1);
    plan.works.reserve(tasks.size() + events.links.size());
    for (std::size_t i = 0; i < tasks.size(); ++i) {
        if (!hasWork[i])
            continue;
        workOfTask[i] = int(plan.works.size());
        plan.works.push_back({QString::number(events.taskStart[i]),
                              QString::number(events.taskEnd[i]),
                              numbers.format(tasks[i]->minutes / m_minutesPerDay), tasks[i]->name});
    }
    for (const LinkWork& link : events.links)
        plan.works.push_back({QString::number(link.startEvent), QString::number(link.endEvent),
                              numbers.format(link.lag), QString()});

    QHash<QString, int> resourceOfUid;
    for (const RawResource& raw : m_resources) {
        if (raw.isNull || raw.name.isEmpty())
            continue;
        if (raw.type == 2) {
            note(QStringLiteral("Ресурс «%1»: затраты не перенесены").arg(raw.name));
            continue;
        }
        resourceOfUid.insert(raw.uid, int(plan.resources.size()));
        plan.resources.push_back({raw.name, raw.type == 0 ? raw.label : QString(), raw.maxUnits});
    }
    for (const RawAssignment& raw : m_assignments) {
        const auto task = indexOfUid.constFind(raw.task);
        const auto resource = resourceOfUid.constFind(raw.resource);
        if (task == indexOfUid.cend() || resource == resourceOfUid.cend())
            continue;
        const int work = workOfTask[std::size_t(*task)];
        if (work < 0) {
            note(QStringLiteral("«%1»: назначение на суммарную задачу не перенесено")
                     .arg(tasks[std::size_t(*task)]->name));
            continue;
        }
        plan.demands.push_back({work, *resource, raw.units});
    }
    return plan;
}

// The reader's own words for a file it does not read, naming the file alone.
QString unreadMessage(const InputFile::Failure& failure)
{
    QString reason = InputFile::reason(failure);
    if (failure.kind == InputFile::Failure::Kind::NotRegular)
        reason = QStringLiteral("это не обычный файл");
    else if (failure.kind == InputFile::Failure::Kind::TooLarge)
        reason = QStringLiteral("он больше 512 МБ");
    return QStringLiteral("Файл «%1» не прочитан: %2")
        .arg(QFileInfo(failure.path).fileName(), reason);
}

} // namespace

ImportedPlan decode(QByteArrayView bytes, const QString& fileName)
{
    return Reader(bytes, fileName).read();
}

ImportedPlan read(const QString& path)
{
    // Opened without waiting, so that a pipe with no writer is refused rather than waited for.
    InputFile file(path, kLargestFile, unreadMessage);
    file.open();
    const QByteArray bytes = file.readAll();
    return decode(bytes, QFileInfo(path).fileName());
}

} // namespace mspdi
