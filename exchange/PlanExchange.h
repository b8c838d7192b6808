#pragma once

#include "ExchangePlan.h"
#include "Plan.h"
#include "WorkInputs.h"

#include <vector>

class NumberFormat;
class WorkTable;

// The program's own plan (the work table with its details, and the Plan beside it) as the
// exchange formats see it, and back. A blank row is no work and is left out both ways.
namespace planexchange {

// The works of the table with their names and demands, the plan's resources, its working
// calendar (calendarsection) and the start date (a day count of DateFormat's kind).
ExchangePlan exportedPlan(const WorkTable& table, const Plan& plan, double startDate);

// The computed columns of the same works, as numbers: what a recalculation wrote. A cell left
// empty (a work the recalculation did not reach) reads as 0.
std::vector<WorkTimes> computedTimes(const WorkTable& table, const NumberFormat& numbers);

// What an imported plan puts in place of the open one: the works with their names and demands,
// and a plan of the imported resources (numbered from 1), calendar and start date.
struct TablePlan
{
    WorkInputs works;
    Plan plan;
};
TablePlan tablePlan(const ExchangePlan& imported);

} // namespace planexchange
