#include "DateFormat.h"
#include "NameCollation.h"
#include "NumberFormat.h"
#include "ReferenceSchedule.h"
#include "ScheduleTestSupport.h"
#include "WorkTable.h"

#include <QTest>

#include <algorithm>
#include <random>

// The program's recalculation against the reference enumeration on thousands of random small
// networks: every cell, the path line, the critical path list and the error message must be the
// same text.
class TestScheduleDifferential : public QObject
{
    Q_OBJECT

private slots:
    void matchesReference_data();
    void matchesReference();
};

namespace {

struct Flavour
{
    QStringList durations; // drawn uniformly
    int rowsAtMost;
    double backwardShare;   // works against the event order, so loops appear
    double chainShare;      // works from one event to the next, so long paths appear
    double detourShare = 0; // a work and a detour of two works whose durations add up to its own
};

// Event names: a few that differ only in letter case, Cyrillic ones among them.
const QStringList kEvents = {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"),
                             QStringLiteral("d"), QStringLiteral("e"), QStringLiteral("f"),
                             QStringLiteral("g"), QStringLiteral("B"), QStringLiteral("ж"),
                             QStringLiteral("Ж"), QStringLiteral("D")};

QList<Work> randomWorks(std::mt19937_64& random, const Flavour& flavour, const QStringList& events)
{
    std::uniform_int_distribution<int> rowCount(1, flavour.rowsAtMost);
    std::uniform_int_distribution<int> eventIndex(0, int(events.size()) - 1);
    std::uniform_int_distribution<int> durationIndex(0, int(flavour.durations.size()) - 1);
    std::uniform_real_distribution<double> share(0, 1);
    QList<Work> works;
    const int rows = rowCount(random);
    for (int row = 0; row < rows; ++row) {
        const double kind = share(random);
        if (kind < 0.03) {
            works.append(Work{});
            continue;
        }
        int from = eventIndex(random);
        int to = eventIndex(random);
        if (share(random) < flavour.chainShare && events.size() > 1) {
            from = std::uniform_int_distribution<int>(0, int(events.size()) - 2)(random);
            to = from + 1;
        }
        // Mostly forwards in the events' order, so that most networks have no loop.
        if ((from > to) != (share(random) < flavour.backwardShare))
            std::swap(from, to);
        if (from == to && share(random) > flavour.backwardShare)
            to = std::min(to + 1, int(events.size()) - 1);
        if (share(random) < flavour.detourShare && events.size() > 2) {
            // Equal in decimal, unequal once rounded: 1.1 + 2.2 > 3.3, 1.3 + 0.9 < 2.2.
            const bool above = share(random) < 0.5;
            const int first = std::uniform_int_distribution<int>(0, int(events.size()) - 3)(random);
            const int middle =
                std::uniform_int_distribution<int>(first + 1, int(events.size()) - 2)(random);
            const int last =
                std::uniform_int_distribution<int>(middle + 1, int(events.size()) - 1)(random);
            QList<Work> detour = {
                {events[first], events[last], QString::fromLatin1(above ? "3.3" : "2.2")},
                {events[first], events[middle], QString::fromLatin1(above ? "1.1" : "1.3")},
                {events[middle], events[last], QString::fromLatin1(above ? "2.2" : "0.9")}};
            std::shuffle(detour.begin(), detour.end(), random);
            works.append(detour);
            continue;
        }
        Work work{events[from], events[to], flavour.durations[durationIndex(random)]};
        if (kind > 0.985)
            work.end.clear();
        works.append(work);
    }
    return works;
}

} // namespace

void TestScheduleDifferential::matchesReference_data()
{
    QTest::addColumn<int>("flavour");
    QTest::addColumn<quint64>("seed");
    QTest::addColumn<int>("networks");

    QTest::newRow("integers") << 0 << quint64(11) << 600;
    QTest::newRow("decimals that round") << 1 << quint64(12) << 1200;
    QTest::newRow("decimal chains") << 2 << quint64(13) << 1000;
    QTest::newRow("sums that round apart from equal durations") << 3 << quint64(17) << 1200;
    QTest::newRow("zero, negative and bad durations") << 4 << quint64(14) << 700;
    QTest::newRow("loops") << 5 << quint64(15) << 700;
    QTest::newRow("totals near the long double limit") << 6 << quint64(16) << 300;
}

