#pragma once

#include "WorkDetails.h"

#include <QString>
#include <QStringView>

#include <optional>
#include <vector>

class NumberFormat;
class Plan;
class WorkInputs;
class WorkTable;

// The rules a work's details keep, and their words. Two kinds:
// - rules among the details themselves, which always hold: no number below zero, the optimistic
//   duration not above the pessimistic one, the cost at the shortest duration not below the
//   normal cost, demands only of the plan's resources;
// - rules against the work's duration: optimistic <= duration <= pessimistic and shortest <=
//   duration. A value the user commits is refused when it breaks one, but a duration changed
//   later (in the element dialog, by a paste) keeps the details as they are, and
//   worksBreakingDetails() names those works, so that a capability that needs the rule to hold
//   can say which works it leaves out.
namespace detailrules {

// The caption of the number's column in every table of details (window, CSV, clipboard):
// "Оптимист.", "Пессимист.", "Мин. продолжит.", "Стоимость", "Стоимость при мин.".
QString numberCaption(DetailNumber which);
// The caption of the name's column, "Наименование" (also its word in messages).
inline QString nameCaption()
{
    return QStringLiteral("Наименование");
}

// The column's own word for the number: "Оптимистическая продолжительность", ...
QString numberWord(DetailNumber which);
// "Наименование".
QString nameWord();
// "Потребность в ресурсе «Бетон»".
QString demandWord(const QString& resourceName);

// The value of a typed cell: nothing for a blank one; raises "«…» — не число (<word>)" for a text
// the number format does not read and for a value beyond the range of a double.
std::optional<double> parseNumber(QStringView text, const QString& word,
                                  const NumberFormat& numbers);

// Checks new details of a work before they are stored, raising the first rule broken, in the
// column's words ("Оптимистическая продолжительность больше продолжительности"). Only the rules
// a changed value takes part in are checked, so a work whose duration moved away from its
// estimates can still be renamed. duration is the work's duration cell.
void checkChange(const WorkDetails& before, const WorkDetails& after, QStringView duration,
                 const Plan& plan, const NumberFormat& numbers);

// Row `row` of the table with new details, as the undo history takes a change (a WorkChange of
// that one row), once checkChange has passed them; raises as it does, changing nothing.
WorkInputs checkedRow(const WorkTable& table, int row, const WorkDetails& after, const Plan& plan,
                      const NumberFormat& numbers);

// The first rule among the details themselves that they break, in the same words, or empty.
QString ownProblem(const WorkDetails& details, const Plan& plan);

// Whether the duration fits the estimates and the shortest duration that are set.
bool fitsDuration(const WorkDetails& details, double duration);

// The rows whose duration reads as a number that does not fit their details, in table order.
std::vector<int> worksBreakingDetails(const WorkTable& table, const NumberFormat& numbers);

// A work a window left some details out of, as the window names it: its label ("1–2") and its
// name, empty where it has none.
struct LeftOutWork
{
    QString label;
    QString name;
};

// The one line a window shows for the works whose details it left out: the reason, then each
// work by its label with its name in quotes where it has one, "Без оценок (продолжительность вне
// оценок): 1–2 «Фундамент», 3–4". At most kMostLeftOutListed works, then how many more, so a
// long network's line stays a line. Empty when no work was left out.
inline constexpr int kMostLeftOutListed = 20;
QString leftOutLine(const QString& reason, const std::vector<LeftOutWork>& works);

} // namespace detailrules
