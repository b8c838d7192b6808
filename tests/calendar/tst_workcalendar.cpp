// The working calendar engine: the dates of schedule times checked by hand, against a day-by-day
// count, and with calendar days against the recalculation's own date column.
#include "DateFormat.h"
#include "KestrinError.h"
#include "NameCollation.h"
#include "NumberFormat.h"
#include "PublicHolidays.h"
#include "Recalculation.h"
#include "ScheduleDates.h"
#include "WorkCalendar.h"
#include "WorkTable.h"

#include <QRandomGenerator>
#include <QTest>

#include <cmath>

namespace {

WorkCalendar workingDays(WorkWeek week, const CalendarExceptions& exceptions = {})
{
    WorkCalendar calendar;
    calendar.setCountsWorkingDays(true);
    calendar.setWeek(week);
    calendar.setExceptions(exceptions);
    return calendar;
}

double dayCount(QDate date)
{
    return DateFormat::daysOf(date);
}

// The error ScheduleDates raises for the time, or an empty text.
QString errorOf(const ScheduleDates& dates, long double time)
{
    try {
        dates.dayOf(time);
    } catch (const KestrinError& error) {
        return error.message();
    }
    return QString();
}

} // namespace

class TestWorkCalendar : public QObject
{
    Q_OBJECT

private slots:
    void handCheckedDates_data();
    void handCheckedDates();
    void matchesDayByDayCount();
    void calendarDaysAreTheDateColumn();
    void beyondTheRange();
    void yearWithoutWorkingDayIsRefused();
    void toggleAndHolidays();
};

void TestWorkCalendar::handCheckedDates_data()
{
    QTest::addColumn<QDate>("start");
    QTest::addColumn<int>("week");
    QTest::addColumn<bool>("holidays");
    QTest::addColumn<double>("time");
    QTest::addColumn<QDate>("expected");

    const QDate monday(2027, 3, 1);
    const int five = int(WorkWeek::FiveDays);
    const int six = int(WorkWeek::SixDays);
    QTest::newRow("early start 5 from Monday 1 March")
        << monday << five << false << 5.0 << QDate(2027, 3, 8);
    QTest::newRow("the same with the holidays: 8 March is off")
        << monday << five << true << 5.0 << QDate(2027, 3, 9);
    QTest::newRow("working day 0 is the start") << monday << five << false << 0.0 << monday;
    QTest::newRow("Friday is working day 4") << monday << five << false << 4.0 << QDate(2027, 3, 5);
    QTest::newRow("start on Saturday begins on Monday")
        << QDate(2027, 3, 6) << five << false << 0.0 << QDate(2027, 3, 8);
    QTest::newRow("start on Sunday, six-day week, begins on Monday")
        << QDate(2027, 3, 7) << six << false << 0.0 << QDate(2027, 3, 8);
    QTest::newRow("fraction stays on the day of its whole part")
        << monday << five << false << 4.999 << QDate(2027, 3, 5);
    QTest::newRow("a half day into the week after the weekend")
        << monday << five << false << 5.5 << QDate(2027, 3, 8);
    QTest::newRow("a fraction of working day 0 from a Saturday start")
        << QDate(2027, 3, 6) << five << false << 0.25 << QDate(2027, 3, 8);
    QTest::newRow("six-day week works on Saturday")
        << monday << six << false << 5.0 << QDate(2027, 3, 6);
    QTest::newRow("six-day week, holidays: 8 March off, 7 March Sunday")
        << QDate(2027, 3, 5) << six << true << 2.0 << QDate(2027, 3, 9);
    // 1 to 8 January 2027 off (Friday to Friday), so the first working day is Monday 11.
    QTest::newRow("new year holidays")
        << QDate(2026, 12, 31) << five << true << 1.0 << QDate(2027, 1, 11);
    QTest::newRow("twenty working days of April 2027")
        << QDate(2027, 4, 1) << five << false << 21.0 << QDate(2027, 4, 30);
}

