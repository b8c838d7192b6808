#include "GraphTestSupport.h"

#include <QTest>

using namespace graphtest;
using namespace Qt::StringLiterals;

// A graph window given the placement of an earlier one: the events stand where they stood and
// the window is in the state placing them by hand leaves it in.
class TestGraphRestore : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { installClassicFontSubstitutes(); }
    void restoredWindowIsTheHandPlacedOne();
    void eventsGoneFromTheTableAreSkipped();
};

namespace {

const std::vector<Work> kWorks{{u"1"_s, u"2"_s, u"3"_s},
                               {u"2"_s, u"3"_s, u"4"_s},
                               {u"1"_s, u"3"_s, u"9"_s},
                               {u"3"_s, u"4"_s, u"2"_s}};

std::vector<QPoint> positions(const TfmGraphView& window)
{
    std::vector<QPoint> at;
    for (const EventMarker* marker : window.markers())
        at.push_back(marker->pos());
    return at;
}

QStringList captions(const TfmGraphView& window)
{
    QStringList texts;
    for (const EventMarker* marker : window.markers())
        texts.append(marker->text());
    return texts;
}

} // namespace

// The oracle is a second window where the same events are placed by hand: the markers, the list
// of unplaced events, the drawn picture and the dragging state must all be the same.
void TestGraphRestore::restoredWindowIsTheHandPlacedOne()
{
    const auto table = makeTable(kWorks);
    const auto byHand = openWindow(*table, {u"1"_s, u"2"_s, u"3"_s, u"4"_s});
    place(*byHand, u"3"_s, QPoint(400, 120));
    place(*byHand, u"1"_s, QPoint(40, 300));
    // One more, left where it was inserted and still following the pointer: it is kept where
    // it stands when the window closes.
    select(*byHand, u"2"_s);
    byHand->tbInsPointClick();
    const std::vector<EventPlacement> kept = byHand->placement();
    QCOMPARE(kept.size(), std::size_t(3));
    QCOMPARE(kept[0], (EventPlacement{u"3"_s, QPoint(400, 120)}));
    QCOMPARE(kept[1], (EventPlacement{u"1"_s, QPoint(40, 300)}));
    byHand->DraggedClick(byHand->currentMarker());

    const auto restored = openWindow(*table, {u"1"_s, u"2"_s, u"3"_s, u"4"_s});
    restored->restorePlacement(kept);
    QCOMPARE(captions(*restored), captions(*byHand));
    QCOMPARE(positions(*restored), positions(*byHand));
    QCOMPARE(entries(*restored), entries(*byHand));
    QCOMPARE(restored->isDragging(), false);
    QCOMPARE(restored->currentMarker(), restored->markers().back());
    QVERIFY(!control<QAbstractButton>(*restored, "tbInsPoint")->isEnabled());

    control<QAbstractButton>(*byHand, "tbDrawGraph")->click();
    control<QAbstractButton>(*restored, "tbDrawGraph")->click();
    QVERIFY(blackCount(byHand->picture(), byHand->picture().rect()) > 0);
    QCOMPARE(restored->picture(), byHand->picture());
}

// Events deleted or renamed meanwhile are skipped, names in another letter case find their
// event, and a name given twice places its event once, where it first stood.
void TestGraphRestore::eventsGoneFromTheTableAreSkipped()
{
    const std::vector<Work> renamed{{u"A"_s, u"b"_s, u"1"_s}, {u"b"_s, u"d"_s, u"1"_s}};
    const auto table = makeTable(renamed);
    const auto window = openWindow(*table);
    window->restorePlacement({{u"a"_s, QPoint(10, 20)},
                              {u"c"_s, QPoint(30, 40)},
                              {u"B"_s, QPoint(50, 60)},
                              {u"A"_s, QPoint(70, 80)},
                              {QString(), QPoint(90, 100)}});
    QCOMPARE(captions(*window), (QStringList{u"A"_s, u"b"_s}));
    QCOMPARE(positions(*window), (std::vector{QPoint(10, 20), QPoint(50, 60)}));
    QCOMPARE(entries(*window), QStringList{u"d"_s});
    QCOMPARE(window->placement(),
             (std::vector<EventPlacement>{{u"A"_s, QPoint(10, 20)}, {u"b"_s, QPoint(50, 60)}}));

    // Nothing to restore: the window stays as it opened.
    const auto empty = openWindow(*table);
    empty->restorePlacement({{u"x"_s, QPoint(1, 1)}});
    QVERIFY(empty->markers().empty());
    QVERIFY(!empty->currentMarker());
    QCOMPARE(entries(*empty), (QStringList{u"A"_s, u"b"_s, u"d"_s}));
    QVERIFY(empty->placement().empty());
}

QTEST_MAIN(TestGraphRestore)
#include "tst_graphrestore.moc"
