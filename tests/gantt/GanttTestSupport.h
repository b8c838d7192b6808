#pragma once

#include "DateFormat.h"
#include "NameCollation.h"
#include "NumberFormat.h"
#include "Recalculation.h"
#include "WorkListFile.h"
#include "WorkTable.h"

#include <QDate>
#include <QString>

// Shared by the Gantt chart tests: the user guide's example network, calculated as the guide
// shows it (decimal comma, days from Monday 1 March 2027), in whatever locale the test runs.
namespace gantttest {

inline const NumberFormat& numbers()
{
    static const NumberFormat format(QStringLiteral(","));
    return format;
}

inline const DateFormat& dates()
{
    static const DateFormat format(QStringLiteral("dd.MM.yyyy"));
    return format;
}

inline double startDate()
{
    return DateFormat::daysOf(QDate(2027, 3, 1));
}

inline QString housePath()
{
    return QStringLiteral(KESTRIN_EXAMPLES_DIR "/house.kdf");
}

// Reads the example into the table; with `calculate`, recalculates it from event 1 to event 10.
inline void loadHouse(WorkCells& table, bool calculate = true)
{
    worklistfile::read(housePath(), table);
    if (!calculate)
        return;
    const NameCollation names(QLocale(QLocale::Russian, QLocale::Russia));
    Recalculation recalculation(table, QStringLiteral("1"), QStringLiteral("10"), startDate(),
                                numbers(), dates(), names);
    QStringList path;
    recalculation.criticalLength(path);
    recalculation.fillComputedColumns();
}

inline double cellNumber(const WorkCells& table, WorkColumn column, int row)
{
    return double(numbers().parse(table.cellView(column, row)));
}

} // namespace gantttest
