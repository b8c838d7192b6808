#include "Bench.h"

#include "DateFormat.h"
#include "EventIndex.h"
#include "NameCollation.h"
#include "NetworkAnalysis.h"
#include "NumberFormat.h"
#include "Recalculation.h"
#include "TfmAnalysis.h"
#include "WorkTable.h"

#include <QApplication>

#include <random>

// The network analysis against the recalculation of the same network, in one run: building the
// analysis (event times, floats and tension, paths, check), opening its window, and the ratio of
// the analysis to the recalculation.
namespace {

// A project in layers of events, three works from every event into the next layer (now and then
// the one after), one start event feeding the first layer and one end event collecting the last.
// Durations in whole and half days, or in tenths.
QString layeredNetwork(WorkTable& table, int works, int kLayers, bool tenths, std::uint64_t seed)
{
    constexpr int kOut = 3;
    const int width = std::max(1, works / (kLayers * kOut));
    std::mt19937_64 random(seed);
    std::uniform_int_distribution<int> column(0, width - 1);
    std::uniform_int_distribution<int> units(1, tenths ? 99 : 20);
    std::uniform_real_distribution<double> share(0, 1);
    const NumberFormat& numbers = NumberFormat::system();
    const auto duration = [&] {
        return numbers.format(units(random) / (tenths ? 10.0L : 2.0L));
    };
    const auto event = [](int layer, int index) {
        return QStringLiteral("E%1.%2").arg(layer).arg(index);
    };
    table.setRowCount(width * (kOut * (kLayers - 1) + 2));
    WorkTable::Batch batch(table);
    int row = 0;
    const auto add = [&](const QString& from, const QString& to) {
        table.setCell(WorkColumn::StartEvent, row, from);
        table.setCell(WorkColumn::EndEvent, row, to);
        table.setCell(WorkColumn::Duration, row, duration());
        ++row;
    };
    for (int index = 0; index < width; ++index)
        add(QStringLiteral("Start"), event(0, index));
    for (int layer = 0; layer + 1 < kLayers; ++layer) {
        for (int index = 0; index < width; ++index) {
            for (int k = 0; k < kOut; ++k) {
                const int next = layer + 2 < kLayers && share(random) < 0.1 ? layer + 2 : layer + 1;
                add(event(layer, index), event(next, k == 0 ? index : column(random)));
            }
        }
    }
    for (int index = 0; index < width; ++index)
        add(event(kLayers - 1, index), QStringLiteral("End"));
    return QStringLiteral("End");
}

} // namespace

void benchAnalysis()
{
    const NumberFormat& numbers = NumberFormat::system();
    const DateFormat& dates = DateFormat::system();
    const NameCollation names;
    struct Case
    {
        int works;
        int layers;
        bool tenths;
    };
    for (const Case& shape :
         {Case{10'000, 100, false}, Case{100'000, 100, false}, Case{10'000, 100, true},
          Case{100'000, 100, true}, Case{100'000, 3'000, false}, Case{100'000, 3'000, true}}) {
        {
            const int works = shape.works;
            const bool tenths = shape.tenths;
            WorkTable table;
            const QString end = layeredNetwork(table, works, shape.layers, tenths, 2024);
            const QString start = QStringLiteral("Start");
            const EventIndex events(table, names);

            const double recalculation = bench::seconds(
                [&] {
                    WorkTable::Batch batch(table);
                    Recalculation recalculate(table, events, start, end, 45000, numbers, dates,
                                              names);
                    QStringList path;
                    recalculate.criticalLength(path);
                    recalculate.fillComputedColumns();
                },
                2);
            std::unique_ptr<NetworkAnalysis> analysis;
            const double analysing = bench::seconds(
                [&] {
                    analysis = std::make_unique<NetworkAnalysis>(table, events, start, end, 45000,
                                                                 numbers, dates);
                },
                2);
            // Opening: the analysis, then its window shown and painted once.
            const double opening = bench::seconds(
                [&] {
                    const NetworkAnalysis shown(table, events, start, end, 45000, numbers, dates);
                    TfmAnalysis window(shown, {});
                    window.show();
                    QApplication::processEvents();
                    window.close();
                },
                2);
            const AnalysisPage& paths = analysis->page(NetworkAnalysis::Paths);
            int critical = 0;
            QString more; // "+" when the list stopped at its cap
            for (int row = 0; row < paths.rowCount(); ++row) {
                critical += paths.text(row, 1) == QStringLiteral("критический") ? 1 : 0;
                if (paths.text(row, 4).startsWith(QStringLiteral("Критических путей больше")))
                    more = QStringLiteral("+");
            }
            bench::report(
                QStringLiteral("analysis, %1 works in %2 layers, %3")
                    .arg(table.rowCount())
                    .arg(shape.layers)
                    .arg(tenths ? QStringLiteral("tenths") : QStringLiteral("whole/half days")),
                QStringLiteral("%1 s, window open %2 s, recalculation %3 s, ratio %4; "
                               "%5%6 critical paths, peak RSS %7 MB")
                    .arg(analysing, 0, 'f', 4)
                    .arg(opening, 0, 'f', 4)
                    .arg(recalculation, 0, 'f', 4)
                    .arg(analysing / recalculation, 0, 'f', 2)
                    .arg(critical)
                    .arg(more)
                    .arg(bench::peakRssMegabytes(), 0, 'f', 0));
        }
    }
}
