#include "MarkerPlacement.h"
#include "NameCollation.h"
#include "NetworkDrawing.h"
#include "WorkTable.h"

#include <QTest>

#include <algorithm>
#include <random>

using namespace Qt::StringLiterals;

namespace {

constexpr QSize kMarker(100, 24);

struct Network
{
    std::unique_ptr<WorkTable> table;
    QStringList entries;
};

const NameCollation& collation()
{
    static const NameCollation names(QLocale(QLocale::English, QLocale::UnitedStates));
    return names;
}

// The table of works "a b" and its entries as the graph window lists them.
Network network(const QStringList& works)
{
    Network made{std::make_unique<WorkTable>(), {}};
    made.table->setRowCount(int(works.size()));
    QStringList events;
    for (int row = 0; row < works.size(); ++row) {
        made.table->setCell(WorkColumn::StartEvent, row, works[row].section(u' ', 0, 0));
        made.table->setCell(WorkColumn::EndEvent, row, works[row].section(u' ', 1, 1));
        events.append(works[row].section(u' ', 0, 0));
    }
    for (const QString& work : works)
        events.append(work.section(u' ', 1, 1));
    made.entries = collation().distinctSorted(events);
    return made;
}

// A random network of forward works between `count` events.
QStringList randomWorks(int count, int works, std::mt19937& random)
{
    QStringList made;
    for (int i = 0; i < works; ++i) {
        const int from = int(random() % std::uint32_t(count - 1));
        const int to = from + 1 + int(random() % std::uint32_t(std::min(count - 1 - from, 3)));
        made.append(u"e%1 e%2"_s.arg(from).arg(to));
    }
    return made;
}

QStringList house()
{
    return {u"1 2"_s, u"1 3"_s, u"2 4"_s, u"3 4"_s, u"3 5"_s, u"4 6"_s,
            u"5 6"_s, u"6 7"_s, u"6 8"_s, u"7 9"_s, u"8 9"_s, u"9 10"_s};
}

} // namespace

// The placement maths of "Разместить все события", without the window: what a user sees of it
// (every marker in the area, none on another, the network filling the area, the works running
// left to right, the path in one row) and how it scales with the area.
class TestMarkerPlacement : public QObject
{
    Q_OBJECT

private slots:
    void placesClearOfEveryMarkerAndFillsTheArea_data();
    void placesClearOfEveryMarkerAndFillsTheArea();
    void stretchesWithTheArea();
};

void TestMarkerPlacement::placesClearOfEveryMarkerAndFillsTheArea_data()
{
    QTest::addColumn<QStringList>("works");
    QTest::addColumn<QStringList>("path");
    QTest::addColumn<QSize>("area");
    QTest::addColumn<QRect>("byHand"); // a marker already placed, of the path's second event
    QTest::addColumn<bool>("crowds");  // some marker would overlap another

    const QStringList housePath{u"1"_s, u"2"_s, u"4"_s, u"6"_s, u"7"_s, u"9"_s, u"10"_s};
    QTest::newRow("guide's example") << house() << housePath << QSize(792, 544) << QRect() << false;
    QTest::newRow("guide's example, one placed by hand")
        << house() << housePath << QSize(792, 544) << QRect(QPoint(300, 200), kMarker) << false;
    QTest::newRow("guide's example, too narrow")
        << house() << housePath << QSize(420, 300) << QRect() << true;
    QTest::newRow("names in two cases")
        << QStringList{u"a b"_s, u"B c"_s, u"a C"_s} << QStringList{u"a"_s, u"b"_s, u"c"_s}
        << QSize(792, 544) << QRect() << false;
    std::mt19937 random(17);
    for (int round = 0; round < 4; ++round) {
        const QStringList works = randomWorks(12 + 6 * round, 20 + 10 * round, random);
        QTest::newRow(qPrintable(u"random network %1"_s.arg(round)))
            << works << QStringList() << QSize(1600 + 400 * round, 900) << QRect() << false;
    }
}

