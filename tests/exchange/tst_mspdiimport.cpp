// The MS Project XML import against an independent reading of random task networks: the
// precedences between task starts and ends (reachability over the file's own links), the early
// starts and late finishes for several draws of the durations (longest paths), and that no dummy
// work is left whose events could still be merged with the same precedences. Textbook networks
// give their known number of dummies.
#include "KestrinError.h"
#include "MspdiReader.h"
#include "NumberFormat.h"

#include <QRandomGenerator>
#include <QTest>

#include <algorithm>
#include <bitset>
#include <map>
#include <set>

namespace {

constexpr int kMostPoints = 128;
using Bits = std::bitset<kMostPoints>;

struct FileLink
{
    int from = 0;
    int to = 0;
    int type = 1; // MSPDI: 0 FF, 1 FS, 2 SF, 3 SS
    int lag = 0;  // days
};

struct FileNetwork
{
    int tasks = 0;
    std::vector<FileLink> links;
};

QByteArray mspdiText(const FileNetwork& network)
{
    QByteArray text = "<?xml version=\"1.0\"?>\n<Project "
                      "xmlns=\"http://schemas.microsoft.com/project\">\n<MinutesPerDay>480"
                      "</MinutesPerDay>\n<StartDate>2027-03-01T08:00:00</StartDate>\n<Tasks>\n";
    for (int t = 0; t < network.tasks; ++t) {
        text += "<Task><UID>" + QByteArray::number(t + 1) + "</UID><Name>T" +
                QByteArray::number(t) + "</Name><OutlineLevel>1</OutlineLevel><Duration>PT" +
                QByteArray::number(8 * (1 + t % 3)) + "H0M0S</Duration>";
        for (const FileLink& link : network.links) {
            if (link.to == t)
                text += "<PredecessorLink><PredecessorUID>" + QByteArray::number(link.from + 1) +
                        "</PredecessorUID><Type>" + QByteArray::number(link.type) +
                        "</Type><LinkLag>" + QByteArray::number(link.lag * 4800) +
                        "</LinkLag></PredecessorLink>";
        }
        text += "</Task>\n";
    }
    return text + "</Tasks>\n</Project>\n";
}

// A graph over nodes with works of a length; task works carry their task.
struct Graph
{
    int nodes = 0;
    struct Arc
    {
        int tail, head;
        double lag;
        int task; // -1 for a link
    };
    std::vector<Arc> arcs;
};

// The file as points: task t's start is 2t, its end 2t + 1.
Graph fileGraph(const FileNetwork& network)
{
    Graph graph;
    graph.nodes = 2 * network.tasks;
    for (int t = 0; t < network.tasks; ++t)
        graph.arcs.push_back({2 * t, 2 * t + 1, 0, t});
    for (const FileLink& link : network.links) {
        const int fromPoint = 2 * link.from + (link.type == 0 || link.type == 1 ? 1 : 0);
        const int toPoint = 2 * link.to + (link.type == 0 || link.type == 2 ? 1 : 0);
        graph.arcs.push_back({fromPoint, toPoint, double(link.lag), -1});
    }
    return graph;
}

std::vector<Bits> reachability(const Graph& graph)
{
    std::vector<Bits> reach(std::size_t(graph.nodes));
    for (int node = 0; node < graph.nodes; ++node)
        reach[std::size_t(node)].set(std::size_t(node));
    for (int round = 0; round < graph.nodes; ++round) {
        bool changed = false;
        for (const Graph::Arc& arc : graph.arcs) {
            const Bits before = reach[std::size_t(arc.tail)];
            reach[std::size_t(arc.tail)] |= reach[std::size_t(arc.head)];
            changed = changed || before != reach[std::size_t(arc.tail)];
        }
        if (!changed)
            break;
    }
    return reach;
}

// Early and late event times by relaxing every arc until nothing moves (Bellman-Ford; the
// networks have no cycles).
std::pair<std::vector<double>, std::vector<double>> times(const Graph& graph,
                                                          const std::vector<double>& durations)
{
    std::vector<double> early(std::size_t(graph.nodes), 0);
    const auto length = [&](const Graph::Arc& arc) {
        return arc.task >= 0 ? durations[std::size_t(arc.task)] : arc.lag;
    };
    for (int round = 0; round <= graph.nodes; ++round) {
        for (const Graph::Arc& arc : graph.arcs)
            early[std::size_t(arc.head)] =
                std::max(early[std::size_t(arc.head)], early[std::size_t(arc.tail)] + length(arc));
    }
    const double end = *std::max_element(early.begin(), early.end());
    std::vector<double> late(std::size_t(graph.nodes), end);
    for (int round = 0; round <= graph.nodes; ++round) {
        for (const Graph::Arc& arc : graph.arcs)
            late[std::size_t(arc.tail)] =
                std::min(late[std::size_t(arc.tail)], late[std::size_t(arc.head)] - length(arc));
    }
    return {early, late};
}

// The imported works as a graph over their events, and each point's event.
struct Imported
{
    Graph graph;
    std::vector<int> eventOfPoint;
};

Imported importedGraph(const ExchangePlan& plan, int tasks)
{
    Imported imported;
    imported.eventOfPoint.assign(std::size_t(2 * tasks), -1);
    const NumberFormat& numbers = NumberFormat::system();
    for (const ExchangeWork& work : plan.works) {
        const int tail = work.startEvent.toInt() - 1;
        const int head = work.endEvent.toInt() - 1;
        imported.graph.nodes = std::max({imported.graph.nodes, tail + 1, head + 1});
        int task = -1;
        if (!work.name.isEmpty()) {
            task = work.name.mid(1).toInt();
            imported.eventOfPoint[std::size_t(2 * task)] = tail;
            imported.eventOfPoint[std::size_t(2 * task + 1)] = head;
        }
        imported.graph.arcs.push_back({tail, head, double(numbers.parse(work.duration)), task});
    }
    return imported;
}

// Whether the imported network keeps the file's precedences: the same reachability from every
// task's end to every task's start on another event, and the same early starts and late finishes of
// every task for every draw of durations.
bool keepsPrecedences(const Graph& file, const Imported& imported,
                      const std::vector<std::vector<double>>& draws, QString* why = nullptr)
{
    const std::vector<Bits> fileReach = reachability(file);
    const std::vector<Bits> reach = reachability(imported.graph);
    const int points = file.nodes;
    for (int x = 0; x < points; ++x) {
        for (int y = 0; y < points; ++y) {
            const int ex = imported.eventOfPoint[std::size_t(x)];
            const int ey = imported.eventOfPoint[std::size_t(y)];
            // Which task must finish before which can start: an end event's time is not its
            // task's finish, nor is a start point's the only time of its event, so the other
            // pairs are judged by the times below.
            if (ex == ey || x % 2 == 0 || y % 2 == 1)
                continue;
            if (fileReach[std::size_t(x)][std::size_t(y)] !=
                reach[std::size_t(ex)][std::size_t(ey)]) {
                if (why)
                    *why = QStringLiteral("reachability of points %1 -> %2").arg(x).arg(y);
                return false;
            }
        }
    }
    for (const std::vector<double>& durations : draws) {
        const auto [fileEarly, fileLate] = times(file, durations);
        const auto [early, late] = times(imported.graph, durations);
        for (int t = 0; t < points / 2; ++t) {
            const int start = imported.eventOfPoint[std::size_t(2 * t)];
            const int end = imported.eventOfPoint[std::size_t(2 * t + 1)];
            if (fileEarly[std::size_t(2 * t)] != early[std::size_t(start)] ||
                fileLate[std::size_t(2 * t + 1)] != late[std::size_t(end)]) {
                if (why)
                    *why = QStringLiteral("times of task %1: %2 %3 / %4 %5")
                               .arg(t)
                               .arg(fileEarly[std::size_t(2 * t)])
                               .arg(early[std::size_t(start)])
                               .arg(fileLate[std::size_t(2 * t + 1)])
                               .arg(late[std::size_t(end)]);
                return false;
            }
        }
    }
    return true;
}

// The network with the events of one arc made one; false when that leaves two works between the
// same events that cannot be told apart (two links become the larger, a link of lag <= 0 beside
// a task goes), or a cycle, which events numbered along the works cannot have (a cycle of lags
// that adds up to no more than 0 leaves every time as it was, so the times alone would pass it).
bool mergedAlong(const Imported& imported, std::size_t arcIndex, Imported& merged)
{
    const int keep = imported.graph.arcs[arcIndex].tail;
    const int gone = imported.graph.arcs[arcIndex].head;
    merged = imported;
    merged.graph.arcs.erase(merged.graph.arcs.begin() + qsizetype(arcIndex));
    for (int& event : merged.eventOfPoint)
        event = event == gone ? keep : event;
    std::map<std::pair<int, int>, Graph::Arc> between;
    for (Graph::Arc arc : merged.graph.arcs) {
        arc.tail = arc.tail == gone ? keep : arc.tail;
        arc.head = arc.head == gone ? keep : arc.head;
        if (arc.tail == arc.head)
            return false;
        const auto [known, added] = between.emplace(std::pair(arc.tail, arc.head), arc);
        if (added)
            continue;
        Graph::Arc& other = known->second;
        if (other.task < 0 && arc.task < 0)
            other.lag = std::max(other.lag, arc.lag);
        else if (other.task < 0 && arc.task >= 0 && other.lag <= 0)
            other = arc;
        else if (!(arc.task < 0 && other.task >= 0 && arc.lag <= 0))
            return false;
    }
    merged.graph.arcs.clear();
    for (const auto& entry : between)
        merged.graph.arcs.push_back(entry.second);
    const std::vector<Bits> reach = reachability(merged.graph);
    return std::none_of(merged.graph.arcs.begin(), merged.graph.arcs.end(), [&](const auto& arc) {
        return reach[std::size_t(arc.head)][std::size_t(arc.tail)];
    });
}

FileNetwork randomNetwork(QRandomGenerator& random, bool finishToStartOnly)
{
    FileNetwork network;
    network.tasks = 12 + random.bounded(40);
    std::set<std::pair<int, int>> pairs;
    const int links = network.tasks + random.bounded(network.tasks);
    for (int i = 0; i < links; ++i) {
        const int to = 1 + random.bounded(network.tasks - 1);
        const int from = std::max(0, to - 1 - random.bounded(6));
        if (!pairs.emplace(from, to).second)
            continue;
        FileLink link{from, to, 1, 0};
        if (!finishToStartOnly) {
            link.type = random.bounded(4);
            link.lag = random.bounded(10) == 0 ? random.bounded(5) - 2 : 0;
        }
        network.links.push_back(link);
    }
    return network;
}

} // namespace

