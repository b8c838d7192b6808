#include "DiagramScene.h"
#include "DiagramTestSupport.h"
#include "DiagramView.h"
#include "NetworkLayout.h"

#include <QApplication>
#include <QHelpEvent>
#include <QTest>
#include <QToolTip>

#include <algorithm>
#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

// The guide's example with a name on every work but the third.
std::unique_ptr<diagramtest::Network> namedExample()
{
    auto network = diagramtest::network(0);
    for (int row = 0; row < network->table.rowCount(); ++row) {
        if (row == 2)
            continue;
        WorkDetails details;
        details.name = u"Работа номер %1"_s.arg(row + 1);
        network->table.setDetails(row, details);
    }
    return network;
}

// Points along a work's line every half pixel at most.
std::vector<QPointF> sampleLine(const SceneWork& work)
{
    std::vector<QPointF> points;
    for (const LinePiece& piece : work.line) {
        const int steps = std::max(2, int(std::ceil(piece.path.length() * 2)));
        for (int step = 0; step <= steps; ++step)
            points.push_back(piece.path.pointAtPercent(qreal(step) / steps));
    }
    return points;
}

qreal distance(const QPointF& point, const std::vector<QPointF>& line)
{
    qreal nearest = std::numeric_limits<qreal>::max();
    for (const QPointF& on : line)
        nearest = std::min(nearest, std::hypot(point.x() - on.x(), point.y() - on.y()));
    return nearest;
}

// The middle of a work's longest piece of line: a point on its arrow away from the events.
QPointF middleOf(const SceneWork& work)
{
    const auto longest =
        std::max_element(work.line.begin(), work.line.end(), [](const auto& a, const auto& b) {
            return a.path.length() < b.path.length();
        });
    return longest->path.pointAtPercent(0.5);
}

} // namespace

class TestDiagramHints : public QObject
{
    Q_OBJECT

private slots:
    void workUnderPointAgreesWithDistances();
    void viewHintsTheNameOfTheWorkPointedAt();

private:
    struct Drawn
    {
        std::unique_ptr<diagramtest::Network> network;
        std::unique_ptr<DiagramModel> model;
        std::unique_ptr<DiagramScene> scene;
    };

    static Drawn draw()
    {
        Drawn drawn;
        drawn.network = namedExample();
        drawn.model = std::make_unique<DiagramModel>(drawn.network->model());
        const DiagramSizes sizes = DiagramSizes::measure(*drawn.model);
        const NetworkLayout layout =
            layOutNetwork(drawn.model->layoutInput(), sizes.layoutMetrics());
        drawn.scene = std::make_unique<DiagramScene>(*drawn.model, layout, sizes, DiagramOptions{});
        return drawn;
    }
};

// Over a grid of points across the whole drawing, measured by brute force against every line:
// a point within 3.5 pixels of a line finds a work that is near it (line, head or label), a point
// more than 6 pixels (past a square end of the 4-pixel reach) from every line and off every head
// and label finds none.
void TestDiagramHints::workUnderPointAgreesWithDistances()
{
    const Drawn drawn = draw();
    const DiagramScene& scene = *drawn.scene;
    std::vector<std::vector<QPointF>> lines;
    for (const SceneWork& work : scene.works())
        lines.push_back(sampleLine(work));
    const auto nearWork = [&](const QPointF& point, std::size_t w, qreal reach) {
        const SceneWork& work = scene.works()[w];
        if (work.duration.box.contains(point) || work.head.containsPoint(point, Qt::OddEvenFill))
            return true;
        return work.bounds.adjusted(-reach, -reach, reach, reach).contains(point) &&
               distance(point, lines[w]) <= reach;
    };

    int hits = 0;
    int misses = 0;
    const QRectF bounds = scene.bounds();
    for (qreal y = bounds.top() + 1; y < bounds.bottom(); y += 3) {
        for (qreal x = bounds.left() + 1; x < bounds.right(); x += 3) {
            const QPointF point(x, y);
            const int found = scene.workAt(point);
            bool close = false;
            bool far = true;
            for (std::size_t w = 0; w < lines.size(); ++w) {
                close = close || nearWork(point, w, 3.5);
                far = far && !nearWork(point, w, 6);
            }
            const QString where = u"(%1, %2) found %3"_s.arg(x).arg(y).arg(found);
            if (close) {
                QVERIFY2(found >= 0 && nearWork(point, std::size_t(found), 6), qPrintable(where));
                ++hits;
            } else if (far) {
                QVERIFY2(found < 0, qPrintable(where));
                ++misses;
            }
        }
    }
    QVERIFY(hits > 100 && misses > 1000);
    for (std::size_t w = 0; w < scene.works().size(); ++w)
        QCOMPARE(scene.workAt(middleOf(scene.works()[w])), int(w));
}

// Pointing the view at the middle of a work's arrow hints the name the table holds for its row;
// the unnamed work hints nothing, and an event its own hint, not a work's name.
void TestDiagramHints::viewHintsTheNameOfTheWorkPointedAt()
{
    const Drawn drawn = draw();
    DiagramView view;
    view.resize(1200, 800);
    view.setScene(drawn.scene.get());
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.setZoom(1);

    const auto hintAt = [&](const QPointF& diagramPoint) {
        const QPoint at = view.viewportPoint(diagramPoint).toPoint();
        QHelpEvent help(QEvent::ToolTip, at, view.viewport()->mapToGlobal(at));
        QApplication::sendEvent(view.viewport(), &help);
        // A hint is shown at once, but hidden only after a moment: a refused hint says so by
        // leaving the event ignored.
        return help.isAccepted() ? QToolTip::text() : QString();
    };

    int named = 0;
    for (std::size_t w = 0; w < drawn.scene->works().size(); ++w) {
        const QPointF middle = middleOf(drawn.scene->works()[w]);
        QVERIFY(view.viewport()->rect().contains(view.viewportPoint(middle).toPoint()));
        const int row = drawn.model->works()[w].row;
        const QString name = drawn.network->table.details(row).name;
        QCOMPARE(hintAt(middle), name);
        named += name.isEmpty() ? 0 : 1;
    }
    QCOMPARE(named, drawn.network->table.rowCount() - 1);
    const QString eventHint = hintAt(drawn.scene->events().front().centre);
    QVERIFY2(eventHint.startsWith(u"Событие «"_s), qPrintable(eventHint));
}

QTEST_MAIN(TestDiagramHints)
#include "tst_diagramhints.moc"
