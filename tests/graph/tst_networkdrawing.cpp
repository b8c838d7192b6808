#include "GraphTestSupport.h"
#include "KestrinError.h"
#include "NetworkDrawing.h"

#include <QLabel>
#include <QTest>

using namespace graphtest;
using namespace Qt::StringLiterals;

// The drawn network, pixel by pixel: where lines, circles, dots and texts land, what paints over
// what, pen widths and styles, the labelling work, and how a failing drawing stops.
class TestNetworkDrawing : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void twoEventExample();
    void nodeCentresAndLabelsRoundHalfToEven_data();
    void nodeCentresAndLabelsRoundHalfToEven();
    void arrowRunsBetweenTheRims_data();
    void arrowRunsBetweenTheRims();
    void coincidingCentresHaveNoDirection();
    void zeroDurationDrawsDashDotDot_data();
    void zeroDurationDrawsDashDotDot();
    void criticalPathEmphasis();
    void labellingWorkIsTheLastBetweenTheEvents_data();
    void labellingWorkIsTheLastBetweenTheEvents();
    void unplacedEventsDrawNothing();
    void worksMatchEventsExactly();
    void laterDrawingPaintsOver();
    void redrawingUsesTheNewPositions();
    void failuresStopTheDrawing_data();
    void failuresStopTheDrawing();
    void failureKeepsThePenStyleSetBeforeIt();
};

namespace {

// The picture drawn from the works with the events placed at the given corners, in that order.
QImage drawn(const std::vector<Work>& works, const std::vector<std::pair<QString, QPoint>>& places,
             const QStringList& path = {})
{
    const auto table = makeTable(works);
    const auto window = openWindow(*table, path);
    for (const auto& [name, at] : places)
        place(*window, name, at);
    control<QAbstractButton>(*window, "tbDrawGraph")->click();
    return window->picture().copy();
}

// Black pixels in one row (or column) of the picture between two coordinates, ends included.
int blackInRow(const QImage& image, int y, int fromX, int toX)
{
    return blackCount(image, QRect(QPoint(fromX, y), QPoint(toX, y)));
}

int blackInColumn(const QImage& image, int x, int fromY, int toY)
{
    return blackCount(image, QRect(QPoint(x, fromY), QPoint(x, toY)));
}

} // namespace

void TestNetworkDrawing::initTestCase()
{
    installClassicFontSubstitutes();
}

void TestNetworkDrawing::twoEventExample()
{
    // Markers at (100, 100) and (400, 100), one work of duration 5 between them: node centres
    // (150, 141) and (450, 141).
    const QImage picture =
        drawn({{u"A"_s, u"B"_s, u"5"_s}}, {{u"A"_s, {100, 100}}, {u"B"_s, {400, 100}}});
    QVERIFY(onlyBlackAndWhite(picture));

    // A's circle fills the box (140, 131) to (160, 151): pixels 140..159 by 131..150.
    QCOMPARE(blackBounds(picture, QRect(130, 125, 30, 40)), QRect(140, 131, 20, 20));
    QVERIFY(isBlack(picture, 140, 141) && isBlack(picture, 159, 140));
    QVERIFY(isWhite(picture, 150, 141)); // white inside
    QCOMPARE(blackInColumn(picture, 150, 125, 160), 2);

    // The line from (160, 141) up to (440, 141) in width 1, hidden under the label's white cell
    // from (300, 141) on.
    QCOMPARE(blackInRow(picture, 141, 160, 299), 140);
    QCOMPARE(blackInRow(picture, 140, 161, 299), 0);
    QCOMPARE(blackInRow(picture, 142, 161, 299), 0);
    QVERIFY(isWhite(picture, 300, 141));
    const QRect label = blackBounds(picture, QRect(300, 142, 60, 20));
    QVERIFY(label.left() >= 300 && label.left() <= 302);
    QVERIFY(label.top() >= 142 && label.bottom() <= 141 + 14);
    QCOMPARE(blackCount(picture, QRect(290, 142, 10, 20)), 0);
    // The line shows again right of the label, up to the end dot.
    QVERIFY(isBlack(picture, 400, 141) && isBlack(picture, 436, 141));

    // End dot in the box (437, 138) to (443, 144), painted over by B's circle from x 440 on.
    QVERIFY(isBlack(picture, 437, 140) && isBlack(picture, 437, 141));
    QVERIFY(isWhite(picture, 438, 141) && isWhite(picture, 439, 141));
    QCOMPARE(blackBounds(picture, QRect(437, 130, 3, 20)), QRect(437, 138, 3, 6));
    QCOMPARE(blackInColumn(picture, 436, 130, 150), 1);
    QVERIFY(isBlack(picture, 440, 141) && isWhite(picture, 441, 141));
    QCOMPARE(blackBounds(picture, QRect(438, 125, 22, 40)), QRect(438, 131, 22, 20));

    // A's name in quotes, its cell's top-left corner at (160, 121): the glyphs start within it.
    const QRect name = blackBounds(picture, QRect(140, 105, 60, 25));
    QVERIFY(name.left() >= 160 && name.left() <= 162);
    QVERIFY(name.top() >= 121 && name.bottom() <= 121 + 13);
    // Nothing else in the picture but the clearing outline along the top and left edges.
    QCOMPARE(blackCount(picture, QRect(1, 1, 130, 540)), 0);
    QCOMPARE(blackCount(picture, QRect(500, 1, 290, 540)), 0);
}

