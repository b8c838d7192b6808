#include "KestrinError.h"
#include "Levelling.h"
#include "LevellingOracle.h"

#include <QTest>

#include <random>

// The levelling against an exhaustive search on tiny random networks, every schedule through the
// independent checker; the same starts for a seed whatever the threads; the refusals.
class TestLevellingSearch : public QObject
{
    Q_OBJECT

private slots:
    void findsTheShortestScheduleOfTinyNetworks_data();
    void findsTheShortestScheduleOfTinyNetworks();
    void givesTheSameStartsForASeed();
    void refusesWhatCannotBeScheduled_data();
    void refusesWhatCannotBeScheduled();
    void linksWorksThroughTheirEvents();
};

namespace {

// Up to `most` activities of 0 to 4 time units, links only forwards in index order, demands up
// to the capacities (sometimes exactly the capacity).
LevellingProblem randomProblem(std::mt19937_64& random, int most, int resources)
{
    LevellingProblem problem;
    const int n = 2 + int(random() % std::uint64_t(most - 1));
    for (int r = 0; r < resources; ++r)
        problem.capacities.push_back(2 + int(random() % 4));
    for (int a = 0; a < n; ++a) {
        problem.durations.push_back(int(random() % 5));
        for (int r = 0; r < resources; ++r)
            problem.demands.push_back(
                int(random() % std::uint64_t(problem.capacities[std::size_t(r)] + 1)));
    }
    for (int a = 0; a < n; ++a)
        for (int b = a + 1; b < n; ++b)
            if (random() % 4 == 0)
                problem.precedences.push_back({a, b});
    return problem;
}

} // namespace

void TestLevellingSearch::findsTheShortestScheduleOfTinyNetworks_data()
{
    QTest::addColumn<int>("most");
    QTest::addColumn<int>("resources");
    QTest::addColumn<int>("networks");
    QTest::newRow("one resource") << 7 << 1 << 150;
    QTest::newRow("two resources") << 7 << 2 << 150;
    QTest::newRow("three resources") << 6 << 3 << 100;
}

void TestLevellingSearch::findsTheShortestScheduleOfTinyNetworks()
{
    QFETCH(int, most);
    QFETCH(int, resources);
    QFETCH(int, networks);
    std::mt19937_64 random(std::uint64_t(most * 10 + resources));
    for (int network = 0; network < networks; ++network) {
        const LevellingProblem problem = randomProblem(random, most, resources);
        const int shortest = shortestLengthByEnumeration(problem);
        LevellingOptions options;
        options.scheduleLimit = 400;
        options.secondsLimit = 0;
        const LevelledSchedule levelled = levelResources(problem, options);
        QVERIFY2(levellingFault(problem, levelled.starts, levelled.length).isEmpty(),
                 qPrintable(levellingFault(problem, levelled.starts, levelled.length)));
        QCOMPARE(levelled.length, shortest);
        QVERIFY(levelled.lowerBound <= shortest);
        QVERIFY(levelled.criticalLength <= levelled.lowerBound);
        for (const PriorityRule rule :
             {PriorityRule::LatestFinish, PriorityRule::MostTotalSuccessors,
              PriorityRule::GreatestRankPositionalWeight}) {
            const LevelledSchedule byRule = scheduleByRule(problem, rule);
            QVERIFY2(levellingFault(problem, byRule.starts, byRule.length).isEmpty(),
                     qPrintable(levellingFault(problem, byRule.starts, byRule.length)));
            QVERIFY(byRule.length >= shortest);
        }
    }
}

