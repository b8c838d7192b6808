#pragma once

#include "LoadProfile.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

class NumberFormat;
class ResourceNetwork;

// A table as the resources window shows it and its CSV file holds it: captions and display texts.
struct TextTable
{
    QStringList captions;
    std::vector<QStringList> rows;
};

// The schedules whose load the resources window shows, in the order of its choice cbSchedule.
enum class LoadSchedule { Early, Late, Levelled };
inline constexpr const char16_t* kLoadScheduleCaptions[] = {u"Ранние сроки", u"Поздние сроки",
                                                            u"После выравнивания"};

// The load of one resource under one schedule, in days and the resource's own units: the steps
// of its profile and the amount available (none for a resource without a limit).
struct ResourceLoad
{
    struct Step
    {
        double from = 0; // days
        double to = 0;
        double demand = 0; // units of the resource
    };
    std::vector<Step> steps;
    std::optional<double> available;
    double from = 0;   // days: where the drawing's time axis begins
    double length = 0; // days: the end of the schedule, the profile's span at least; the axis end
    QString resourceName;
    QString unit;
};

// The profile of the resource when the network's works start at `starts` (its time units).
ResourceLoad resourceLoad(const ResourceNetwork& network, const std::vector<int>& starts,
                          int resource);

// "С", "По", "Требуется", "Доступно": the stretches in which the works need more of the resource
// than there is, times in days, amounts in the resource's units.
TextTable overloadTable(const ResourceNetwork& network, const std::vector<int>& starts,
                        int resource, const NumberFormat& numbers);

// "Работа", "Наименование", "Раннее начало", "Начало после выравнивания", "Сдвиг": every work of
// the network with its early and levelled start in days and the shift between them.
TextTable levelledTable(const ResourceNetwork& network, const std::vector<int>& levelledStarts,
                        const NumberFormat& numbers);
