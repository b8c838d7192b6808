#pragma once

class NumberFormat;
class Plan;
class WorkTable;

// The length of the shortest schedule the levelling finds for the table's works within the
// plan's resources (levelResources), in days. Every work (blank rows aside) is an activity of
// its duration, following the works that end at its start event. A resource without an amount at
// hand limits nothing. Raises a message for a duration, demand or amount that is not a whole
// number, and what the levelling raises (a loop, a demand above what there is).
int levelledLength(const WorkTable& table, const Plan& plan, const NumberFormat& numbers);
