#pragma once

#include "WorkCalendar.h"

#include <QString>

#include <map>

// A plan's working calendar as the texts of its plan section (plansection::kCalendar), so that the
// plan file keeps it with the rest of the plan:
//
//     days     = "calendar" or "working"
//     week     = "5" or "6"
//     off      = the exceptions that are days off, ISO dates in date order, one blank between
//     working  = the exceptions that are working days, the same way
//
// The default calendar (calendar days, a five-day week, no exception) is the empty section, so a
// plan that never had a calendar stays as it was, and an empty or missing section reads as it.
// Keys with the default value are left out.
namespace calendarsection {

// The same type as PlanSection (plan/Plan.h), named here so that the calendar needs no plan.
using Section = std::map<QString, QString>;

Section encode(const WorkCalendar& calendar);
// Raises, naming what is wrong, for a section this program did not write: an unknown key or
// value, a bad date, a date both off and working, or a calendar WorkCalendar::check refuses.
WorkCalendar decode(const Section& section);

} // namespace calendarsection
