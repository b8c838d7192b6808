#include "Recalculation.h"

#include "CriticalPath.h"
#include "DateFormat.h"
#include "EventTimes.h"
#include "KestrinError.h"
#include "NumberFormat.h"
#include "Progress.h"
#include "RowFigures.h"
#include "SuccessorGraph.h"
#include "WorkCells.h"

#include <QHash>
#include <QThread>

#include <cmath>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <thread>
#include <vector>

namespace {

constexpr char16_t kStage[] = u"Пересчёт графика";

} // namespace

struct Recalculation::PassMemo
{
    std::vector<int> rowsEndingAt;        // per event: non-blank rows whose end event it is
    std::vector<long double> earlyFinish; // per row: the value of its early finish
};

Recalculation::Recalculation(WorkCells& table, QString startEvent, QString endEvent,
                             double startDate, const NumberFormat& numbers, const DateFormat& dates,
                             const NameCollation& names)
    : Recalculation(table, std::move(startEvent), std::move(endEvent),
                    ScheduleDates(WorkCalendar(), startDate), numbers, dates, names)
{
}

Recalculation::Recalculation(WorkCells& table, QString startEvent, QString endEvent,
                             ScheduleDates scheduleDates, const NumberFormat& numbers,
                             const DateFormat& dates, const NameCollation& names)
    : m_table(table), m_startEvent(std::move(startEvent)), m_endEvent(std::move(endEvent)),
      m_scheduleDates(std::move(scheduleDates)), m_numbers(numbers), m_dates(dates), m_names(names)
{
}

Recalculation::Recalculation(WorkCells& table, const EventIndex& events, QString startEvent,
                             QString endEvent, double startDate, const NumberFormat& numbers,
                             const DateFormat& dates, const NameCollation& names)
    : Recalculation(table, events, std::move(startEvent), std::move(endEvent),
                    ScheduleDates(WorkCalendar(), startDate), numbers, dates, names)
{
}

Recalculation::Recalculation(WorkCells& table, const EventIndex& events, QString startEvent,
                             QString endEvent, ScheduleDates scheduleDates,
                             const NumberFormat& numbers, const DateFormat& dates,
                             const NameCollation& names)
    : Recalculation(table, std::move(startEvent), std::move(endEvent), std::move(scheduleDates),
                    numbers, dates, names)
{
    m_events = &events;
}

Recalculation::~Recalculation() = default;

void Recalculation::prepare()
{
    if (!m_graph) {
        const QStringList ends{m_startEvent, m_endEvent};
        m_graph = m_events ? std::make_unique<SuccessorGraph>(m_table, *m_events, ends, m_numbers)
                           : std::make_unique<SuccessorGraph>(m_table, ends, m_numbers, m_names);
    }
    if (!m_times)
        m_times = std::make_unique<EventTimes>(*m_graph, m_graph->eventId(m_startEvent),
                                               m_graph->eventId(m_endEvent), m_numbers);
}

long double Recalculation::criticalLength(QStringList& criticalPath)
{
    prepare();
    EventTimes& times = *m_times;
    const long double length = times.length();
    criticalPath =
        length > 0 ? criticalPathEvents(*m_graph, times.toEnd(), times.start(), times.end(), length)
                   : QStringList();
    return length;
}

void Recalculation::fillComputedColumns()
{
    prepare();
    m_memo = std::make_unique<PassMemo>();
    PassMemo& memo = *m_memo;
    memo.rowsEndingAt.assign(std::size_t(m_graph->eventCount()), 0);
    memo.earlyFinish.assign(std::size_t(m_graph->rowCount()), 0.0L);
    for (int row = 0; row < m_graph->rowCount(); ++row) {
        if (!m_graph->isBlank(row))
            ++memo.rowsEndingAt[std::size_t(m_graph->rowEnd(row))];
    }

    if (fillAtOnce())
        return;
    firstPass();
    secondPass();
    thirdPass();
}

