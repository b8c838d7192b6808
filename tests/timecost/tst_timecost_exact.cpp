#include "Decimal.h"
#include "ExactCost.h"
#include "KestrinError.h"
#include "NumberFormat.h"

#include <QTest>

#include <random>

// The exact numbers under the time–cost engine: number texts read digit for digit, and exact
// costs rounded once to the nearest long double, against the processor's own correctly rounded
// division.
class TstTimeCostExact : public QObject
{
    Q_OBJECT

private slots:
    void readsNumberTextsExactly_data();
    void readsNumberTextsExactly();
    void roundsToTheNearestOnce();
};

void TstTimeCostExact::readsNumberTextsExactly_data()
{
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected"); // units/decimals, written back, or the error

    const auto row = [](const char* name, const char* separator, const char* text,
                        const char* expected) {
        QTest::newRow(name) << QString::fromUtf8(separator) << QString::fromUtf8(text)
                            << QString::fromUtf8(expected);
    };
    row("comma", ",", "0,1", "1/1 0,1");
    row("blanks, sign, exponent", ".", " -2.50E1 ", "-25/0 -25");
    row("small exponent", ".", "1e-3", "1/3 0.001");
    row("zeros", ".", "-0.000", "0/0 0");
    row("leading and trailing zeros", ",", "007,50", "75/1 7,5");
    row("18 digits", ".", "123456789.012345678", "123456789012345678/9 123456789.012345678");
    row("19 digits", ".", "1234567890123456789",
        "Число «1234567890123456789» слишком длинное "
        "для точного расчёта");
    row("19 decimals", ".", "1E-19", "Число «1E-19» слишком длинное для точного расчёта");
    row("too large", ".", "1E19", "Число «1E19» слишком длинное для точного расчёта");
    row("other separator", ".", "1,5", "'1,5' is not a valid floating point value");
}

void TstTimeCostExact::readsNumberTextsExactly()
{
    QFETCH(QString, separator);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    const NumberFormat numbers(separator);
    QString found;
    try {
        const Decimal value = Decimal::parse(text, numbers);
        found = QStringLiteral("%1/%2 %3")
                    .arg(value.units())
                    .arg(value.decimals())
                    .arg(value.text(numbers));
        QCOMPARE(Decimal::parse(value.text(numbers), numbers), value);
    } catch (const KestrinError& error) {
        found = error.message();
    }
    QCOMPARE(found, expected);
}

void TstTimeCostExact::roundsToTheNearestOnce()
{
    using boost::multiprecision::cpp_int;
    // Fractions of 62-bit integers, which long double holds exactly: its division rounds the
    // quotient once, to nearest, ties to even.
    std::mt19937_64 random(42);
    for (int i = 0; i < 20'000; ++i) {
        const int bits = 1 + int(random() % 62);
        const std::int64_t a = std::int64_t(random() >> (64 - bits)) * (i % 2 ? 1 : -1);
        const std::int64_t b = std::int64_t(random() >> (1 + random() % 63)) + 1;
        const long double expected = static_cast<long double>(a) / static_cast<long double>(b);
        QCOMPARE(exactcost::nearest(ExactCost(cpp_int(a), cpp_int(b))), expected);
    }
    // Halfway between two long doubles: to the even one, away from it once anything is beyond.
    const cpp_int two64 = cpp_int(1) << 64;
    QCOMPARE(exactcost::nearest(ExactCost(two64 + 1)), std::ldexp(1.0L, 64));
    QCOMPARE(exactcost::nearest(ExactCost(two64 + 3)), std::ldexp(1.0L, 64) + 4);
    QCOMPARE(exactcost::nearest(ExactCost(two64 + 1) + ExactCost(1, two64)),
             std::ldexp(1.0L, 64) + 2);
    QCOMPARE(exactcost::nearest(ExactCost(1, 3) * 1000), 1000.0L / 3.0L);
}

QTEST_GUILESS_MAIN(TstTimeCostExact)
#include "tst_timecost_exact.moc"
