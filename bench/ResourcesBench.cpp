#include "Bench.h"

#include "EventIndex.h"
#include "GeneratedNetwork.h"
#include "LevellingOracle.h"
#include "LoadChartPainter.h"
#include "LoadProfile.h"
#include "NameCollation.h"
#include "NumberFormat.h"
#include "PictureFile.h"
#include "ResourceNetwork.h"
#include "TfmResources.h"
#include "WorkTable.h"

#include <QAbstractButton>
#include <QLabel>
#include <QPainter>

#include <random>

// The resources window as the user meets it: a table of 10,000 works with demands on three
// resources read into the levelling's network, levelled by the window's command, and the load
// profile of a million works computed and painted.
namespace {

void benchWindowLevelling()
{
    constexpr int kWorks = 10'000;
    WorkTable table;
    testsupport::fillGeneratedNetwork(table, 2'500, kWorks);
    Plan plan;
    const ResourceId ids[] = {plan.addResource(), plan.addResource(), plan.addResource()};
    const double amounts[] = {10, 8, 12};
    for (int r = 0; r < 3; ++r) {
        Resource resource = *plan.resource(ids[r]);
        resource.available = amounts[r];
        plan.updateResource(resource);
    }
    std::mt19937 random(11);
    for (int row = 0; row < table.rowCount(); ++row) {
        WorkDetails details;
        for (int r = 0; r < 3; ++r)
            if (random() % 3 != 0)
                details.setDemand(ids[r], 1 + int(random() % std::uint32_t(amounts[r] / 2)));
        table.setDetails(row, details);
    }
    const NumberFormat numbers(QStringLiteral(","));
    const NameCollation names;
    const EventIndex index(table, names);
    std::unique_ptr<ResourceNetwork> network;
    const double reading = bench::seconds([&] {
        network = std::make_unique<ResourceNetwork>(
            table, index, QStringLiteral("1"), QStringLiteral("2500"), plan.resources(), numbers);
    });
    TfmResources window(*network, plan, numbers);
    const double levelling = bench::seconds(
        [&] { window.findChild<QAbstractButton*>(QStringLiteral("sbLevel"))->click(); });
    const std::vector<int>& starts = window.levelledStarts();
    int length = 0;
    for (std::size_t a = 0; a < starts.size(); ++a)
        length = std::max(length, starts[a] + network->problem().durations[a]);
    const QString fault = levellingFault(network->problem(), starts, length);
    bench::report(QStringLiteral("resources window, 10,000 works: reading the table, s"),
                  QString::number(reading, 'f', 3));
    bench::report(QStringLiteral("resources window, 10,000 works, 3 resources: Выровнять "
                                 "(limit 1 s, tables filled), s"),
                  QString::number(levelling, 'f', 3));
    bench::report(QStringLiteral("resources window, 10,000 works: %1")
                      .arg(window.findChild<QLabel*>(QStringLiteral("lLevelled"))->text()),
                  fault.isEmpty() ? QStringLiteral("checked") : QStringLiteral("FAULTY: ") + fault);
}

void benchProfilePicture()
{
    constexpr int kWorks = 1'000'000;
    std::mt19937_64 random(5);
    LevellingProblem problem;
    problem.capacities = {10};
    std::vector<int> starts;
    for (int a = 0; a < kWorks; ++a) {
        problem.durations.push_back(1 + int(random() % 20));
        problem.demands.push_back(int(random() % 5));
        starts.push_back(int(random() % 2'000'000));
    }
    const NumberFormat numbers(QStringLiteral(","));
    QImage picture = blankPicture(loadchart::kPictureSize.toSize());
    ResourceLoad load;
    const double took = bench::seconds(
        [&] {
            load = {};
            load.available = 10;
            for (const LoadStep& step : loadProfile(problem, starts, 0))
                load.steps.push_back({double(step.from), double(step.to), double(step.demand)});
            load.length = load.steps.empty() ? 0 : load.steps.back().to;
            QPainter painter(&picture);
            paintLoadChart(painter, load, loadchart::kPictureSize, QStringLiteral("Ресурс"),
                           numbers);
        },
        3);
    bench::report(QStringLiteral("1,000,000 works: profile computed and painted (900 × 360), s"),
                  QString::number(took, 'f', 3) +
                      QStringLiteral(" (%1 steps)").arg(load.steps.size()));
}

} // namespace

void benchResources()
{
    benchProfilePicture();
    benchWindowLevelling();
}
