// The Gantt chart counting working days: every bar, float and the line at L stand where a
// day-by-day walk over the calendar puts them, the days off are shaded, and the axis stays in
// calendar days.
#include "GanttChart.h"
#include "GanttGeometry.h"
#include "GanttPainter.h"
#include "GanttTestSupport.h"
#include "ScheduleDates.h"

#include <QImage>
#include <QPainter>
#include <QSet>
#include <QTest>

#include <cmath>

using namespace gantttest;

namespace {

constexpr double kTolerance = 1e-6; // chart pixels

const QDate kHoliday(2027, 3, 8);          // a Monday off
const QDate kWorkingSaturday(2027, 3, 13); // a Saturday worked

bool isWorking(QDate day)
{
    if (day == kHoliday)
        return false;
    return day == kWorkingSaturday || day.dayOfWeek() <= 5;
}

// Working day n of the project, walked day by day from the start date.
QDate walkedWorkingDay(int n)
{
    QDate day = DateFormat::dateOf(startDate());
    while (!isWorking(day))
        day = day.addDays(1);
    for (int counted = 0; counted < n;) {
        day = day.addDays(1);
        if (isWorking(day))
            ++counted;
    }
    return day;
}

} // namespace

class TestGanttCalendar : public QObject
{
    Q_OBJECT

private slots:
    void barsStretchOverTheDaysOff();
};

void TestGanttCalendar::barsStretchOverTheDaysOff()
{
    WorkTable table;
    loadHouse(table);
    WorkCalendar calendar;
    calendar.setCountsWorkingDays(true);
    calendar.setException(kHoliday, false);
    calendar.setException(kWorkingSaturday, true);
    const GanttChart chart(table, numbers(), ScheduleDates(calendar, startDate()));
    QVERIFY(chart.isReady());
    const GanttGeometry geometry(chart, GanttScale::Days);
    const qreal perDay = geometry.pixelsPerDay();
    // The axis counts calendar days: x of a day's beginning.
    const auto xOfDay = [&](QDate day) {
        return geometry.xOf(0) + (DateFormat::daysOf(day) - startDate()) * perDay;
    };
    const auto startX = [&](double time) {
        return xOfDay(walkedWorkingDay(int(std::floor(time)))) + (time - std::floor(time)) * perDay;
    };
    // A finish at a whole time ends with the working day before it.
    const auto finishX = [&](double time) {
        if (time >= 1 && time == std::floor(time))
            return xOfDay(walkedWorkingDay(int(time) - 1)) + perDay;
        return startX(time);
    };
    const auto near = [](qreal a, qreal b) {
        return qAbs(a - b) < kTolerance;
    };

    int stretched = 0;
    for (int position = 0; position < chart.workCount(); ++position) {
        const GanttWork& work = chart.work(position);
        const QString label = chart.label(position);
        const QRectF bar = geometry.barRect(position);
        if (work.isMilestone()) {
            QVERIFY2(near(bar.center().x(), startX(work.earlyStart)), qPrintable(label));
            continue;
        }
        QVERIFY2(near(bar.left(), startX(work.earlyStart)), qPrintable(label));
        QVERIFY2(near(bar.right(), finishX(work.earlyFinish)), qPrintable(label));
        stretched += bar.width() > work.duration * perDay + kTolerance ? 1 : 0;
        const QLineF total = geometry.totalFloatLine(position);
        if (!total.isNull())
            QVERIFY2(near(total.x2(), finishX(work.lateFinish)), qPrintable(label));
    }
    QVERIFY(stretched > 0);
    QVERIFY(near(geometry.criticalLineX(), finishX(chart.criticalLength())));

    // The shaded runs are exactly the days off on the whole axis.
    const auto runs = geometry.daysOff(0, geometry.width());
    QVERIFY(!runs.isEmpty());
    int daysOff = 0;
    for (QDate day = DateFormat::dateOf(startDate()); xOfDay(day) < geometry.width();
         day = day.addDays(1)) {
        const qreal middle = xOfDay(day) + perDay / 2;
        bool shaded = false;
        for (const auto& [left, right] : runs)
            shaded = shaded || (left < middle && middle < right);
        QVERIFY2(shaded == !isWorking(day), qPrintable(day.toString(Qt::ISODate)));
        daysOff += shaded ? 1 : 0;
    }
    QVERIFY(daysOff >= 8);

    // And painted: above the bar in the first row, a day off differs from a working day.
    const GanttFrame frame = GanttFrame::whole(geometry);
    QImage image(frame.size.toSize() + QSize(1, 1), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    paintGantt(painter, geometry, frame);
    painter.end();
    const auto colourAt = [&](QDate day) {
        const QPointF at(gantt::kWorkColumnWidth + xOfDay(day) + perDay / 2,
                         gantt::kAxisHeight + 2);
        return image.pixel(at.toPoint());
    };
    QVERIFY(colourAt(QDate(2027, 3, 6)) != colourAt(QDate(2027, 3, 5)));
    QCOMPARE(colourAt(QDate(2027, 3, 6)), colourAt(kHoliday));
    QCOMPARE(colourAt(kWorkingSaturday), colourAt(QDate(2027, 3, 5)));
}

QTEST_MAIN(TestGanttCalendar)
#include "tst_ganttcalendar.moc"
