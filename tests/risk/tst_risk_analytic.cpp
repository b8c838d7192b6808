#include "AnalyticRisk.h"
#include "KestrinError.h"
#include "NetworkLoop.h"
#include "RiskNetwork.h"

#include <QTest>

#include <cmath>

using namespace risk;
using namespace Qt::StringLiterals;

namespace {

RiskWork work(int start, int end, long double a, long double m, long double b)
{
    return {start, end, m, a, b};
}

RiskWork fixed(int start, int end, long double m)
{
    return {start, end, m, std::nullopt, std::nullopt};
}

// The textbook example worked by hand. Events 1..5 (indices 0..4); two paths of expected length
// 13 by three estimates: 1-2-4-5 with σ² = (8² + 8² + 4²)/36 = 4, and 1-3-4-5 with
// σ² = (2² + 2² + 4²)/36. By two estimates 1-2-4-5 is longest: 5,2 + 4,2 + 3,6 = 13 against
// 3,82 + 4,86 + 3,6 = 12,28, with σ² = 0,04 (64 + 64 + 16) = 5,76.
std::vector<RiskWork> textbookWorks()
{
    return {work(0, 1, 2, 3, 10), work(1, 3, 1, 5, 9), work(3, 4, 2, 4, 6),
            work(0, 2, 3.1L, 4, 4.9L), work(2, 3, 4.3L, 5, 5.7L)};
}

} // namespace

// The probabilistic method: expected critical length, its σ along the path of largest variance
// among tied ones, and the normal law, against hand computation and the table of Φ.
class TestRiskAnalytic : public QObject
{
    Q_OBJECT

private slots:
    void textbookExample_data();
    void textbookExample();
    void tiedDecimalPathsTakeTheLargerVariance();
    void fixedLengthIsMetOrNotExactly();
    void badNetworksRaise_data();
    void badNetworksRaise();
};

void TestRiskAnalytic::textbookExample_data()
{
    QTest::addColumn<int>("method");
    QTest::addColumn<double>("length");
    QTest::addColumn<double>("sigma");
    QTest::addColumn<double>("directive");
    QTest::addColumn<double>("probability"); // the table of the normal law, 4 digits
    QTest::addColumn<double>("confidence");
    QTest::addColumn<double>("reached"); // Tкр + σ z from the table

    const auto three = int(EstimateMethod::ThreePoint);
    const auto two = int(EstimateMethod::TwoPoint);
    QTest::newRow("three, Tд = 15: z = 1")
        << three << 13.0 << 2.0 << 15.0 << 0.8413 << 0.95 << 13 + 2 * 1.645;
    QTest::newRow("three, Tд = 16: z = 1,5")
        << three << 13.0 << 2.0 << 16.0 << 0.9332 << 0.9 << 13 + 2 * 1.2816;
    QTest::newRow("three, Tд = Tкр") << three << 13.0 << 2.0 << 13.0 << 0.5 << 0.5 << 13.0;
    QTest::newRow("three, Tд = 10: z = -1,5")
        << three << 13.0 << 2.0 << 10.0 << 0.0668 << 0.1 << 13 - 2 * 1.2816;
    QTest::newRow("three, Tд before the start")
        << three << 13.0 << 2.0 << -1.0 << 0.0 << 0.99 << 13 + 2 * 2.3263;
    QTest::newRow("two, Tд = 15,4: z = 1")
        << two << 13.0 << 2.4 << 15.4 << 0.8413 << 0.95 << 13 + 2.4 * 1.645;
    QTest::newRow("two, Tд = 8,2: z = -2")
        << two << 13.0 << 2.4 << 8.2 << 0.0228 << 0.8 << 13 + 2.4 * 0.8416;
}

void TestRiskAnalytic::textbookExample()
{
    QFETCH(int, method);
    QFETCH(double, length);
    QFETCH(double, sigma);
    QFETCH(double, directive);
    QFETCH(double, probability);
    QFETCH(double, confidence);
    QFETCH(double, reached);

    const RiskNetwork network(textbookWorks(), 5, 0, 4);
    const AnalyticRisk risk(network, EstimateMethod(method));
    QVERIFY(std::abs(risk.expectedLength() - length) < 1e-15L);
    QVERIFY(std::abs(risk.sigma() - sigma) < 1e-15L);
    QCOMPARE(risk.criticalPath(), (std::vector<int>{0, 1, 2}));
    QVERIFY2(std::abs(double(risk.probabilityOfMeeting(directive)) - probability) < 5e-5,
             qPrintable(QString::number(double(risk.probabilityOfMeeting(directive)))));
    QVERIFY2(std::abs(double(risk.lengthWithProbability(confidence)) - reached) < 1e-3,
             qPrintable(QString::number(double(risk.lengthWithProbability(confidence)))));
}