void TestWorkCalendar::handCheckedDates()
{
    QFETCH(QDate, start);
    QFETCH(int, week);
    QFETCH(bool, holidays);
    QFETCH(double, time);
    QFETCH(QDate, expected);

    WorkCalendar calendar = workingDays(static_cast<WorkWeek>(week));
    if (holidays) {
        calendar.addPublicHolidays(2026);
        calendar.addPublicHolidays(2027);
    }
    // The start date's time of day changes nothing with working days.
    const ScheduleDates dates(calendar, dayCount(start) + 0.625);
    QCOMPARE(dates.dateOf(time), expected);
    QCOMPARE(DateFormat(QStringLiteral("dd.MM.yyyy")).formatDate(dates.dayOf(time)),
             expected.toString(QStringLiteral("dd.MM.yyyy")));
}

void TestWorkCalendar::matchesDayByDayCount()
{
    // Random calendars, starts and times: the table and the weekly repetition beyond it against
    // counting working days one calendar day at a time, from before the exceptions, among them
    // and after them.
    QRandomGenerator random(20270301);
    for (int round = 0; round < 40; ++round) {
        WorkCalendar calendar =
            workingDays(random.bounded(2) ? WorkWeek::FiveDays : WorkWeek::SixDays);
        const QDate base(2026 + random.bounded(3), 1 + random.bounded(12), 1);
        const int exceptionCount = random.bounded(60);
        for (int i = 0; i < exceptionCount; ++i)
            calendar.setException(base.addDays(random.bounded(400)), random.bounded(3) == 0);
        if (random.bounded(2))
            calendar.addPublicHolidays(base.year());
        const QDate start = base.addDays(random.bounded(600) - 100);
        const ScheduleDates dates(calendar, dayCount(start));

        // working[n] is the date of working day n, counted the slow way.
        QList<QDate> working;
        for (QDate day = start; working.size() < 700; day = day.addDays(1)) {
            if (calendar.isWorkingDay(day))
                working.append(day);
        }
        for (int n = 0; n < working.size(); ++n) {
            const long double fraction = random.bounded(1000) / 1000.0L;
            QCOMPARE(dates.dateOf(n + fraction), working[n]);
            QCOMPARE(dates.startPositionOf(n + fraction), dayCount(working[n]) + double(fraction));
            if (n > 0)
                QCOMPARE(dates.finishPositionOf(n), dayCount(working[n - 1]) + 1);
        }
    }
}

void TestWorkCalendar::calendarDaysAreTheDateColumn()
{
    // The recalculation's date column is the yardstick: with calendar days every date is the one
    // it writes, for a start with the time of day the program starts with and for fractions.
    const NumberFormat numbers{QStringLiteral(",")};
    const DateFormat format{QStringLiteral("dd.MM.yyyy")};
    const NameCollation names{QLocale(QLocale::Russian)};
    WorkTable table;
    const char* works[][3] = {{"1", "2", "0,75"}, {"1", "3", "2,25"},  {"2", "4", "3,5"},
                              {"3", "4", "1,25"}, {"4", "5", "364,5"}, {"2", "5", "0,25"}};
    table.setRowCount(int(std::size(works)));
    for (int row = 0; row < table.rowCount(); ++row) {
        table.setCell(WorkColumn::StartEvent, row, QString::fromUtf8(works[row][0]));
        table.setCell(WorkColumn::EndEvent, row, QString::fromUtf8(works[row][1]));
        table.setCell(WorkColumn::Duration, row, QString::fromUtf8(works[row][2]));
    }
    for (const double start : {0.0001965077760934254, dayCount(QDate(2027, 3, 1)) + 0.75,
                               dayCount(QDate(2027, 12, 31)) + 0.5, -693590.25}) {
        Recalculation recalculation(table, QStringLiteral("1"), QStringLiteral("5"), start, numbers,
                                    format, names);
        QStringList path;
        recalculation.criticalLength(path);
        recalculation.fillComputedColumns();
        const ScheduleDates dates(WorkCalendar(), start);
        for (int row = 0; row < table.rowCount(); ++row) {
            const long double early = numbers.parse(table.cell(WorkColumn::EarlyStart, row));
            QCOMPARE(format.formatDate(dates.dayOf(early)), table.cell(WorkColumn::BeginDate, row));
            QCOMPARE(dates.startPositionOf(early), double(start + early));
        }
    }
    // Beyond the calendar, the same error as the column's.
    const double lastDay = dayCount(QDate(9999, 12, 31));
    const ScheduleDates dates(WorkCalendar(), lastDay);
    QCOMPARE(format.formatDate(dates.dayOf(0.5)), QStringLiteral("31.12.9999"));
    QVERIFY_THROWS_EXCEPTION(KestrinError, format.formatDate(dates.dayOf(1)));
}

