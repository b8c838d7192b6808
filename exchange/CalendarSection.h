#pragma once

#include "Plan.h"
#include "WorkCalendar.h"

// The working calendar as the plan file keeps it, in the plan's calendar section
// (plansection::kCalendar): "count" is "working-days" or "calendar-days", "week" is "5" or "6"
// (the working days of a week), "off" and "working" the exception dates, ISO 8601, separated by
// blanks. A plan without the section counts calendar days with a five-day week.
namespace calendarsection {

PlanSection encode(const WorkCalendar& calendar);
// Raises a message naming the value that cannot be read.
WorkCalendar decode(const PlanSection& section);

// The calendar of the plan, and the plan with the calendar put in its section.
WorkCalendar of(const Plan& plan);
void put(Plan& plan, const WorkCalendar& calendar);

} // namespace calendarsection
