#include "GuideShot.h"

#include "EventIndex.h"
#include "NameCollation.h"
#include "NumberFormat.h"
#include "Plan.h"
#include "ResourceNetwork.h"
#include "TfmResources.h"
#include "WorkTable.h"

#include <QAbstractButton>
#include <QComboBox>

// The resources window over a small house: four workers, levelled, with the early starts'
// overloads shown beside the levelled starts.
void shotResources(const GuideShot& shot)
{
    struct Row
    {
        const char* from;
        const char* to;
        const char* duration;
        const char16_t* name;
        double workers;
    };
    const Row rows[] = {
        {"1", "2", "3", u"Фундамент", 2},    {"2", "3", "4", u"Стены", 3},
        {"2", "4", "2", u"Коммуникации", 2}, {"3", "5", "2", u"Кровля", 2},
        {"4", "5", "3", u"Отделка", 2},      {"1", "4", "1", u"Заказ материалов", 1},
    };
    WorkTable table;
    Plan plan;
    const ResourceId workers = plan.addResource();
    plan.updateResource({workers, QStringLiteral("Рабочие"), QStringLiteral("чел."), 4.0});
    table.setRowCount(int(std::size(rows)));
    for (int row = 0; row < int(std::size(rows)); ++row) {
        const Row& work = rows[row];
        table.setCell(WorkColumn::StartEvent, row, QString::fromLatin1(work.from));
        table.setCell(WorkColumn::EndEvent, row, QString::fromLatin1(work.to));
        table.setCell(WorkColumn::Duration, row, QString::fromLatin1(work.duration));
        WorkDetails details;
        details.name = QString::fromUtf16(work.name);
        details.setDemand(workers, work.workers);
        table.setDetails(row, details);
    }
    const NumberFormat numbers(QStringLiteral(","));
    const NameCollation names;
    const EventIndex index(table, names);
    const ResourceNetwork network(table, index, QStringLiteral("1"), QStringLiteral("5"),
                                  plan.resources(), numbers);
    TfmResources window(network, plan, numbers);
    window.findChild<QAbstractButton*>(QStringLiteral("sbLevel"))->click();
    window.findChild<QComboBox*>(QStringLiteral("cbSchedule"))->setCurrentIndex(0);
    shot.save(window, QStringLiteral("guide-resources"));
}
