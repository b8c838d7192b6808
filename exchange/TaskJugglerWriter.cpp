#include "TaskJugglerWriter.h"

#include "ExportCommon.h"

#include <QHash>

#include <algorithm>
#include <cmath>

namespace taskjuggler {
namespace {

// A TaskJuggler string in double quotes; a double quote inside becomes a typographic one.
QString quoted(QString text)
{
    text.replace(QLatin1Char('"'), QChar(0x201D));
    text.replace(QLatin1Char('\\'), QLatin1Char('/'));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return QLatin1Char('"') + text + QLatin1Char('"');
}

QString days(double value)
{
    // Hours keep fractions of a day exact to the minute.
    return QString::number(std::llround(value * 24 * 60)) + QStringLiteral("min");
}

} // namespace

QByteArray encode(const ExchangePlan& plan, const std::vector<WorkTimes>& times)
{
    const std::vector<double> durations = exchangeexport::durations(plan);
    const std::vector<QString> events = exchangeexport::events(plan);
    QHash<QString, int> eventIndex;
    for (std::size_t i = 0; i < events.size(); ++i)
        eventIndex.insert(events[i], int(i) + 1);
    double end = 0;
    for (const WorkTimes& time : times)
        end = std::max(end, time.earlyFinish);
    const WorkCalendar& calendar = plan.calendar;
    // Working days run slower than calendar days: room for a five-day week and its holidays.
    const qint64 span = qint64(std::ceil(end * 2)) + 60;

    QString text;
    text += QStringLiteral("project kestrin \"Kestrin\" %1 +%2d {\n")
                .arg(plan.startDate.toString(Qt::ISODate))
                .arg(span);
    text += QStringLiteral("  timezone \"UTC\"\n  dailyworkinghours 24\n");
    if (!calendar.countsWorkingDays())
        text += QStringLiteral("  workinghours mon - sun 0:00 - 24:00\n");
    else if (calendar.week() == WorkWeek::FiveDays)
        text += QStringLiteral("  workinghours mon - fri 0:00 - 24:00\n"
                               "  workinghours sat, sun off\n");
    else
        text += QStringLiteral("  workinghours mon - sat 0:00 - 24:00\n"
                               "  workinghours sun off\n");
    text += QStringLiteral("}\n");
    if (calendar.countsWorkingDays()) {
        for (const auto& [date, working] : calendar.exceptions()) {
            if (!working)
                text += QStringLiteral("leaves holiday \"Выходной\" %1\n")
                            .arg(date.toString(Qt::ISODate));
        }
    }
    for (std::size_t r = 0; r < plan.resources.size(); ++r)
        text += QStringLiteral("resource r%1 %2\n").arg(r + 1).arg(quoted(plan.resources[r].name));

    std::vector<std::vector<int>> endingAt(events.size());
    for (std::size_t w = 0; w < plan.works.size(); ++w)
        endingAt[std::size_t(eventIndex.value(plan.works[w].endEvent)) - 1].push_back(int(w));
    std::vector<std::vector<int>> demandsOf(plan.works.size());
    for (const ExchangeDemand& demand : plan.demands)
        demandsOf[std::size_t(demand.work)].push_back(demand.resource);

    for (std::size_t e = 0; e < events.size(); ++e) {
        text += QStringLiteral("task e%1 %2 {\n  milestone\n")
                    .arg(e + 1)
                    .arg(quoted(QStringLiteral("Событие ") + events[e]));
        if (endingAt[e].empty()) {
            text += QStringLiteral("  start ${projectstart}\n");
        } else {
            QStringList names;
            for (int w : endingAt[e])
                names.append(QStringLiteral("w%1").arg(w + 1));
            text +=
                QStringLiteral("  depends ") + names.join(QStringLiteral(", ")) + QLatin1Char('\n');
        }
        text += QStringLiteral("}\n");
    }
    for (std::size_t w = 0; w < plan.works.size(); ++w) {
        const ExchangeWork& work = plan.works[w];
        text += QStringLiteral("task w%1 %2 {\n  depends e%3\n")
                    .arg(w + 1)
                    .arg(quoted(exchangeexport::taskName(work)))
                    .arg(eventIndex.value(work.startEvent));
        if (durations[w] > 0)
            text += QStringLiteral("  length %1\n").arg(days(durations[w]));
        else
            text += QStringLiteral("  milestone\n");
        for (int resource : demandsOf[w])
            text += QStringLiteral("  allocate r%1\n").arg(resource + 1);
        text += QStringLiteral("}\n");
    }
    text += QStringLiteral("taskreport \"schedule\" {\n"
                           "  formats csv\n"
                           "  columns id, start, end\n"
                           "  timeformat \"%Y-%m-%d %H:%M\"\n"
                           "}\n");
    return text.toUtf8();
}

void write(const QString& path, const ExchangePlan& plan, const std::vector<WorkTimes>& times)
{
    exchangeexport::writeFile(path, encode(plan, times));
}

} // namespace taskjuggler