class TestMspdiImport : public QObject
{
    Q_OBJECT

private slots:
    void randomNetworksKeepPrecedencesWithFewestDummies_data();
    void randomNetworksKeepPrecedencesWithFewestDummies();
    void textbookNetworksGetTheirDummies_data();
    void textbookNetworksGetTheirDummies();
    void refusesWhatIsNotMspdiAndNotesWhatItCannotHold();
};

void TestMspdiImport::randomNetworksKeepPrecedencesWithFewestDummies_data()
{
    QTest::addColumn<bool>("finishToStartOnly");
    QTest::newRow("finish-to-start") << true;
    QTest::newRow("all link types and lags") << false;
}

void TestMspdiImport::randomNetworksKeepPrecedencesWithFewestDummies()
{
    QFETCH(bool, finishToStartOnly);
    QRandomGenerator random(finishToStartOnly ? 11 : 12);
    int dummies = 0;
    int couldGo = 0;
    int links = 0;
    for (int round = 0; round < 40; ++round) {
        const FileNetwork network = randomNetwork(random, finishToStartOnly);
        links += int(network.links.size());
        const ImportedPlan plan = mspdi::decode(mspdiText(network), QStringLiteral("random.xml"));
        const Graph file = fileGraph(network);
        const Imported imported = importedGraph(plan.plan, network.tasks);
        // No durations at all, and each task in turn far longer than the rest: a path that a
        // change adds or takes away shows in the times of one of these.
        std::vector<std::vector<double>> draws(std::size_t(network.tasks + 1));
        for (int draw = 0; draw <= network.tasks; ++draw) {
            for (int t = 0; t < network.tasks; ++t)
                draws[std::size_t(draw)].push_back(
                    draw == 0 ? 0 : (t == draw - 1 ? 1000 : random.bounded(4)));
        }
        QString why;
        QVERIFY2(keepsPrecedences(file, imported, draws, &why), qPrintable(why));
        for (const Graph::Arc& work : imported.graph.arcs)
            QVERIFY(work.tail < work.head);
        for (std::size_t arc = 0; arc < imported.graph.arcs.size(); ++arc) {
            const Graph::Arc& work = imported.graph.arcs[arc];
            if (work.task >= 0 || work.lag != 0)
                continue;
            ++dummies;
            Imported merged;
            if (mergedAlong(imported, arc, merged) && keepsPrecedences(file, merged, draws)) {
                ++couldGo;
            }
        }
    }
    qInfo("%d links left %d dummy works, %d of which could still go", links, dummies, couldGo);
    QCOMPARE(couldGo, 0);
    QVERIFY(dummies < links / 2);
}

