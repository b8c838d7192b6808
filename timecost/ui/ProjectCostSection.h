#pragma once

#include "Decimal.h"

#include <QStringView>

#include <optional>

class NumberFormat;
class Plan;

// The indirect cost of a day of the whole project, kept in the plan's section
// plansection::kProjectCost under "day-cost" as a locale-free number text (a dot), so that a plan
// file reads the same on every desktop.
namespace projectcost {

// The cost a day a text gives, as Decimal::parse reads it, raising as it does; a value whose own
// text would not read back (more than 18 digits before the point, reached through an exponent:
// "1E+18") raises the same message for that text, so that a plan saved with it opens again.
Decimal parseDayCost(QStringView text, const NumberFormat& numbers);

// None when the plan has none, or holds a text that is not a cost a day can be (a hand-edited
// file): the window then starts with an empty field, as for a new plan.
std::optional<Decimal> dayCost(const Plan& plan);
// None removes the setting.
void setDayCost(Plan& plan, const std::optional<Decimal>& cost);

} // namespace projectcost
