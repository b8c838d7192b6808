#pragma once

#include <QStringList>

#include <vector>

// Work j may start only when work i has finished.
struct Precedence
{
    int before = 0;
    int after = 0;
};

// The plain input of the levelling: activities on nodes with whole durations in time units,
// what each needs of every resource while it runs, what each resource offers in every time unit,
// and finish-to-start links. Names only word the error messages; when empty, numbers from 1 are
// used.
struct LevellingProblem
{
    std::vector<int> capacities;         // per resource, units available in every time unit
    std::vector<int> durations;          // per activity, time units, >= 0
    std::vector<int> demands;            // activity-major: demands[a * resourceCount() + r]
    std::vector<Precedence> precedences; // indices into durations
    QStringList activityNames;
    QStringList resourceNames;

    int activityCount() const { return int(durations.size()); }
    int resourceCount() const { return int(capacities.size()); }
    int demand(int activity, int resource) const
    {
        return demands[std::size_t(activity) * capacities.size() + std::size_t(resource)];
    }
    QString activityName(int activity) const;
    QString resourceName(int resource) const;
};

// Raises KestrinError for input no schedule can satisfy or that is not a quantity: a negative
// duration, demand or capacity, or a work needing more of a resource than there is at all (the
// message names the work and the resource).
void checkLevellingInput(const LevellingProblem& problem);

// The precedences that works given by their start and end events imply, with no dummy works:
// work j follows work i when i's end event is j's start event. A hub event with m works in and
// n out gives m * n links.
std::vector<Precedence> precedencesFromEvents(const std::vector<int>& startEvents,
                                              const std::vector<int>& endEvents);
