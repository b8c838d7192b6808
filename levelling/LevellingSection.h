#pragma once

#include "Plan.h"

#include <optional>
#include <vector>

class ResourceNetwork;

// What the resources window keeps in the plan (section plansection::kLevelling): the time limit
// of the search, the resource last shown, and the last levelled schedule with the digest of the
// network it was made for. The work table's columns never hold levelled starts.
struct LevellingSettings
{
    static constexpr double kDefaultSeconds = 1.0;

    double seconds = kDefaultSeconds;
    std::optional<ResourceId> resource;
    QString fingerprint;     // ResourceNetwork::fingerprint of the levelled network; empty: none
    std::vector<int> starts; // levelled starts of the network's works, in its time units
    int length = 0;          // the levelled length, in the same units

    bool hasSchedule() const { return !fingerprint.isEmpty(); }
    // Whether the saved schedule was made for this very network.
    bool scheduleFits(const ResourceNetwork& network) const;

    PlanSection toSection() const;
    // Anything unreadable in the section is left at its default: the section is the user's file.
    static LevellingSettings fromSection(const PlanSection& section);
};

// The levelled start of every row of the work table, in days, for a network whose saved schedule
// fits it; empty otherwise. Rows off the network have none.
std::vector<std::optional<double>> levelledStartsByRow(const LevellingSettings& settings,
                                                       const ResourceNetwork& network,
                                                       int rowCount);
