#include "ReferenceSchedule.h"

#include "CheckedArithmetic.h"
#include "DateFormat.h"
#include "KestrinError.h"
#include "NameCollation.h"
#include "NumberFormat.h"
#include "WorkCells.h"

#include <functional>

namespace reference {
namespace {

QStringView startOf(const WorkCells& table, int row)
{
    return table.cellView(WorkColumn::StartEvent, row);
}

QStringView endOf(const WorkCells& table, int row)
{
    return table.cellView(WorkColumn::EndEvent, row);
}

bool isBlank(const WorkCells& table, int row)
{
    return startOf(table, row).isEmpty() && endOf(table, row).isEmpty() &&
           table.cellView(WorkColumn::Duration, row).isEmpty();
}

// Step 3b: the end events of the rows that start at `event`, first spelling in table order, no
// two equal when letter case is ignored, none empty.
QStringList successors(const WorkCells& table, const QString& event, const NameCollation& names)
{
    QStringList list;
    for (int row = 0; row < table.rowCount(); ++row) {
        const QStringView end = endOf(table, row);
        if (end.isEmpty() || startOf(table, row) != event)
            continue;
        bool listed = false;
        for (const QString& entry : std::as_const(list))
            listed = listed || names.equalIgnoringCase(entry, end);
        if (!listed)
            list.append(end.toString());
    }
    return list;
}

[[noreturn]] void raiseLoop(const WorkCells& table, const QString& from, const QString& to,
                            const NameCollation& names)
{
    QStringList visited;
    QStringList stack;
    QStringList loop;
    const std::function<bool(const QString&)> visit = [&](const QString& event) {
        visited.append(event);
        stack.append(event);
        if (event != to) {
            for (const QString& next : successors(table, event, names)) {
                if (stack.contains(next)) {
                    loop = stack.mid(stack.indexOf(next));
                    loop.append(next);
                    return true;
                }
                if (!visited.contains(next) && visit(next))
                    return true;
            }
        }
        stack.removeLast();
        return false;
    };
    if (!visit(from))
        throw std::logic_error("reference: a path repeats an event but no loop was found");
    throw KestrinError(QStringLiteral("Сетевой график содержит цикл: ") +
                       loop.join(QStringLiteral(" -> ")));
}

} // namespace

long double longestPath(const WorkCells& table, const QString& from, const QString& to,
                        QStringList* path, const Tools& tools)
{
    // Steps 1-4: the enumeration.
    std::vector<QStringList> current{QStringList{from}};
    for (;;) {
        std::vector<QStringList> next;
        for (const QStringList& candidate : current) {
            const QString& last = candidate.last();
            if (last == to) {
                next.push_back(candidate);
                continue;
            }
            for (const QString& successor : successors(table, last, tools.names)) {
                // A path meeting an event twice circles a loop that never reaches the target:
                // this enumeration would never end.
                if (candidate.contains(successor))
                    raiseLoop(table, from, to, tools.names);
                QStringList longer = candidate;
                longer.append(successor);
                next.push_back(std::move(longer));
                if (next.size() > tools.pathLimit)
                    throw TooManyPaths();
            }
        }
        current = std::move(next);
        bool finished = true;
        for (const QStringList& candidate : current)
            finished = finished && candidate.last() == to;
        if (finished)
            break;
    }

    // Steps 5-7: totals in final-generation order, the first strictly greater total wins.
    long double maximum = 0;
    for (const QStringList& candidate : current) {
        long double total = 0;
        for (qsizetype i = 0; i + 1 < candidate.size(); ++i) {
            for (int row = 0; row < table.rowCount(); ++row) {
                if (startOf(table, row) == candidate[i] && endOf(table, row) == candidate[i + 1]) {
                    const long double duration =
                        tools.numbers.parse(table.cellView(WorkColumn::Duration, row));
                    total = checked::add(total, duration);
                }
            }
        }
        if (total > maximum) {
            maximum = total;
            if (path)
                *path = candidate;
        }
    }
    return maximum;
}

void recalculate(WorkCells& table, const QString& startEvent, const QString& endEvent,
                 double startDate, const Tools& tools, QStringList& criticalPath, QString& pathLine)
{
    const NumberFormat& numbers = tools.numbers;
    // Views into the table are used before the row they point into is written again.
    const auto search = [&](QStringView from, QStringView to) {
        return longestPath(table, from.toString(), to.toString(), nullptr, tools);
    };
    const auto number = [&](WorkColumn column, int row) {
        return numbers.parse(table.cellView(column, row));
    };
    const auto write = [&](WorkColumn column, int row, long double value) {
        table.setCell(column, row, numbers.format(value));
    };
    const int rows = table.rowCount();

    // Step 1.
    QStringList path = criticalPath;
    const long double length = longestPath(table, startEvent, endEvent, &path, tools);
    criticalPath = length > 0 ? path : QStringList();

    // Steps 2 and 3.
    pathLine =
        QStringLiteral("    Критический путь [L=") + numbers.format(length) + QStringLiteral("]: ");
    for (qsizetype i = 0; i < criticalPath.size(); ++i) {
        if (i + 1 < criticalPath.size())
            pathLine += QStringLiteral(" ' ") + criticalPath[i] + QStringLiteral(" ' ") +
                        QStringLiteral(" -> ");
        else
            pathLine += QStringLiteral(" ' ") + criticalPath[i] + QStringLiteral(" ' ");
    }

    // Step 5: first pass.
    for (int i = 0; i < rows; ++i) {
        if (isBlank(table, i)) {
            for (const WorkColumn column :
                 {WorkColumn::PrecedingWorks, WorkColumn::EarlyStart, WorkColumn::EarlyFinish,
                  WorkColumn::LateFinish, WorkColumn::LateStart, WorkColumn::TotalFloat})
                table.setCell(column, i, QString());
            continue;
        }
        int preceding = 0;
        for (int j = 0; j < rows; ++j) {
            if (!isBlank(table, j) && endOf(table, j) == startOf(table, i))
                ++preceding;
        }
        write(WorkColumn::PrecedingWorks, i, preceding);
        write(WorkColumn::EarlyStart, i, search(startEvent, startOf(table, i)));
        {
            const long double duration = number(WorkColumn::Duration, i);
            write(WorkColumn::EarlyFinish, i,
                  checked::add(duration, number(WorkColumn::EarlyStart, i)));
        }
        write(WorkColumn::LateFinish, i,
              checked::subtract(search(startEvent, endEvent), search(endOf(table, i), endEvent)));
        {
            const long double lateFinish = number(WorkColumn::LateFinish, i);
            write(WorkColumn::LateStart, i,
                  checked::subtract(lateFinish, number(WorkColumn::Duration, i)));
        }
        {
            const long double lateStart = number(WorkColumn::LateStart, i);
            write(WorkColumn::TotalFloat, i,
                  checked::subtract(lateStart, number(WorkColumn::EarlyStart, i)));
        }
    }

    // Step 6: second pass.
    const long double marker = -29.0678L;
    for (int i = 0; i < rows; ++i) {
        if (isBlank(table, i)) {
            table.setCell(WorkColumn::FreeFloat, i, QString());
            continue;
        }
        long double value = marker;
        for (int j = 0; j < rows; ++j) {
            if (!isBlank(table, j) && startOf(table, j) == endOf(table, i))
                value = number(WorkColumn::EarlyStart, j);
        }
        if (value == marker)
            value = search(startEvent, endEvent);
        write(WorkColumn::FreeFloat, i,
              checked::subtract(value, number(WorkColumn::EarlyFinish, i)));
    }

    // Step 7: third pass.
    for (int i = 0; i < rows; ++i) {
        if (isBlank(table, i)) {
            table.setCell(WorkColumn::BeginDate, i, QString());
            continue;
        }
        bool preceded = false;
        for (int j = 0; j < rows; ++j)
            preceded = preceded || (!isBlank(table, j) && endOf(table, j) == startOf(table, i));
        const double day =
            preceded ? checked::toDouble(checked::add(startDate, number(WorkColumn::EarlyStart, i)))
                     : startDate;
        table.setCell(WorkColumn::BeginDate, i, tools.dates.formatDate(day));
    }
}

} // namespace reference
