#pragma once

#include "ExchangePlan.h"

#include <QByteArray>
#include <QString>

#include <vector>

// Writes the plan as MS Project XML (MSPDI) for the planning tools that read it:
// - a milestone "Событие N" per event and a task per work (its name or "1 → 2", its duration,
//   its computed early start and finish as dates, its total float), linked finish-to-start
//   through the milestones (event -> work -> event), so that the file grows with the works and
//   events, never with their pairs;
// - the working calendar (the week, 8:00-12:00 and 13:00-17:00 on working days, the exceptions;
//   counting calendar days, every day is working) as the project calendar, 8 hours a day;
// - the resources (a resource with a unit is a material one) and the demands as assignments.
// A work of a negative duration is written with it ("-PT8H0M0S"), which this program reads back
// but other tools may refuse.
namespace mspdi {

// times[i] is the schedule of plan.works[i]; the dates count from plan.startDate by the plan's
// calendar (ScheduleDates).
QByteArray encode(const ExchangePlan& plan, const std::vector<WorkTimes>& times);
// Writes the file whole or not at all (AtomicFile).
void write(const QString& path, const ExchangePlan& plan, const std::vector<WorkTimes>& times);

} // namespace mspdi
