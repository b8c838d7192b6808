#pragma once

#include "WorkCells.h"

#include <QString>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

// Networks made for the layout's tests and benchmark, the same on every machine (their own
// random numbers). Events are named "1" to "n": event 1 starts the network and event n ends it.
// The events stand in about 2√n layers; every event but the first has a work from one to three
// layers back and every event but the last a work to one to three layers ahead, so all of them lie
// on some path from 1 to n; further works join random events forward the same way. One work in
// ten lasts 0 (a dummy work), the others 1 to 9 days.
namespace testsupport {

inline void fillGeneratedNetwork(WorkCells& table, int events, int works,
                                 std::uint32_t seed = 20240611)
{
    const auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    const int layers = std::max(4, int(std::lround(2 * std::sqrt(double(events)))));
    std::vector<std::vector<int>> byLayer(static_cast<std::size_t>(layers));
    std::vector<int> layerOf(static_cast<std::size_t>(events));
    for (int event = 0; event < events; ++event) {
        const int layer = event == 0            ? 0
                          : event == events - 1 ? layers - 1
                                                : 1 + (event - 1) % (layers - 2);
        layerOf[std::size_t(event)] = layer;
        byLayer[std::size_t(layer)].push_back(event);
    }
    const auto pick = [&](int layer) {
        const std::vector<int>& candidates = byLayer[std::size_t(layer)];
        return candidates[next() % candidates.size()];
    };
    std::vector<std::pair<int, int>> pairs;
    for (int event = 1; event < events; ++event) {
        const int layer = layerOf[std::size_t(event)];
        const int reach = std::min(3, layer);
        pairs.emplace_back(pick(layer - 1 - int(next() % std::uint32_t(reach))), event);
    }
    const auto forward = [&](int event) {
        const int layer = layerOf[std::size_t(event)];
        const int reach = std::min(3, layers - 1 - layer);
        return pick(layer + 1 + int(next() % std::uint32_t(reach)));
    };
    for (int event = 0; event < events - 1; ++event)
        pairs.emplace_back(event, forward(event));
    while (int(pairs.size()) < works) {
        const int event = int(next() % std::uint32_t(events - 1));
        if (layerOf[std::size_t(event)] < layers - 1)
            pairs.emplace_back(event, forward(event));
    }

    table.setRowCount(int(pairs.size()));
    for (int row = 0; row < int(pairs.size()); ++row) {
        table.setCell(WorkColumn::StartEvent, row,
                      QString::number(pairs[std::size_t(row)].first + 1));
        table.setCell(WorkColumn::EndEvent, row,
                      QString::number(pairs[std::size_t(row)].second + 1));
        const std::uint32_t roll = next() % 10;
        table.setCell(WorkColumn::Duration, row, QString::number(roll == 0 ? 0 : roll));
    }
}

} // namespace testsupport
