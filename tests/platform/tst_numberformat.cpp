#include "CheckedArithmetic.h"
#include "KestrinError.h"
#include "NumberFormat.h"

#include <QRandomGenerator>
#include <QTest>

#include <charconv>
#include <string>

#include <cmath>
#include <functional>
#include <limits>

class TestNumberFormat : public QObject
{
    Q_OBJECT

private slots:
    void formatsGeneralText_data();
    void formatsGeneralText();
    void parsesAcceptedTexts_data();
    void parsesAcceptedTexts();
    void rejectsOtherTexts_data();
    void rejectsOtherTexts();
    void roundTripsThroughText();
    void readsTheCorrectlyRoundedValue();
    void writesTheCorrectlyRoundedDigits();
    void refusesNonFiniteValues();
    void arithmeticRaisesFloatingPointErrors();
};

void TestNumberFormat::formatsGeneralText_data()
{
    QTest::addColumn<QString>("separator");
    QTest::addColumn<long double>("value");
    QTest::addColumn<QString>("text");

    const QString point = QStringLiteral(".");
    const QString comma = QStringLiteral(",");
    QTest::newRow("zero") << point << 0.0L << QStringLiteral("0");
    QTest::newRow("negative zero") << point << -0.0L << QStringLiteral("0");
    QTest::newRow("integer") << point << 8.0L << QStringLiteral("8");
    QTest::newRow("half, comma") << comma << 2.5L << QStringLiteral("2,5");
    QTest::newRow("0.1+0.2 rounds to 15 digits") << point << (0.1L + 0.2L) << QStringLiteral("0.3");
    QTest::newRow("rounding at digit 15")
        << point << 1.23456789012345678L << QStringLiteral("1.23456789012346");
    QTest::newRow("largest fixed")
        << point << 999999999999999.0L << QStringLiteral("999999999999999");
    QTest::newRow("rounds up into exponent form")
        << point << 999999999999999.9L << QStringLiteral("1E15");
    QTest::newRow("1e15") << point << 1e15L << QStringLiteral("1E15");
    QTest::newRow("1e-5 is fixed") << point << 1e-5L << QStringLiteral("0.00001");
    QTest::newRow("below 1e-5, comma") << comma << 1.5e-6L << QStringLiteral("1,5E-6");
    QTest::newRow("negative exponent form") << point << -2.5e20L << QStringLiteral("-2.5E20");
    QTest::newRow("tiny artefact")
        << point << 4.33680868994201774e-19L << QStringLiteral("4.33680868994202E-19");
    QTest::newRow("huge") << point << 1.5e4000L << QStringLiteral("1.5E4000");
    QTest::newRow("negative fraction") << point << -0.125L << QStringLiteral("-0.125");
    QTest::newRow("no thousands separator") << comma << 1234567.0L << QStringLiteral("1234567");
    QTest::newRow("tie rounds to even, up")
        << point << 123456789012345.5L << QStringLiteral("123456789012346");
    QTest::newRow("tie rounds to even, down")
        << point << 12345678901234.25L << QStringLiteral("12345678901234.2");
    QTest::newRow("long separator")
        << QStringLiteral("<sep>") << -0.03125L << QStringLiteral("-0<sep>03125");
}

void TestNumberFormat::formatsGeneralText()
{
    QFETCH(QString, separator);
    QFETCH(long double, value);
    QFETCH(QString, text);
    QCOMPARE(NumberFormat(separator).format(value), text);
}

