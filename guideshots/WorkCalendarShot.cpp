#include "GuideShot.h"

#include "DateFormat.h"
#include "NameCollation.h"
#include "NumberFormat.h"
#include "Recalculation.h"
#include "ScheduleDates.h"
#include "TfmGantt.h"
#include "TfmWorkCalendar.h"
#include "WorkListFile.h"
#include "WorkTable.h"

#include <QDir>

// The working calendar of the guide's example: a five-day week from Monday 1 March 2027 with the
// fixed holidays of 2027, and the example's Gantt chart dated by it.

namespace {

const QDate kStart(2027, 3, 1);

WorkCalendar exampleCalendar()
{
    WorkCalendar calendar;
    calendar.setCountsWorkingDays(true);
    calendar.addPublicHolidays(kStart.year());
    return calendar;
}

} // namespace

void shotWorkCalendar(const GuideShot& shot)
{
    TfmWorkCalendar window;
    window.setCalendar(exampleCalendar(), kStart);
    shot.save(window, QStringLiteral("guide-workcalendar"));
}

void shotWorkingDaysGantt(const GuideShot& shot)
{
    const NumberFormat numbers{QStringLiteral(",")};
    const DateFormat dates{QStringLiteral("dd.MM.yyyy")};
    const NameCollation names{QLocale(QLocale::Russian, QLocale::Russia)};
    WorkTable table;
    worklistfile::read(QDir(shot.docsFolder()).filePath(QStringLiteral("examples/house.kdf")),
                       table);
    const ScheduleDates scheduleDates(exampleCalendar(), DateFormat::daysOf(kStart));
    Recalculation recalculation(table, QStringLiteral("1"), QStringLiteral("10"), scheduleDates,
                                numbers, dates, names);
    QStringList path;
    recalculation.criticalLength(path);
    recalculation.fillComputedColumns();
    TfmGantt window(table, numbers, dates, scheduleDates);
    shot.save(window, QStringLiteral("guide-gantt-workdays"));
}
