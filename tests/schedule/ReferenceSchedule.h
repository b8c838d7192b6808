#pragma once

#include <QString>
#include <QStringList>

#include <stdexcept>
#include <vector>

class DateFormat;
class NameCollation;
class NumberFormat;
class WorkCells;

// The model of truth for the schedule calculation: the longest path search by explicit
// enumeration of every path, generation by generation, and the recalculation that calls it
// 1 + 3 x rows times, both exactly as described, step by step. Exponential; for small tables only.
//
// Three decisions of the program are built in so that its results can be compared:
// - an enumeration that would never end (a path meets an event it already holds) raises the loop
//   error, naming the loop closed by the first back edge of a depth-first search from the search's
//   start (successors in list order, the target never left);
// - blank rows take part in nothing and get empty computed cells;
// - a recalculation whose first search finds no positive path empties the critical path list, and
//   one whose first search fails leaves the list as it was.
namespace reference {

// Thrown when a generation would exceed the path limit: the table is too large for the model.
class TooManyPaths : public std::runtime_error
{
public:
    TooManyPaths() : std::runtime_error("too many paths for the reference enumeration") {}
};

struct Tools
{
    const NumberFormat& numbers;
    const DateFormat& dates;
    const NameCollation& names;
    std::size_t pathLimit = 100000;
};

// The search from `from` to `to`; replaces *path (when given) as the enumeration does.
long double longestPath(const WorkCells& table, const QString& from, const QString& to,
                        QStringList* path, const Tools& tools);

// sbRecalcClick: the critical length, the path line and the three passes.
void recalculate(WorkCells& table, const QString& startEvent, const QString& endEvent,
                 double startDate, const Tools& tools, QStringList& criticalPath,
                 QString& pathLine);

} // namespace reference