void TestNetworkDrawing::nodeCentresAndLabelsRoundHalfToEven_data()
{
    QTest::addColumn<QPoint>("a");
    QTest::addColumn<QPoint>("b");
    QTest::addColumn<int>("labelX");
    // Centres at x 151 and 450: (151 + 450) / 2 = 300.5 goes to 300; 303 and 450 give 376.5,
    // which goes to 376; 153 and 450 give 301.5, which goes to 302.
    QTest::newRow("300.5") << QPoint(101, 100) << QPoint(400, 100) << 300;
    QTest::newRow("376.5") << QPoint(253, 100) << QPoint(400, 100) << 376;
    QTest::newRow("301.5") << QPoint(103, 100) << QPoint(400, 100) << 302;
    QTest::newRow("even") << QPoint(100, 100) << QPoint(400, 100) << 300;
}

void TestNetworkDrawing::nodeCentresAndLabelsRoundHalfToEven()
{
    QFETCH(QPoint, a);
    QFETCH(QPoint, b);
    QFETCH(int, labelX);
    const QImage picture = drawn({{u"A"_s, u"B"_s, u"7"_s}}, {{u"A"_s, a}, {u"B"_s, b}});
    const int y = a.y() + 41;
    // The line runs up to the label's cell and stops being visible exactly where the cell begins.
    QVERIFY(isBlack(picture, labelX - 1, y));
    QVERIFY(isWhite(picture, labelX, y));
    QCOMPARE(blackBounds(picture, QRect(a.x(), y - 15, 60, 30)).left(), a.x() + 40);
}

void TestNetworkDrawing::arrowRunsBetweenTheRims_data()
{
    QTest::addColumn<QPoint>("a");
    QTest::addColumn<QPoint>("b");
    QTest::addColumn<QPoint>("from");
    QTest::addColumn<QPoint>("end");
    QTest::addColumn<QPoint>("label");
    QTest::newRow("right") << QPoint(150, 141) << QPoint(450, 141) << QPoint(160, 141)
                           << QPoint(440, 141) << QPoint(300, 141);
    QTest::newRow("left") << QPoint(450, 141) << QPoint(150, 141) << QPoint(440, 141)
                          << QPoint(160, 141) << QPoint(300, 141);
    QTest::newRow("down") << QPoint(150, 141) << QPoint(150, 341) << QPoint(150, 151)
                          << QPoint(150, 331) << QPoint(150, 241);
    // d = 500, c = 0.6, s = -0.8.
    QTest::newRow("3-4-5 down right") << QPoint(150, 141) << QPoint(450, 541) << QPoint(156, 149)
                                      << QPoint(444, 533) << QPoint(300, 341);
    QTest::newRow("3-4-5 up left") << QPoint(450, 541) << QPoint(150, 141) << QPoint(444, 533)
                                   << QPoint(156, 149) << QPoint(300, 341);
    // 45 degrees: 10 * 0.7071... = 7.07; midpoints (300.5, 240.5) go to the even neighbours.
    QTest::newRow("diagonal") << QPoint(151, 91) << QPoint(450, 390) << QPoint(158, 98)
                              << QPoint(443, 383) << QPoint(300, 240);
    QTest::newRow("odd halves") << QPoint(153, 93) << QPoint(450, 390) << QPoint(160, 100)
                                << QPoint(443, 383) << QPoint(302, 242);
}

