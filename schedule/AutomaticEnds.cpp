#include "AutomaticEnds.h"

#include "WorkCells.h"

#include <QSet>
#include <QStringView>

namespace {

std::optional<QString> lastNotInColumn(const QStringList& entries, QString fallback,
                                       const WorkCells& table, WorkColumn column)
{
    QSet<QStringView> cells;
    cells.reserve(table.rowCount());
    for (int row = 0; row < table.rowCount(); ++row)
        cells.insert(table.cellView(column, row));
    QString chosen = std::move(fallback);
    for (const QString& entry : entries) {
        if (!cells.contains(entry))
            chosen = entry;
    }
    return chosen;
}

} // namespace

std::optional<QString> chooseStartEvent(const QStringList& startEventList, const WorkCells& table)
{
    if (startEventList.isEmpty())
        return std::nullopt;
    return lastNotInColumn(startEventList, startEventList.first(), table, WorkColumn::EndEvent);
}

std::optional<QString> chooseEndEvent(const QStringList& endEventList, const WorkCells& table)
{
    if (endEventList.isEmpty())
        return std::nullopt;
    return lastNotInColumn(endEventList, endEventList.last(), table, WorkColumn::StartEvent);
}