void TestLevellingSearch::givesTheSameStartsForASeed()
{
    // Large enough that the two searches do not stop at the bound at once.
    std::mt19937_64 random(7);
    LevellingProblem problem;
    problem.capacities = {6, 5};
    const int n = 120;
    for (int a = 0; a < n; ++a) {
        problem.durations.push_back(1 + int(random() % 9));
        problem.demands.push_back(int(random() % 6));
        problem.demands.push_back(int(random() % 5));
        for (int b = std::max(0, a - 15); b < a; ++b)
            if (random() % 12 == 0)
                problem.precedences.push_back({b, a});
    }
    LevellingOptions options;
    options.scheduleLimit = 3000;
    options.secondsLimit = 0;
    options.seed = 11;
    options.threads = 2;
    const LevelledSchedule two = levelResources(problem, options);
    options.threads = 1;
    const LevelledSchedule one = levelResources(problem, options);
    QVERIFY(levellingFault(problem, two.starts, two.length).isEmpty());
    QCOMPARE(one.starts, two.starts);
    QCOMPARE(one.schedules, two.schedules);
    QVERIFY(two.schedules >= options.scheduleLimit);
    QVERIFY(two.schedules < options.scheduleLimit + 20);
    options.seed = 12;
    const LevelledSchedule other = levelResources(problem, options);
    QVERIFY(levellingFault(problem, other.starts, other.length).isEmpty());
    QVERIFY(other.starts != two.starts);
}

void TestLevellingSearch::refusesWhatCannotBeScheduled_data()
{
    QTest::addColumn<QList<int>>("capacities");
    QTest::addColumn<QList<int>>("demands");
    QTest::addColumn<QList<int>>("links");
    QTest::addColumn<QString>("message");
    QTest::newRow("more than there is")
        << QList<int>{4, 3} << QList<int>{1, 1, 2, 5, 0, 0} << QList<int>{0, 1}
        << QStringLiteral("Работе Монтаж нужно 5 ресурса «Краны», а доступно всего 3");
    QTest::newRow("loop") << QList<int>{4, 3} << QList<int>{1, 1, 2, 1, 0, 0}
                          << QList<int>{0, 1, 1, 2, 2, 1}
                          << QStringLiteral(
                                 "Сетевой график содержит цикл: Монтаж -> Отделка -> Монтаж");
}

void TestLevellingSearch::refusesWhatCannotBeScheduled()
{
    QFETCH(QList<int>, capacities);
    QFETCH(QList<int>, demands);
    QFETCH(QList<int>, links);
    QFETCH(QString, message);
    LevellingProblem problem;
    problem.capacities.assign(capacities.begin(), capacities.end());
    problem.durations = {3, 2, 1};
    problem.demands.assign(demands.begin(), demands.end());
    for (int i = 0; i + 1 < links.size(); i += 2)
        problem.precedences.push_back({links[i], links[i + 1]});
    problem.activityNames = {QStringLiteral("Фундамент"), QStringLiteral("Монтаж"),
                             QStringLiteral("Отделка")};
    problem.resourceNames = {QStringLiteral("Рабочие"), QStringLiteral("Краны")};
    for (int pass = 0; pass < 2; ++pass) {
        try {
            if (pass == 0)
                levelResources(problem);
            else
                scheduleByRule(problem, PriorityRule::LatestFinish);
            QFAIL("no error raised");
        } catch (const KestrinError& error) {
            QCOMPARE(error.message(), message);
        }
    }
}

void TestLevellingSearch::linksWorksThroughTheirEvents()
{
    // 1-2, 1-3, 2-3, 3-4, 2-4: work 2-3 follows 1-2; 3-4 follows 1-3 and 2-3; 2-4 follows 1-2.
    const std::vector<int> from = {1, 1, 2, 3, 2};
    const std::vector<int> to = {2, 3, 3, 4, 4};
    std::vector<std::pair<int, int>> links;
    for (const Precedence& link : precedencesFromEvents(from, to))
        links.emplace_back(link.before, link.after);
    std::sort(links.begin(), links.end());
    QCOMPARE(links, (std::vector<std::pair<int, int>>{{0, 2}, {0, 4}, {1, 3}, {2, 3}}));
}

QTEST_GUILESS_MAIN(TestLevellingSearch)
#include "tst_levelling_search.moc"
