#pragma once

#include "Decimal.h"

#include <optional>

class Plan;

// The indirect cost of a day of the whole project, kept in the plan's section
// plansection::kProjectCost under "day-cost" as a locale-free number text (a dot), so that a plan
// file reads the same on every desktop.
namespace projectcost {

// None when the plan has none, or holds a text that is not a cost a day can be (a hand-edited
// file): the window then starts with an empty field, as for a new plan.
std::optional<Decimal> dayCost(const Plan& plan);
// None removes the setting.
void setDayCost(Plan& plan, const std::optional<Decimal>& cost);

} // namespace projectcost
