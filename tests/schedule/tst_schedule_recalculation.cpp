#include "DateFormat.h"
#include "NameCollation.h"
#include "NumberFormat.h"
#include "ScheduleTestSupport.h"
#include "WorkTable.h"

#include <QRandomGenerator>
#include <QTest>

// The recalculation as the main window runs it: path line, computed cells, what a failure leaves.
class TestRecalculation : public QObject
{
    Q_OBJECT

private slots:
    void fillsEveryCell_data();
    void fillsEveryCell();
    void stopsWhereTheFailureIs_data();
    void stopsWhereTheFailureIs();
    void showsNoStalePath();
    void rowsWrittenOnSeveralThreadsMatchOneThread();

private:
    RecalculationResult recalculate(WorkTable& table, const QString& from, const QString& to,
                                    RecalculationResult before = {}) const
    {
        return runRecalculation(table, from, to, m_startDate, m_numbers, m_dates, m_names,
                                std::move(before));
    }

    const NumberFormat m_numbers{QStringLiteral(".")};
    const DateFormat m_dates{QStringLiteral("dd.MM.yyyy")};
    const NameCollation m_names{QLocale(QLocale::Russian, QLocale::Russia)};
    const double m_startDate = 45000.75; // 15.03.2023, 18:00
};

namespace {

// Computed cells of one row, columns 0 and 4 to 10, separated by "|".
QString computed(const WorkCells& table, int row)
{
    QStringList texts;
    for (const int column : {0, 4, 5, 6, 7, 8, 9, 10})
        texts.append(table.cell(WorkColumn(column), row));
    return texts.join(QLatin1Char('|'));
}

QString line(const char* events, const char* length)
{
    QString text =
        QStringLiteral("    Критический путь [L=") + QLatin1String(length) + QStringLiteral("]: ");
    const QStringList list = QString::fromUtf8(events).split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < list.size(); ++i)
        text += QStringLiteral(" ' ") + list[i] +
                (i + 1 < list.size() ? QStringLiteral(" '  -> ") : QStringLiteral(" ' "));
    return text;
}

} // namespace

void TestRecalculation::fillsEveryCell_data()
{
    QTest::addColumn<QString>("works");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("pathLine");
    QTest::addColumn<QStringList>("rows"); // computed cells of each row

    const auto row = [](const char* name, const char* works, const char* from, const char* to,
                        QString pathLine, std::initializer_list<const char*> rows) {
        QTest::newRow(name) << QString::fromUtf8(works) << QString::fromUtf8(from)
                            << QString::fromUtf8(to) << pathLine << texts(rows);
    };
    row("four works", "1>2:3;1>3:2;2>4:4;3>4:6", "1", "4", line("1,3,4", "8"),
        {"0|0|3|1|4|1|0|15.03.2023", "0|0|2|0|2|0|0|15.03.2023", "1|3|7|4|8|1|1|18.03.2023",
         "1|2|8|2|8|0|0|17.03.2023"});
    // Each late finish is a fresh left-to-right sum from the work's end event: s->a's equals L
    // to the last bit, while 1.1 + 2.2 + 3.3 rounds just above 6.6 and shows in the free floats
    // of the works that end at e.
    row("left-to-right sums", "s>a:0;a>b:1.1;b>c:2.2;c>e:3.3;a>e:6.6", "s", "e",
        line("s,a,b,c,e", "6.6"),
        {"0|0|0|0|0|0|0|15.03.2023", "1|0|1.1|0|1.1|0|0|15.03.2023",
         "1|1.1|3.3|1.1|3.3|0|0|16.03.2023", "1|3.3|6.6|3.3|6.6|0|4.33680868994202E-19|19.03.2023",
         "1|0|6.6|0|6.6|0|4.33680868994202E-19|15.03.2023"});
    row("fractions carry into the date", "1>2:2.5;2>3:0.25", "1", "3", line("1,2,3", "2.75"),
        {"0|0|2.5|0|2.5|0|0|15.03.2023", "1|2.5|2.75|2.5|2.75|0|0|18.03.2023"});
    row("unreachable start and dead end", "1>2:3;5>2:1;2>9:1", "1", "2", line("1,2", "3"),
        {"0|0|3|0|3|0|0|15.03.2023", "0|0|1|2|3|2|2|15.03.2023", "2|3|4|2|3|-1|-1|18.03.2023"});
    row("start equals end: no path, negative floats", "1>2:3;2>3:4", "2", "2", line("", "0"),
        {"0|0|3|-3|0|-3|-3|15.03.2023", "1|0|4|-4|0|-4|-4|15.03.2023"});
    row("blank rows are left empty", ";1>2:3;;2>3:4", "1", "3", line("1,2,3", "7"),
        {"|||||||", "0|0|3|0|3|0|0|15.03.2023", "|||||||", "1|3|7|3|7|0|0|18.03.2023"});
    row("the empty table", "", "1", "2", line("", "0"), {"|||||||"});
    row("loop through the end event changes nothing", "s>a:1;a>e:2;e>b:1;b>e:1", "s", "e",
        line("s,a,e", "3"),
        {"0|0|1|0|1|0|0|15.03.2023", "1|1|3|1|3|0|0|16.03.2023", "2|3|4|1|2|-2|0|18.03.2023",
         "1|4|5|2|3|-2|-2|19.03.2023"});
}

