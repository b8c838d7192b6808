#pragma once

#include "ExchangePlan.h"

#include <QString>

#include <vector>

// Writes the plan as an Excel workbook (.xlsx, through libxlsxwriter):
// - sheet "Работы": the work table's 11 columns under the grid's captions, then the work's name;
//   counts, events that are whole numbers, durations and times are number cells, the date column
//   a date cell (the day of the early start by the plan's calendar), and an event that is no
//   whole number a text cell;
// - sheet "Ресурсы": name, unit, amount available;
// - sheet "Потребности": the work (its events), its name, the resource and the amount.
// The file is written whole or not at all (AtomicFile).
namespace workbook {

// times[i] is the schedule of plan.works[i].
void write(const QString& path, const ExchangePlan& plan, const std::vector<WorkTimes>& times);

} // namespace workbook