void TestNumberFormat::parsesAcceptedTexts_data()
{
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QString>("text");
    QTest::addColumn<long double>("value");

    const QString point = QStringLiteral(".");
    const QString comma = QStringLiteral(",");
    QTest::newRow("exponent") << point << QStringLiteral("1e3") << 1000.0L;
    QTest::newRow("upper exponent with sign") << point << QStringLiteral("2.5E-1") << 0.25L;
    QTest::newRow("spaces around") << point << QStringLiteral(" 5 ") << 5.0L;
    QTest::newRow("comma locale") << comma << QStringLiteral("5,5") << 5.5L;
    QTest::newRow("leading plus") << point << QStringLiteral("+7") << 7.0L;
    QTest::newRow("negative") << point << QStringLiteral("-1") << -1.0L;
    QTest::newRow("bare fraction") << point << QStringLiteral(".5") << 0.5L;
    QTest::newRow("trailing separator") << point << QStringLiteral("5.") << 5.0L;
    QTest::newRow("decimal tenth is the long double nearest")
        << point << QStringLiteral("0.1") << 0.1L;
    QTest::newRow("underflow reads as zero") << point << QStringLiteral("1e-99999") << 0.0L;
}

void TestNumberFormat::parsesAcceptedTexts()
{
    QFETCH(QString, separator);
    QFETCH(QString, text);
    QFETCH(long double, value);
    QCOMPARE(NumberFormat(separator).parse(text), value);
}

void TestNumberFormat::rejectsOtherTexts_data()
{
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QString>("text");

    const QString point = QStringLiteral(".");
    const QString comma = QStringLiteral(",");
    QTest::newRow("empty") << point << QString();
    QTest::newRow("blank") << point << QStringLiteral("  ");
    QTest::newRow("comma in point locale") << point << QStringLiteral("5,5");
    QTest::newRow("point in comma locale") << comma << QStringLiteral("5.5");
    QTest::newRow("overflow") << point << QStringLiteral("1e99999");
    QTest::newRow("inf") << point << QStringLiteral("inf");
    QTest::newRow("nan") << point << QStringLiteral("nan");
    QTest::newRow("hex") << point << QStringLiteral("0x10");
    QTest::newRow("thousands separator") << comma << QStringLiteral("1 000");
    QTest::newRow("two separators") << point << QStringLiteral("1.2.3");
    QTest::newRow("exponent without digits") << point << QStringLiteral("1e");
    QTest::newRow("letter") << point << QStringLiteral("a");
    QTest::newRow("lone sign") << point << QStringLiteral("-");
    QTest::newRow("lone separator") << point << QStringLiteral(".");
    QTest::newRow("tab is no blank") << point << QStringLiteral("\t5");
}

void TestNumberFormat::rejectsOtherTexts()
{
    QFETCH(QString, separator);
    QFETCH(QString, text);
    const NumberFormat format(separator);
    QVERIFY(!format.tryParse(text).has_value());
    try {
        format.parse(text);
        QFAIL("parse accepted the text");
    } catch (const KestrinError& error) {
        QCOMPARE(error.message(),
                 QStringLiteral("'%1' is not a valid floating point value").arg(text));
    }
}

void TestNumberFormat::roundTripsThroughText()
{
    // Every general number text reads back to the 15-digit rounding of the value it came from,
    // and writing that again gives the same text: the chaining of computed cells is stable.
    const NumberFormat format(QStringLiteral(","));
    const long double values[] = {0.1L + 0.2L,
                                  1.0L / 3.0L,
                                  2.0L / 3.0L * 1e-7L,
                                  12345.678901234567L,
                                  -98765.4321L,
                                  6.6L - (1.1L + 2.2L + 3.3L),
                                  1e300L,
                                  7e-300L};
    for (long double value : values) {
        const QString text = format.format(value);
        const long double back = format.parse(text);
        QCOMPARE(format.format(back), text);
        QVERIFY(std::fabs(back - value) <= std::fabs(value) * 1e-14L);
    }
}

