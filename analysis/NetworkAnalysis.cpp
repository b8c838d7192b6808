#include "NetworkAnalysis.h"

#include "CheckedArithmetic.h"
#include "DateFormat.h"
#include "EventIndex.h"
#include "EventTimes.h"
#include "KestrinError.h"
#include "NetworkCheck.h"
#include "NetworkPaths.h"
#include "NumberFormat.h"
#include "SuccessorGraph.h"
#include "WorkCells.h"
#include "WorkFloats.h"
#include "WorkTension.h"

#include <QHash>

#include <algorithm>
#include <limits>

namespace {

constexpr int kRowsInText = 20;
// The columns of the works page before the names' column.
constexpr int kTensionColumns = 10;

AnalysisColumn column(const char16_t* caption, const char16_t* hint, double printWidth,
                      bool numeric = false, bool wraps = false)
{
    return {QString::fromUtf16(caption), QString::fromUtf16(hint), printWidth, numeric, wraps};
}

std::vector<AnalysisPage> emptyPages()
{
    std::vector<AnalysisPage> pages;
    pages.emplace_back(
        QStringLiteral("События"),
        QList<AnalysisColumn>{
            column(u"Событие", u"Имя события", 40),
            column(u"Tр", u"Ранний срок события: самый длинный путь от начального события", 25,
                   true),
            column(u"Tп", u"Поздний срок события: L минус самый длинный путь до конечного события",
                   25, true),
            column(u"R", u"Резерв времени события: Tп − Tр", 25, true),
            column(u"Ранняя дата", u"Дата начала работ + Tр", 30),
            column(u"Поздняя дата", u"Дата начала работ + Tп", 30),
        });
    pages.emplace_back(
        QStringLiteral("Работы"),
        QList<AnalysisColumn>{
            column(u"№", u"Строка таблицы работ", 10, true),
            column(u"Начало", u"Начальное событие работы", 24),
            column(u"Конец", u"Конечное событие работы", 24),
            column(u"Продолжит.", u"Продолжительность работы", 20, true),
            column(u"О.З.В.", u"Общий (полный) запас времени, как в таблице работ", 16, true),
            column(u"Ч.З.В.", u"Частный (свободный) запас времени, как в таблице работ", 16, true),
            column(u"t(Lmax)", u"Самый длинный путь через работу: L − О.З.В.", 18, true),
            column(u"t'кр", u"Часть этого пути, проходящая по критическим работам", 16, true),
            column(u"Kн", u"Коэффициент напряжённости: (t(Lmax) − t'кр) / (L − t'кр)", 12, true),
            column(u"Зона",
                   u"Зона напряжённости: критическая (Kн ≥ 0,8), подкритическая "
                   u"(0,6 ≤ Kн < 0,8) или резервная (Kн < 0,6)",
                   30),
        });
    pages.emplace_back(QStringLiteral("Пути"),
                       QList<AnalysisColumn>{
                           column(u"№", u"Номер пути", 10, true),
                           column(u"Путь", u"Критический путь или самый длинный из остальных", 28),
                           column(u"Длина", u"Длина пути", 18, true),
                           column(u"Резерв", u"Резерв пути: L − длина", 18, true),
                           column(u"События", u"События пути по порядку", 116, false, true),
                       });
    pages.emplace_back(
        QStringLiteral("Проверка"),
        QList<AnalysisColumn>{
            column(u"Вид", u"Ошибка или предупреждение", 28),
            column(u"Замечание", u"Что нарушает правила построения сети", 124, false, true),
            column(u"Строки", u"Строки таблицы работ", 38, false, true),
        });
    return pages;
}

QString quoted(const QString& name)
{
    return QStringLiteral("«") + name + QStringLiteral("»");
}

// The date texts of day counts, made once per calendar day.
class DayTexts
{
public:
    DayTexts(const ScheduleDates& scheduleDates, const DateFormat& dates)
        : m_scheduleDates(scheduleDates), m_dates(dates)
    {
    }

