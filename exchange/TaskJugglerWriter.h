#pragma once

#include "ExchangePlan.h"

#include <QByteArray>
#include <QString>

#include <vector>

// Writes the plan as a TaskJuggler project (.tjp), so that a TaskJuggler user can go on with it:
// - whole days are working time (24 working hours a day), so that a length of n days is n working
//   days by the working calendar's week and days off, or n calendar days when the calendar
//   counts calendar days;
// - a milestone e<N> "Событие N" per event, depending on the works that end at it, and a task
//   w<I> per work (its name or "1 → 2", "length" its duration; a work of no or negative duration
//   is a milestone) depending on its start event's milestone;
// - the resources, and the demands as allocations (which TaskJuggler levels);
// - a task report "schedule" (CSV: id, start, end) that a run of tj3 writes beside the project.
// Working days that the calendar adds on a weekend are not written: TaskJuggler keeps such days in
// shifts, which this file does not use.
namespace taskjuggler {

QByteArray encode(const ExchangePlan& plan, const std::vector<WorkTimes>& times);
// Writes the file whole or not at all (AtomicFile).
void write(const QString& path, const ExchangePlan& plan, const std::vector<WorkTimes>& times);

} // namespace taskjuggler
