#include "Bench.h"

#include "DateFormat.h"
#include "NameCollation.h"
#include "NumberFormat.h"
#include "PlanFile.h"
#include "Recalculation.h"
#include "WorkListFile.h"
#include "WorkTable.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextStream>
#include <QXmlStreamReader>

#include <ctime>
#include <random>

// A plan of a million works with names and estimates against the same works in a work list file:
// each read and recalculated in a child process of its own, so that each peak memory is its own.
// The files are made by the parent beforehand.
namespace {

constexpr int kWorks = 1'000'000;
const QString kStart = QStringLiteral("0");

// A chain through a quarter as many events as works, and works across it; whole-day durations
// keep the dates within the calendar.
void fillNetwork(WorkTable& table, Plan& plan, int works)
{
    const int events = works / 4;
    std::mt19937_64 random(2412);
    const ResourceId crew = plan.addResource();
    const WorkTable::Batch batch(table);
    table.setRowCount(works);
    for (int row = 0; row < works; ++row) {
        const int from = row < events ? row : int(random() % std::uint64_t(events - 1));
        const int to = row < events ? row + 1 : std::min(events, from + 1 + int(random() % 20));
        const int duration = 1 + int(random() % 3);
        table.setCell(WorkColumn::StartEvent, row, QString::number(from));
        table.setCell(WorkColumn::EndEvent, row, QString::number(to));
        table.setCell(WorkColumn::Duration, row, QString::number(duration));
        WorkDetails details;
        details.name = QStringLiteral("Работа %1").arg(row + 1);
        details.setNumber(DetailNumber::Optimistic, duration - 1);
        details.setNumber(DetailNumber::Pessimistic, duration + 2);
        if (row % 10 == 0)
            details.setDemand(crew, 2);
        table.setDetails(row, details);
    }
    plan.setEnds(kStart, QString::number(events), false);
    plan.setStartDate(46363);
}

// The processor time of this process so far, in seconds, all threads together: on a machine
// shared with other work the wall-clock figures swell and this one hardly does.
double processorSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

double recalculate(WorkTable& table, const Plan& plan)
{
    const NameCollation names;
    return bench::seconds([&] {
        const WorkTable::Batch batch(table);
        Recalculation recalculation(table, plan.startEvent(), plan.endEvent(), plan.startDate(),
                                    NumberFormat::system(), DateFormat::system(), names);
        QStringList path;
        recalculation.criticalLength(path);
        recalculation.fillComputedColumns();
    });
}

// One case in this process: prints "case <kind> <read s> <recalc s> <peak MB> <read cpu s>
// <recalc cpu s>".
void runCase(const QString& kind, const QString& path)
{
    WorkTable table;
    Plan plan;
    double read = 0;
    const double startCpu = processorSeconds();
    if (kind == QLatin1String("kdf")) {
        read = bench::seconds([&] {
            const WorkTable::Batch batch(table);
            worklistfile::read(path, table);
        });
        // The settings a plan would bring, given by hand.
        plan.setEnds(kStart, QString::number(kWorks / 4), false);
        plan.setStartDate(46363);
    } else {
        read = bench::seconds([&] {
            const double t0 = processorSeconds();
            planfile::Contents contents = planfile::read(path);
            const double t1 = processorSeconds();
            table.replaceRows(0, table.rowCount(), contents.works);
            plan = std::move(contents.plan);
            if (qEnvironmentVariableIsSet("KESTRIN_PLAN_SPLIT"))
                QTextStream(stderr)
                    << "parse " << t1 - t0 << " put " << processorSeconds() - t1 << Qt::endl;
        });
    }
    const double readCpu = processorSeconds() - startCpu;
    const double recalc = recalculate(table, plan);
    const double recalcCpu = processorSeconds() - startCpu - readCpu;
    QTextStream(stdout) << "case " << kind << ' ' << read << ' ' << recalc << ' '
                        << bench::peakRssMegabytes() << ' ' << readCpu << ' ' << recalcCpu
                        << Qt::endl;
}

} // namespace

void benchPlan(const QStringList& arguments)
{
    if (arguments.size() >= 2) {
        runCase(arguments[0], arguments[1]);
        return;
    }
    QTemporaryDir folder;
    const QString kdf = folder.filePath(QStringLiteral("works.kdf"));
    const QString kpl = folder.filePath(QStringLiteral("works.kpl"));
    {
        WorkTable table;
        Plan plan;
        fillNetwork(table, plan, kWorks);
        worklistfile::write(kdf, table);
        const double write = bench::seconds([&] { planfile::write(kpl, table, plan); });
        bench::report(QStringLiteral("plan: write %1 works with names and estimates").arg(kWorks),
                      QStringLiteral("%1 s, %2 MB")
                          .arg(write, 0, 'f', 2)
                          .arg(QFileInfo(kpl).size() / 1e6, 0, 'f', 0));
    }
    std::map<QString, QStringList> figures;
    for (const QString& kind : {QStringLiteral("kdf"), QStringLiteral("kpl")}) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("plan"), kind, kind == QLatin1String("kdf") ? kdf : kpl});
        child.waitForFinished(-1);
        const QStringList f =
            QString::fromUtf8(child.readAllStandardOutput())
                .split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
        if (child.exitCode() != 0 || f.size() < 7 || f[0] != QLatin1String("case")) {
            bench::report(QStringLiteral("plan: %1").arg(kind), QStringLiteral("FAILED"));
            return;
        }
        figures[kind] = f;
        bench::report(QStringLiteral("plan: %1, %2 works, read + recalc").arg(kind).arg(kWorks),
                      QStringLiteral("%1 s + %2 s (processor %4 s + %5 s), peak RSS %3 MB")
                          .arg(f[2].toDouble(), 0, 'f', 2)
                          .arg(f[3].toDouble(), 0, 'f', 2)
                          .arg(f[4].toDouble(), 0, 'f', 0)
                          .arg(f[5].toDouble(), 0, 'f', 2)
                          .arg(f[6].toDouble(), 0, 'f', 2));
    }
    const auto total = [&](const QString& kind) {
        return figures[kind][2].toDouble() + figures[kind][3].toDouble();
    };
    const auto processor = [&](const QString& kind) {
        return figures[kind][5].toDouble() + figures[kind][6].toDouble();
    };
    const QString kdfName = QStringLiteral("kdf"), kplName = QStringLiteral("kpl");
    bench::report(
        QStringLiteral("plan: against the work list file"),
        QStringLiteral("time x%1 (processor x%3; at most 2), memory x%2 (at most 1.5)")
            .arg(total(kplName) / total(kdfName), 0, 'f', 2)
            .arg(figures[kplName][4].toDouble() / figures[kdfName][4].toDouble(), 0, 'f', 2)
            .arg(processor(kplName) / processor(kdfName), 0, 'f', 2));
}