    // The day of a time in days, as the recalculation dates a work.
    QString after(long double days)
    {
        const double sum = m_scheduleDates.dayOf(days);
        const qint64 day = DateFormat::dateOf(sum).toJulianDay();
        auto text = m_byDay.constFind(day);
        if (text == m_byDay.cend())
            text = m_byDay.insert(day, m_dates.formatDate(sum));
        return *text;
    }

private:
    const ScheduleDates& m_scheduleDates;
    const DateFormat& m_dates;
    QHash<qint64, QString> m_byDay;
};

void fillEvents(AnalysisPage& page, EventTimes& times, const EventIndex& events, DayTexts& days)
{
    std::vector<int> order = times.pathEvents();
    // Every time is searched before the sort, so that a failing search raises outside it.
    for (const int event : order) {
        times.earlyValue(event);
        times.lateValue(event);
    }
    const auto group = [&](int event) {
        return event < events.eventCount() ? events.groupOf(event)
                                           : std::numeric_limits<int>::max();
    };
    // By early time, then alphabetically as the selectors list names, then by exact text.
    std::sort(order.begin(), order.end(), [&](int a, int b) {
        const long double earlyA = times.earlyValue(a);
        const long double earlyB = times.earlyValue(b);
        if (earlyA != earlyB)
            return earlyA < earlyB;
        if (group(a) != group(b))
            return group(a) < group(b);
        return times.graph().eventName(a) < times.graph().eventName(b);
    });
    page.reserveRows(int(order.size()));
    for (const int event : order) {
        const long double early = times.earlyValue(event);
        const long double late = times.lateValue(event);
        page.appendRow({times.graph().eventName(event), times.earlyText(event).toString(),
                        times.lateText(event).toString(), times.slackText(event), days.after(early),
                        days.after(late)});
    }
}

void fillTension(AnalysisPage& page, const WorkCells& table, const SuccessorGraph& graph,
                 const std::vector<WorkFloats>& floats, const std::vector<WorkTension>& tension)
{
    page.reserveRows(int(floats.size()));
    // The names' column is there only when a work has a name (worksPage).
    const bool named = page.columnCount() > kTensionColumns;
    for (std::size_t row = 0; row < floats.size(); ++row) {
        const WorkFloats& work = floats[row];
        if (work.blank)
            continue;
        const WorkTension& tense = tension[row];
        page.appendRow({QString::number(row + 1), graph.eventName(graph.rowStart(int(row))),
                        graph.eventName(graph.rowEnd(int(row))),
                        table.cell(WorkColumn::Duration, int(row)), work.totalFloat, work.freeFloat,
                        tense.longestPath, tense.criticalShare, tense.tension,
                        zoneText(tense.zone)});
        if (named)
            page.setText(page.rowCount() - 1, kTensionColumns, table.workName(int(row)));
    }
}

void fillPaths(AnalysisPage& page, EventTimes& times, const NetworkPaths& paths)
{
    const NumberFormat& numbers = times.numbers();
    int number = 0;
    const auto add = [&](const NetworkPath& path, const QString& kind) {
        QString events;
        for (const int event : path.events) {
            if (!events.isEmpty())
                events += QStringLiteral(" -> ");
            events += times.graph().eventName(event);
        }
        page.appendRow({QString::number(++number), kind, numbers.format(path.length),
                        numbers.format(checked::subtract(times.length(), path.length)), events});
    };
    for (const NetworkPath& path : paths.critical)
        add(path, QStringLiteral("критический"));
    if (paths.moreCritical)
        page.appendRow({{},
                        {},
                        {},
                        {},
                        QStringLiteral("Критических путей больше %1; показаны первые %1")
                            .arg(kCriticalPathLimit)});
    if (paths.critical.empty())
        page.appendRow({{},
                        {},
                        {},
                        {},
                        QStringLiteral("Нет пути положительной длины от начального события до "
                                       "конечного")});
    for (const NetworkPath& path : paths.others)
        add(path, QStringLiteral("некритический"));
}

void fillCheck(AnalysisPage& page, const std::vector<Finding>& findings)
{
    if (findings.empty()) {
        page.appendRow({{}, QStringLiteral("Сеть построена правильно")});
        return;
    }
    for (const Finding& finding : findings)
        page.appendRow({severityText(finding.severity), finding.text, rowListText(finding.rows)});
}

} // namespace

