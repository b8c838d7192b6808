// The exports against real readers: TaskJuggler (tj3) schedules the exported project and every
// work starts on the day of the early start computed here by a longest path (calendar days, and
// working days with a five-day week and days off); the exported MS Project XML reads back to the
// same network, names, durations, resources, demands and calendar.
#include "DateFormat.h"
#include "MspdiReader.h"
#include "MspdiWriter.h"
#include "NumberFormat.h"
#include "ScheduleDates.h"
#include "TaskJugglerWriter.h"
#include "WorkCells.h"
#include "WorkbookWriter.h"

#include <QDateTime>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <set>

namespace {

// A random network of works between events 1 .. n, each work from a lower event to a higher
// one, no two between the same events; works of no duration are unnamed dummies.
ExchangePlan randomPlan(QRandomGenerator& random, bool workingDays)
{
    ExchangePlan plan;
    plan.startDate = QDate(2027, 1, 4).addDays(random.bounded(300));
    plan.calendar.setCountsWorkingDays(workingDays);
    if (workingDays) {
        plan.calendar.addPublicHolidays(plan.startDate.year());
        plan.calendar.addPublicHolidays(plan.startDate.year() + 1);
        plan.calendar.setException(plan.startDate.addDays(10), false);
    }
    const NumberFormat& numbers = NumberFormat::system();
    const int events = 25;
    std::set<std::pair<int, int>> pairs;
    for (int head = 2; head <= events; ++head) {
        const int incoming = 1 + random.bounded(3);
        for (int k = 0; k < incoming; ++k) {
            const int tail = std::max(1, head - 1 - random.bounded(5));
            if (!pairs.emplace(tail, head).second)
                continue;
            const int days = random.bounded(5) == 0 ? 0 : 1 + random.bounded(6);
            plan.works.push_back(
                {QString::number(tail), QString::number(head), numbers.format(days),
                 days == 0 ? QString() : QStringLiteral("Работа «%1»").arg(plan.works.size())});
        }
    }
    plan.resources.push_back({QStringLiteral("Бригада"), QString(), 3});
    plan.resources.push_back({QStringLiteral("Бетон"), QStringLiteral("м³"), 12.5});
    plan.demands.push_back({0, 0, 2});
    plan.demands.push_back({1, 1, 0.5});
    return plan;
}

// Early and late times by the longest path over the events, which are numbered in order.
std::vector<WorkTimes> schedule(const ExchangePlan& plan)
{
    const NumberFormat& numbers = NumberFormat::system();
    int events = 0;
    for (const ExchangeWork& work : plan.works)
        events = std::max(events, work.endEvent.toInt());
    std::vector<double> early(std::size_t(events) + 1, 0);
    for (int event = 1; event <= events; ++event) {
        for (const ExchangeWork& work : plan.works) {
            if (work.endEvent.toInt() == event)
                early[std::size_t(event)] = std::max(early[std::size_t(event)],
                                                     early[std::size_t(work.startEvent.toInt())] +
                                                         double(numbers.parse(work.duration)));
        }
    }
    const double end = *std::max_element(early.begin(), early.end());
    std::vector<double> late(std::size_t(events) + 1, end);
    for (int event = events; event >= 1; --event) {
        for (const ExchangeWork& work : plan.works) {
            if (work.startEvent.toInt() == event)
                late[std::size_t(event)] =
                    std::min(late[std::size_t(event)], late[std::size_t(work.endEvent.toInt())] -
                                                           double(numbers.parse(work.duration)));
        }
    }
    std::vector<WorkTimes> times;
    for (const ExchangeWork& work : plan.works) {
        const double duration = double(numbers.parse(work.duration));
        WorkTimes time;
        time.earlyStart = early[std::size_t(work.startEvent.toInt())];
        time.earlyFinish = time.earlyStart + duration;
        time.lateFinish = late[std::size_t(work.endEvent.toInt())];
        time.lateStart = time.lateFinish - duration;
        time.totalFloat = time.lateFinish - time.earlyFinish;
        times.push_back(time);
    }
    return times;
}

// Runs tj3 over the project; the start of every task by its id.
QHash<QString, QDateTime> taskJugglerStarts(const QByteArray& project)
{
    QHash<QString, QDateTime> starts;
    QTemporaryDir folder;
    QFile file(folder.filePath(QStringLiteral("plan.tjp")));
    if (!folder.isValid() || !file.open(QIODevice::WriteOnly))
        return starts;
    file.write(project);
    file.close();
    QProcess tj3;
    tj3.setProcessChannelMode(QProcess::MergedChannels);
    tj3.start(QStringLiteral("tj3"), {QStringLiteral("--silent"), QStringLiteral("--no-color"),
                                      QStringLiteral("-o"), folder.path(), file.fileName()});
    if (!tj3.waitForFinished(120'000) || tj3.exitCode() != 0) {
        qWarning().noquote() << tj3.readAll();
        return starts;
    }
    QFile report(folder.filePath(QStringLiteral("schedule.csv")));
    if (!report.open(QIODevice::ReadOnly))
        return starts;
    const QStringList lines = QString::fromUtf8(report.readAll()).split(QLatin1Char('\n'));
    for (const QString& line : lines.mid(1)) {
        QStringList fields = line.split(QLatin1Char(';'));
        if (fields.size() != 3)
            continue;
        for (QString& field : fields)
            field.remove(QLatin1Char('"'));
        starts.insert(fields[0],
                      QDateTime::fromString(fields[1], QStringLiteral("yyyy-MM-dd HH:mm")));
    }
    return starts;
}

// A Python that has the openpyxl module (the system's first: a user's own Python may lack it), or
// nothing.
QString pythonWithOpenpyxl()
{
    QStringList candidates = {QStringLiteral("/usr/bin/python3")};
    const QString onPath = QStandardPaths::findExecutable(QStringLiteral("python3"));
    if (!onPath.isEmpty())
        candidates.append(onPath);
    for (const QString& python : candidates) {
        QProcess probe;
        probe.start(python, {QStringLiteral("-c"), QStringLiteral("import openpyxl")});
        if (probe.waitForFinished(30'000) && probe.exitStatus() == QProcess::NormalExit &&
            probe.exitCode() == 0)
            return python;
    }
    return {};
}

} // namespace

class TestExchangeExport : public QObject
{
    Q_OBJECT

private slots:
    void taskJugglerStartsEveryWorkAtItsEarlyStart_data();
    void taskJugglerStartsEveryWorkAtItsEarlyStart();
    void msProjectXmlReadsBackToTheSamePlan();
    void workbookReadsBackWithNumbersAndDates();
};

void TestExchangeExport::taskJugglerStartsEveryWorkAtItsEarlyStart_data()
{
    QTest::addColumn<bool>("workingDays");
    QTest::newRow("calendar days") << false;
    QTest::newRow("working days") << true;
}

void TestExchangeExport::taskJugglerStartsEveryWorkAtItsEarlyStart()
{
    if (QStandardPaths::findExecutable(QStringLiteral("tj3")).isEmpty())
        QSKIP("tj3 not found: install the Debian package tj3 (scripts/kestrin.sh test does)");
    QFETCH(bool, workingDays);
    QRandomGenerator random(workingDays ? 31 : 32);
    ExchangePlan plan = randomPlan(random, workingDays);
    plan.demands.clear(); // TaskJuggler levels allocations; the early starts know no resources
    const std::vector<WorkTimes> times = schedule(plan);
    const QHash<QString, QDateTime> starts = taskJugglerStarts(taskjuggler::encode(plan, times));
    QVERIFY(!starts.isEmpty());
    const ScheduleDates dates(plan.calendar, DateFormat::daysOf(plan.startDate));
    int movedOverDaysOff = 0;
    for (std::size_t w = 0; w < plan.works.size(); ++w) {
        const QDateTime start = starts.value(QStringLiteral("w%1").arg(w + 1));
        QVERIFY(start.isValid());
        QCOMPARE(start.time(), QTime(0, 0));
        // TaskJuggler starts a work when its predecessors finish, which may be on a day off; it
        // works from the next working day.
        QDate day = start.date();
        while (!(plan.calendar.countsWorkingDays() ? plan.calendar.isWorkingDay(day) : true))
            day = day.addDays(1);
        movedOverDaysOff += day != start.date();
        QCOMPARE(day, dates.dateOf(times[w].earlyStart));
    }
    QCOMPARE(movedOverDaysOff > 0, workingDays);
}

void TestExchangeExport::msProjectXmlReadsBackToTheSamePlan()
{
    QRandomGenerator random(33);
    const ExchangePlan plan = randomPlan(random, true);
    const std::vector<WorkTimes> times = schedule(plan);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("plan.xml"));
    mspdi::write(path, plan, times);
    const ImportedPlan imported = mspdi::read(path);
    const ExchangePlan& back = imported.plan;

    QCOMPARE(back.startDate, plan.startDate);
    QCOMPARE(back.calendar, plan.calendar);
    QCOMPARE(back.works.size(), plan.works.size());
    // The same works between the same events, up to the events' numbers: every event of the
    // file stands for exactly one of the plan.
    QHash<QString, const ExchangeWork*> byName;
    for (const ExchangeWork& work : back.works)
        byName.insert(work.name, &work);
    QHash<QString, QString> eventOf;
    QHash<QString, QString> planEventOf;
    const auto same = [](QHash<QString, QString>& map, const QString& from, const QString& to) {
        return map.value(from, to) == to && (map.insert(from, to), true);
    };
    const NumberFormat& numbers = NumberFormat::system();
    for (std::size_t w = 0; w < plan.works.size(); ++w) {
        const ExchangeWork& work = plan.works[w];
        const QString name = work.name.isEmpty()
                                 ? work.startEvent + QStringLiteral(" → ") + work.endEvent
                                 : work.name;
        const ExchangeWork* read = byName.value(name);
        QVERIFY2(read, qPrintable(name));
        QCOMPARE(numbers.parse(read->duration), numbers.parse(work.duration));
        QVERIFY(same(eventOf, work.startEvent, read->startEvent));
        QVERIFY(same(eventOf, work.endEvent, read->endEvent));
        QVERIFY(same(planEventOf, read->startEvent, work.startEvent));
        QVERIFY(same(planEventOf, read->endEvent, work.endEvent));
    }
    QCOMPARE(back.resources.size(), plan.resources.size());
    for (std::size_t r = 0; r < plan.resources.size(); ++r) {
        QCOMPARE(back.resources[r].name, plan.resources[r].name);
        QCOMPARE(back.resources[r].unit, plan.resources[r].unit);
        QCOMPARE(back.resources[r].available, plan.resources[r].available);
    }
    QCOMPARE(back.demands.size(), plan.demands.size());
    for (std::size_t d = 0; d < plan.demands.size(); ++d) {
        const ExchangeDemand& demand = plan.demands[d];
        QCOMPARE(back.works[std::size_t(back.demands[d].work)].name,
                 plan.works[std::size_t(demand.work)].name);
        QCOMPARE(back.demands[d].resource, demand.resource);
        QCOMPARE(back.demands[d].amount, demand.amount);
    }
}

void TestExchangeExport::workbookReadsBackWithNumbersAndDates()
{
    const QString python = pythonWithOpenpyxl();
    if (python.isEmpty())
        QSKIP("python3-openpyxl not found (scripts/kestrin.sh test installs it)");
    QRandomGenerator random(34);
    const ExchangePlan plan = randomPlan(random, true);
    std::vector<WorkTimes> times = schedule(plan);
    for (std::size_t w = 0; w < times.size(); ++w) {
        times[w].precedingWorks = int(w % 3);
        times[w].freeFloat = 0.25 * double(w % 4);
    }
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("plan.xlsx"));
    workbook::write(path, plan, times);

