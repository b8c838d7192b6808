#pragma once

#include "LevellingProblem.h"

#include "Plan.h"

#include <QString>

#include <vector>

class EventIndex;
class NumberFormat;
class WorkTable;

// A work of the network that the levelling schedules: its row in the work table and how the
// windows name it.
struct LevellingWork
{
    int row = 0;
    QString label; // "start → end"
    QString name;  // the work's own name from its details; may be empty
};

// The works of the table between the chosen start and end events with their demands on the plan's
// resources, put on the whole-number grids the levelling needs; widget-free.
//
// A work takes part when it lies on some path from the start to the end event (the works the
// recalculation gives figures). Time is counted in units of a day, a tenth, a hundredth or a
// thousandth of a day: the coarsest in which every duration is whole. Each resource's amounts are
// counted the same way on a grid of their own, so that 0,5 of a crane is one unit of half a crane.
// A resource with no amount set limits nothing: its capacity is what all its works need together.
class ResourceNetwork
{
public:
    // Raises what a recalculation with these ends raises (the loop message, a duration that is
    // not a number), and for a duration or an amount finer than a thousandth. The table and the
    // index must describe the same table.
    ResourceNetwork(const WorkTable& table, const EventIndex& events, const QString& startEvent,
                    const QString& endEvent, const std::vector<Resource>& resources,
                    const NumberFormat& numbers);

    // Activities in the order of the works; capacities in the order of the resources.
    const LevellingProblem& problem() const { return m_problem; }
    const std::vector<LevellingWork>& works() const { return m_works; }
    const std::vector<Resource>& resources() const { return m_resources; }

    // Time units a day: 1, 10, 100 or 1000.
    int timeUnitsPerDay() const { return m_timeScale; }
    double days(long long timeUnits) const { return double(timeUnits) / m_timeScale; }
    // Units of the resource's grid per unit of the resource.
    int amountUnits(int resource) const { return m_amountScale[std::size_t(resource)]; }
    double amount(int resource, long long units) const
    {
        return double(units) / m_amountScale[std::size_t(resource)];
    }
    // Whether the resource has an amount set that bounds its demand.
    bool isLimited(int resource) const
    {
        return m_resources[std::size_t(resource)].available.has_value();
    }

    // The schedule without resource limits, in time units: every work at its early start, or at
    // its late start; and the critical length L.
    const std::vector<int>& earlyStarts() const { return m_earlyStarts; }
    const std::vector<int>& lateStarts() const { return m_lateStarts; }
    int criticalLength() const { return m_criticalLength; }

    // Raises, naming the work and the resource in their own units, when a work needs more of a
    // resource than there is at all: no schedule within the amounts exists then.
    void checkDemands(const NumberFormat& numbers) const;

    // A digest of everything the levelling depends on (works, their rows, durations, demands,
    // links and capacities): saved levelled starts are shown again only for the same network.
    QString fingerprint() const;

private:
    LevellingProblem m_problem;
    std::vector<LevellingWork> m_works;
    std::vector<Resource> m_resources;
    int m_timeScale = 1;
    std::vector<int> m_amountScale;
    std::vector<int> m_earlyStarts;
    std::vector<int> m_lateStarts;
    int m_criticalLength = 0;
};