void TestNetworkDrawing::arrowRunsBetweenTheRims()
{
    QFETCH(QPoint, a);
    QFETCH(QPoint, b);
    QFETCH(QPoint, from);
    QFETCH(QPoint, end);
    QFETCH(QPoint, label);
    const ArrowPlace place = arrowPlace(a, b);
    QCOMPARE(place.from, from);
    QCOMPARE(place.end, end);
    QCOMPARE(place.label, label);
}

void TestNetworkDrawing::coincidingCentresHaveNoDirection()
{
    QString message;
    try {
        arrowPlace(QPoint(150, 141), QPoint(150, 141));
    } catch (const KestrinError& error) {
        message = error.message();
    }
    QCOMPARE(message, u"Invalid floating point operation"_s);
}

void TestNetworkDrawing::zeroDurationDrawsDashDotDot_data()
{
    QTest::addColumn<QString>("duration");
    QTest::addColumn<bool>("dashed");
    QTest::newRow("0") << u"0"_s << true;
    QTest::newRow("0.000") << u"0.000"_s << true;
    QTest::newRow("blanks around 0") << u" 0 "_s << true;
    QTest::newRow("-0") << u"-0"_s << true;
    QTest::newRow("0E5") << u"0E5"_s << true;
    QTest::newRow("5") << u"5"_s << false;
    QTest::newRow("0.5") << u"0.5"_s << false;
    QTest::newRow("-3") << u"-3"_s << false;
}

void TestNetworkDrawing::zeroDurationDrawsDashDotDot()
{
    QFETCH(QString, duration);
    QFETCH(bool, dashed);
    const QImage picture =
        drawn({{u"A"_s, u"B"_s, duration}}, {{u"A"_s, {100, 100}}, {u"B"_s, {400, 100}}});
    const int black = blackInRow(picture, 141, 160, 299);
    if (!dashed) {
        QCOMPARE(black, 140);
        return;
    }
    // A dash and two dots, repeating: runs of 4, 1 and 1 pixels with 2-pixel gaps, 12 a period.
    QVERIFY2(black > 40 && black < 100, qPrintable(QString::number(black)));
    QString runs;
    for (int x = 160; x < 184; ++x)
        runs += isBlack(picture, x, 141) ? QLatin1Char('#') : QLatin1Char('.');
    QCOMPARE(runs, u"####..#..#..####..#..#.."_s);
    // The end dot is drawn in the same style, its outline broken.
    const int rim = blackCount(picture, QRect(437, 138, 3, 6));
    QVERIFY(rim > 0 && rim < 8);
}