void TestNumberFormat::readsTheCorrectlyRoundedValue()
{
    // The parser's exact shortcut for short decimals must agree with the standard library's
    // correctly rounded conversion on every text, near the shortcut's limits included.
    const NumberFormat format(QStringLiteral("."));
    QRandomGenerator random(42);
    for (int i = 0; i < 20000; ++i) {
        std::string digits;
        const int length = 1 + random.bounded(24);
        for (int d = 0; d < length; ++d)
            digits.push_back(static_cast<char>('0' + random.bounded(10)));
        const int point = random.bounded(length + 1);
        std::string ascii = digits.substr(0, point) + "." + digits.substr(point);
        if (random.bounded(3) == 0) {
            ascii.push_back('e');
            ascii.append(std::to_string(random.bounded(-40, 41)));
        }
        long double expected = 0;
        std::from_chars(ascii.data(), ascii.data() + ascii.size(), expected);
        const long double parsed = format.parse(QString::fromStdString(ascii));
        if (parsed != expected)
            QFAIL(qPrintable(QStringLiteral("%1 reads as %2, not %3")
                                 .arg(QString::fromStdString(ascii))
                                 .arg(static_cast<double>(parsed), 0, 'g', 21)
                                 .arg(static_cast<double>(expected), 0, 'g', 21)));
    }
}

void TestNumberFormat::writesTheCorrectlyRoundedDigits()
{
    // The formatter's own exact rounding must give the value of the standard library's
    // correctly rounded 15 digits for every binary value: across the magnitudes where it works,
    // at their edges, and on decimal sums as the schedule makes them.
    const NumberFormat format(QStringLiteral("."));
    QRandomGenerator random(7);
    for (int i = 0; i < 100000; ++i) {
        long double value = 0;
        switch (i % 4) {
        case 0: { // any bit pattern
            const long double mantissa =
                static_cast<long double>(random.generate64() | (1ULL << 63));
            value = std::ldexp(mantissa, random.bounded(-64 - 24, -64 + 56));
            break;
        }
        case 1: // sums of tenths
            for (int n = random.bounded(1, 2000); n > 0; --n)
                value += 0.1L * random.bounded(1, 100);
            break;
        case 2: // whole numbers of any length
            value = static_cast<long double>(random.generate64() >> random.bounded(0, 64));
            break;
        default: // near powers of ten
            value = std::nextafter(std::pow(10.0L, random.bounded(-7, 17)),
                                   random.bounded(2) ? 0.0L : HUGE_VALL);
        }
        char buffer[64];
        const auto written =
            std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
        long double expected = 0;
        std::from_chars(buffer, written.ptr, expected);
        const QString text = format.format(value);
        if (format.parse(text) != expected)
            QFAIL(qPrintable(QStringLiteral("%1 written as %2, not %3")
                                 .arg(static_cast<double>(value), 0, 'g', 21)
                                 .arg(text, QLatin1String(buffer, written.ptr))));
    }
}

void TestNumberFormat::refusesNonFiniteValues()

{
    const NumberFormat format(QStringLiteral("."));
    QVERIFY_THROWS_EXCEPTION(KestrinError, format.format(HUGE_VALL));
    QVERIFY_THROWS_EXCEPTION(KestrinError, format.format(std::nanl("")));
}

void TestNumberFormat::arithmeticRaisesFloatingPointErrors()
{
    const auto messageOf = [](const std::function<void()>& operation) {
        try {
            operation();
        } catch (const KestrinError& error) {
            return error.message();
        }
        return QString();
    };
    const long double huge = std::numeric_limits<long double>::max();
    QCOMPARE(messageOf([&] { checked::add(huge, huge); }),
             QStringLiteral("Floating point overflow"));
    QCOMPARE(messageOf([&] { checked::subtract(-huge, huge); }),
             QStringLiteral("Floating point overflow"));
    QCOMPARE(messageOf([] { checked::divide(0, 0); }),
             QStringLiteral("Invalid floating point operation"));
    QCOMPARE(messageOf([] { checked::divide(1, 0); }),
             QStringLiteral("Floating point division by zero"));
    QCOMPARE(messageOf([] { checked::toDouble(1e400L); }),
             QStringLiteral("Floating point overflow"));
    QCOMPARE(checked::add(0.1L, 0.2L), 0.1L + 0.2L);
    QCOMPARE(checked::toDouble(2.5L), 2.5);
}

QTEST_GUILESS_MAIN(TestNumberFormat)

#include "tst_numberformat.moc"
