#include "DateFormat.h"
#include "KestrinError.h"

#include <QTest>

class TestDateFormat : public QObject
{
    Q_OBJECT

private slots:
    void widensTwoDigitYears_data();
    void widensTwoDigitYears();
    void formatsDayCounts_data();
    void formatsDayCounts();
    void parsesItsOwnTextsBack();
    void parsesDateFollowedByTime();
    void rejectsOtherTexts_data();
    void rejectsOtherTexts();
    void refusesDaysBeyondTheCalendar();
};

void TestDateFormat::widensTwoDigitYears_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("day");

    QTest::newRow("Russian") << QLocale(QLocale::Russian, QLocale::Russia)
                             << QStringLiteral("30.12.1899");
    QTest::newRow("US English") << QLocale(QLocale::English, QLocale::UnitedStates)
                                << QStringLiteral("12/30/1899");
    QTest::newRow("German") << QLocale(QLocale::German, QLocale::Germany)
                            << QStringLiteral("30.12.1899");
    QTest::newRow("Korean") << QLocale(QLocale::Korean, QLocale::SouthKorea)
                            << QStringLiteral("1899. 12. 30.");
    QTest::newRow("C locale, ISO order") << QLocale::c() << QStringLiteral("1899-12-30");
    QTest::newRow("Finnish, unpadded day and month")
        << QLocale(QLocale::Finnish, QLocale::Finland) << QStringLiteral("30.12.1899");
}

void TestDateFormat::widensTwoDigitYears()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, day);
    const DateFormat format(locale);
    QVERIFY(format.shortDatePattern().contains(QStringLiteral("yyyy")));
    QCOMPARE(format.formatDate(0.0001965077760934254), day);
    QCOMPARE(format.parse(day), 0.0);
    // The short way for numeric patterns writes what Qt's pattern machinery writes.
    for (double days = 1; days < 2'900'000; days = days * 1.7 + 13) {
        for (const double signedDays : {days, -days / 4.2}) {
            QCOMPARE(
                format.formatDate(signedDays),
                QLocale::c().toString(DateFormat::dateOf(signedDays), format.shortDatePattern()));
        }
    }
}

void TestDateFormat::formatsDayCounts_data()
{
    QTest::addColumn<double>("days");
    QTest::addColumn<QString>("text");

    QTest::newRow("epoch") << 0.0 << QStringLiteral("30.12.1899");
    QTest::newRow("plus three days") << 3.0 << QStringLiteral("02.01.1900");
    QTest::newRow("fraction stays in its day") << 2.9999 << QStringLiteral("01.01.1900");
    QTest::newRow("a modern day") << 46363.0 << QStringLiteral("07.12.2026");
    QTest::newRow("negative counts back from its whole day")
        << -1.25 << QStringLiteral("29.12.1899");
}

void TestDateFormat::formatsDayCounts()
{
    QFETCH(double, days);
    QFETCH(QString, text);
    QCOMPARE(DateFormat(QStringLiteral("dd.MM.yyyy")).formatDate(days), text);
}

void TestDateFormat::parsesItsOwnTextsBack()
{
    const DateFormat us(QLocale(QLocale::English, QLocale::UnitedStates));
    for (double days : {0.0, 1.0, 59.0, 60.0, 61.0, 36525.0, 46363.0, 2958465.0}) {
        const QString text = us.formatDate(days);
        QCOMPARE(us.parse(text), days);
    }
}

void TestDateFormat::parsesDateFollowedByTime()
{
    // Date and time of day read back as written (24-hour and AM/PM clocks), no time zone.
    for (const QLocale& locale : {QLocale::c(), QLocale(QLocale::English, QLocale::UnitedStates),
                                  QLocale(QLocale::Russian, QLocale::Russia)}) {
        const DateFormat localized(locale);
        const QString stamp = localized.formatDateTime(46363.75);
        QVERIFY2(!stamp.contains(QLatin1Char('t')), qPrintable(stamp));
        QCOMPARE(localized.parse(stamp), 46363.75);
    }

    const DateFormat format(QStringLiteral("dd.MM.yyyy"));
    QCOMPARE(format.parse(QStringLiteral("31.12.1899 12:00")), 1.5);
    QCOMPARE(format.parse(QStringLiteral("31.12.1899 06:00:00")), 1.25);
    QCOMPARE(format.formatDateTime(1.5), QStringLiteral("31.12.1899 12:00:00"));
    QCOMPARE(format.formatDateTime(1.0), QStringLiteral("31.12.1899"));
}

void TestDateFormat::rejectsOtherTexts_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QString();
    QTest::newRow("word") << QStringLiteral("today");
    QTest::newRow("no such day") << QStringLiteral("31.02.2020");
    QTest::newRow("two fields") << QStringLiteral("31.12");
    QTest::newRow("bad time") << QStringLiteral("31.12.2020 25:00");
    QTest::newRow("trailing words") << QStringLiteral("31.12.2020 soon");
}

void TestDateFormat::rejectsOtherTexts()
{
    QFETCH(QString, text);
    try {
        DateFormat(QStringLiteral("dd.MM.yyyy")).parse(text);
        QFAIL("parse accepted the text");
    } catch (const KestrinError& error) {
        QCOMPARE(error.message(), QStringLiteral("'%1' is not a valid date and time").arg(text));
    }
}

void TestDateFormat::refusesDaysBeyondTheCalendar()
{
    const DateFormat format(QStringLiteral("dd.MM.yyyy"));
    QVERIFY_THROWS_EXCEPTION(KestrinError, format.formatDate(1e12));
    QVERIFY_THROWS_EXCEPTION(KestrinError,
                             format.formatDate(std::numeric_limits<double>::infinity()));
}

QTEST_GUILESS_MAIN(TestDateFormat)
#include "tst_dateformat.moc"
