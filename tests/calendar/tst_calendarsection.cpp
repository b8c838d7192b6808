// The working calendar as a plan section: random calendars come back equal from a plan file, the
// default calendar leaves the plan without a section, and sections this program did not write are
// refused with a message naming what is wrong.
#include "CalendarSection.h"
#include "KestrinError.h"
#include "Plan.h"
#include "PlanFile.h"
#include "WorkTable.h"

#include <QBuffer>
#include <QRandomGenerator>
#include <QTest>

namespace {

const QString kCalendarSection = QString::fromUtf16(plansection::kCalendar);

WorkCalendar randomCalendar(QRandomGenerator& random)
{
    WorkCalendar calendar;
    calendar.setCountsWorkingDays(random.bounded(2) == 1);
    calendar.setWeek(random.bounded(2) == 1 ? WorkWeek::SixDays : WorkWeek::FiveDays);
    const int exceptions = random.bounded(3) == 0 ? 0 : random.bounded(1, 40);
    // The days of one year: the first or the last the dates can be written in, or a usual one.
    const int years[] = {1, 2027, 9999};
    const QDate newYear(years[random.bounded(3)], 1, 1);
    for (int i = 0; i < exceptions; ++i)
        calendar.setException(newYear.addDays(random.bounded(365)), random.bounded(2) == 1);
    return calendar;
}

Plan readBack(const Plan& plan)
{
    WorkTable table;
    QByteArray bytes = planfile::encode(table, plan);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return planfile::readDevice(buffer, QStringLiteral("round.kpl")).plan;
}

} // namespace

class TestCalendarSection : public QObject
{
    Q_OBJECT

private slots:
    void planFileKeepsTheCalendar();
    void damagedSectionIsRefused_data();
    void damagedSectionIsRefused();
};

void TestCalendarSection::planFileKeepsTheCalendar()
{
    // The default calendar is no section at all: a plan without a calendar stays as it was.
    QVERIFY(calendarsection::encode(WorkCalendar()).empty());
    QVERIFY(calendarsection::decode({}) == WorkCalendar());

    // Days off millennia apart: the years between are the week's alone.
    WorkCalendar far;
    far.setCountsWorkingDays(true);
    far.setException(QDate(1, 1, 1), false);
    far.setException(QDate(9999, 12, 31), false);
    QVERIFY(calendarsection::decode(calendarsection::encode(far)) == far);

    QRandomGenerator random(26);
    for (int round = 0; round < 300; ++round) {
        const WorkCalendar calendar = randomCalendar(random);
        Plan plan;
        plan.setSection(kCalendarSection, calendarsection::encode(calendar));
        const Plan back = readBack(plan);
        QVERIFY(back == plan);
        const WorkCalendar read = calendarsection::decode(back.section(kCalendarSection));
        QVERIFY2(read == calendar, qPrintable(QStringLiteral("round %1").arg(round)));
        QCOMPARE(back.hasPlanData(), !(calendar == WorkCalendar()));
    }
}

void TestCalendarSection::damagedSectionIsRefused_data()
{
    QTest::addColumn<calendarsection::Section>("section");
    QTest::addColumn<QString>("named");

    const auto row = [](const char* name,
                        std::initializer_list<std::pair<const char*, QString>> settings,
                        const char* named) {
        calendarsection::Section section;
        for (const auto& [key, value] : settings)
            section[QString::fromUtf8(key)] = value;
        QTest::newRow(name) << section << QString::fromUtf8(named);
    };
    row("unknown key", {{"holidays", QStringLiteral("2027-03-08")}}, "holidays");
    row("unknown count", {{"days", QStringLiteral("workdays")}}, "workdays");
    row("unknown week", {{"week", QStringLiteral("7")}}, "«7»");
    row("not a day", {{"off", QStringLiteral("2027-02-30")}}, "2027-02-30");
    row("short date", {{"off", QStringLiteral("2027-3-8")}}, "2027-3-8");
    row("date with time", {{"working", QStringLiteral("2027-03-06T00:00")}}, "2027-03-06T00:00");
    row("both off and working",
        {{"off", QStringLiteral("2027-03-08")}, {"working", QStringLiteral("2027-03-08")}},
        "2027-03-08");
    // A whole year of days off while counting working days: the calendar's own check.
    QStringList year;
    for (QDate day(2027, 1, 1); day.year() == 2027; day = day.addDays(1))
        year.append(day.toString(Qt::ISODate));
    row("a year without a working day",
        {{"days", QStringLiteral("working")}, {"off", year.join(u' ')}}, "01.01.2027");
    // The same year found between exceptions millennia apart.
    row("a year without a working day among far days",
        {{"days", QStringLiteral("working")},
         {"off", QStringLiteral("0001-01-01 ") + year.join(u' ') + QStringLiteral(" 9999-12-31")}},
        "01.01.2027");
}

void TestCalendarSection::damagedSectionIsRefused()
{
    QFETCH(calendarsection::Section, section);
    QFETCH(QString, named);
    QString message;
    try {
        calendarsection::decode(section);
    } catch (const KestrinError& error) {
        message = error.message();
    }
    QVERIFY2(message.contains(named), qPrintable(message));
}

QTEST_GUILESS_MAIN(TestCalendarSection)
#include "tst_calendarsection.moc"