void TestRecalculation::fillsEveryCell()
{
    QFETCH(QString, works);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QString, pathLine);
    QFETCH(QStringList, rows);

    WorkTable table;
    setWorks(table, worksFrom(works));
    const RecalculationResult result = recalculate(table, from, to);
    QCOMPARE(result.error, QString());
    QCOMPARE(result.pathLine, pathLine);
    QCOMPARE(table.rowCount(), rows.size());
    for (int row = 0; row < rows.size(); ++row)
        QCOMPARE(computed(table, row), rows[row]);
}

void TestRecalculation::stopsWhereTheFailureIs_data()
{
    QTest::addColumn<QString>("works");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QString>("pathLine");
    QTest::addColumn<QStringList>("rows"); // computed cells after the failure; "old" was there

    const auto row = [](const char* name, const char* works, const char* error, QString pathLine,
                        std::initializer_list<const char*> rows) {
        QTest::newRow(name) << QString::fromUtf8(works) << QString::fromUtf8(error) << pathLine
                            << texts(rows);
    };
    const char* const old = "old|old|old|old|old|old|old|old";
    const QString oldLine = QStringLiteral("old line");
    row("bad duration on the critical path: before the line", "1>2:3;2>3:x",
        "'x' is not a valid floating point value", oldLine, {old, old});
    row("bad duration on no complete path: at its own row", "1>2:3;5>6:y;2>3:4",
        "'y' is not a valid floating point value", line("1,2,3", "7"),
        {"0|0|3|0|3|0|old|old", "0|0|old|old|old|old|old|old", old});
    row("bad duration met by an early start search", "1>2:3;2>3:4;4>5:1;1>4:z",
        "'z' is not a valid floating point value", line("1,2,3", "7"),
        {"0|0|3|0|3|0|old|old", "1|3|7|3|7|0|old|old", "1|old|old|old|old|old|old|old", old});
    row("start event only: empty duration",
        "1>2:3;2>3:4;2>:", "'' is not a valid floating point value", line("1,2,3", "7"),
        {"0|0|3|0|3|0|old|old", "1|3|7|3|7|0|old|old", "1|3|old|old|old|old|old|old"});
    row("loop met by a late finish search", "1>2:3;2>3:4;3>5:1;5>6:1;6>5:1",
        "Сетевой график содержит цикл: 5 -> 6 -> 5", line("1,2,3", "7"),
        {"0|0|3|0|3|0|old|old", "1|3|7|3|7|0|old|old", "1|7|8|old|old|old|old|old", old, old});
    row("loop on the way to the end event", "1>2:3;2>1:4;2>3:1",
        "Сетевой график содержит цикл: 1 -> 2 -> 1", oldLine, {old, old, old});
}

void TestRecalculation::stopsWhereTheFailureIs()
{
    QFETCH(QString, works);
    QFETCH(QString, error);
    QFETCH(QString, pathLine);
    QFETCH(QStringList, rows);

    WorkTable table;
    setWorks(table, worksFrom(works));
    for (int row = 0; row < table.rowCount(); ++row) {
        for (const int column : {0, 4, 5, 6, 7, 8, 9, 10})
            table.setCell(WorkColumn(column), row, QStringLiteral("old"));
    }
    const RecalculationResult before{QString(), {QStringLiteral("p")}, QStringLiteral("old line")};
    const RecalculationResult result =
        recalculate(table, QStringLiteral("1"), QStringLiteral("3"), before);
    QCOMPARE(result.error, error);
    QCOMPARE(result.pathLine, pathLine);
    QCOMPARE(result.criticalPath,
             pathLine == before.pathLine ? before.criticalPath : texts({"1", "2", "3"}));
    for (int row = 0; row < rows.size(); ++row)
        QCOMPARE(computed(table, row), rows[row]);
}

void TestRecalculation::showsNoStalePath()
{
    WorkTable table;
    setWorks(table, worksFrom(QStringLiteral("1>2:3;2>3:4")));
    RecalculationResult result = recalculate(table, QStringLiteral("1"), QStringLiteral("3"));
    QCOMPARE(result.criticalPath, texts({"1", "2", "3"}));
    result = recalculate(table, QStringLiteral("3"), QStringLiteral("1"), result);
    QCOMPARE(result.criticalPath, QStringList());
    QCOMPARE(result.pathLine, line("", "0"));
}

void TestRecalculation::rowsWrittenOnSeveralThreadsMatchOneThread()
{
    // Within a batch the rows are written on several threads; outside one, on this thread.
    QList<Work> works;
    QRandomGenerator random(5);
    constexpr int kEvents = 10000;
    for (int i = 0; i < 2 * kEvents; ++i) {
        const int from = i < kEvents - 1 ? i + 1 : random.bounded(1, kEvents - 1);
        works.append({QString::number(from),
                      QString::number(std::min(kEvents, from + random.bounded(1, 8))),
                      QString::number(random.bounded(1, 100) / 4.0)});
    }
    works.append(Work{}); // a blank row among them
    works.swapItemsAt(17, works.size() - 1);
    WorkTable alone;
    setWorks(alone, works);
    const RecalculationResult one =
        recalculate(alone, QStringLiteral("1"), QString::number(kEvents));
    WorkTable batched;
    setWorks(batched, works);
    RecalculationResult several;
    {
        const WorkTable::Batch batch(batched);
        QVERIFY(batched.takesRowsConcurrently());
        several = recalculate(batched, QStringLiteral("1"), QString::number(kEvents));
    }
    QCOMPARE(one.error, QString());
    QCOMPARE(several.pathLine, one.pathLine);
    QCOMPARE(allCells(batched), allCells(alone));
    QVERIFY(!allCells(alone).at(15000).at(4).isEmpty());
}

QTEST_GUILESS_MAIN(TestRecalculation)
#include "tst_schedule_recalculation.moc"
