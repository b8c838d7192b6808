#include "Bench.h"

#include "DiagramModel.h"
#include "DiagramPainter.h"
#include "DiagramScene.h"
#include "DiagramView.h"
#include "DotOrdering.h"
#include "EventIndex.h"
#include "GeneratedNetwork.h"
#include "LayeredGraph.h"
#include "NameCollation.h"
#include "NetworkLayout.h"
#include "NumberFormat.h"
#include "ReportFonts.h"
#include "SweepOrdering.h"
#include "TfmDiagram.h"
#include "WorkTable.h"

#include <QApplication>
#include <QScrollBar>

// The network diagram: opening the window over generated networks of 200 events (500 works) and
// 2,000 events (5,000 works) until its first paint, and each step of it on its own (the network
// and its times, the layout, the scene); a zoom step and a scroll step with their repaint; and
// the layers ordered by Graphviz's dot and by our own sweeps on the same networks, with the
// crossings each leaves.
namespace {

QString ms(double seconds)
{
    return QStringLiteral("%1 ms").arg(seconds * 1000.0, 0, 'f', 1);
}

struct Network
{
    explicit Network(int events)
        : names(QLocale(QLocale::Russian, QLocale::Russia)), numbers(QStringLiteral(","))
    {
        testsupport::fillGeneratedNetwork(table, events, events * 5 / 2);
        index = std::make_unique<EventIndex>(table, names);
        end = QString::number(events);
    }

    WorkTable table;
    NameCollation names;
    NumberFormat numbers;
    std::unique_ptr<EventIndex> index;
    QString end;
};

void benchWindow(int events)
{
    const Network network(events);
    const QString size =
        QStringLiteral("%1 events, %2 works").arg(events).arg(network.table.rowCount());

    std::unique_ptr<TfmDiagram> window;
    const double open = bench::seconds(
        [&] {
            window.reset();
            window = std::make_unique<TfmDiagram>(
                network.table, *network.index, QStringLiteral("1"), network.end, network.numbers);
            window->resize(1280, 900);
            window->show();
            QApplication::processEvents();
            // The view rendered as the screen would show it.
            window->view()->viewport()->grab();
        },
        3);
    bench::report(QStringLiteral("diagram: %1, open to first paint").arg(size), ms(open));

    std::unique_ptr<DiagramModel> model;
    const double modelTime = bench::seconds(
        [&] {
            model = std::make_unique<DiagramModel>(
                network.table, *network.index, QStringLiteral("1"), network.end, network.numbers);
        },
        3);
    const DiagramSizes sizes = DiagramSizes::measure(*model);
    NetworkLayout layout;
    const double layoutTime = bench::seconds(
        [&] { layout = layOutNetwork(model->layoutInput(), sizes.layoutMetrics()); }, 3);
    std::unique_ptr<DiagramScene> scene;
    const double sceneTime = bench::seconds(
        [&] { scene = std::make_unique<DiagramScene>(*model, layout, sizes, DiagramOptions()); },
        3);
    bench::report(QStringLiteral("diagram: %1, network and times").arg(size), ms(modelTime));
    bench::report(QStringLiteral("diagram: %1, layout (%2)")
                      .arg(size, layout.ordering == LayoutOrdering::Dot ? QStringLiteral("dot")
                                                                        : QStringLiteral("sweeps")),
                  ms(layoutTime));
    bench::report(QStringLiteral("diagram: %1, scene").arg(size), ms(sceneTime));

    DiagramView* view = window->view();
    const double fitPaint = bench::seconds([&] { view->viewport()->grab(); }, 5);
    bench::report(QStringLiteral("diagram: %1, repaint of the whole network").arg(size),
                  ms(fitPaint));
    view->setZoom(1, QPointF(view->viewport()->width() / 2.0, view->viewport()->height() / 2.0));
    constexpr int kSteps = 20;
    const double zoom = bench::seconds([&] {
        for (int step = 0; step < kSteps; ++step) {
            view->setZoom(step % 2 == 0 ? 1.25 : 1.0);
            view->viewport()->grab();
        }
    });
    bench::report(QStringLiteral("diagram: %1, zoom step at 100 % with repaint").arg(size),
                  ms(zoom / kSteps));
    const double scroll = bench::seconds([&] {
        for (int step = 0; step < kSteps; ++step) {
            view->horizontalScrollBar()->setValue(view->horizontalScrollBar()->value() +
                                                  (step % 2 == 0 ? 120 : -60));
            view->verticalScrollBar()->setValue(view->verticalScrollBar()->value() +
                                                (step % 2 == 0 ? 40 : -20));
            view->viewport()->grab();
        }
    });
    bench::report(QStringLiteral("diagram: %1, scroll step at 100 % with repaint").arg(size),
                  ms(scroll / kSteps));
}

// The same layered graph ordered each way.
void benchOrderings(int events)
{
    const Network network(events);
    const DiagramModel model(network.table, *network.index, QStringLiteral("1"), network.end,
                             network.numbers);
    const LayoutInput input = model.layoutInput();
    const LayeredGraph graph(int(input.names.size()), input.works, input.names, kBendBudget);
    const QString size =
        QStringLiteral("%1 events (%2 nodes with bends)").arg(events).arg(graph.nodeCount());
    const auto measure = [&](const QString& name, const std::function<void(LayeredGraph&)>& order) {
        LayeredGraph ordered = graph;
        const double time = bench::seconds([&] {
            ordered = graph;
            order(ordered);
        });
        bench::report(QStringLiteral("ordering: %1, %2").arg(size, name),
                      QStringLiteral("%1 crossings, %2").arg(ordered.crossings()).arg(ms(time)));
    };
    bench::report(QStringLiteral("ordering: %1, first order").arg(size),
                  QStringLiteral("%1 crossings").arg(graph.crossings()));
    const double automatic = dotEffort(graph.nodeCount());
    measure(QStringLiteral("dot, full effort"), [](LayeredGraph& g) { orderWithDot(g, 1.0); });
    if (automatic < 1.0)
        measure(QStringLiteral("dot, effort %1").arg(automatic, 0, 'f', 2),
                [automatic](LayeredGraph& g) { orderWithDot(g, automatic); });
    measure(QStringLiteral("sweeps"), [](LayeredGraph& g) { orderBySweeps(g, 24); });
}

} // namespace

void benchDiagram()
{
    report::installReportFontSubstitutes();
    benchWindow(200);
    benchWindow(2000);
    for (const int events : {50, 200, 2000, 5000})
        benchOrderings(events);
}
