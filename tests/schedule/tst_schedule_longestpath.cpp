#include "DateFormat.h"
#include "KestrinError.h"
#include "NameCollation.h"
#include "NumberFormat.h"
#include "Recalculation.h"
#include "ReferenceSchedule.h"
#include "ScheduleTestSupport.h"
#include "WorkTable.h"

#include <QTest>

// The longest path search from the critical length's point of view: length, critical path list
// and the errors, each case checked on the program's search and on the reference enumeration.
class TestLongestPath : public QObject
{
    Q_OBJECT

private slots:
    void findsLongestPath_data();
    void findsLongestPath();
    void raisesWhatTheEnumerationMeets_data();
    void raisesWhatTheEnumerationMeets();

private:
    const NumberFormat m_numbers{QStringLiteral(".")};
    const DateFormat m_dates{QStringLiteral("dd.MM.yyyy")};
    const NameCollation m_names{QLocale(QLocale::Russian, QLocale::Russia)};
};

void TestLongestPath::findsLongestPath_data()
{
    QTest::addColumn<QString>("works");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("length");
    QTest::addColumn<QStringList>("path"); // empty: no positive path

    const auto row = [](const char* name, const char* works, const char* from, const char* to,
                        const char* length, const char* path) {
        QTest::newRow(name) << QString::fromUtf8(works) << QString::fromUtf8(from)
                            << QString::fromUtf8(to) << QString::fromLatin1(length)
                            << QString::fromUtf8(path).split(QLatin1Char(','), Qt::SkipEmptyParts);
    };
    row("chain", "1>2:3;2>3:4", "1", "3", "7", "1,2,3");
    row("longer branch", "1>2:3;1>3:2;2>4:4;3>4:6", "1", "4", "8", "1,3,4");
    row("tie: higher row wins", "1>2:2;1>3:2;2>4:2;3>4:2", "1", "4", "4", "1,2,4");
    row("tie, rows swapped", "1>3:2;1>2:2;2>4:2;3>4:2", "1", "4", "4", "1,3,4");
    row("parallel works add up", "1>2:3;1>2:5", "1", "2", "8", "1,2");
    row("to itself", "1>2:3", "1", "1", "0", "");
    row("unreachable", "1>2:3;3>4:1", "1", "4", "0", "");
    row("stops at the target", "1>2:3;2>3:4", "1", "2", "3", "1,2");
    row("empty end event is no successor", "1>:5;1>2:1", "1", "2", "1", "1,2");
    row("negative total never wins", "1>2:-5;2>3:1", "1", "3", "0", "");
    row("successors ignore case: b hides B", "A>b:1;A>B:5;B>C:1", "A", "C", "0", "");
    row("Cyrillic case: ж hides Ж", "s>ж:1;s>Ж:5;Ж>e:1;ж>e:2", "s", "e", "3", "s,ж,e");
    row("Ж summed only under its own spelling", "s>ж:1;ж>e:2;s>Ж:5", "s", "e", "3", "s,ж,e");
    // 1.1 + 2.2 rounds above 3.3 and 1.3 + 0.9 below 2.2: the detour or the direct work wins by
    // one unit in the last place, and the 15-digit length hides which.
    row("rounded detour beats direct work", "s>e:3.3;s>a:1.1;a>e:2.2", "s", "e", "3.3", "s,a,e");
    row("direct work beats rounded detour", "s>a:1.3;a>e:0.9;s>e:2.2", "s", "e", "2.2", "s,e");
    row("near tie decided past the first event", "s>b:3.3;b>e:0;s>a:1.1;a>e:2.2", "s", "e", "3.3",
        "s,a,e");
    row("blank rows are no works", "1>2:3;;2>3:4", "1", "3", "7", "1,2,3");
}

void TestLongestPath::findsLongestPath()
{
    QFETCH(QString, works);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QString, length);
    QFETCH(QStringList, path);

    WorkTable table;
    setWorks(table, worksFrom(works));
    const QStringList earlier = {QStringLiteral("x"), QStringLiteral("y")};

    QStringList fastPath = earlier;
    Recalculation recalculation(table, from, to, 45000, m_numbers, m_dates, m_names);
    QCOMPARE(m_numbers.format(recalculation.criticalLength(fastPath)), length);
    QCOMPARE(fastPath, path);

    // The enumeration itself leaves the list alone when no path is positive.
    QStringList modelPath = earlier;
    const long double modelLength =
        reference::longestPath(table, from, to, &modelPath, {m_numbers, m_dates, m_names});
    QCOMPARE(m_numbers.format(modelLength), length);
    QCOMPARE(modelPath, path.isEmpty() ? earlier : path);
}

void TestLongestPath::raisesWhatTheEnumerationMeets_data()
{
    QTest::addColumn<QString>("works");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("outcome"); // the length, or the error message

    const auto row = [](const char* name, const char* works, const char* from, const char* to,
                        const char* outcome) {
        QTest::newRow(name) << QString::fromUtf8(works) << QString::fromUtf8(from)
                            << QString::fromUtf8(to) << QString::fromUtf8(outcome);
    };
    row("bad duration on a complete path", "1>2:x;2>3:1", "1", "3",
        "'x' is not a valid floating point value");
    row("empty duration on a complete path", "1>2:1;1>3:;3>2:1", "1", "2",
        "'' is not a valid floating point value");
    row("bad duration on a dead end is never read", "1>2:1;2>3:1;1>4:x", "1", "3", "2");
    row("bad duration past the target is never read", "1>2:1;2>3:x", "1", "2", "1");
    row("first failing path in depth-first order", "2>4:b;1>2:1;1>3:1;3>4:a", "1", "4",
        "'b' is not a valid floating point value");
    row("first failing pair along the path", "2>3:late;1>2:early;1>3:1", "1", "3",
        "'early' is not a valid floating point value");
    row("path total beyond the long double range", "1>2:1E4932;2>3:1E4932", "1", "3",
        "Floating point overflow");
    row("loop", "1>2:1;2>1:1", "1", "3", "Сетевой график содержит цикл: 1 -> 2 -> 1");
    row("work from an event to itself", "1>1:1;1>2:1", "1", "2",
        "Сетевой график содержит цикл: 1 -> 1");
    row("loop after a detour", "s>a:1;a>b:1;b>c:1;c>a:1;s>e:1", "s", "e",
        "Сетевой график содержит цикл: a -> b -> c -> a");
    row("loop through the target is left there", "1>2:1;2>3:1;3>2:1", "1", "3", "2");
    row("loop behind the target is never entered", "1>2:1;2>3:1;3>4:1;4>3:1", "1", "3", "2");
}

void TestLongestPath::raisesWhatTheEnumerationMeets()
{
    QFETCH(QString, works);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QString, outcome);

    WorkTable table;
    setWorks(table, worksFrom(works));
    const auto run = [&](auto&& search) -> QString {
        try {
            return m_numbers.format(search());
        } catch (const KestrinError& error) {
            return error.message();
        }
    };
    QStringList path;
    Recalculation recalculation(table, from, to, 45000, m_numbers, m_dates, m_names);
    QCOMPARE(run([&] { return recalculation.criticalLength(path); }), outcome);
    QCOMPARE(
        run([&] {
            return reference::longestPath(table, from, to, nullptr, {m_numbers, m_dates, m_names});
        }),
        outcome);
}

QTEST_GUILESS_MAIN(TestLongestPath)
#include "tst_schedule_longestpath.moc"