void TestMspdiImport::textbookNetworksGetTheirDummies_data()
{
    QTest::addColumn<QList<QPoint>>("links"); // finish-to-start, predecessor x to successor y
    QTest::addColumn<int>("tasks");
    QTest::addColumn<int>("dummies");
    QTest::addColumn<int>("events");
    QTest::newRow("chain") << QList<QPoint>{{0, 1}, {1, 2}} << 3 << 0 << 4;
    QTest::newRow("two before two") << QList<QPoint>{{0, 2}, {0, 3}, {1, 2}, {1, 3}} << 4 << 0 << 5;
    // A and B before C, only B before D: the one dummy every textbook draws.
    QTest::newRow("one dummy") << QList<QPoint>{{0, 2}, {1, 2}, {1, 3}} << 4 << 1 << 6;
    QTest::newRow("parallel tasks") << QList<QPoint>{{0, 1}, {0, 2}, {1, 3}, {2, 3}} << 4 << 1 << 5;
}

void TestMspdiImport::textbookNetworksGetTheirDummies()
{
    QFETCH(QList<QPoint>, links);
    QFETCH(int, tasks);
    QFETCH(int, dummies);
    QFETCH(int, events);
    FileNetwork network;
    network.tasks = tasks;
    for (QPoint link : links)
        network.links.push_back({link.x(), link.y(), 1, 0});
    const ExchangePlan plan = mspdi::decode(mspdiText(network), QStringLiteral("t.xml")).plan;
    QCOMPARE(int(plan.works.size()), tasks + dummies);
    std::set<QString> eventNames;
    for (const ExchangeWork& work : plan.works) {
        eventNames.insert(work.startEvent);
        eventNames.insert(work.endEvent);
        QVERIFY(work.startEvent.toInt() < work.endEvent.toInt());
    }
    QCOMPARE(int(eventNames.size()), events);
}

