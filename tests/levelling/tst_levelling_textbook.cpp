#include "Levelling.h"
#include "LevellingOracle.h"
#include "LoadProfile.h"

#include <QTest>

#include <random>

// The load profile and the levelling of a small example worked by hand, and the profile of random
// schedules against the demand summed time unit by time unit.
class TestLevellingTextbook : public QObject
{
    Q_OBJECT

private slots:
    void profilesAndLevelsTheExample();
    void profileSumsTheDemandOfEveryTimeUnit_data();
    void profileSumsTheDemandOfEveryTimeUnit();
};

namespace {

// Three workers. A (4 days, 2 workers) then C (2 days, 1 worker) is the critical chain; B (2 days,
// 2 workers) and D (1 day, 1 worker) have floats. At the early starts B and D pile onto A.
LevellingProblem example()
{
    LevellingProblem problem;
    problem.capacities = {3};
    problem.durations = {4, 2, 2, 1};
    problem.demands = {2, 2, 1, 1};
    problem.precedences = {{0, 2}};
    problem.activityNames = {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"),
                             QStringLiteral("D")};
    return problem;
}

bool sameSteps(const std::vector<LoadStep>& actual, const std::vector<LoadStep>& expected)
{
    return actual.size() == expected.size() &&
           std::equal(actual.begin(), actual.end(), expected.begin(),
                      [](const LoadStep& x, const LoadStep& y) {
                          return x.from == y.from && x.to == y.to && x.demand == y.demand;
                      });
}

} // namespace

void TestLevellingTextbook::profilesAndLevelsTheExample()
{
    const LevellingProblem problem = example();
    // Early starts A 0, B 0, C 4, D 0: 5 workers on day 0, 4 on day 1, then A alone, then C.
    const std::vector<int> early = {0, 0, 4, 0};
    const std::vector<LoadStep> profile = loadProfile(problem, early, 0);
    QVERIFY(sameSteps(profile, {{0, 1, 5}, {1, 2, 4}, {2, 4, 2}, {4, 6, 1}}));
    const std::vector<Overload> over = overloads(profile, 3);
    QCOMPARE(over.size(), std::size_t(2));
    QCOMPARE((std::vector<int>{over[0].from, over[0].to, over[0].required, over[0].available}),
             (std::vector<int>{0, 1, 5, 3}));
    QCOMPARE((std::vector<int>{over[1].from, over[1].to, over[1].required, over[1].available}),
             (std::vector<int>{1, 2, 4, 3}));

    // B cannot run beside A (2 + 2 > 3), so it goes into its float after A, beside C; D fits
    // beside A at once. The critical length 6 is kept; no earlier start is possible for any work.
    for (const int threads : {1, 2}) {
        LevellingOptions options;
        options.scheduleLimit = 200;
        options.threads = threads;
        const LevelledSchedule levelled = levelResources(problem, options);
        QCOMPARE(levelled.criticalLength, 6);
        QCOMPARE(levelled.length, 6);
        QVERIFY(levelled.provenShortest());
        QCOMPARE(levelled.starts, (std::vector<int>{0, 4, 4, 0}));
        QVERIFY(
            sameSteps(loadProfile(problem, levelled.starts, 0), {{0, 1, 3}, {1, 4, 2}, {4, 6, 3}}));
        QVERIFY(overloads(loadProfile(problem, levelled.starts, 0), 3).empty());
    }
}

void TestLevellingTextbook::profileSumsTheDemandOfEveryTimeUnit_data()
{
    QTest::addColumn<int>("works");
    QTest::addColumn<int>("latestStart");
    QTest::newRow("dense span, difference array") << 300 << 200;
    QTest::newRow("long span, sorted changes") << 40 << 100'000;
    QTest::newRow("negative starts") << 50 << 60;
}

void TestLevellingTextbook::profileSumsTheDemandOfEveryTimeUnit()
{
    QFETCH(int, works);
    QFETCH(int, latestStart);
    std::mt19937 random(works + latestStart);
    const bool negative = QByteArray(QTest::currentDataTag()).startsWith("negative");
    for (int round = 0; round < 20; ++round) {
        LevellingProblem problem;
        problem.capacities = {10, 10};
        std::vector<int> starts;
        for (int a = 0; a < works; ++a) {
            problem.durations.push_back(int(random() % 12));
            problem.demands.push_back(int(random() % 4));
            problem.demands.push_back(int(random() % 3));
            starts.push_back(int(random() % std::uint32_t(latestStart)) - (negative ? 30 : 0));
        }
        for (int r = 0; r < 2; ++r) {
            const std::vector<LoadStep> profile = loadProfile(problem, starts, r);
            // Shift everything by `offset` so that the time-unit sums start at 0.
            const int offset = negative ? 30 : 0;
            std::vector<int> shifted = starts;
            for (int& start : shifted)
                start += offset;
            const std::vector<int> expected =
                demandPerTimeUnit(problem, shifted, r, latestStart + offset + 12);
            QVERIFY(!profile.empty());
            for (std::size_t i = 0; i < profile.size(); ++i) {
                QVERIFY(profile[i].from < profile[i].to);
                if (i > 0) {
                    QCOMPARE(profile[i].from, profile[i - 1].to);
                    QVERIFY(profile[i].demand != profile[i - 1].demand);
                }
                for (int t = profile[i].from; t < profile[i].to; ++t)
                    QCOMPARE(profile[i].demand, expected[std::size_t(t + offset)]);
            }
            // Outside the profile nothing is needed.
            for (int t = 0; t < int(expected.size()); ++t)
                if (t - offset < profile.front().from || t - offset >= profile.back().to)
                    QCOMPARE(expected[std::size_t(t)], 0);
        }
    }
}

QTEST_GUILESS_MAIN(TestLevellingTextbook)
#include "tst_levelling_textbook.moc"
