#pragma once

#include <QDate>

class ScheduleDates;

namespace risk {

// Tд for a directive date: the shortest whole length of the schedule whose end falls on that date
// or later, counted as the date column counts (ScheduleDates::dateOf): calendar days from the
// start date's day, or working days under a working calendar. A date before the schedule's first
// day gives −1, which no length can meet.
long double directiveDays(const ScheduleDates& dates, QDate directive);

} // namespace risk