void TestNetworkDrawing::criticalPathEmphasis()
{
    // Path [S, X, Y, E]: X -> Y joins consecutive events (width 2), X -> E does not (width 1),
    // Z -> S comes from off the path (width 1).
    const std::vector<Work> works{
        {u"X"_s, u"Y"_s, u"1"_s}, {u"X"_s, u"E"_s, u"1"_s}, {u"Z"_s, u"S"_s, u"1"_s}};
    const std::vector<std::pair<QString, QPoint>> places{{u"X"_s, {100, 100}},
                                                         {u"Y"_s, {400, 100}},
                                                         {u"E"_s, {100, 300}},
                                                         {u"Z"_s, {400, 300}},
                                                         {u"S"_s, {650, 300}}};
    const QStringList path{u"S"_s, u"X"_s, u"Y"_s, u"E"_s};
    const QImage picture = drawn(works, places, path);

    QCOMPARE(blackInColumn(picture, 250, 135, 146), 2); // X -> Y, rows 140 and 141
    QVERIFY(isBlack(picture, 250, 140) && isBlack(picture, 250, 141));
    QCOMPARE(blackInRow(picture, 240, 144, 156), 1);    // X -> E, vertical at x 150
    QCOMPARE(blackInColumn(picture, 520, 335, 346), 1); // Z -> S at y 341

    // Circles: a two-pixel ring on the path, one pixel off it (Z), read across the centre's row
    // on the side where no arrow meets the circle.
    const struct
    {
        QPoint centre;
        int side;
        int ring;
    } nodes[] = {{{150, 141}, -1, 2},
                 {{450, 141}, 1, 2},
                 {{150, 341}, 1, 2},
                 {{450, 341}, -1, 1},
                 {{700, 341}, 1, 2}};
    for (const auto& node : nodes) {
        const int x = node.centre.x();
        const int y = node.centre.y();
        QCOMPARE(node.side < 0 ? blackInRow(picture, y, x - 14, x - 1)
                               : blackInRow(picture, y, x + 1, x + 14),
                 node.ring);
    }

    // Names of events on the path are bold: more ink than the same picture drawn without a path.
    const QImage plain = drawn(works, places);
    const QRect nameOfX(160, 118, 40, 16);
    const QRect nameOfZ(460, 318, 40, 16);
    QVERIFY(blackCount(picture, nameOfX) > blackCount(plain, nameOfX));
    QCOMPARE(blackCount(picture, nameOfZ), blackCount(plain, nameOfZ));
    QCOMPARE(blackInColumn(plain, 250, 135, 146), 1);
}

void TestNetworkDrawing::labellingWorkIsTheLastBetweenTheEvents_data()
{
    QTest::addColumn<QStringList>("durations");
    QTest::addColumn<QString>("alone");
    QTest::addColumn<bool>("dashed");
    QTest::newRow("3 then 0") << QStringList{u"3"_s, u"0"_s} << u"0"_s << true;
    QTest::newRow("0 then 3") << QStringList{u"0"_s, u"3"_s} << u"3"_s << false;
    QTest::newRow("1, 0, 12") << QStringList{u"1"_s, u"0"_s, u"12"_s} << u"12"_s << false;
}

void TestNetworkDrawing::labellingWorkIsTheLastBetweenTheEvents()
{
    QFETCH(QStringList, durations);
    QFETCH(QString, alone);
    QFETCH(bool, dashed);
    std::vector<std::pair<QString, QPoint>> places{{u"A"_s, {100, 100}}, {u"B"_s, {400, 100}}};
    std::vector<Work> works;
    for (const QString& duration : durations)
        works.push_back({u"A"_s, u"B"_s, duration});
    // A work from A to another event in between does not count.
    works.insert(works.begin() + 1, {u"A"_s, u"C"_s, u"9"_s});
    places.push_back({u"C"_s, {100, 300}});

    // Several works between the same events draw one arrow, labelled and styled by the last:
    // the picture is that of the last work alone (plus the other work).
    const QImage several = drawn(works, places);
    const QImage single = drawn({{u"A"_s, u"B"_s, alone}, {u"A"_s, u"C"_s, u"9"_s}}, places);
    QCOMPARE(several, single);
    QCOMPARE(blackInRow(several, 141, 160, 299) < 140, dashed);
    const QImage other =
        drawn({{u"A"_s, u"B"_s, durations.first()}, {u"A"_s, u"C"_s, u"9"_s}}, places);
    QVERIFY(other != several);
}

void TestNetworkDrawing::unplacedEventsDrawNothing()
{
    // Works to or from an event without a marker draw nothing; a marker without works is a lone
    // node with its name.
    const QImage withWorks =
        drawn({{u"A"_s, u"B"_s, u"1"_s}, {u"C"_s, u"A"_s, u"2"_s}}, {{u"A"_s, {300, 200}}});
    const QImage lone = drawn({{u"A"_s, u"D"_s, u"1"_s}}, {{u"A"_s, {300, 200}}});
    QCOMPARE(withWorks, lone);
    QCOMPARE(blackBounds(lone, QRect(1, 1, 780, 530)).left(), 340);
    QVERIFY(blackBounds(lone, QRect(1, 1, 780, 530)).right() < 400);
}

