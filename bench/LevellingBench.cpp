#include "Bench.h"

#include "Levelling.h"
#include "LevellingOracle.h"
#include "LoadProfile.h"
#include "PsplibInstance.h"

#include <QDir>

#include <algorithm>
#include <random>

// The levelling on the PSPLIB j60 set against the optimal or best known lengths (with the
// latest-finish rule alone for scale), on a large generated project, and the load profile of a
// million works.
namespace {

QString percent(double share)
{
    return QString::number(share * 100, 'f', 2) + QStringLiteral(" %");
}

void benchPsplib(double secondsLimit)
{
    const QDir folder(psplibFolder() + QStringLiteral("/j60"));
    const QHash<QString, KnownLength> known =
        readKnownLengths(folder.filePath(QStringLiteral("optimum.csv")));
    const QStringList names = folder.entryList({QStringLiteral("*.sm")}, QDir::Files, QDir::Name);
    double excess = 0, worst = 0, ruleExcess = 0, ruleWorst = 0, seconds = 0, slowest = 0;
    long long schedules = 0;
    int atBest = 0, proven = 0, faults = 0;
    QString worstName;
    for (const QString& name : names) {
        const LevellingProblem problem = readPsplibInstance(folder.filePath(name));
        const KnownLength best = known.value(name);
        LevellingOptions options;
        options.secondsLimit = secondsLimit;
        LevelledSchedule levelled;
        const double took = bench::seconds([&] { levelled = levelResources(problem, options); });
        if (!levellingFault(problem, levelled.starts, levelled.length).isEmpty())
            ++faults;
        const double over = double(levelled.length - best.upper) / best.upper;
        excess += over;
        if (over >= worst) {
            worst = over;
            worstName = name;
        }
        atBest += levelled.length <= best.upper;
        proven += levelled.provenShortest();
        seconds += took;
        slowest = std::max(slowest, took);
        schedules += levelled.schedules;
        const LevelledSchedule byRule = scheduleByRule(problem, PriorityRule::LatestFinish);
        const double ruleOver = double(byRule.length - best.upper) / best.upper;
        ruleExcess += ruleOver;
        ruleWorst = std::max(ruleWorst, ruleOver);
    }
    const double count = double(names.size());
    bench::report(QStringLiteral("j60 instances (limit %1 s each)").arg(secondsLimit),
                  QString::number(names.size()));
    bench::report(QStringLiteral("j60 levelled: average excess over best known"),
                  percent(excess / count));
    bench::report(QStringLiteral("j60 levelled: worst excess"),
                  percent(worst) + QStringLiteral(" (") + worstName + QLatin1Char(')'));
    bench::report(QStringLiteral("j60 levelled: at the optimum or best known length"),
                  QString::number(atBest));
    bench::report(QStringLiteral("j60 levelled: proven shortest by the lower bound"),
                  QString::number(proven));
    bench::report(QStringLiteral("j60 levelled: schedules checked faulty"),
                  QString::number(faults));
    bench::report(QStringLiteral("j60 levelled: seconds per instance, average / worst"),
                  QString::number(seconds / count, 'f', 3) + QStringLiteral(" / ") +
                      QString::number(slowest, 'f', 3));
    bench::report(QStringLiteral("j60 levelled: schedules per instance, average"),
                  QString::number(double(schedules) / count, 'f', 0));
    bench::report(QStringLiteral("j60 latest-finish rule, one pass: average excess"),
                  percent(ruleExcess / count));
    bench::report(QStringLiteral("j60 latest-finish rule, one pass: worst excess"),
                  percent(ruleWorst));
}

// Works in a chain of stages, each linked to a few works of the stages just before, durations of
// 1 to 20 time units, each needing up to half of one to three of three resources.
LevellingProblem generatedProject(int works, std::uint64_t seed)
{
    std::mt19937_64 random(seed);
    LevellingProblem problem;
    problem.capacities = {10, 8, 12};
    const int width = 50;
    for (int a = 0; a < works; ++a) {
        problem.durations.push_back(1 + int(random() % 20));
        for (int r = 0; r < 3; ++r)
            problem.demands.push_back(
                random() % 3 == 0
                    ? 0
                    : 1 + int(random() % std::uint64_t(problem.capacities[std::size_t(r)] / 2)));
        if (a >= 2 * width)
            for (int link = 0; link < 2; ++link)
                problem.precedences.push_back(
                    {a - width - int(random() % std::uint64_t(width)), a});
    }
    return problem;
}

void benchLargeProject()
{
    const LevellingProblem problem = generatedProject(10'000, 3);
    LevelledSchedule levelled;
    const double took = bench::seconds([&] { levelled = levelResources(problem); });
    const QString fault = levellingFault(problem, levelled.starts, levelled.length);
    bench::report(QStringLiteral("10,000 works, 3 resources: levelling (limit 1 s), s"),
                  QString::number(took, 'f', 3));
    bench::report(QStringLiteral("10,000 works: critical / lower bound / levelled length"),
                  QStringLiteral("%1 / %2 / %3 (%4 schedules%5)")
                      .arg(levelled.criticalLength)
                      .arg(levelled.lowerBound)
                      .arg(levelled.length)
                      .arg(levelled.schedules)
                      .arg(fault.isEmpty() ? QString() : QStringLiteral(", FAULTY: ") + fault));
    const LevelledSchedule byRule = scheduleByRule(problem, PriorityRule::LatestFinish);
    bench::report(QStringLiteral("10,000 works: latest-finish rule, one pass, length"),
                  QString::number(byRule.length));
}

void benchProfile()
{
    const int works = 1'000'000;
    const LevellingProblem problem = generatedProject(works, 5);
    std::mt19937_64 random(9);
    std::vector<int> starts(static_cast<std::size_t>(works));
    for (int& start : starts)
        start = int(random() % 2'000'000);
    std::vector<LoadStep> profile;
    const double took = bench::seconds([&] { profile = loadProfile(problem, starts, 0); }, 3);
    bench::report(QStringLiteral("1,000,000 works: load profile of a resource, s"),
                  QString::number(took, 'f', 3) +
                      QStringLiteral(" (%1 steps)").arg(profile.size()));
    std::vector<int> early(static_cast<std::size_t>(works));
    for (int& start : early)
        start = int(random() % 20'000'000);
    const double sparse = bench::seconds([&] { profile = loadProfile(problem, early, 0); }, 3);
    bench::report(QStringLiteral("1,000,000 works over 20,000,000 units: profile, s"),
                  QString::number(sparse, 'f', 3) +
                      QStringLiteral(" (%1 steps)").arg(profile.size()));
}

} // namespace

void benchLevelling(const QStringList& arguments)
{
    bool ok = false;
    const double given = arguments.isEmpty() ? 0 : arguments.front().toDouble(&ok);
    benchProfile();
    benchLargeProject();
    benchPsplib(ok && given > 0 ? given : 1.0);
}
