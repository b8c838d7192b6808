#include "DateFormat.h"
#include "EventIndex.h"
#include "NameCollation.h"
#include "NetworkAnalysis.h"
#include "NumberFormat.h"
#include "ScheduleTestSupport.h"
#include "WorkTable.h"

#include <QHash>
#include <QTest>

#include <algorithm>
#include <functional>
#include <map>
#include <random>

// Random networks: the analysis against the recalculation of the same network (every time and
// float text for text, or the same failure), and its paths against all paths enumerated.
class TestAnalysisRandom : public QObject
{
    Q_OBJECT

private slots:
    void agreesWithTheRecalculation_data();
    void agreesWithTheRecalculation();
    void listsThePathsAnEnumerationFinds();
    void capsTheCriticalPaths();

private:
    const NumberFormat m_numbers{QStringLiteral(".")};
    const DateFormat m_dates{QStringLiteral("dd.MM.yyyy")};
    const NameCollation m_names{QLocale(QLocale::Russian, QLocale::Russia)};
};

namespace {

// Works between events "1" to "n", mostly forwards (a share of them backwards, which makes
// loops); durations drawn from the list, now and then ("odd" of them) one that is no number.
QList<Work> randomWorks(std::mt19937_64& random, const QStringList& durations, double backward,
                        double odd = 0, int mostEvents = 10)
{
    std::uniform_real_distribution<double> share(0, 1);
    const int events = std::uniform_int_distribution<int>(3, mostEvents)(random);
    std::uniform_int_distribution<int> event(1, events);
    std::uniform_int_distribution<int> duration(0, int(durations.size()) - 1);
    QList<Work> works;
    for (int from = 1; from < events; ++from) // every event leads on
        works.append({QString::number(from), QString::number(from + 1 + int(share(random) * 2)),
                      durations[duration(random)]});
    const int more = std::uniform_int_distribution<int>(0, 3 * events)(random);
    for (int i = 0; i < more; ++i) {
        int from = event(random);
        int to = event(random);
        if ((from > to) != (share(random) < backward))
            std::swap(from, to);
        if (from != to)
            works.append({QString::number(from), QString::number(to), durations[duration(random)]});
    }
    std::shuffle(works.begin(), works.end(), random);
    for (Work& work : works) {
        // The "leads on" works may point past the last event.
        if (work.end.toInt() > events)
            work.end = QString::number(events);
        if (share(random) < odd)
            work.duration = share(random) < 0.5 ? QStringLiteral("x") : QString();
    }
    return works;
}

QString lastEvent(const WorkCells& table)
{
    int last = 1;
    for (int row = 0; row < table.rowCount(); ++row)
        last = std::max(last, table.cellView(WorkColumn::EndEvent, row).toInt());
    return QString::number(last);
}

QHash<QString, QStringList> rowsByFirstCell(const AnalysisPage& page)
{
    QHash<QString, QStringList> rows;
    for (int row = 0; row < page.rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < page.columnCount(); ++column)
            cells.append(page.text(row, column));
        rows.insert(cells.first(), cells);
    }
    return rows;
}

} // namespace

void TestAnalysisRandom::agreesWithTheRecalculation_data()
{
    QTest::addColumn<QString>("durations");
    QTest::addColumn<double>("backward");
    QTest::addColumn<double>("odd");
    QTest::addColumn<quint64>("seed");
    // 1.1 + 2.2 rounds above 3.3, 1.3 + 0.9 below 2.2: sums in another order give other texts.
    QTest::newRow("decimals that round")
        << "0|0.1|0.2|0.3|1.1|2.2|3.3|6.6|2.5|0.9|1.3" << 0.0 << 0.0 << quint64(21);
    QTest::newRow("loops and bad durations") << "1|2|0|2.5|-1|0.3" << 0.03 << 0.01 << quint64(22);
}

void TestAnalysisRandom::agreesWithTheRecalculation()
{
    QFETCH(QString, durations);
    QFETCH(double, backward);
    QFETCH(double, odd);
    QFETCH(quint64, seed);
    std::mt19937_64 random(seed);
    int compared = 0;
    int failed = 0;
    for (int network = 0; network < 400; ++network) {
        WorkTable table;
        setWorks(table, randomWorks(random, durations.split(u'|'), backward, odd));
        const QString last = lastEvent(table);
        const EventIndex events(table, m_names);
        const NetworkAnalysis analysis(table, events, QStringLiteral("1"), last, 45000.5, m_numbers,
                                       m_dates);
        const RecalculationResult recalculated = runRecalculation(
            table, QStringLiteral("1"), last, 45000.5, m_numbers, m_dates, m_names);
        const AnalysisPage& check = analysis.page(NetworkAnalysis::Check);
        if (!recalculated.error.isEmpty()) {
            ++failed;
            QVERIFY(!analysis.timesKnown());
            QCOMPARE(check.text(0, 1),
                     QStringLiteral("Сроки не рассчитаны: ") + recalculated.error);
            continue;
        }
        QVERIFY(analysis.timesKnown());
        const QHash<QString, QStringList> times =
            rowsByFirstCell(analysis.page(NetworkAnalysis::Events));
        const QHash<QString, QStringList> works =
            rowsByFirstCell(analysis.page(NetworkAnalysis::Tension));
        for (int row = 0; row < table.rowCount(); ++row) {
            const QStringList& work = works[QString::number(row + 1)];
            QCOMPARE(work.value(4), table.cell(WorkColumn::TotalFloat, row));
            QCOMPARE(work.value(5), table.cell(WorkColumn::FreeFloat, row));
            const auto start = times.find(table.cell(WorkColumn::StartEvent, row));
            const auto finish = times.find(table.cell(WorkColumn::EndEvent, row));
            if (start != times.end())
                QCOMPARE(start->value(1), table.cell(WorkColumn::EarlyStart, row));
            if (finish != times.end())
                QCOMPARE(finish->value(2), table.cell(WorkColumn::LateFinish, row));
            compared += start != times.end() && finish != times.end() ? 1 : 0;
        }
        // The first critical path is the one the path line shows.
        if (!recalculated.criticalPath.isEmpty())
            QCOMPARE(analysis.page(NetworkAnalysis::Paths).text(0, 4),
                     recalculated.criticalPath.join(QStringLiteral(" -> ")));
    }
    QVERIFY(compared > 1000);
    QVERIFY(failed > 40 || odd == 0);
}

