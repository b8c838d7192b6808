// The dates of working days against TaskJuggler (Debian package tj3): the same random network,
// week, days off and start date scheduled by it, every work's first and last working day compared
// with the engine's dates of its early start and of its last day.
#include "ScheduleDates.h"
#include "WorkCalendar.h"

#include "DateFormat.h"

#include <QDateTime>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <ranges>

namespace {

struct Task
{
    int length = 1; // working days
    QList<int> predecessors;
};

struct Network
{
    QDate start;
    WorkWeek week = WorkWeek::FiveDays;
    QList<QDate> daysOff;
    QList<Task> tasks;
};

Network randomNetwork(QRandomGenerator& random, WorkWeek week)
{
    Network network;
    network.week = week;
    network.start = QDate(2027, 1, 1).addDays(random.bounded(365));
    for (int i = 0; i < 25; ++i)
        network.daysOff.append(network.start.addDays(random.bounded(200)));
    for (int i = 0; i < 40; ++i) {
        Task task;
        task.length = 1 + random.bounded(6);
        const int count = i == 0 ? 0 : random.bounded(4);
        for (int k = 0; k < count; ++k) {
            const int predecessor = random.bounded(i);
            if (!task.predecessors.contains(predecessor))
                task.predecessors.append(predecessor);
        }
        network.tasks.append(task);
    }
    return network;
}

// Early starts by the longest path over the tasks, which are in an order where predecessors come
// first.
QList<int> earlyStarts(const Network& network)
{
    QList<int> early(network.tasks.size(), 0);
    for (qsizetype i = 0; i < network.tasks.size(); ++i) {
        for (int predecessor : network.tasks[i].predecessors)
            early[i] = std::max(early[i], early[predecessor] + network.tasks[predecessor].length);
    }
    return early;
}

QString isoDate(QDate date)
{
    return date.toString(Qt::ISODate);
}

QString dependencies(const Task& task)
{
    QStringList names;
    for (int predecessor : task.predecessors)
        names.append(QStringLiteral("t%1").arg(predecessor));
    return names.isEmpty() ? QString() : QStringLiteral(" depends ") + names.join(QLatin1Char(','));
}

// The project in TaskJuggler's words: whole days are working time, so that a length of n days is
// n working days. TaskJuggler reports a task's start as the moment its predecessors finish, which
// may fall on a day off; so beside every task t<i> a probe p<i> of one day with the same
// predecessors takes exactly the first working day that t<i> can start on.
QString projectText(const Network& network)
{
    QString text = QStringLiteral("project calendar \"Calendar\" %1 +2y {\n"
                                  "  timezone \"UTC\"\n"
                                  "  dailyworkinghours 24\n")
                       .arg(isoDate(network.start));
    if (network.week == WorkWeek::FiveDays)
        text += QStringLiteral("  workinghours mon - fri 0:00 - 24:00\n"
                               "  workinghours sat, sun off\n");
    else
        text += QStringLiteral("  workinghours mon - sat 0:00 - 24:00\n"
                               "  workinghours sun off\n");
    text += QStringLiteral("}\n");
    for (QDate day : network.daysOff)
        text += QStringLiteral("leaves holiday \"off\" %1\n").arg(isoDate(day));
    for (qsizetype i = 0; i < network.tasks.size(); ++i) {
        const Task& task = network.tasks[i];
        text += QStringLiteral("task t%1 \"T%1\" { length %2d%3 }\n")
                    .arg(i)
                    .arg(task.length)
                    .arg(dependencies(task));
        text += QStringLiteral("task p%1 \"P%1\" { length 1d%2 }\n").arg(i).arg(dependencies(task));
    }
    text += QStringLiteral("taskreport \"dates\" {\n"
                           "  formats csv\n"
                           "  columns id, start, end\n"
                           "  timeformat \"%Y-%m-%d %H:%M\"\n"
                           "}\n");
    return text;
}

struct Span
{
    QDateTime start;
    QDateTime end;
};

// Schedules the project with tj3; the spans of the tasks by their names.
QHash<QString, Span> scheduleWithTaskJuggler(const QString& project)
{
    QHash<QString, Span> spans;
    QTemporaryDir folder;
    if (!folder.isValid())
        return spans;
    QFile file(folder.filePath(QStringLiteral("calendar.tjp")));
    if (!file.open(QIODevice::WriteOnly))
        return spans;
    file.write(project.toUtf8());
    file.close();
    QProcess tj3;
    tj3.setProcessChannelMode(QProcess::MergedChannels);
    tj3.start(QStringLiteral("tj3"), {QStringLiteral("--silent"), QStringLiteral("--no-color"),
                                      QStringLiteral("-o"), folder.path(), file.fileName()});
    if (!tj3.waitForFinished(120'000) || tj3.exitCode() != 0) {
        qWarning().noquote() << tj3.readAll();
        return spans;
    }
    QFile report(folder.filePath(QStringLiteral("dates.csv")));
    if (!report.open(QIODevice::ReadOnly))
        return spans;
    const QString format = QStringLiteral("yyyy-MM-dd HH:mm");
    const QStringList lines = QString::fromUtf8(report.readAll()).split(QLatin1Char('\n'));
    for (const QString& line : lines.mid(1)) {
        QStringList fields = line.split(QLatin1Char(';'));
        if (fields.size() != 3)
            continue;
        for (QString& field : fields)
            field.remove(QLatin1Char('"'));
        spans.insert(fields[0], {QDateTime::fromString(fields[1], format),
                                 QDateTime::fromString(fields[2], format)});
    }
    return spans;
}

} // namespace

class TestTaskJuggler : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void sameDatesAsTaskJuggler_data();
    void sameDatesAsTaskJuggler();
};