void TestNetworkDrawing::worksMatchEventsExactly()
{
    // "a" and "A" are one event to the list, but works name "A" and the marker says "a" (the
    // spelling met first): the work does not join the markers.
    const QImage picture = drawn({{u"a"_s, u"b"_s, u"1"_s}, {u"A"_s, u"b"_s, u"1"_s}},
                                 {{u"a"_s, {100, 100}}, {u"b"_s, {400, 100}}});
    QCOMPARE(blackInRow(picture, 141, 160, 299), 140);
    const QImage mismatch =
        drawn({{u"x"_s, u"B"_s, u"1"_s}, {u"y"_s, u"b"_s, u"1"_s}, {u"Y"_s, u"B"_s, u"1"_s}},
              {{u"y"_s, {100, 100}}, {u"B"_s, {400, 100}}});
    QCOMPARE(blackInRow(mismatch, 141, 160, 299), 0);
}

void TestNetworkDrawing::laterDrawingPaintsOver()
{
    // B is placed first: its circle is drawn before A's arrow into it, so the end dot stays
    // whole on B's rim; placed second, B's circle covers the dot's inner half.
    const std::vector<Work> works{{u"A"_s, u"B"_s, u"1"_s}};
    const QImage bFirst = drawn(works, {{u"B"_s, {400, 100}}, {u"A"_s, {100, 100}}});
    const QImage bLast = drawn(works, {{u"A"_s, {100, 100}}, {u"B"_s, {400, 100}}});
    QVERIFY(isBlack(bFirst, 442, 141) && isWhite(bFirst, 441, 141) && isWhite(bFirst, 440, 141));
    QVERIFY(isWhite(bLast, 442, 141) && isWhite(bLast, 441, 141) && isBlack(bLast, 440, 141));
    QCOMPARE(blackBounds(bFirst, QRect(437, 130, 3, 20)), QRect(437, 138, 3, 6));
    // A later node's name, on its opaque white cell from (220, 135), hides the line beneath.
    const std::vector<std::pair<QString, QPoint>> places{{u"A"_s, {100, 100}},
                                                         {u"B"_s, {400, 100}}};
    const QImage plain = drawn({{u"A"_s, u"B"_s, u"1"_s}, {u"C"_s, u"D"_s, u"1"_s}}, places);
    auto coveredPlaces = places;
    coveredPlaces.push_back({u"C"_s, {160, 114}});
    const QImage covered =
        drawn({{u"A"_s, u"B"_s, u"1"_s}, {u"C"_s, u"D"_s, u"1"_s}}, coveredPlaces);
    QCOMPARE(blackInRow(plain, 141, 220, 235), 16);
    QVERIFY(blackInRow(covered, 141, 220, 235) <= 4);
}

void TestNetworkDrawing::redrawingUsesTheNewPositions()
{
    const auto table = makeTable({{u"A"_s, u"B"_s, u"1"_s}});
    const auto window = openWindow(*table);
    EventMarker* a = place(*window, u"A"_s, {100, 100});
    place(*window, u"B"_s, {400, 100});
    auto* draw = control<QAbstractButton>(*window, "tbDrawGraph");
    draw->click();
    const QImage first = window->picture().copy();
    draw->click();
    // Off: the picture keeps its content; the markers can be moved.
    QCOMPARE(window->picture(), first);
    window->DraggedClick(a);
    window->pMainPadMouseMove(100, 300);
    window->DraggedClick(a);
    draw->click();
    const QImage second = window->picture();
    QCOMPARE(blackInRow(second, 141, 160, 299), 0);
    QCOMPARE(blackBounds(second, QRect(130, 125, 30, 40)), QRect());
    QCOMPARE(blackBounds(second, QRect(130, 325, 30, 40)), QRect(140, 331, 20, 20));
    QCOMPARE(second,
             drawn({{u"A"_s, u"B"_s, u"1"_s}}, {{u"A"_s, {100, 300}}, {u"B"_s, {400, 100}}}));
}