void Recalculation::firstPass()
{
    EventTimes& times = *m_times;
    PassMemo& memo = *m_memo;
    const int rows = m_graph->rowCount();
    for (int row = 0; row < rows; ++row) {
        progress::step(kStage, row, 3 * qint64(rows));
        if (m_graph->isBlank(row)) {
            for (const WorkColumn column :
                 {WorkColumn::PrecedingWorks, WorkColumn::EarlyStart, WorkColumn::EarlyFinish,
                  WorkColumn::LateFinish, WorkColumn::LateStart, WorkColumn::TotalFloat})
                m_table.setCell(column, row, QStringView());
            continue;
        }
        // A count is a whole number well below 10^15: its general number text is its digits.
        m_table.setCell(
            WorkColumn::PrecedingWorks, row,
            m_numbers.text(memo.rowsEndingAt[std::size_t(m_graph->rowStart(row))]).view());
        memo.earlyFinish[std::size_t(row)] =
            rowFigures(times, row, [&](WorkColumn column, QStringView text) {
                m_table.setCell(column, row, text);
            }).earlyFinishValue;
    }
}

bool Recalculation::fillAtOnce()
{
    // Sums of durations whose magnitudes stay far below the long double limit never overflow,
    // and a duration that does not parse is the only other failure of a row's own arithmetic.
    if (m_graph->totalsMayOverflow())
        return false;
    const int rows = m_graph->rowCount();
    for (int row = 0; row < rows; ++row) {
        if (!m_graph->isBlank(row) && !m_graph->durationParses(row))
            return false;
    }
    // The searches, which may fail: their times are kept for the passes, which raise their
    // failures again in their own order.
    EventTimes& times = *m_times;
    const PassMemo& memo = *m_memo;
    std::optional<QString> startDateText;
    std::vector<QString> dayText(std::size_t(m_graph->eventCount()));
    try {
        for (int row = 0; row < rows; ++row) {
            progress::step(kStage, row, rows);
            if (m_graph->isBlank(row))
                continue;
            times.earlyValue(m_graph->rowStart(row));
            const int end = m_graph->rowEnd(row);
            times.lateValue(end);
            times.followingStart(end);
        }
        // Begin dates, by start event: beyond the calendar they fail.
        QHash<qint64, QString> dayTexts;
        for (int row = 0; row < rows; ++row) {
            if (m_graph->isBlank(row))
                continue;
            const int start = m_graph->rowStart(row);
            if (memo.rowsEndingAt[std::size_t(start)] == 0) {
                if (!startDateText)
                    startDateText = m_dates.formatDate(m_scheduleDates.dayOf(0));
                continue;
            }
            if (!dayText[std::size_t(start)].isNull())
                continue;
            const double days = m_scheduleDates.dayOf(times.earlyValue(start));
            const qint64 day = static_cast<qint64>(std::trunc(days));
            auto text = dayTexts.find(day);
            if (text == dayTexts.end())
                text = dayTexts.insert(day, m_dates.formatDate(days));
            dayText[std::size_t(start)] = *text;
        }
    } catch (const KestrinError&) {
        return false;
    }

    // Nothing below can fail: every total stays far inside the range, and every time is known,
    // so the times are only read. Rows are independent, so a table that allows it takes them on
    // several threads, a slice at a time; between slices the progress is reported (and the
    // windows repainted) with no thread writing.
    const auto writeRow = [&](int row) {
        if (m_graph->isBlank(row)) {
            m_table.setComputedCells(row, {});
            return;
        }
        const std::size_t start = std::size_t(m_graph->rowStart(row));
        const NumberText count = m_numbers.text(memo.rowsEndingAt[start]);
        const RowFigures figures = rowFigures(times, row);
        const NumberText free = freeFloat(times, row, figures.earlyFinishValue);
        m_table.setComputedCells(row,
                                 {count.view(), figures.earlyStart, figures.earlyFinish.view(),
                                  figures.lateStart.view(), figures.lateFinish,
                                  figures.totalFloat.view(), free.view(),
                                  memo.rowsEndingAt[start] == 0 ? QStringView(*startDateText)
                                                                : QStringView(dayText[start])});
    };
    const int threads =
        m_table.takesRowsConcurrently() ? std::clamp(QThread::idealThreadCount(), 1, 8) : 1;
    constexpr int kSlice = 1 << 16;
    for (int from = 0; from < rows; from += kSlice) {
        progress::step(kStage, from, rows);
        const int to = std::min(rows, from + kSlice);
        const auto writeRows = [&](int part) {
            const qint64 length = to - from;
            const int first = from + int(length * part / threads);
            const int last = from + int(length * (part + 1) / threads);
            for (int row = first; row < last; ++row)
                writeRow(row);
        };
        std::vector<std::thread> helpers;
        for (int part = 1; part < threads && to - from > 1024; ++part)
            helpers.emplace_back(writeRows, part);
        if (helpers.empty()) {
            for (int row = from; row < to; ++row)
                writeRow(row);
        } else {
            writeRows(0);
        }
        for (std::thread& helper : helpers)
            helper.join();
    }
    return true;
}