// What the window promises of the placement, checked on the markers it gives.
void TestMarkerPlacement::placesClearOfEveryMarkerAndFillsTheArea()
{
    QFETCH(QStringList, works);
    QFETCH(QStringList, path);
    QFETCH(QSize, area);
    QFETCH(QRect, byHand);
    QFETCH(bool, crowds);
    const Network net = network(works);
    const auto entryOf = [&](const QString& name) {
        for (qsizetype entry = 0; entry < net.entries.size(); ++entry)
            if (net.entries[entry].compare(name, Qt::CaseInsensitive) == 0)
                return int(entry);
        return -1;
    };
    // The window hands over the entry each name of the path stands for.
    QStringList pathEntries;
    for (const QString& event : path)
        pathEntries.append(net.entries[entryOf(event)]);
    std::vector<char> listed(std::size_t(net.entries.size()), 1);
    std::vector<QRect> taken;
    if (!byHand.isNull()) {
        listed[std::size_t(entryOf(path[1]))] = 0;
        taken.push_back(byHand);
    }
    const MarkerPlacement placement = placeAllMarkers(*net.table, collation(), net.entries,
                                                      pathEntries, listed, taken, area, kMarker);

    const int toPlace = int(std::count(listed.begin(), listed.end(), 1));
    QCOMPARE(int(placement.placed.size()) + placement.crowded, toPlace);
    QCOMPARE(placement.crowded > 0, crowds);
    std::vector<QRect> rects(std::size_t(net.entries.size()));
    std::vector<char> seen(listed.size(), 0);
    for (const MarkerSpot& spot : placement.placed) {
        QVERIFY(listed[std::size_t(spot.entry)] && !seen[std::size_t(spot.entry)]);
        seen[std::size_t(spot.entry)] = 1;
        const QRect rect(spot.topLeft, kMarker);
        QVERIFY(QRect(QPoint(0, 0), QSize(area.width(), area.height())).contains(rect));
        QVERIFY(nodeCentre(rect).y() + kNodeRadius < area.height());
        for (const QRect& other : taken)
            QVERIFY(!rect.intersects(other));
        taken.push_back(rect);
        rects[std::size_t(spot.entry)] = rect;
    }

    // The path's events first, in one row; every work runs left to right.
    std::vector<char> onPath(listed.size(), 0);
    for (const QString& event : path)
        onPath[std::size_t(entryOf(event))] = 1;
    for (std::size_t i = 1; i < placement.placed.size(); ++i)
        QVERIFY(onPath[std::size_t(placement.placed[i - 1].entry)] >=
                onPath[std::size_t(placement.placed[i].entry)]);
    const QRect* row = nullptr;
    for (const QString& event : path) {
        const QRect& rect = rects[std::size_t(entryOf(event))];
        if (rect.isNull())
            continue;
        if (row)
            QCOMPARE(rect.y(), row->y());
        row = &rect;
    }
    for (const QString& work : works) {
        const QRect& from = rects[std::size_t(entryOf(work.section(u' ', 0, 0)))];
        const QRect& to = rects[std::size_t(entryOf(work.section(u' ', 1, 1)))];
        if (!from.isNull() && !to.isNull())
            QVERIFY2(from.x() < to.x(), qPrintable(work));
    }

    // Where nothing is crowded out, the network reaches every side of the area.
    if (placement.crowded == 0 && byHand.isNull()) {
        int left = area.width(), right = 0, top = area.height(), bottom = 0;
        for (const MarkerSpot& spot : placement.placed) {
            const QRect rect(spot.topLeft, kMarker);
            left = std::min(left, rect.left());
            right = std::max(right, rect.right() + 1);
            top = std::min(top, rect.top());
            bottom = std::max(bottom, nodeCentre(rect).y() + kNodeRadius + 1);
        }
        QCOMPARE(left, 0);
        QCOMPARE(right, area.width());
        // A network in one row stands across the middle.
        const int circleBelow = nodeCentre(QRect(QPoint(0, 0), kMarker)).y() + kNodeRadius + 1;
        if (bottom - top == circleBelow) {
            QCOMPARE(2 * top, area.height() - circleBelow);
        } else {
            QCOMPARE(top, 0);
            QCOMPARE(bottom, area.height());
        }
    }
}

// The stretch is linear: with twice the room each way, every marker stands twice as far from the
// area's corner, give or take the pixel each rounding may add.
void TestMarkerPlacement::stretchesWithTheArea()
{
    std::mt19937 random(29);
    const Network net = network(randomWorks(20, 40, random));
    const std::vector<char> listed(std::size_t(net.entries.size()), 1);
    const int circleBelow = nodeCentre(QRect(QPoint(0, 0), kMarker)).y() + kNodeRadius + 1;
    const QSize room(2400, 1600);
    const auto placed = [&](int times) {
        const QSize area(room.width() * times + kMarker.width(),
                         room.height() * times + circleBelow);
        const MarkerPlacement placement =
            placeAllMarkers(*net.table, collation(), net.entries, {}, listed, {}, area, kMarker);
        std::vector<QPoint> at(listed.size());
        for (const MarkerSpot& spot : placement.placed)
            at[std::size_t(spot.entry)] = spot.topLeft;
        return std::pair(placement.crowded, at);
    };
    const auto [crowdedOnce, once] = placed(1);
    const auto [crowdedTwice, twice] = placed(2);
    QCOMPARE(crowdedOnce, 0);
    QCOMPARE(crowdedTwice, 0);
    for (std::size_t entry = 0; entry < once.size(); ++entry) {
        QVERIFY(std::abs(twice[entry].x() - 2 * once[entry].x()) <= 1);
        QVERIFY(std::abs(twice[entry].y() - 2 * once[entry].y()) <= 1);
    }
}

QTEST_GUILESS_MAIN(TestMarkerPlacement)
#include "tst_markerplacement.moc"
