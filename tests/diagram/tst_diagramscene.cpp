#include "DateFormat.h"
#include "DiagramScene.h"
#include "DiagramTestSupport.h"
#include "FileTestSupport.h"
#include "KestrinError.h"
#include "NetworkLoop.h"
#include "Recalculation.h"

#include <QLineF>
#include <QTest>

#include <algorithm>
#include <numeric>

using namespace diagramtest;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(LayoutOrdering)
Q_DECLARE_METATYPE(EventStyle)

namespace {

constexpr double kExact = 1e-9;

// Whether the segment a-b passes through the inside of the rectangle (Liang and Barsky's
// clipping: some stretch of it lies within).
bool segmentEnters(QPointF a, QPointF b, const QRectF& rect)
{
    double from = 0;
    double to = 1;
    const QPointF d = b - a;
    const double p[] = {-d.x(), d.x(), -d.y(), d.y()};
    const double q[] = {a.x() - rect.left(), rect.right() - a.x(), a.y() - rect.top(),
                        rect.bottom() - a.y()};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] <= 0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            from = std::max(from, t);
        else
            to = std::min(to, t);
    }
    return to - from > kExact;
}

bool boxTouchesCircle(const QRectF& box, QPointF centre, double radius)
{
    const QPointF nearest(std::clamp(centre.x(), box.left(), box.right()),
                          std::clamp(centre.y(), box.top(), box.bottom()));
    return QLineF(nearest, centre).length() < radius - kExact;
}

} // namespace

// The drawing the diagram window shows, checked on the guide's example and on generated networks
// of 50, 200 and 2,000 events, in both event styles and with either ordering of the layers.
class TestDiagramScene : public QObject
{
    Q_OBJECT

private slots:
    void drawingKeepsItsPromises_data();
    void drawingKeepsItsPromises();
    void exampleShowsTheTimesOfTheRecalculation();
    void loopsAreRefusedInTheRecalculationsWords_data();
    void loopsAreRefusedInTheRecalculationsWords();
};

void TestDiagramScene::drawingKeepsItsPromises_data()
{
    QTest::addColumn<int>("events");
    QTest::addColumn<LayoutOrdering>("ordering");
    QTest::addColumn<EventStyle>("style");
    QTest::newRow("guide's example") << 0 << LayoutOrdering::Automatic << EventStyle::Sectors;
    QTest::newRow("guide's example, names") << 0 << LayoutOrdering::Automatic << EventStyle::Named;
    QTest::newRow("50 events") << 50 << LayoutOrdering::Automatic << EventStyle::Sectors;
    QTest::newRow("200 events") << 200 << LayoutOrdering::Automatic << EventStyle::Named;
    QTest::newRow("200 events, sweeps") << 200 << LayoutOrdering::Sweeps << EventStyle::Sectors;
    QTest::newRow("2,000 events") << 2000 << LayoutOrdering::Automatic << EventStyle::Sectors;
    QTest::newRow("2,000 events, sweeps") << 2000 << LayoutOrdering::Sweeps << EventStyle::Named;
}

