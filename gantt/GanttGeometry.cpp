#include "GanttGeometry.h"

#include "DateFormat.h"
#include "GanttChart.h"

#include <QDate>

#include <algorithm>
#include <cmath>

namespace {

using namespace gantt;

enum class Unit { Day, Week, Month, Year };

constexpr const char16_t* kMonths[12] = {u"январь",   u"февраль", u"март",   u"апрель",
                                         u"май",      u"июнь",    u"июль",   u"август",
                                         u"сентябрь", u"октябрь", u"ноябрь", u"декабрь"};
constexpr const char16_t* kShortMonths[12] = {u"янв", u"фев", u"мар", u"апр", u"май", u"июн",
                                              u"июл", u"авг", u"сен", u"окт", u"ноя", u"дек"};

// Chart pixels per calendar day: a day, a week and a month each get room for their label.
qreal pixelsPerDay(GanttScale scale)
{
    switch (scale) {
    case GanttScale::Days:
        return 20;
    case GanttScale::Weeks:
        return 5;
    case GanttScale::Months:
        return 1.5;
    }
    return 20;
}

Unit lowerUnit(GanttScale scale)
{
    switch (scale) {
    case GanttScale::Days:
        return Unit::Day;
    case GanttScale::Weeks:
        return Unit::Week;
    case GanttScale::Months:
        return Unit::Month;
    }
    return Unit::Day;
}

Unit upperUnit(GanttScale scale)
{
    return scale == GanttScale::Months ? Unit::Year : Unit::Month;
}

// Weeks begin on Monday.
QDate unitStart(QDate day, Unit unit)
{
    switch (unit) {
    case Unit::Day:
        return day;
    case Unit::Week:
        return day.addDays(1 - day.dayOfWeek());
    case Unit::Month:
        return QDate(day.year(), day.month(), 1);
    case Unit::Year:
        return QDate(day.year(), 1, 1);
    }
    return day;
}

QDate nextUnit(QDate start, Unit unit)
{
    switch (unit) {
    case Unit::Day:
        return start.addDays(1);
    case Unit::Week:
        return start.addDays(7);
    case Unit::Month:
        return start.addMonths(1);
    case Unit::Year:
        return start.addYears(1);
    }
    return start.addDays(1);
}

QString unitLabel(QDate start, Unit unit)
{
    switch (unit) {
    case Unit::Day:
    case Unit::Week:
        return QString::number(start.day());
    case Unit::Month:
        return QString::fromUtf16(kShortMonths[start.month() - 1]);
    case Unit::Year:
        return QString::number(start.year());
    }
    return QString();
}

// The calendar day that holds a moment; raises beyond the calendar.
QDate dayOf(double moment)
{
    return DateFormat::dateOf(std::floor(moment));
}

// Half the diagonal of a milestone's diamond.
constexpr qreal kDiamondReach = kBarHeight / 2 + 1;
// Slack around a bar for pointing at it.
constexpr qreal kHitSlack = 1;

} // namespace

GanttGeometry::GanttGeometry(const GanttChart& chart, GanttScale scale)
    : m_chart(&chart), m_scale(scale), m_pixelsPerDay(::pixelsPerDay(scale)),
      m_nameWidth(chart.hasNames() ? kNameWidth : 0)
{
    const Unit unit = lowerUnit(scale);
    const double first = positionOf(chart.firstTime(), false);
    const double last = positionOf(chart.lastTime(), true);
    const QDate start = unitStart(dayOf(first), unit);
    QDate end = unitStart(dayOf(last), unit);
    // At least one unit, and room after the latest time for the label of L.
    if (DateFormat::daysOf(end) <= last || end <= start)
        end = nextUnit(end, unit);
    m_axisStart = DateFormat::daysOf(start);
    m_axisEnd = DateFormat::daysOf(end);
}

qreal GanttGeometry::width() const
{
    return (m_axisEnd - m_axisStart) * m_pixelsPerDay;
}

qreal GanttGeometry::height() const
{
    return m_chart->workCount() * kRowHeight;
}

qreal GanttGeometry::xOf(double time) const
{
    return (m_chart->startDate() + time - m_axisStart) * m_pixelsPerDay;
}

double GanttGeometry::timeOf(qreal x) const
{
    return x / m_pixelsPerDay + m_axisStart - m_chart->startDate();
}

double GanttGeometry::positionOf(double time, bool finish) const
{
    const ScheduleDates& dates = m_chart->scheduleDates();
    // Calendar days keep the chart's own arithmetic to the last bit.
    if (!dates.calendar().countsWorkingDays())
        return m_chart->startDate() + time;
    // Figures before the project's start (none a recalculation writes) count calendar days back
    // from its first working day.
    if (time < 0)
        return dates.startPositionOf(0) + time;
    return finish ? dates.finishPositionOf(time) : dates.startPositionOf(time);
}

qreal GanttGeometry::startX(double time) const
{
    return (positionOf(time, false) - m_axisStart) * m_pixelsPerDay;
}

