#include "GraphTestSupport.h"
#include "NetworkDrawing.h"

#include <QFrame>
#include <QTest>

using namespace graphtest;
using namespace Qt::StringLiterals;

// "Разместить все события": every unplaced event of the graph window placed by the network's
// layout, stretched over the drawing area.
class TestGraphPlaceAll : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { installClassicFontSubstitutes(); }
    void placesEveryEventClearOfTheOthers_data();
    void placesEveryEventClearOfTheOthers();
};

void TestGraphPlaceAll::placesEveryEventClearOfTheOthers_data()
{
    QTest::addColumn<QStringList>("works");
    QTest::addColumn<QStringList>("path");
    QTest::addColumn<QString>("placedByHand");
    QTest::addColumn<int>("placed");

    const QStringList house{u"1 2"_s, u"1 3"_s, u"2 4"_s, u"3 4"_s, u"3 5"_s, u"4 6"_s,
                            u"5 6"_s, u"6 7"_s, u"6 8"_s, u"7 9"_s, u"8 9"_s, u"9 10"_s};
    const QStringList housePath{u"1"_s, u"2"_s, u"4"_s, u"6"_s, u"7"_s, u"9"_s, u"10"_s};
    QTest::newRow("guide's example") << house << housePath << QString() << 10;
    QTest::newRow("guide's example, one event placed by hand")
        << house << housePath << u"8"_s << 10;
    // The cells name the events in another letter case than the list does.
    QTest::newRow("names in two cases") << QStringList{u"a b"_s, u"B c"_s, u"a C"_s}
                                        << QStringList{u"a"_s, u"b"_s, u"c"_s} << QString() << 3;
    // A path of 52 events cannot stand in one row of markers 100 pixels wide on 792 pixels.
    QStringList chain;
    QStringList chainPath;
    for (int event = 1; event < 52; ++event)
        chain.append(QStringLiteral("%1 %2").arg(event).arg(event + 1));
    for (int event = 1; event <= 52; ++event)
        chainPath.append(QString::number(event));
    QTest::newRow("a path too long for the area") << chain << chainPath << QString() << 7;
}

// The markers stand inside the area with their circles inside the picture, never on each other
// or on a marker placed by hand, each after the events with works into it, the critical path in
// one row; what cannot be placed that way stays in the list, and one line says how many were.
void TestGraphPlaceAll::placesEveryEventClearOfTheOthers()
{
    QFETCH(QStringList, works);
    QFETCH(QStringList, path);
    QFETCH(QString, placedByHand);
    QFETCH(int, placed);
    std::vector<Work> rows;
    for (const QString& work : works)
        rows.push_back({work.section(u' ', 0, 0), work.section(u' ', 1, 1), u"1"_s});
    const auto table = makeTable(rows);
    const auto window = openWindow(*table, path);
    const int listed = int(entries(*window).size());
    QRect byHand;
    if (!placedByHand.isEmpty())
        byHand = place(*window, placedByHand, QPoint(300, 200))->geometry();

    const QString notice = clickAndAnswerErrorBox(control<QAbstractButton>(*window, "tbPlaceAll"));
    const int all = int(window->markers().size());
    QCOMPARE(all, placed);
    QCOMPARE(int(entries(*window).size()), listed - all);
    if (all == listed)
        QVERIFY2(notice.isEmpty(), qPrintable(notice));
    else
        QCOMPARE(notice, QStringLiteral("Сеть не помещается в область без наложений: размещено "
                                        "событий %1 из %2, остальные остались в списке")
                             .arg(all - (byHand.isNull() ? 0 : 1))
                             .arg(listed - (byHand.isNull() ? 0 : 1)));
    QVERIFY(!window->isDragging());
    if (!byHand.isNull())
        QCOMPARE(markerOf(*window, placedByHand)->geometry(), byHand);

    const auto* pad = control<QFrame>(*window, "pMainPad");
    const std::vector<EventMarker*>& markers = window->markers();
    for (std::size_t i = 0; i < markers.size(); ++i) {
        const QRect rect = markers[i]->geometry();
        QVERIFY(markers[i]->isVisible());
        QVERIFY2(QRect(QPoint(0, 0), pad->size()).contains(rect), qPrintable(markers[i]->text()));
        QVERIFY(nodeCentre(rect).y() + kNodeRadius < window->picture().height());
        for (std::size_t j = i + 1; j < markers.size(); ++j)
            QVERIFY2(!rect.intersects(markers[j]->geometry()),
                     qPrintable(markers[i]->text() + u" / "_s + markers[j]->text()));
    }
    // Markers are named as the list names the events, whatever the letter case of a cell.
    const auto markerNamed = [&](const QString& name) -> const EventMarker* {
        for (const EventMarker* marker : markers)
            if (marker->text().compare(name, Qt::CaseInsensitive) == 0)
                return marker;
        return nullptr;
    };
    for (const Work& work : rows) {
        const EventMarker* from = markerNamed(work.start);
        const EventMarker* to = markerNamed(work.end);
        QVERIFY(from || all < listed);
        QVERIFY(to || all < listed);
        if (!from || !to || (from->text() == placedByHand || to->text() == placedByHand))
            continue;
        QVERIFY2(from->x() < to->x(), qPrintable(work.start + u" → "_s + work.end));
    }
    const EventMarker* first = markerNamed(path.first());
    QVERIFY(first);
    for (const QString& event : path)
        if (const EventMarker* marker = markerNamed(event))
            QCOMPARE(marker->y(), first->y());
}

QTEST_MAIN(TestGraphPlaceAll)
#include "tst_graphplaceall.moc"