QString rowListText(const std::vector<int>& rows)
{
    QStringList numbers;
    for (std::size_t i = 0; i < rows.size() && i < std::size_t(kRowsInText); ++i)
        numbers.append(QString::number(rows[i] + 1));
    QString text = numbers.join(QStringLiteral(", "));
    if (rows.size() > std::size_t(kRowsInText))
        text += QStringLiteral(" … (всего %1)").arg(rows.size());
    return text;
}

NetworkAnalysis::NetworkAnalysis(const WorkCells& table, const EventIndex& events,
                                 const QString& startEvent, const QString& endEvent,
                                 double startDate, const NumberFormat& numbers,
                                 const DateFormat& dates)
    : NetworkAnalysis(table, events, startEvent, endEvent, ScheduleDates(WorkCalendar(), startDate),
                      numbers, dates)
{
}

NetworkAnalysis::NetworkAnalysis(const WorkCells& table, const EventIndex& events,
                                 const QString& startEvent, const QString& endEvent,
                                 const ScheduleDates& scheduleDates, const NumberFormat& numbers,
                                 const DateFormat& dates)
    : m_pages(emptyPages())
{
    if (table.hasWorkNames()) {
        // The names take what the printed line has left once the figures' columns narrow to
        // their captions and the events' columns wrap; a long name wraps too.
        constexpr double kNamedWidths[kTensionColumns] = {10, 17, 17, 22, 14, 14, 14, 12, 10, 30};
        AnalysisPage& works = m_pages[Tension];
        QList<AnalysisColumn> columns = works.columns();
        double used = 0;
        for (int index = 0; index < kTensionColumns; ++index) {
            columns[index].printWidth = kNamedWidths[index];
            used += kNamedWidths[index];
        }
        columns[1].wraps = true;
        columns[2].wraps = true;
        columns.append(
            column(u"Наименование", u"Наименование работы", kPrintedLineWidth - used, false, true));
        works = AnalysisPage(works.title(), columns);
    }
    const SuccessorGraph graph(table, events, QStringList{startEvent, endEvent}, numbers);
    std::vector<Finding> findings = checkNetwork(table, events, graph, startEvent, endEvent);
    DayTexts days(scheduleDates, dates);
    QString length = QStringLiteral("не рассчитана");
    try {
        EventTimes times(graph, graph.eventId(startEvent), graph.eventId(endEvent), numbers);
        const std::vector<WorkFloats> floats = workFloats(times);
        const std::vector<WorkTension> tension = workTension(times, floats);
        fillEvents(m_pages[Events], times, events, days);
        fillTension(m_pages[Tension], table, graph, floats, tension);
        fillPaths(m_pages[Paths], times, networkPaths(times));
        length = times.lengthText();
        m_timesKnown = true;
    } catch (const KestrinError& error) {
        // The check explains what the recalculation would only refuse.
        for (const Page page : {Events, Tension, Paths})
            m_pages[std::size_t(page)] = AnalysisPage(m_pages[std::size_t(page)].title(),
                                                      m_pages[std::size_t(page)].columns());
        findings.insert(
            findings.begin(),
            {Severity::Error, QStringLiteral("Сроки не рассчитаны: ") + error.message(), {}});
    }
    fillCheck(m_pages[Check], findings);

    int works = 0;
    for (int row = 0; row < graph.rowCount(); ++row)
        works += graph.isBlank(row) ? 0 : 1;
    // One arg() for all: a later one would also replace a "%4" inside an event's name.
    m_summary =
        QStringLiteral("От %1 до %2: L = %3; работ %4, событий %5; начало работ %6")
            .arg(quoted(startEvent), quoted(endEvent), length, QString::number(works),
                 QString::number(events.eventCount()), dates.formatDate(scheduleDates.dayOf(0)));
}