void TestMspdiImport::refusesWhatIsNotMspdiAndNotesWhatItCannotHold()
{
    for (const QByteArray& bytes :
         {QByteArray("<html/>"), QByteArray("not xml"), QByteArray(),
          QByteArray("<Project xmlns=\"urn:other\"/>"),
          QByteArray("<Project><Tasks><Task><UID>1</UID><Duration>PTxH</Duration></Task></Tasks>"
                     "</Project>")}) {
        QVERIFY_THROWS_EXCEPTION(KestrinError, mspdi::decode(bytes, QStringLiteral("x.xml")));
    }
    try {
        mspdi::decode("<html/>", QStringLiteral("x.xml"));
    } catch (const KestrinError& error) {
        QVERIFY(error.message().contains(QStringLiteral("не файл MS Project XML")));
    }
    const QByteArray file =
        "<Project xmlns=\"http://schemas.microsoft.com/project\"><StartDate>2027-02-01T08:00:00"
        "</StartDate><CalendarUID>1</CalendarUID><Calendars><Calendar><UID>1</UID><WeekDays>"
        "<WeekDay><DayType>7</DayType><DayWorking>1</DayWorking></WeekDay></WeekDays><Exceptions>"
        "<Exception><TimePeriod><FromDate>2027-02-23T00:00:00</FromDate><ToDate>2027-02-24T23:59:"
        "00</ToDate></TimePeriod><DayWorking>0</DayWorking></Exception></Exceptions></Calendar>"
        "</Calendars><Tasks><Task><UID>1</UID><Name>A</Name><Duration>PT12H0M0S</Duration>"
        "<ConstraintType>4</ConstraintType><Manual>1</Manual><PercentComplete>50</PercentComplete>"
        "<Deadline>2027-03-01T17:00:00</Deadline><DurationFormat>8</DurationFormat></Task></Tasks>"
        "<Resources><Resource><UID>1</UID><Name>Кран</Name><Type>0</Type><MaterialLabel>шт"
        "</MaterialLabel><MaxUnits>2</MaxUnits></Resource></Resources><Assignments><Assignment>"
        "<TaskUID>1</TaskUID><ResourceUID>1</ResourceUID><Units>1.5</Units></Assignment>"
        "</Assignments></Project>";
    const ImportedPlan imported = mspdi::decode(file, QStringLiteral("a.xml"));
    QCOMPARE(imported.notes.size(), 5);
    QCOMPARE(imported.plan.startDate, QDate(2027, 2, 1));
    QCOMPARE(imported.plan.calendar.week(), WorkWeek::SixDays);
    QVERIFY(imported.plan.calendar.countsWorkingDays());
    QCOMPARE(imported.plan.calendar.exceptions().size(), std::size_t(2));
    QVERIFY(!imported.plan.calendar.isWorkingDay(QDate(2027, 2, 24)));
    QCOMPARE(int(imported.plan.works.size()), 1);
    QCOMPARE(NumberFormat::system().parse(imported.plan.works[0].duration), 1.5L);
    QCOMPARE(int(imported.plan.resources.size()), 1);
    QCOMPARE(imported.plan.resources[0].unit, QStringLiteral("шт"));
    QCOMPARE(int(imported.plan.demands.size()), 1);
    QCOMPARE(imported.plan.demands[0].amount, 1.5);
}

QTEST_GUILESS_MAIN(TestMspdiImport)
#include "tst_mspdiimport.moc"