void TestScheduleDifferential::matchesReference()
{
    QFETCH(int, flavour);
    QFETCH(quint64, seed);
    QFETCH(int, networks);

    const auto list = [](const char* texts) {
        return QString::fromUtf8(texts).split(QLatin1Char('|'));
    };
    const Flavour flavours[] = {
        {list("1|2|3|5|8|0|13"), 9, 0.0, 0.3},
        {list("0|0|0.1|0.2|0.3|1.1|2.2|3.3|6.6|2.5|0.7|1.3|0.01"), 10, 0.0, 0.3},
        {list("0|0|0|0.1|0.2|0.3|0.7|1.1|1.3|2.2|3.3"), 12, 0.0, 0.7},
        // 1.1 + 2.2 rounds above 3.3, 1.3 + 0.9 below 2.2, 0.2 + 1.1 above 1.3
        {list("0|1.1|2.2|3.3|0.2|1.3|0.9|6.6|1"), 12, 0.0, 0.4, 0.3},
        {list("1|0|-1|2.5|-0.5|0.1|0.3|x| 2 ||3|1e-20|0,5"), 9, 0.05, 0.3},
        {list("1|2|0.1|0.2|0.3|3"), 9, 0.25, 0.3},
        {list("1E4931|-1E4931|5E4931|1|0.1|2"), 7, 0.03, 0.3},
    };
    const Flavour& chosen = flavours[flavour];

    const NumberFormat numbers(QStringLiteral("."));
    const DateFormat dates(QStringLiteral("dd.MM.yyyy"));
    const NameCollation names(QLocale(QLocale::Russian, QLocale::Russia));
    std::mt19937_64 random(seed);
    std::uniform_int_distribution<int> eventIndex(0, int(kEvents.size()) - 1);
    std::uniform_real_distribution<double> share(0, 1);

    int compared = 0;
    int failures = 0;
    int withPath = 0;
    for (int network = 0; network < networks; ++network) {
        // A few of the names, in a random order; fewer events make denser networks.
        QStringList events = kEvents;
        std::shuffle(events.begin(), events.end(), random);
        events = events.mid(0, std::uniform_int_distribution<int>(2, 7)(random));
        const QList<Work> works = randomWorks(random, chosen, events);
        QString startEvent = share(random) < 0.6 ? events.front() : kEvents[eventIndex(random)];
        QString endEvent = share(random) < 0.6 ? events.back() : kEvents[eventIndex(random)];
        if (share(random) < 0.03)
            endEvent = QStringLiteral("z");
        const double startDate = 45000.0 + share(random);

        // Both start from the same earlier state: old cells, an old path and line, so that what a
        // failure leaves behind is compared too.
        WorkTable fast;
        setWorks(fast, works);
        for (int row = 0; row < fast.rowCount(); ++row) {
            for (const int column : {0, 4, 5, 6, 7, 8, 9, 10})
                fast.setCell(WorkColumn(column), row, QStringLiteral("old"));
        }
        WorkTable model;
        setWorks(model, works);
        for (int row = 0; row < model.rowCount(); ++row) {
            for (int column = 0; column < kWorkColumnCount; ++column)
                model.setCell(WorkColumn(column), row, fast.cell(WorkColumn(column), row));
        }
        const RecalculationResult before{
            QString(), {QStringLiteral("p"), QStringLiteral("q")}, QStringLiteral("old line")};

        RecalculationResult expected;
        try {
            expected =
                runReference(model, startEvent, endEvent, startDate, numbers, dates, names, before);
        } catch (const reference::TooManyPaths&) {
            continue;
        }
        const RecalculationResult actual =
            runRecalculation(fast, startEvent, endEvent, startDate, numbers, dates, names, before);

        const QByteArray where = QStringLiteral("network %1 of seed %2, %3 -> %4")
                                     .arg(network)
                                     .arg(seed)
                                     .arg(startEvent, endEvent)
                                     .toUtf8();
        QVERIFY2(actual.error == expected.error, (where + ": error '" + actual.error.toUtf8() +
                                                  "' vs '" + expected.error.toUtf8() + "'")
                                                     .constData());
        QVERIFY2(actual.criticalPath == expected.criticalPath,
                 (where + ": path " + actual.criticalPath.join(QLatin1Char(',')).toUtf8() + " vs " +
                  expected.criticalPath.join(QLatin1Char(',')).toUtf8())
                     .constData());
        QVERIFY2(actual.pathLine == expected.pathLine, where.constData());
        const QList<QStringList> actualCells = allCells(fast);
        const QList<QStringList> expectedCells = allCells(model);
        for (int row = 0; row < actualCells.size(); ++row) {
            QVERIFY2(actualCells[row] == expectedCells[row],
                     (where + ": row " + QByteArray::number(row) + " " +
                      actualCells[row].join(QLatin1Char('|')).toUtf8() + " vs " +
                      expectedCells[row].join(QLatin1Char('|')).toUtf8())
                         .constData());
        }
        ++compared;
        failures += expected.error.isEmpty() ? 0 : 1;
        withPath += expected.criticalPath.size() > 1 ? 1 : 0;
    }
    // The mix must exercise both outcomes, or the comparison proves little.
    QVERIFY2(compared > networks * 9 / 10, "too many networks were too large for the reference");
    QVERIFY(withPath > compared / 10);
    if (flavour >= 4)
        QVERIFY(failures > compared / 20);
    qInfo("%d networks compared, %d of them failing, %d with a critical path", compared, failures,
          withPath);
}

QTEST_GUILESS_MAIN(TestScheduleDifferential)
#include "tst_schedule_differential.moc"
