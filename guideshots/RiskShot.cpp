#include "GuideShot.h"

#include "DateFormat.h"
#include "EventIndex.h"
#include "NameCollation.h"
#include "NumberFormat.h"
#include "Plan.h"
#include "RiskTableInput.h"
#include "ScheduleDates.h"
#include "TfmRisk.h"
#include "WorkCalendar.h"
#include "WorkTable.h"

#include <QAbstractButton>
#include <QDateEdit>

#include <optional>

namespace {

struct ShotWork
{
    const char16_t* from;
    const char16_t* to;
    const char16_t* duration;
    std::optional<double> optimistic;
    std::optional<double> pessimistic;
    const char16_t* name;
};

// A small house: two paths of about the same expected length meet before the finishing works,
// which is where the simulation's later finish comes from.
const ShotWork kWorks[] = {
    {u"1", u"2", u"3", 2, 6, u"Проект"},
    {u"2", u"3", u"8", 6, 14, u"Фундамент и стены"},
    {u"2", u"4", u"5", 4, 8, u"Заказ окон и кровли"},
    {u"4", u"3", u"3", 2, 5, u"Доставка"},
    {u"2", u"5", u"9", 7, 13, u"Инженерные сети"},
    {u"3", u"6", u"4", 3, 7, u"Кровля"},
    {u"5", u"6", u"2", 1, 4, u"Подключение"},
    {u"6", u"7", u"6", 4, 10, u"Отделка"},
};

} // namespace

void shotRisk(const GuideShot& shot)
{
    WorkTable table;
    table.setRowCount(int(std::size(kWorks)));
    for (int row = 0; row < int(std::size(kWorks)); ++row) {
        const ShotWork& work = kWorks[row];
        table.setCell(WorkColumn::StartEvent, row, QString::fromUtf16(work.from));
        table.setCell(WorkColumn::EndEvent, row, QString::fromUtf16(work.to));
        table.setCell(WorkColumn::Duration, row, QString::fromUtf16(work.duration));
        WorkDetails details;
        details.name = QString::fromUtf16(work.name);
        details.setNumber(DetailNumber::Optimistic, work.optimistic);
        details.setNumber(DetailNumber::Pessimistic, work.pessimistic);
        table.setDetails(row, details);
    }
    const NumberFormat numbers(QStringLiteral(","));
    const DateFormat dates(QStringLiteral("dd.MM.yyyy"));
    const NameCollation names(QLocale(QLocale::Russian, QLocale::Russia));
    const EventIndex events(table, names);
    const ScheduleDates schedule(WorkCalendar{}, DateFormat::daysOf(QDate(2027, 3, 1)));
    Plan plan;
    TfmRisk window(
        risk::readRiskInput(table, events, QStringLiteral("1"), QStringLiteral("7"), numbers),
        schedule, plan, numbers, dates);
    window.show();
    window.findChild<QDateEdit*>(QStringLiteral("deDirective"))->setDate(QDate(2027, 3, 28));
    window.findChild<QAbstractButton*>(QStringLiteral("sbSimulate"))->click();
    shot.save(window, QStringLiteral("guide-risk"));
}