// No two circles overlap; every arrow starts on the rim of its start event's circle and its head
// touches the end event's; every work runs left to right, so an event never stands left of one of
// its predecessors; the critical path lies on one horizontal line, its works straight along it;
// and every label is clear of every circle and of its own work's line.
void TestDiagramScene::drawingKeepsItsPromises()
{
    QFETCH(int, events);
    QFETCH(LayoutOrdering, ordering);
    QFETCH(EventStyle, style);
    const auto network = diagramtest::network(events);
    const DiagramModel model = network->model();
    const DiagramSizes sizes = DiagramSizes::measure(model);
    const NetworkLayout layout =
        layOutNetwork(model.layoutInput(), sizes.layoutMetrics(), ordering);
    QCOMPARE(layout.ordering,
             ordering == LayoutOrdering::Sweeps ? LayoutOrdering::Sweeps : LayoutOrdering::Dot);
    DiagramOptions options;
    options.style = style;
    options.floats = true;
    const DiagramScene scene(model, layout, sizes, options);
    const double r = scene.radius();
    const std::vector<SceneEvent>& shown = scene.events();
    QCOMPARE(shown.size(), model.events().size());
    QCOMPARE(scene.works().size(), model.works().size());
    if (events > 0)
        QCOMPARE(int(shown.size()), events);

    // Circles, by x: only neighbours closer than a diameter across need a look.
    std::vector<int> byX(shown.size());
    std::iota(byX.begin(), byX.end(), 0);
    std::sort(byX.begin(), byX.end(),
              [&](int a, int b) { return shown[a].centre.x() < shown[b].centre.x(); });
    for (std::size_t i = 0; i < byX.size(); ++i)
        for (std::size_t j = i + 1;
             j < byX.size() && shown[byX[j]].centre.x() - shown[byX[i]].centre.x() < 2 * r; ++j)
            QVERIFY2(
                QLineF(shown[byX[i]].centre, shown[byX[j]].centre).length() >= 2 * r,
                qPrintable(model.events()[byX[i]].name + u" / "_s + model.events()[byX[j]].name));

    const QPointF offset = shown.front().centre - layout.centres.front();
    for (std::size_t w = 0; w < scene.works().size(); ++w) {
        const SceneWork& work = scene.works()[w];
        const DiagramWork& source = model.works()[w];
        const QString name =
            model.events()[source.from].name + u" → "_s + model.events()[source.to].name;
        const QPointF from = shown[std::size_t(source.from)].centre;
        const QPointF to = shown[std::size_t(source.to)].centre;
        QVERIFY2(from.x() < to.x(), qPrintable(name));
        QVERIFY2(std::abs(QLineF(from, work.start).length() - r) < kExact, qPrintable(name));
        QVERIFY2(std::abs(QLineF(to, work.tip).length() - r) < kExact, qPrintable(name));
        QCOMPARE(work.head.first(), work.tip);
        QCOMPARE(QPointF(work.line.front().path.elementAt(0)), work.start);
        for (std::size_t i = 1; i < work.line.size(); ++i)
            QCOMPARE(QPointF(work.line[i].path.elementAt(0)),
                     work.line[i - 1].path.currentPosition());
        QVERIFY2(std::abs(QLineF(work.line.back().path.currentPosition(), work.tip).length() -
                          DiagramScene::kHeadLength) < kExact,
                 qPrintable(name));
        const std::vector<QPointF>& route = layout.routes[w];
        for (std::size_t i = 1; i < route.size(); ++i)
            QVERIFY2(route[i - 1].x() <= route[i].x(), qPrintable(name));

        for (const SceneText* label : {&work.duration, &work.totalFloat}) {
            if (label->text.isEmpty())
                continue;
            for (std::size_t i = 1; i < route.size(); ++i)
                QVERIFY2(!segmentEnters(route[i - 1] + offset, route[i] + offset, label->box),
                         qPrintable(name + u": "_s + label->text));
            auto near =
                std::lower_bound(byX.begin(), byX.end(), label->box.left() - r,
                                 [&](int event, double x) { return shown[event].centre.x() < x; });
            for (; near != byX.end() && shown[*near].centre.x() <= label->box.right() + r; ++near)
                QVERIFY2(!boxTouchesCircle(label->box, shown[*near].centre, r),
                         qPrintable(name + u": "_s + label->text));
        }
    }

    // The critical path: its events at the line's height, the works between them straight on it.
    const std::vector<int>& path = model.criticalPath();
    QVERIFY(path.size() >= 2);
    QCOMPARE(model.events()[std::size_t(path.front())].name, network->start);
    QCOMPARE(model.events()[std::size_t(path.back())].name, network->end);
    for (const int event : path)
        QCOMPARE(shown[std::size_t(event)].centre.y(), scene.lineY());
    int lineWorks = 0;
    for (std::size_t w = 0; w < layout.routes.size(); ++w) {
        if (!layout.onLine[w])
            continue;
        ++lineWorks;
        // Parallel works add up on a path, so between two events of the critical path the works
        // may all have float; a lone work there is critical.
        const DiagramWork& work = model.works()[w];
        const auto parallel = std::count_if(
            model.works().begin(), model.works().end(), [&](const DiagramWork& other) {
                return other.from == work.from && other.to == work.to;
            });
        QVERIFY(work.critical || parallel > 1);
        for (const QPointF& point : layout.routes[w])
            QCOMPARE(point.y(), 0.0);
        for (const LinePiece& piece : scene.works()[w].line)
            QCOMPARE(piece.bounds.height(), 0.0);
    }
    QCOMPARE(lineWorks, int(path.size()) - 1);
}

