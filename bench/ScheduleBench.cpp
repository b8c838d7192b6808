#include "Bench.h"

#include "DateFormat.h"
#include "NameCollation.h"
#include "NumberFormat.h"
#include "Recalculation.h"
#include "WorkTable.h"

#include <QStringList>

#include <random>

// Recalculation of large networks against the least any recalculation must do: parse every
// duration and write eight number texts per work. Both run on the same table in the same process.
namespace {

enum class Durations { HalvesAndQuarters, Decimals };

struct Network
{
    QString start;
    QString end;
};

QString durationText(std::mt19937_64& random, Durations kind)
{
    std::uniform_real_distribution<double> share(0, 1);
    if (share(random) < 0.1)
        return QStringLiteral("0");
    // Written as the user's locale writes them, as the recalculation reads them.
    const NumberFormat& numbers = NumberFormat::system();
    if (kind == Durations::HalvesAndQuarters)
        return numbers.format(std::uniform_int_distribution<int>(1, 40)(random) * 0.25L);
    return numbers.format(std::uniform_int_distribution<int>(1, 99)(random) / 10.0L);
}

// A project in layers of events: every event has three works to events of the next layer (now and
// then to the layer after), every event is entered by at least one work, one start event feeds the
// first layer and one end event collects the last.
Network layeredNetwork(WorkTable& table, int works, Durations kind, std::uint64_t seed)
{
    constexpr int kLayers = 100;
    constexpr int kOut = 3;
    const int width = std::max(1, works / (kLayers * kOut));
    std::mt19937_64 random(seed);
    std::uniform_int_distribution<int> column(0, width - 1);
    std::uniform_real_distribution<double> share(0, 1);
    const auto event = [](int layer, int index) {
        return QStringLiteral("E%1.%2").arg(layer).arg(index);
    };
    std::vector<std::array<QString, 3>> rows;
    rows.reserve(std::size_t(works) + std::size_t(width) * 2);
    for (int index = 0; index < width; ++index)
        rows.push_back({QStringLiteral("Start"), event(0, index), durationText(random, kind)});
    for (int layer = 0; layer + 1 < kLayers; ++layer) {
        for (int index = 0; index < width; ++index) {
            for (int k = 0; k < kOut; ++k) {
                const int next = layer + 2 < kLayers && share(random) < 0.1 ? layer + 2 : layer + 1;
                const int target = k == 0 ? index : column(random);
                rows.push_back(
                    {event(layer, index), event(next, target), durationText(random, kind)});
            }
        }
    }
    for (int index = 0; index < width; ++index)
        rows.push_back(
            {event(kLayers - 1, index), QStringLiteral("End"), durationText(random, kind)});

    table.setRowCount(int(rows.size()));
    WorkTable::Batch batch(table);
    for (int row = 0; row < int(rows.size()); ++row) {
        table.setCell(WorkColumn::StartEvent, row, rows[std::size_t(row)][0]);
        table.setCell(WorkColumn::EndEvent, row, rows[std::size_t(row)][1]);
        table.setCell(WorkColumn::Duration, row, rows[std::size_t(row)][2]);
    }
    return {QStringLiteral("Start"), QStringLiteral("End")};
}

// Two events per layer, each joined to both events of the next layer: 2^layers paths.
Network latticeNetwork(WorkTable& table, int layers)
{
    const NumberFormat& numbers = NumberFormat::system();
    const QStringList durations = {numbers.format(1.1L), numbers.format(2.7L), numbers.format(2.2L),
                                   numbers.format(1.6L)};
    table.setRowCount(layers * 4);
    WorkTable::Batch batch(table);
    int row = 0;
    for (int layer = 0; layer < layers; ++layer) {
        for (int from = 0; from < 2; ++from) {
            for (int to = 0; to < 2; ++to) {
                table.setCell(WorkColumn::StartEvent, row,
                              QStringLiteral("L%1.%2").arg(layer).arg(from));
                table.setCell(WorkColumn::EndEvent, row,
                              QStringLiteral("L%1.%2").arg(layer + 1).arg(to));
                table.setCell(WorkColumn::Duration, row, durations[(row * 7 + layer) % 4]);
                ++row;
            }
        }
    }
    return {QStringLiteral("L0.0"), QStringLiteral("L%1.0").arg(layers)};
}

void baseline(WorkTable& table, const NumberFormat& numbers)
{
    WorkTable::Batch batch(table);
    for (int row = 0; row < table.rowCount(); ++row) {
        const long double duration = numbers.parse(table.cellView(WorkColumn::Duration, row));
        int step = 0;
        for (const int column : {0, 4, 5, 6, 7, 8, 9, 10})
            table.setCell(WorkColumn(column), row,
                          numbers.format(duration + 1.5L * step++ + (row % 1000)));
    }
}

void recalculate(WorkTable& table, const Network& network, const NumberFormat& numbers,
                 const DateFormat& dates, const NameCollation& names)
{
    WorkTable::Batch batch(table);
    Recalculation recalculation(table, network.start, network.end, 45000.0, numbers, dates, names);
    QStringList path;
    recalculation.criticalLength(path);
    recalculation.fillComputedColumns();
}

void measure(const QString& name, WorkTable& table, const Network& network,
             const NumberFormat& numbers, const DateFormat& dates, const NameCollation& names)
{
    const int repeats = table.rowCount() > 200'000 ? 1 : 3;
    const double base = bench::seconds([&] { baseline(table, numbers); }, repeats);
    const double full =
        bench::seconds([&] { recalculate(table, network, numbers, dates, names); }, repeats);
    bench::report(name, QStringLiteral("%1 s, baseline %2 s, ratio %3, peak RSS %4 MB")
                            .arg(full, 0, 'f', 4)
                            .arg(base, 0, 'f', 4)
                            .arg(full / base, 0, 'f', 2)
                            .arg(bench::peakRssMegabytes(), 0, 'f', 0));
}

} // namespace

void benchSchedule()
{
    const NumberFormat& numbers = NumberFormat::system();
    const DateFormat& dates = DateFormat::system();
    const NameCollation names;

    for (const int works : {10'000, 100'000, 1'000'000}) {
        for (const Durations kind : {Durations::HalvesAndQuarters, Durations::Decimals}) {
            WorkTable table;
            const Network network = layeredNetwork(table, works, kind, 2024);
            measure(QStringLiteral("recalculation, %1 works, %2")
                        .arg(table.rowCount())
                        .arg(kind == Durations::Decimals ? QStringLiteral("decimals 0.1-9.9")
                                                         : QStringLiteral("halves/quarters")),
                    table, network, numbers, dates, names);
        }
    }
    WorkTable lattice;
    const Network network = latticeNetwork(lattice, 60);
    measure(QStringLiteral("recalculation, lattice of 60 layers (2^60 paths)"), lattice, network,
            numbers, dates, names);
}
