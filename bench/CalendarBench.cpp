#include "Bench.h"

#include "DateFormat.h"
#include "GeneratedNetwork.h"
#include "NameCollation.h"
#include "NumberFormat.h"
#include "Recalculation.h"
#include "ScheduleDates.h"
#include "WorkCalendar.h"
#include "WorkTable.h"

#include <QHash>

#include <random>
#include <vector>

// The date column of 1,000,000 works counted in calendar days and in working days: each work's
// early start turned into its calendar day and the day's text, made once a day and shared, as the
// recalculation fills the column. The working days (five-day week, the public holidays of nine
// years and a few moved days off) include making the calendar's table. Then the same through the
// real recalculation of a generated network of 1,000,000 works, whose computed columns (the date
// column among them) are filled once counting calendar days and once counting working days.
namespace {

constexpr int kWorks = 1'000'000;
// Where the days asked for go, so that the compiler cannot leave the asking out.
volatile double sumSink = 0;

// Early starts in quarter days over about eight years of working days.
std::vector<long double> earlyStarts()
{
    std::mt19937_64 random(20270301);
    std::uniform_int_distribution<int> quarters(0, 4 * 2'000);
    std::vector<long double> times(kWorks);
    for (long double& time : times)
        time = quarters(random) * 0.25L;
    return times;
}

WorkCalendar productionCalendar()
{
    WorkCalendar calendar;
    calendar.setCountsWorkingDays(true);
    for (int year = 2027; year <= 2035; ++year) {
        calendar.addPublicHolidays(year);
        calendar.setException(QDate(year, 5, 4), false);
        calendar.setException(QDate(year, 11, 1), true);
    }
    return calendar;
}

// Fills the texts of the column; the number of distinct days, so that nothing is left unused.
qsizetype fillColumn(const WorkCalendar& calendar, double startDate,
                     const std::vector<long double>& times, std::vector<const QString*>& column)
{
    const DateFormat& format = DateFormat::system();
    const ScheduleDates dates(calendar, startDate);
    QHash<qint64, QString> dayTexts;
    for (std::size_t work = 0; work < times.size(); ++work) {
        const double day = dates.dayOf(times[work]);
        const qint64 whole = static_cast<qint64>(day);
        auto text = dayTexts.find(whole);
        if (text == dayTexts.end())
            text = dayTexts.insert(whole, format.formatDate(day));
        column[work] = &*text;
    }
    return dayTexts.size();
}

double mappingOnly(const WorkCalendar& calendar, double startDate,
                   const std::vector<long double>& times)
{
    const ScheduleDates dates(calendar, startDate);
    double sum = 0;
    for (long double time : times)
        sum += dates.dayOf(time);
    return sum;
}

// The computed columns of the table, the critical length found first as the main window does.
void recalculate(WorkTable& table, const ScheduleDates& dates, const QString& endEvent)
{
    const NumberFormat& numbers = NumberFormat::system();
    const NameCollation names{QLocale()};
    WorkTable::Batch batch(table);
    Recalculation recalculation(table, QStringLiteral("1"), endEvent, dates, numbers,
                                DateFormat::system(), names);
    QStringList path;
    recalculation.criticalLength(path);
    recalculation.fillComputedColumns();
}

QString ms(double seconds)
{
    return QStringLiteral("%1 ms").arg(seconds * 1000.0, 0, 'f', 1);
}

} // namespace

void benchCalendar()
{
    const std::vector<long double> times = earlyStarts();
    const double startDate = DateFormat::daysOf(QDate(2027, 3, 1));
    const WorkCalendar calendarDays;
    const WorkCalendar workingDays = productionCalendar();
    std::vector<const QString*> column(times.size());
    constexpr int kRepeats = 5;

    qsizetype days = 0;
    const double calendarTime = bench::seconds(
        [&] { days = fillColumn(calendarDays, startDate, times, column); }, kRepeats);
    bench::report(QStringLiteral("calendar: date column, 1,000,000 works, calendar days"),
                  ms(calendarTime) + QStringLiteral(" (%1 days)").arg(days));
    const double workingTime =
        bench::seconds([&] { days = fillColumn(workingDays, startDate, times, column); }, kRepeats);
    bench::report(QStringLiteral("calendar: date column, 1,000,000 works, working days"),
                  ms(workingTime) + QStringLiteral(" (%1 days)").arg(days));
    bench::report(QStringLiteral("calendar: working days / calendar days"),
                  QString::number(workingTime / calendarTime, 'f', 2));

    double sum = 0;
    const double calendarMapping =
        bench::seconds([&] { sum += mappingOnly(calendarDays, startDate, times); }, kRepeats);
    const double workingMapping =
        bench::seconds([&] { sum += mappingOnly(workingDays, startDate, times); }, kRepeats);
    bench::report(QStringLiteral("calendar: days alone, 1,000,000 times, calendar days"),
                  ms(calendarMapping));
    bench::report(QStringLiteral("calendar: days alone, 1,000,000 times, working days"),
                  ms(workingMapping));
    sumSink = sum;
    const double tableTime =
        bench::seconds([&] { const ScheduleDates dates(workingDays, startDate); }, kRepeats);
    bench::report(QStringLiteral("calendar: table of working days, nine years of holidays"),
                  ms(tableTime));

    // Events 1 to n, about 1100 layers of works of 0 to 9 days: some twenty years of working days.
    constexpr int kEvents = 300'000;
    WorkTable table;
    testsupport::fillGeneratedNetwork(table, kEvents, kWorks);
    const QString endEvent = QString::number(kEvents);
    constexpr int kRecalculations = 3;
    const double calendarRecalculation = bench::seconds(
        [&] { recalculate(table, ScheduleDates(calendarDays, startDate), endEvent); },
        kRecalculations);
    const QString lastCalendarDay = table.cell(WorkColumn::BeginDate, table.rowCount() - 1);
    const double workingRecalculation =
        bench::seconds([&] { recalculate(table, ScheduleDates(workingDays, startDate), endEvent); },
                       kRecalculations);
    bench::report(
        QStringLiteral("calendar: recalculation, %1 works, calendar days").arg(table.rowCount()),
        ms(calendarRecalculation) + QStringLiteral(" (last row begins %1)").arg(lastCalendarDay));
    bench::report(
        QStringLiteral("calendar: recalculation, %1 works, working days").arg(table.rowCount()),
        ms(workingRecalculation) +
            QStringLiteral(" (last row begins %1)")
                .arg(table.cell(WorkColumn::BeginDate, table.rowCount() - 1)));
    bench::report(QStringLiteral("calendar: recalculation, working days / calendar days"),
                  QString::number(workingRecalculation / calendarRecalculation, 'f', 2));
}