void TestRiskAnalytic::tiedDecimalPathsTakeTheLargerVariance()
{
    // Both paths have the expected length 97/6 in decimals, but the second one's expected
    // durations, computed and summed in long double, come out 2^-59 longer. Its variance is
    // smaller, so the tie must be seen exactly for the first path's σ to be taken.
    const std::vector<RiskWork> works{work(0, 1, 0.5L, 3.0L, 6.4L), work(1, 2, 2.7L, 6.3L, 6.8L),
                                      work(2, 3, 4.6L, 7.5L, 8.8L), work(0, 4, 5.7L, 8.1L, 12.6L),
                                      work(4, 3, 7.7L, 7.7L, 7.8L)};
    long double floatingFirst = 0;
    long double floatingSecond = 0;
    for (std::size_t k = 0; k < works.size(); ++k)
        (k < 3 ? floatingFirst : floatingSecond) +=
            estimate(works[k], EstimateMethod::ThreePoint).expected;
    QVERIFY(floatingSecond > floatingFirst); // the trap is armed

    const RiskNetwork network(works, 5, 0, 3);
    const AnalyticRisk risk(network, EstimateMethod::ThreePoint);
    QCOMPARE(risk.criticalPath(), (std::vector<int>{0, 1, 2}));
    QVERIFY(std::abs(risk.sigma() - std::sqrt(69.26L) / 6) < 1e-15L);
    QVERIFY(std::abs(risk.expectedLength() - 97.0L / 6) < 1e-15L);
}

void TestRiskAnalytic::fixedLengthIsMetOrNotExactly()
{
    // No estimates: σ = 0, and the directive is compared with the decimals of the durations.
    const RiskNetwork network({fixed(0, 1, 0.1L), fixed(1, 2, 0.6L), fixed(0, 2, 0.3L)}, 3, 0, 2);
    const AnalyticRisk risk(network, EstimateMethod::ThreePoint);
    QCOMPARE(risk.sigma(), 0.0L);
    QVERIFY(0.1L + 0.6L > 0.7L); // summed in long double, the length would miss 0,7
    QCOMPARE(risk.probabilityOfMeeting(0.7L), 1.0L);
    QCOMPARE(risk.probabilityOfMeeting(0.69999L), 0.0L);
    QCOMPARE(risk.lengthWithProbability(0.95L), risk.expectedLength());
}

void TestRiskAnalytic::badNetworksRaise_data()
{
    QTest::addColumn<int>("shape");
    QTest::addColumn<QString>("message");
    QTest::newRow("loop on a path") << 0 << loopMessage({u"C"_s, u"B"_s, u"C"_s});
    QTest::newRow("end unreachable") << 1 << u"Событие «D» недостижимо из начального события «A»"_s;
    QTest::newRow("estimates out of order")
        << 2
        << u"Работа B – C: оценки должны идти по порядку: оптимистическая ≤ наиболее "
           u"вероятная ≤ пессимистическая"_s;
}

void TestRiskAnalytic::badNetworksRaise()
{
    QFETCH(int, shape);
    QFETCH(QString, message);
    std::vector<RiskWork> works{fixed(0, 1, 1), fixed(1, 2, 1), fixed(2, 3, 1)};
    if (shape == 0)
        works.push_back(fixed(2, 1, 1));
    if (shape == 1)
        works.pop_back();
    if (shape == 2)
        works[1] = work(1, 2, 2, 1, 3);
    // A loop off every path from the start to the end changes nothing.
    works.push_back(fixed(3, 3, 1));
    try {
        const RiskNetwork network(works, 4, 0, shape == 1 ? 3 : 2,
                                  {u"A"_s, u"B"_s, u"C"_s, u"D"_s});
        QFAIL("no error");
    } catch (const KestrinError& error) {
        QCOMPARE(error.message(), message);
    }
}

QTEST_GUILESS_MAIN(TestRiskAnalytic)
#include "tst_risk_analytic.moc"
