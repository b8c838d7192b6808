#include "GanttChart.h"

#include "NumberFormat.h"
#include "WorkCells.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <optional>

namespace {

// What each of the eleven cells of a row means, in column order: the lines of a bar's tool tip.
constexpr const char16_t* kMeanings[kWorkColumnCount] = {
    u"Предшествующих работ", u"Начальное событие", u"Конечное событие", u"Продолжительность",
    u"Раннее начало",        u"Раннее окончание",  u"Позднее начало",   u"Позднее окончание",
    u"Общий запас",          u"Частный запас",     u"Дата начала",
};

bool isBlank(const WorkCells& table, int row)
{
    return table.cellView(WorkColumn::StartEvent, row).isEmpty() &&
           table.cellView(WorkColumn::EndEvent, row).isEmpty() &&
           table.cellView(WorkColumn::Duration, row).isEmpty();
}

// The cell as a finite number; none for an empty cell, a text that is no number, and a value
// beyond the double range.
std::optional<double> number(const WorkCells& table, const NumberFormat& numbers, WorkColumn column,
                             int row)
{
    const std::optional<long double> value = numbers.tryParse(table.cellView(column, row));
    if (!value)
        return std::nullopt;
    const double narrowed = double(*value);
    if (!std::isfinite(narrowed))
        return std::nullopt;
    return narrowed;
}

} // namespace

GanttChart::GanttChart(const WorkCells& table, const NumberFormat& numbers, double startDate)
    : GanttChart(table, numbers, ScheduleDates(WorkCalendar(), startDate))
{
}

GanttChart::GanttChart(const WorkCells& table, const NumberFormat& numbers,
                       ScheduleDates scheduleDates)
    : m_table(&table), m_startDate(scheduleDates.startDate()),
      m_scheduleDates(std::move(scheduleDates))
{
    const int rows = table.rowCount();
    m_works.reserve(std::size_t(rows));
    for (int row = 0; row < rows; ++row) {
        if (isBlank(table, row))
            continue;
        const auto cell = [&](WorkColumn column) {
            return number(table, numbers, column, row);
        };
        const auto preceding = cell(WorkColumn::PrecedingWorks);
        const auto duration = cell(WorkColumn::Duration);
        const auto earlyStart = cell(WorkColumn::EarlyStart);
        const auto earlyFinish = cell(WorkColumn::EarlyFinish);
        const auto lateStart = cell(WorkColumn::LateStart);
        const auto lateFinish = cell(WorkColumn::LateFinish);
        const auto totalFloat = cell(WorkColumn::TotalFloat);
        const auto freeFloat = cell(WorkColumn::FreeFloat);
        if (!preceding || !duration || !earlyStart || !earlyFinish || !lateStart || !lateFinish ||
            !totalFloat || !freeFloat) {
            m_works.clear();
            return;
        }
        m_works.push_back({row, *duration, *earlyStart, *earlyFinish, *lateStart, *lateFinish,
                           *totalFloat, *freeFloat});
    }
    if (m_works.empty())
        return;
    m_ready = true;

    m_firstTime = 0;
    m_lastTime = 0;
    m_criticalLength = m_works.front().lateFinish;
    m_criticalRow = m_works.front().row;
    for (const GanttWork& work : m_works) {
        if (work.lateFinish > m_criticalLength) {
            m_criticalLength = work.lateFinish;
            m_criticalRow = work.row;
        }
        m_firstTime = std::min({m_firstTime, work.earlyStart, work.lateStart});
        m_lastTime = std::max(
            {m_lastTime, work.earlyFinish, work.lateFinish, work.earlyFinish + work.freeFloat});
    }
    m_order.resize(m_works.size());
    std::iota(m_order.begin(), m_order.end(), 0);
}

void GanttChart::setOrder(GanttOrder order)
{
    m_orderKind = order;
    std::iota(m_order.begin(), m_order.end(), 0);
    if (order == GanttOrder::EarlyStart)
        std::stable_sort(m_order.begin(), m_order.end(), [this](int a, int b) {
            return m_works[std::size_t(a)].earlyStart < m_works[std::size_t(b)].earlyStart;
        });
}

void GanttChart::showStarts(const std::vector<std::optional<double>>& startByRow)
{
    if (m_calculated.empty())
        m_calculated = m_works;
    m_works = m_calculated;
    for (GanttWork& work : m_works) {
        if (std::size_t(work.row) >= startByRow.size() || !startByRow[std::size_t(work.row)])
            continue;
        work.earlyStart = *startByRow[std::size_t(work.row)];
        work.earlyFinish = work.earlyStart + work.duration;
        work.lateStart = work.earlyStart;
        work.lateFinish = work.earlyFinish;
        work.freeFloat = 0;
        m_lastTime = std::max(m_lastTime, work.earlyFinish);
    }
    setOrder(m_orderKind);
}

QString GanttChart::details(int position) const
{
    const int row = work(position).row;
    QString text;
    for (int column = 0; column < kWorkColumnCount; ++column) {
        if (column > 0)
            text += QLatin1Char('\n');
        text += QString::fromUtf16(kMeanings[column]);
        text += QStringLiteral(": ");
        text += m_table->cellView(WorkColumn(column), row);
    }
    if (const QString name = m_table->workName(row); !name.isEmpty())
        text += QStringLiteral("\nНаименование: ") + name;
    return text;
}

QString GanttChart::criticalLengthText() const
{
    return m_criticalRow < 0 ? QString() : m_table->cell(WorkColumn::LateFinish, m_criticalRow);
}

QString GanttChart::label(int position) const
{
    const int row = work(position).row;
    QString text = m_table->cell(WorkColumn::StartEvent, row);
    text += QStringLiteral(" → ");
    text += m_table->cellView(WorkColumn::EndEvent, row);
    return text;
}

bool GanttChart::hasNames() const
{
    return m_table->hasWorkNames();
}

QString GanttChart::name(int position) const
{
    return m_table->workName(work(position).row);
}

QString GanttChart::durationText(int position) const
{
    return m_table->cell(WorkColumn::Duration, work(position).row);
}
