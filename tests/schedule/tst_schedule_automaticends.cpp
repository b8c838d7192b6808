#include "AutomaticEnds.h"
#include "EventIndex.h"
#include "NameCollation.h"
#include "ScheduleTestSupport.h"
#include "WorkTable.h"

#include <QTest>

// The automatic choice of the start and end events from the selectors' sorted lists.
class TestAutomaticEnds : public QObject
{
    Q_OBJECT

private slots:
    void choosesEnds_data();
    void choosesEnds();
};

void TestAutomaticEnds::choosesEnds_data()
{
    QTest::addColumn<QString>("works");
    QTest::addColumn<QStringList>("startList"); // as FillEventLists leaves them: sorted
    QTest::addColumn<QStringList>("endList");
    QTest::addColumn<QString>("start"); // "-": no choice
    QTest::addColumn<QString>("end");

    const auto row =
        [](const char* name, const char* works, std::initializer_list<const char*> startList,
           std::initializer_list<const char*> endList, const char* start, const char* end) {
            QTest::newRow(name) << QString::fromUtf8(works) << texts(startList) << texts(endList)
                                << QString::fromUtf8(start) << QString::fromUtf8(end);
        };
    row("triangle", "1>2:1;2>3:1;1>3:1", {"1", "2"}, {"2", "3"}, "1", "3");
    row("chain, 10 sorts before 2", "1>2:1;2>3:1;3>4:1;4>5:1;5>6:1;6>7:1;7>8:1;8>9:1;9>10:1",
        {"1", "2", "3", "4", "5", "6", "7", "8", "9"},
        {"10", "2", "3", "4", "5", "6", "7", "8", "9"}, "1", "10");
    row("two sources: the later in the list", "1>2:1;5>2:1;2>3:1", {"1", "2", "5"}, {"2", "3"}, "5",
        "3");
    row("cycle: first and last entries", "1>2:1;2>3:1;3>1:1", {"1", "2", "3"}, {"1", "2", "3"}, "1",
        "3");
    row("empty table: texts stay", "", {}, {}, "-", "-");
    row("letter case counts", "a>B:1;b>c:1", {"a", "b"}, {"B", "c"}, "b", "c");
}

void TestAutomaticEnds::choosesEnds()
{
    QFETCH(QString, works);
    QFETCH(QStringList, startList);
    QFETCH(QStringList, endList);
    QFETCH(QString, start);
    QFETCH(QString, end);

    WorkTable table;
    setWorks(table, worksFrom(works));
    const EventIndex events(table, NameCollation(QLocale(QLocale::Russian, QLocale::Russia)));
    QCOMPARE(chooseStartEvent(startList, events).value_or(QStringLiteral("-")), start);
    QCOMPARE(chooseEndEvent(endList, events).value_or(QStringLiteral("-")), end);
}

QTEST_GUILESS_MAIN(TestAutomaticEnds)
#include "tst_schedule_automaticends.moc"