void TestNetworkDrawing::failuresStopTheDrawing_data()
{
    QTest::addColumn<std::vector<Work>>("works");
    QTest::addColumn<QPoint>("bAt");
    QTest::addColumn<QString>("message");
    // A is drawn first (its arrow to B and its node); B's arrow back to A fails.
    QTest::newRow("duration text")
        << std::vector<Work>{{u"A"_s, u"B"_s, u"5"_s}, {u"B"_s, u"A"_s, u"abc"_s}}
        << QPoint(400, 100) << u"'abc' is not a valid floating point value."_s;
    QTest::newRow("not the labelling work")
        << std::vector<Work>{{u"A"_s, u"B"_s, u"5"_s},
                             {u"B"_s, u"A"_s, u"1,5"_s},
                             {u"B"_s, u"A"_s, u"2"_s}}
        << QPoint(400, 100) << u"'1,5' is not a valid floating point value."_s;
    QTest::newRow("work from an event to itself")
        << std::vector<Work>{{u"A"_s, u"B"_s, u"5"_s}, {u"B"_s, u"B"_s, u"1"_s}} << QPoint(400, 100)
        << u"Invalid floating point operation."_s;
    QTest::newRow("markers on the same spot")
        << std::vector<Work>{{u"A"_s, u"C"_s, u"5"_s}, {u"B"_s, u"C"_s, u"1"_s}} << QPoint(600, 300)
        << u"Invalid floating point operation."_s;
}

void TestNetworkDrawing::failuresStopTheDrawing()
{
    QFETCH(std::vector<Work>, works);
    QFETCH(QPoint, bAt);
    QFETCH(QString, message);
    const auto table = makeTable(works);
    const auto window = openWindow(*table);
    place(*window, u"A"_s, {100, 100});
    place(*window, u"B"_s, bAt);
    if (entries(*window).contains(u"C"_s))
        place(*window, u"C"_s, bAt);
    auto* draw = control<QAbstractButton>(*window, "tbDrawGraph");

    QCOMPARE(clickAndAnswerErrorBox(draw), message);
    // What was drawn stays (A's node), B's node never came; the picture stays shown and the
    // button pressed, showing what was drawn.
    const QImage& picture = window->picture();
    QCOMPARE(blackBounds(picture, QRect(130, 125, 30, 40)), QRect(140, 131, 20, 20));
    const QPoint b = bAt + QPoint(50, 41);
    QVERIFY(isWhite(picture, b.x(), b.y() + 9));
    QVERIFY(window->isPictureShown());
    QVERIFY(draw->isChecked());
    QVERIFY(control<QLabel>(*window, "iMain")->isVisible());
    QCOMPARE(control<QLabel>(*window, "iMain")->pixmap().toImage(), picture);

    // The next use switches the picture off.
    QCOMPARE(clickAndAnswerErrorBox(draw), QString());
    QVERIFY(!window->isPictureShown());
    QVERIFY(!draw->isChecked());
}

void TestNetworkDrawing::failureKeepsThePenStyleSetBeforeIt()
{
    // Between B and A the first work (duration 0) sets dash-dot-dot before the second fails; the
    // pen keeps that style, so the next clearing outlines the picture's top edge dash-dot-dot.
    const auto table =
        makeTable({{u"A"_s, u"B"_s, u"5"_s}, {u"B"_s, u"A"_s, u"0"_s}, {u"B"_s, u"A"_s, u"x"_s}});
    const auto window = openWindow(*table);
    place(*window, u"A"_s, {100, 100});
    place(*window, u"B"_s, {400, 100});
    auto* draw = control<QAbstractButton>(*window, "tbDrawGraph");
    QCOMPARE(clickAndAnswerErrorBox(draw), u"'x' is not a valid floating point value."_s);
    QCOMPARE(clickAndAnswerErrorBox(draw), QString()); // off
    QCOMPARE(clickAndAnswerErrorBox(draw), u"'x' is not a valid floating point value."_s);
    const QImage& picture = window->picture();
    const int black = blackInRow(picture, 0, 0, 99);
    QVERIFY2(black > 20 && black < 90, qPrintable(QString::number(black)));
}

QTEST_MAIN(TestNetworkDrawing)
#include "tst_networkdrawing.moc"