void TestTaskJuggler::initTestCase()
{
    if (QStandardPaths::findExecutable(QStringLiteral("tj3")).isEmpty())
        QSKIP("tj3 not found: install the Debian package tj3 (scripts/kestrin.sh test does)");
}

void TestTaskJuggler::sameDatesAsTaskJuggler_data()
{
    QTest::addColumn<int>("week");
    QTest::addColumn<bool>("holidays");
    QTest::newRow("five-day week, public holidays") << int(WorkWeek::FiveDays) << true;
    QTest::newRow("six-day week") << int(WorkWeek::SixDays) << false;
}

void TestTaskJuggler::sameDatesAsTaskJuggler()
{
    QFETCH(int, week);
    QFETCH(bool, holidays);
    QRandomGenerator random(7 + week);
    Network network = randomNetwork(random, static_cast<WorkWeek>(week));
    WorkCalendar calendar;
    calendar.setCountsWorkingDays(true);
    calendar.setWeek(network.week);
    if (holidays) {
        calendar.addPublicHolidays(network.start.year());
        calendar.addPublicHolidays(network.start.year() + 1);
        for (QDate day : calendar.exceptions() | std::views::keys)
            network.daysOff.append(day);
    }
    for (QDate day : network.daysOff)
        calendar.setException(day, false);

    const QHash<QString, Span> spans = scheduleWithTaskJuggler(projectText(network));
    QCOMPARE(spans.size(), 2 * network.tasks.size());
    const ScheduleDates dates(calendar, DateFormat::daysOf(network.start) + 0.5);
    const QList<int> early = earlyStarts(network);
    int movedOffDaysOff = 0;
    for (qsizetype i = 0; i < network.tasks.size(); ++i) {
        const Span task = spans.value(QStringLiteral("t%1").arg(i));
        const Span probe = spans.value(QStringLiteral("p%1").arg(i));
        QVERIFY(task.start.isValid() && task.end.isValid() && probe.end.isValid());
        // A finish at midnight is the end of the day before.
        QCOMPARE(probe.end.time(), QTime(0, 0));
        QCOMPARE(task.end.time(), QTime(0, 0));
        const QDate firstDay = probe.end.date().addDays(-1);
        const QDate lastDay = task.end.date().addDays(-1);
        QCOMPARE(dates.dateOf(early[i]), firstDay);
        QCOMPARE(dates.dateOf(early[i] + network.tasks[i].length - 1), lastDay);
        QVERIFY(task.start.date() <= firstDay);
        movedOffDaysOff += task.start.date() < firstDay;
    }
    // The network is long enough that some works wait over days off.
    QVERIFY(movedOffDaysOff > 0);
}

QTEST_GUILESS_MAIN(TestTaskJuggler)
#include "tst_taskjuggler.moc"