    // Every cell of the works' sheet as its type and value, by openpyxl.
    QProcess reader;
    reader.start(python,
                 {QStringLiteral("-c"),
                  QStringLiteral("import sys, openpyxl\n"
                                 "sheet = openpyxl.load_workbook(sys.argv[1])['Работы']\n"
                                 "for row in sheet.iter_rows():\n"
                                 "    print('\\t'.join(type(c.value).__name__ + '=' + str(c.value)"
                                 " for c in row))\n"),
                  path});
    QVERIFY(reader.waitForFinished(60'000));
    QVERIFY2(reader.exitCode() == 0, reader.readAllStandardError().constData());
    const QStringList rows = QString::fromUtf8(reader.readAllStandardOutput())
                                 .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(rows.size(), qsizetype(plan.works.size()) + 1);
    const QStringList header = rows[0].split(QLatin1Char('\t'));
    QCOMPARE(header.size(), kWorkColumnCount + 1);
    for (int column = 0; column < kWorkColumnCount; ++column)
        QCOMPARE(header[column],
                 QStringLiteral("str=") + workColumnCaption(static_cast<WorkColumn>(column)));
    const ScheduleDates dates(plan.calendar, DateFormat::daysOf(plan.startDate));
    const NumberFormat& numbers = NumberFormat::system();
    const auto number = [](const QString& cell) {
        // openpyxl gives whole numbers as int, others as float.
        QVERIFY2(cell.startsWith(QStringLiteral("int=")) ||
                     cell.startsWith(QStringLiteral("float=")),
                 qPrintable(cell));
    };
    for (std::size_t w = 0; w < plan.works.size(); ++w) {
        const QStringList cells = rows[qsizetype(w) + 1].split(QLatin1Char('\t'));
        QCOMPARE(cells.size(), kWorkColumnCount + 1);
        for (int column = 0; column < kWorkColumnCount - 1; ++column)
            number(cells[column]);
        const auto value = [&](WorkColumn column) {
            return cells[columnIndex(column)].section(QLatin1Char('='), 1).toDouble();
        };
        const WorkTimes& time = times[w];
        QCOMPARE(value(WorkColumn::PrecedingWorks), double(time.precedingWorks));
        QCOMPARE(value(WorkColumn::StartEvent), plan.works[w].startEvent.toDouble());
        QCOMPARE(value(WorkColumn::EndEvent), plan.works[w].endEvent.toDouble());
        QCOMPARE(value(WorkColumn::Duration), double(numbers.parse(plan.works[w].duration)));
        QCOMPARE(value(WorkColumn::EarlyStart), time.earlyStart);
        QCOMPARE(value(WorkColumn::EarlyFinish), time.earlyFinish);
        QCOMPARE(value(WorkColumn::LateStart), time.lateStart);
        QCOMPARE(value(WorkColumn::LateFinish), time.lateFinish);
        QCOMPARE(value(WorkColumn::TotalFloat), time.totalFloat);
        QCOMPARE(value(WorkColumn::FreeFloat), time.freeFloat);
        QCOMPARE(cells[columnIndex(WorkColumn::BeginDate)],
                 QStringLiteral("datetime=") + dates.dateOf(time.earlyStart).toString(Qt::ISODate) +
                     QStringLiteral(" 00:00:00"));
        QCOMPARE(cells[kWorkColumnCount], plan.works[w].name.isEmpty()
                                              ? QStringLiteral("NoneType=None")
                                              : QStringLiteral("str=") + plan.works[w].name);
    }
}

QTEST_GUILESS_MAIN(TestExchangeExport)
#include "tst_exchangeexport.moc"
