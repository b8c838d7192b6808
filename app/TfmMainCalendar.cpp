#include "TfmMain.h"

#include "CalendarSection.h"
#include "Commands.h"
#include "TfmWorkCalendar.h"
#include "WorkChange.h"
#include "WorkHistory.h"

#include <QAction>

#include <cmath>

// The main window's working calendar: kept in the plan's calendar section, so the plan file saves
// it and a work list file read leaves it as it is; applying one is a step of the undo history.

namespace {

// Days from 1899 beyond which no date of years 1 to 9999 lies (and the day count stays an integer).
constexpr double kFarBeyondTheCalendar = 1e7;

WorkCalendar calendarOf(const Plan& plan)
{
    return calendarsection::decode(plan.section(QString::fromUtf16(plansection::kCalendar)));
}

} // namespace

ScheduleDates TfmMain::scheduleDates() const
{
    return ScheduleDates(calendarOf(m_plan), m_plan.startDate());
}

void TfmMain::sbWorkCalendarClick()
{
    const WorkCalendar current = calendarOf(m_plan);
    TfmWorkCalendar dialog(this);
    // The month of the start date; a start date far beyond the calendar's years shows none.
    const QDate startDay = std::fabs(m_plan.startDate()) < kFarBeyondTheCalendar
                               ? DateFormat::epoch().addDays(qint64(std::floor(m_plan.startDate())))
                               : QDate();
    dialog.setCalendar(current, startDay);
    execWindow(dialog);
    // Accepting the calendar as it was changes nothing, and leaves nothing to undo.
    if (dialog.tag() != 1 || dialog.calendar() == current)
        return;
    ShownState before = shownState();
    m_plan.setSection(QString::fromUtf16(plansection::kCalendar),
                      calendarsection::encode(dialog.calendar()));
    m_history->push(WorkChange::made(*m_table, 0, 0, WorkInputs(), std::move(before)));
    if (m_commands->action("sbRecalc")->isEnabled())
        sbRecalcClick();
}