qreal GanttGeometry::finishX(double time) const
{
    return (positionOf(time, true) - m_axisStart) * m_pixelsPerDay;
}

QList<std::pair<qreal, qreal>> GanttGeometry::daysOff(qreal fromX, qreal toX) const
{
    QList<std::pair<qreal, qreal>> runs;
    const WorkCalendar& calendar = m_chart->scheduleDates().calendar();
    fromX = std::max(fromX, qreal(0));
    toX = std::min(toX, width());
    if (!calendar.countsWorkingDays() || fromX >= toX)
        return runs;
    const auto xOfDay = [this](double day) {
        return (day - m_axisStart) * m_pixelsPerDay;
    };
    double day = std::floor(m_axisStart + fromX / m_pixelsPerDay);
    QDate date = dayOf(day);
    for (; xOfDay(day) < toX; day += 1, date = date.addDays(1)) {
        if (calendar.isWorkingDay(date))
            continue;
        const qreal left = xOfDay(day);
        if (!runs.isEmpty() && runs.last().second == left)
            runs.last().second = xOfDay(day + 1);
        else
            runs.append({left, xOfDay(day + 1)});
    }
    return runs;
}

double GanttGeometry::criticalLength() const
{
    return m_chart->criticalLength();
}

QRectF GanttGeometry::barRect(int position) const
{
    const GanttWork& work = m_chart->work(position);
    const qreal middle = (position + 0.5) * kRowHeight;
    if (work.isMilestone()) {
        const qreal x = startX(work.earlyStart);
        return QRectF(x - kDiamondReach, middle - kDiamondReach, 2 * kDiamondReach,
                      2 * kDiamondReach);
    }
    const qreal left = startX(work.earlyStart);
    return QRectF(left, middle - kBarHeight / 2, finishX(work.earlyFinish) - left, kBarHeight);
}

QPolygonF GanttGeometry::diamond(int position) const
{
    const QPointF centre = barRect(position).center();
    return QPolygonF({centre + QPointF(0, -kDiamondReach), centre + QPointF(kDiamondReach, 0),
                      centre + QPointF(0, kDiamondReach), centre + QPointF(-kDiamondReach, 0)});
}

QLineF GanttGeometry::freeFloatLine(int position) const
{
    const GanttWork& work = m_chart->work(position);
    if (!(work.freeFloat > 0))
        return QLineF();
    const qreal middle = (position + 0.5) * kRowHeight;
    return QLineF(finishX(work.earlyFinish), middle, finishX(work.earlyFinish + work.freeFloat),
                  middle);
}

QLineF GanttGeometry::totalFloatLine(int position) const
{
    const GanttWork& work = m_chart->work(position);
    const double from = work.earlyFinish + std::max(work.freeFloat, 0.0);
    if (!(work.lateFinish > from))
        return QLineF();
    const qreal middle = (position + 0.5) * kRowHeight;
    return QLineF(finishX(from), middle, finishX(work.lateFinish), middle);
}

int GanttGeometry::positionAt(const QPointF& point) const
{
    if (point.y() < 0)
        return -1;
    const qreal row = std::floor(point.y() / kRowHeight);
    if (row >= m_chart->workCount())
        return -1;
    const int position = int(row);
    const QRectF bar = barRect(position).adjusted(-kHitSlack, -kHitSlack, kHitSlack, kHitSlack);
    return bar.contains(point) ? position : -1;
}

QList<AxisCell> GanttGeometry::lowerCells(qreal fromX, qreal toX) const
{
    return cells(fromX, toX, false);
}

QList<AxisCell> GanttGeometry::upperCells(qreal fromX, qreal toX) const
{
    return cells(fromX, toX, true);
}

QList<AxisCell> GanttGeometry::cells(qreal fromX, qreal toX, bool upper) const
{
    const Unit unit = upper ? upperUnit(m_scale) : lowerUnit(m_scale);
    const qreal axisWidth = width();
    fromX = std::clamp(fromX, qreal(0), axisWidth);
    toX = std::clamp(toX, qreal(0), axisWidth);
    QList<AxisCell> found;
    if (fromX >= toX)
        return found;
    const auto xOfDay = [this](QDate day) {
        return (DateFormat::daysOf(day) - m_axisStart) * m_pixelsPerDay;
    };
    QDate start = unitStart(dayOf(m_axisStart + fromX / m_pixelsPerDay), unit);
    // The day under fromX may round into the unit before it.
    while (xOfDay(nextUnit(start, unit)) <= fromX)
        start = nextUnit(start, unit);
    for (qreal left = xOfDay(start); left < toX; left = xOfDay(start)) {
        const QDate next = nextUnit(start, unit);
        AxisCell cell;
        cell.left = std::max(left, qreal(0));
        cell.right = std::min(xOfDay(next), axisWidth);
        cell.label = unit == Unit::Month && upper
                         ? QString::fromUtf16(kMonths[start.month() - 1]) + QLatin1Char(' ') +
                               QString::number(start.year())
                         : unitLabel(start, unit);
        found.append(cell);
        start = next;
    }
    return found;
}
