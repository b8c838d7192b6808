#include "ScheduleTestSupport.h"

#include "KestrinError.h"
#include "Recalculation.h"
#include "ReferenceSchedule.h"
#include "WorkCells.h"

void setWorks(WorkCells& table, const QList<Work>& works)
{
    table.setRowCount(int(works.size()));
    for (int row = 0; row < works.size(); ++row) {
        table.setCell(WorkColumn::StartEvent, row, works[row].start);
        table.setCell(WorkColumn::EndEvent, row, works[row].end);
        table.setCell(WorkColumn::Duration, row, works[row].duration);
    }
}

QStringList texts(std::initializer_list<const char*> utf8)
{
    QStringList list;
    for (const char* text : utf8)
        list.append(QString::fromUtf8(text));
    return list;
}

QList<Work> worksFrom(const QString& text)
{
    QList<Work> works;
    for (const QString& item : text.split(QLatin1Char(';'))) {
        const qsizetype arrow = item.indexOf(QLatin1Char('>'));
        const qsizetype colon = item.indexOf(QLatin1Char(':'), arrow + 1);
        if (arrow < 0 || colon < 0)
            works.append(Work{});
        else
            works.append(
                {item.left(arrow), item.mid(arrow + 1, colon - arrow - 1), item.mid(colon + 1)});
    }
    return works;
}

QList<QStringList> allCells(const WorkCells& table)
{
    QList<QStringList> cells;
    for (int row = 0; row < table.rowCount(); ++row) {
        QStringList texts;
        for (int column = 0; column < kWorkColumnCount; ++column)
            texts.append(table.cell(WorkColumn(column), row));
        cells.append(texts);
    }
    return cells;
}

RecalculationResult runRecalculation(WorkCells& table, const QString& startEvent,
                                     const QString& endEvent, double startDate,
                                     const NumberFormat& numbers, const DateFormat& dates,
                                     const NameCollation& names, RecalculationResult before)
{
    RecalculationResult result = std::move(before);
    try {
        Recalculation recalculation(table, startEvent, endEvent, startDate, numbers, dates, names);
        const long double length = recalculation.criticalLength(result.criticalPath);
        result.pathLine = criticalPathLine(numbers, length, result.criticalPath);
        recalculation.fillComputedColumns();
    } catch (const KestrinError& error) {
        result.error = error.message();
    }
    return result;
}

RecalculationResult runReference(WorkCells& table, const QString& startEvent,
                                 const QString& endEvent, double startDate,
                                 const NumberFormat& numbers, const DateFormat& dates,
                                 const NameCollation& names, RecalculationResult before)
{
    RecalculationResult result = std::move(before);
    try {
        reference::recalculate(table, startEvent, endEvent, startDate, {numbers, dates, names},
                               result.criticalPath, result.pathLine);
    } catch (const KestrinError& error) {
        result.error = error.message();
    }
    return result;
}