void TestWorkCalendar::beyondTheRange()
{
    const QString dateError = QStringLiteral("Invalid argument to date encode");
    // 31 December 9999 is a Friday.
    const ScheduleDates last(workingDays(WorkWeek::FiveDays), dayCount(QDate(9999, 12, 30)));
    QCOMPARE(last.dateOf(1.5), QDate(9999, 12, 31));
    QCOMPARE(errorOf(last, 2), dateError);
    QCOMPARE(errorOf(last, 1e30L), dateError);
    QCOMPARE(errorOf(last, -0.5), dateError);
    QCOMPARE(errorOf(last, std::nanl("")), dateError);
    // A start beyond the range fails on the first date, not before, as with calendar days.
    const ScheduleDates beyond(workingDays(WorkWeek::FiveDays), 3'100'000.0);
    QCOMPARE(errorOf(beyond, 0), dateError);
    // The far past is in range: 1 January 1 was a Monday.
    const ScheduleDates first(workingDays(WorkWeek::FiveDays), dayCount(QDate(1, 1, 1)));
    QCOMPARE(first.dateOf(5), QDate(1, 1, 8));
}

void TestWorkCalendar::yearWithoutWorkingDayIsRefused()
{
    WorkCalendar calendar = workingDays(WorkWeek::SixDays);
    for (QDate day(2027, 1, 1); day <= QDate(2027, 12, 30); day = day.addDays(1))
        calendar.setException(day, false);
    // 364 days off and a Friday at the end of the year: accepted.
    calendar.check();
    calendar.setException(QDate(2027, 12, 31), false);
    // 31 December 2026 and 1 January 2028, Thursday and Saturday, are working days.
    QString message;
    try {
        const ScheduleDates dates(calendar, dayCount(QDate(2027, 3, 1)));
    } catch (const KestrinError& error) {
        message = error.message();
    }
    QCOMPARE(message, QStringLiteral("В рабочем календаре нет ни одного рабочего дня с 01.01.2027 "
                                     "по 31.12.2027: в каждом году должны быть рабочие дни"));
    // Counting calendar days, the days are kept and nothing is refused.
    calendar.setCountsWorkingDays(false);
    calendar.check();
}

void TestWorkCalendar::toggleAndHolidays()
{
    WorkCalendar calendar = workingDays(WorkWeek::FiveDays);
    const QDate saturday(2027, 3, 6);
    calendar.toggle(saturday);
    QVERIFY(calendar.isWorkingDay(saturday));
    QCOMPARE(calendar.exceptions(), (CalendarExceptions{{saturday, true}}));
    calendar.toggle(saturday);
    QVERIFY(calendar.exceptions().empty());

    // 8 March 2025 fell on a Saturday: a holiday stays off when the week turns to six days.
    calendar.addPublicHolidays(2025);
    QCOMPARE(calendar.exceptions().size(), std::size_t(14));
    calendar.setWeek(WorkWeek::SixDays);
    QVERIFY(!calendar.isWorkingDay(QDate(2025, 3, 8)));
    QVERIFY(calendar.isWorkingDay(QDate(2025, 3, 15)));
    const QList<QDate> holidays = russianPublicHolidays(2025);
    QCOMPARE(holidays.first(), QDate(2025, 1, 1));
    QCOMPARE(holidays.last(), QDate(2025, 11, 4));
}

QTEST_GUILESS_MAIN(TestWorkCalendar)
#include "tst_workcalendar.moc"