// The four sectors hold the analysis's texts for the guide's example; the works of the critical
// path and the dummy work are marked as such.
void TestDiagramScene::exampleShowsTheTimesOfTheRecalculation()
{
    const auto network = diagramtest::network(0);
    const DiagramModel model = network->model();
    QCOMPARE(model.caption(), u"Сетевой график от «1» до «10», L = 21"_s);
    QStringList path;
    for (const int event : model.criticalPath())
        path.append(model.events()[std::size_t(event)].name);
    QCOMPARE(path, QStringList({u"1"_s, u"2"_s, u"4"_s, u"6"_s, u"7"_s, u"9"_s, u"10"_s}));

    const DiagramSizes sizes = DiagramSizes::measure(model);
    const NetworkLayout layout = layOutNetwork(model.layoutInput(), sizes.layoutMetrics());
    DiagramOptions options;
    options.floats = true;
    const DiagramScene scene(model, layout, sizes, options);
    QStringList sectors;
    for (std::size_t e = 0; e < scene.events().size(); ++e) {
        const SceneEvent& event = scene.events()[e];
        sectors.append(QStringList{event.top.text, event.left.text, event.right.text,
                                   event.bottom.text, event.critical ? u"!"_s : QString()}
                           .join(u'|'));
    }
    std::sort(sectors.begin(), sectors.end());
    QCOMPARE(sectors, QStringList({u"10|21|21|0|!"_s, u"1|0|0|0|!"_s, u"2|3|3|0|!"_s, u"3|5|7|2|"_s,
                                   u"4|7|7|0|!"_s, u"5|7,5|12|4,5|"_s, u"6|13|13|0|!"_s,
                                   u"7|16|16|0|!"_s, u"8|15|18,5|3,5|"_s, u"9|20|20|0|!"_s}));

    QStringList works;
    for (std::size_t w = 0; w < scene.works().size(); ++w) {
        const SceneWork& work = scene.works()[w];
        const DiagramWork& source = model.works()[w];
        works.append(QStringList{model.events()[source.from].name, model.events()[source.to].name,
                                 work.duration.text, work.totalFloat.text,
                                 work.critical ? u"critical"_s : QString(),
                                 work.zeroDuration ? u"dummy"_s : QString()}
                         .join(u'|'));
    }
    QCOMPARE(works,
             QStringList({u"1|2|3|Rп=0|critical|"_s, u"1|3|5|Rп=2||"_s, u"2|4|4|Rп=0|critical|"_s,
                          u"3|4|0|Rп=2||dummy"_s, u"3|5|2,5|Rп=4,5||"_s, u"4|6|6|Rп=0|critical|"_s,
                          u"5|6|1|Rп=4,5||"_s, u"6|7|3|Rп=0|critical|"_s, u"6|8|2|Rп=3,5||"_s,
                          u"7|9|4|Rп=0|critical|"_s, u"8|9|1,5|Rп=3,5||"_s,
                          u"9|10|1|Rп=0|critical|"_s}));
}

void TestDiagramScene::loopsAreRefusedInTheRecalculationsWords_data()
{
    QTest::addColumn<QStringList>("works");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QString>("message");
    QTest::newRow("loop the recalculation meets")
        << QStringList{u"1 2"_s, u"2 3"_s, u"3 2"_s, u"3 4"_s} << u"4"_s << QString();
    QTest::newRow("a work from an event to itself")
        << QStringList{u"1 2"_s, u"2 2"_s, u"2 3"_s} << u"3"_s << QString();
    // Paths end at the end event: the recalculation never meets a loop behind it, the drawing
    // does.
    QTest::newRow("loop behind the end event")
        << QStringList{u"1 2"_s, u"2 5"_s, u"5 6"_s, u"6 5"_s} << u"5"_s
        << loopMessage({u"5"_s, u"6"_s, u"5"_s});
}

// A loop stops the drawing with the message the recalculation gives for it.
void TestDiagramScene::loopsAreRefusedInTheRecalculationsWords()
{
    QFETCH(QStringList, works);
    QFETCH(QString, end);
    QFETCH(QString, message);
    WorkTable table;
    table.setRowCount(int(works.size()));
    for (int row = 0; row < works.size(); ++row) {
        const QStringList ends = works[row].split(u' ');
        table.setCell(WorkColumn::StartEvent, row, ends[0]);
        table.setCell(WorkColumn::EndEvent, row, ends[1]);
        table.setCell(WorkColumn::Duration, row, u"1"_s);
    }
    const EventIndex index(table, names());
    if (message.isEmpty()) {
        WorkTable copy;
        copy.setRowCount(table.rowCount());
        for (int row = 0; row < table.rowCount(); ++row)
            for (const WorkColumn column :
                 {WorkColumn::StartEvent, WorkColumn::EndEvent, WorkColumn::Duration})
                copy.setCell(column, row, table.cellView(column, row));
        message = testsupport::messageOf([&] {
            Recalculation recalculation(copy, u"1"_s, end, 0, numbers(),
                                        DateFormat(u"dd.MM.yyyy"_s), names());
            QStringList path;
            recalculation.criticalLength(path);
            recalculation.fillComputedColumns();
        });
        QVERIFY2(message.startsWith(loopMessage({})), qPrintable(message));
    }
    const QString shown = testsupport::messageOf([&] {
        const DiagramModel model(table, index, u"1"_s, end, numbers());
        layOutNetwork(model.layoutInput(), DiagramSizes::measure(model).layoutMetrics());
    });
    QCOMPARE(shown, message);
}

QTEST_MAIN(TestDiagramScene)
#include "tst_diagramscene.moc"