void TestAnalysisRandom::listsThePathsAnEnumerationFinds()
{
    std::mt19937_64 random(23);
    const QStringList durations = QString::fromLatin1("0|1|2|3|2.5|0.5|4").split(u'|');
    for (int network = 0; network < 300; ++network) {
        WorkTable table;
        setWorks(table, randomWorks(random, durations, 0, 0, 16));
        const QString last = lastEvent(table);

        // Every path from 1 to the last event, depth first with the successors in the order of
        // their first work, each step adding the durations of all works between its events.
        QStringList successorsOrder;
        std::map<std::pair<QString, QString>, QList<long double>> steps;
        QHash<QString, QStringList> successors;
        for (int row = 0; row < table.rowCount(); ++row) {
            const QString from = table.cell(WorkColumn::StartEvent, row);
            const QString to = table.cell(WorkColumn::EndEvent, row);
            if (!successors[from].contains(to))
                successors[from].append(to);
            steps[{from, to}].append(m_numbers.parse(table.cell(WorkColumn::Duration, row)));
        }
        QList<std::pair<long double, QStringList>> paths;
        const std::function<void(QStringList, long double)> walk = [&](QStringList path,
                                                                       long double total) {
            if (path.last() == last) {
                paths.append({total, path});
                return;
            }
            for (const QString& next : successors.value(path.last())) {
                long double extended = total;
                for (const long double duration : steps[{path.last(), next}])
                    extended += duration;
                walk(path + QStringList{next}, extended);
            }
        };
        walk({QStringLiteral("1")}, 0);
        long double length = 0;
        for (const auto& path : paths)
            length = std::max(length, path.first);
        QStringList critical;
        QList<long double> others;
        for (const auto& path : paths) {
            if (length > 0 && path.first == length)
                critical.append(path.second.join(QStringLiteral(" -> ")));
            else if (path.first != length)
                others.append(path.first);
        }
        std::sort(others.begin(), others.end(), std::greater<>());
        others = others.mid(0, 20);

        const EventIndex events(table, m_names);
        const NetworkAnalysis analysis(table, events, QStringLiteral("1"), last, 0, m_numbers,
                                       m_dates);
        const AnalysisPage& shown = analysis.page(NetworkAnalysis::Paths);
        QStringList criticalShown;
        QList<long double> othersShown;
        for (int row = 0; row < shown.rowCount(); ++row) {
            if (shown.text(row, 1) == QStringLiteral("критический"))
                criticalShown.append(shown.text(row, 4));
            else if (!shown.text(row, 1).isEmpty())
                othersShown.append(m_numbers.parse(shown.text(row, 2)));
        }
        QCOMPARE(criticalShown, critical);
        QCOMPARE(othersShown, others);
    }
}

void TestAnalysisRandom::capsTheCriticalPaths()
{
    // Twelve layers of two events, each joined to both of the next: 4096 paths of equal length.
    QList<Work> works;
    for (int layer = 0; layer < 12; ++layer)
        for (const char* from : {"a", "b"})
            for (const char* to : {"a", "b"})
                works.append({QString::number(layer) + QLatin1String(from),
                              QString::number(layer + 1) + QLatin1String(to), QStringLiteral("1")});
    WorkTable table;
    setWorks(table, works);
    const EventIndex events(table, m_names);
    const NetworkAnalysis analysis(table, events, QStringLiteral("0a"), QStringLiteral("12a"), 0,
                                   m_numbers, m_dates);
    const AnalysisPage& paths = analysis.page(NetworkAnalysis::Paths);
    QCOMPARE(paths.rowCount(), 1001);
    QCOMPARE(paths.text(999, 0), QStringLiteral("1000"));
    QCOMPARE(paths.text(1000, 4),
             QStringLiteral("Критических путей больше 1000; показаны первые 1000"));
    // Depth first, "a" before "b": the 1000th path spells 999 in binary, b for a one.
    QCOMPARE(paths.text(999, 4), QStringLiteral("0a -> 1a -> 2b -> 3b -> 4b -> 5b -> 6b -> 7a -> "
                                                "8a -> 9b -> 10b -> 11b -> 12a"));
}

QTEST_GUILESS_MAIN(TestAnalysisRandom)
#include "tst_analysis_random.moc"
