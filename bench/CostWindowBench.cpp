#include "Bench.h"

#include "CostCurveTable.h"
#include "CostInput.h"
#include "NumberFormat.h"
#include "Plan.h"
#include "TfmCost.h"
#include "TimeCostCurve.h"
#include "WorkInputs.h"
#include "WorkTable.h"

#include <optional>
#include <random>

// The time–cost window from the work table: reading the table into the engine's question, the
// curve with its rows' texts, the CSV file's bytes, and the window made with its table of rows.
namespace {

// Groups of three parallel works one after another (events 0, 1, 2, ...): every group is a place
// where all three must be cut at once, so the curve has many corners and the rows list many
// works. Durations 1-20 days, costs 100-1000, nine works in ten shortenable.
void fillParallelGroups(WorkTable& table, int works, std::uint64_t seed)
{
    std::mt19937_64 random(seed);
    const auto uniform = [&random](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    WorkInputs rows;
    for (int w = 0; w < works; ++w) {
        const int group = w / 3;
        const int days = uniform(1, 20);
        const int cost = uniform(100, 1000);
        WorkDetails details;
        details.setNumber(DetailNumber::NormalCost, cost);
        if (uniform(1, 10) > 1) {
            details.setNumber(DetailNumber::Shortest, uniform((days + 2) / 3, days));
            details.setNumber(DetailNumber::ShortestCost, cost + uniform(0, 500));
        }
        rows.append(QString::number(group), QString::number(group + 1), QString::number(days),
                    details);
    }
    table.replaceRows(0, table.rowCount(), rows);
}

} // namespace

void benchCostWindow()
{
    const NumberFormat numbers(QStringLiteral(","));
    for (const int works : {1'000, 10'000}) {
        WorkTable table;
        fillParallelGroups(table, works, 2026);
        const QString end = QString::number((works - 1) / 3 + 1);
        std::optional<CostInput> input;
        const double read =
            bench::seconds([&] { input = costInput(table, QStringLiteral("0"), end, numbers); });
        // The engine alone, then the window's rows over it (which trace the curve again).
        const double engine = bench::seconds([&] { timeCostCurve(input->network); });
        std::optional<CostCurveTable> curve;
        const double traced = bench::seconds([&] { curve.emplace(*input, numbers); });
        QByteArray csv;
        const double written = bench::seconds([&] { csv = curve->csv(); });
        Plan plan;
        const double shown = bench::seconds([&] { TfmCost window(*curve, plan, numbers); });
        bench::report(QStringLiteral("time-cost window, %1 works in groups of three").arg(works),
                      QStringLiteral("table read %1 s, engine %8 s, curve and rows %2 s (%3 rows), "
                                     "CSV %4 s (%5 MB), window made %6 s, peak %7 MB")
                          .arg(read, 0, 'f', 3)
                          .arg(traced, 0, 'f', 3)
                          .arg(curve->rowCount())
                          .arg(written, 0, 'f', 3)
                          .arg(double(csv.size()) / 1e6, 0, 'f', 1)
                          .arg(shown, 0, 'f', 3)
                          .arg(bench::peakRssMegabytes(), 0, 'f', 0)
                          .arg(engine, 0, 'f', 3));
    }
}
