// A file that TaskJuggler itself exports as MS Project XML from its tutorial project imports, and
// the critical path length and end date computed here over the imported works (a longest path)
// equal TaskJuggler's own schedule of the project.
#include "DateFormat.h"
#include "MspdiReader.h"
#include "NumberFormat.h"
#include "ScheduleDates.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cmath>

namespace {

const QString kTutorial = QStringLiteral("/usr/share/doc/tj3/examples/Tutorial/tutorial.tjp");

// The longest path over the works (events numbered so that every work goes up).
double criticalPathLength(const ExchangePlan& plan)
{
    const NumberFormat& numbers = NumberFormat::system();
    QHash<int, double> early;
    std::vector<const ExchangeWork*> works;
    for (const ExchangeWork& work : plan.works)
        works.push_back(&work);
    std::sort(works.begin(), works.end(), [](const ExchangeWork* a, const ExchangeWork* b) {
        return a->startEvent.toInt() < b->startEvent.toInt();
    });
    double length = 0;
    for (const ExchangeWork* work : works) {
        const double finish =
            early.value(work->startEvent.toInt()) + double(numbers.parse(work->duration));
        early[work->endEvent.toInt()] = std::max(early.value(work->endEvent.toInt()), finish);
        length = std::max(length, finish);
    }
    return length;
}

} // namespace

class TestTaskJugglerImport : public QObject
{
    Q_OBJECT

private slots:
    void tutorialKeepsTaskJugglersEnd();
};

void TestTaskJugglerImport::tutorialKeepsTaskJugglersEnd()
{
    if (QStandardPaths::findExecutable(QStringLiteral("tj3")).isEmpty() ||
        !QFile::exists(kTutorial))
        QSKIP("tj3 and its tutorial not found: install the Debian package tj3");
    QTemporaryDir folder;
    QFile source(kTutorial);
    QVERIFY(source.open(QIODevice::ReadOnly));
    QByteArray project = source.readAll();
    project += "\nexport \"exported\" {\n  formats mspxml\n}\n"
               "taskreport \"dates\" {\n  formats csv\n  columns id, start, end\n"
               "  timeformat \"%Y-%m-%d %H:%M\"\n}\n";
    QFile copy(folder.filePath(QStringLiteral("tutorial.tjp")));
    QVERIFY(copy.open(QIODevice::WriteOnly));
    copy.write(project);
    copy.close();
    QProcess tj3;
    tj3.setProcessChannelMode(QProcess::MergedChannels);
    tj3.start(QStringLiteral("tj3"), {QStringLiteral("--silent"), QStringLiteral("--no-color"),
                                      QStringLiteral("-o"), folder.path(), copy.fileName()});
    QVERIFY(tj3.waitForFinished(120'000));
    QVERIFY2(tj3.exitCode() == 0, tj3.readAll().constData());

    // TaskJuggler's start and end of the whole project: its first and last task moments.
    QFile dates(folder.filePath(QStringLiteral("dates.csv")));
    QVERIFY(dates.open(QIODevice::ReadOnly));
    QDateTime first, last;
    const QStringList lines = QString::fromUtf8(dates.readAll()).split(QLatin1Char('\n'));
    for (const QString& line : lines.mid(1)) {
        QStringList fields = line.split(QLatin1Char(';'));
        if (fields.size() != 3)
            continue;
        for (QString& field : fields)
            field.remove(QLatin1Char('"'));
        const QString format = QStringLiteral("yyyy-MM-dd HH:mm");
        const QDateTime start = QDateTime::fromString(fields[1], format);
        const QDateTime end = QDateTime::fromString(fields[2], format);
        if (!first.isValid() || start < first)
            first = start;
        if (!last.isValid() || end > last)
            last = end;
    }
    QVERIFY(first.isValid() && last.isValid());

    const ImportedPlan imported = mspdi::read(folder.filePath(QStringLiteral("exported.xml")));
    const ExchangePlan& plan = imported.plan;
    QVERIFY(plan.works.size() >= 7);
    QVERIFY(plan.calendar.countsWorkingDays());
    const double length = criticalPathLength(plan);
    qInfo() << "critical path" << length << "days from" << first << "to" << last << "notes"
            << imported.notes.size();
    const ScheduleDates scheduleDates(plan.calendar, DateFormat::daysOf(plan.startDate));
    QCOMPARE(scheduleDates.dateOf(std::nextafter(length, 0.0)), last.date());
    // The length in TaskJuggler's terms: the whole working days before its last day, counted
    // here day by day, and the part of the last day worked (TaskJuggler writes the working day
    // as 9:00 to 17:00 into the file).
    int wholeDays = 0;
    for (QDate day = plan.startDate; day < last.date(); day = day.addDays(1))
        wholeDays += plan.calendar.isWorkingDay(day);
    const double lastDay = (last.time().msecsSinceStartOfDay() / 60'000 - 9 * 60) / 480.0;
    QCOMPARE(length, wholeDays + lastDay);
}

QTEST_GUILESS_MAIN(TestTaskJugglerImport)
#include "tst_taskjugglerimport.moc"