void Recalculation::secondPass()
{
    EventTimes& times = *m_times;
    const PassMemo& memo = *m_memo;
    const int rows = m_graph->rowCount();
    for (int row = 0; row < rows; ++row) {
        progress::step(kStage, rows + qint64(row), 3 * qint64(rows));
        if (m_graph->isBlank(row)) {
            m_table.setCell(WorkColumn::FreeFloat, row, QStringView());
            continue;
        }
        m_table.setCell(WorkColumn::FreeFloat, row,
                        freeFloat(times, row, memo.earlyFinish[std::size_t(row)]).view());
    }
}

void Recalculation::thirdPass()
{
    EventTimes& times = *m_times;
    const PassMemo& memo = *m_memo;
    std::optional<QString> startDateText;
    // The date of a work depends on its start event alone, and its text on the calendar day.
    std::vector<int> dayTextOfEvent(std::size_t(m_graph->eventCount()), -1);
    std::vector<QString> dayTexts;
    QHash<qint64, int> dayTextOfDay;
    const int rows = m_graph->rowCount();
    for (int row = 0; row < rows; ++row) {
        progress::step(kStage, 2 * qint64(rows) + row, 3 * qint64(rows));
        if (m_graph->isBlank(row)) {
            m_table.setCell(WorkColumn::BeginDate, row, QStringView());
            continue;
        }
        const std::size_t start = std::size_t(m_graph->rowStart(row));
        if (memo.rowsEndingAt[start] == 0) {
            if (!startDateText)
                startDateText = m_dates.formatDate(m_scheduleDates.dayOf(0));
            m_table.setCell(WorkColumn::BeginDate, row, *startDateText);
            continue;
        }
        int& known = dayTextOfEvent[start];
        if (known < 0) {
            const double days = m_scheduleDates.dayOf(times.earlyValue(int(start)));
            // The text is made (and a day beyond the calendar refused) for each day once.
            const qint64 day = std::isfinite(days) ? static_cast<qint64>(std::trunc(days)) : 0;
            auto text = dayTextOfDay.find(day);
            if (text == dayTextOfDay.end()) {
                dayTexts.push_back(m_dates.formatDate(days));
                text = dayTextOfDay.insert(day, int(dayTexts.size()) - 1);
            }
            known = *text;
        }
        m_table.setCell(WorkColumn::BeginDate, row, dayTexts[std::size_t(known)]);
    }
}

QString criticalPathLine(const NumberFormat& numbers, long double length, const QStringList& path)
{
    QString line =
        QStringLiteral("    Критический путь [L=") + numbers.format(length) + QStringLiteral("]: ");
    for (qsizetype i = 0; i < path.size(); ++i) {
        line += QStringLiteral(" ' ") + path[i] + QStringLiteral(" ' ");
        if (i + 1 < path.size())
            line += QStringLiteral(" -> ");
    }
    return line;
}
