#include "ResourceTables.h"

#include "NumberFormat.h"
#include "ResourceNetwork.h"

namespace {

QStringList captions(std::initializer_list<const char16_t*> texts)
{
    QStringList list;
    for (const char16_t* text : texts)
        list.append(QString::fromUtf16(text));
    return list;
}

} // namespace

ResourceLoad resourceLoad(const ResourceNetwork& network, const std::vector<int>& starts,
                          int resource)
{
    ResourceLoad load;
    const Resource& described = network.resources()[std::size_t(resource)];
    load.resourceName = described.name;
    load.unit = described.unit;
    if (network.isLimited(resource))
        load.available =
            network.amount(resource, network.problem().capacities[std::size_t(resource)]);
    for (const LoadStep& step : loadProfile(network.problem(), starts, resource))
        load.steps.push_back({network.days(step.from), network.days(step.to),
                              network.amount(resource, step.demand)});
    int end = 0;
    for (std::size_t a = 0; a < starts.size(); ++a)
        end = std::max(end, starts[a] + network.problem().durations[a]);
    load.length = network.days(end);
    if (!load.steps.empty())
        load.length = std::max(load.length, load.steps.back().to);
    return load;
}

TextTable overloadTable(const ResourceNetwork& network, const std::vector<int>& starts,
                        int resource, const NumberFormat& numbers)
{
    TextTable table{captions({u"С", u"По", u"Требуется", u"Доступно"}), {}};
    if (!network.isLimited(resource))
        return table;
    const std::vector<LoadStep> profile = loadProfile(network.problem(), starts, resource);
    for (const Overload& over :
         overloads(profile, network.problem().capacities[std::size_t(resource)]))
        table.rows.push_back({numbers.format(network.days(over.from)),
                              numbers.format(network.days(over.to)),
                              numbers.format(network.amount(resource, over.required)),
                              numbers.format(network.amount(resource, over.available))});
    return table;
}

TextTable levelledTable(const ResourceNetwork& network, const std::vector<int>& levelledStarts,
                        const NumberFormat& numbers)
{
    TextTable table{captions({u"Работа", u"Наименование", u"Раннее начало",
                              u"Начало после выравнивания", u"Сдвиг"}),
                    {}};
    for (std::size_t a = 0; a < network.works().size() && a < levelledStarts.size(); ++a) {
        const LevellingWork& work = network.works()[a];
        const int early = network.earlyStarts()[a];
        table.rows.push_back({work.label, work.name, numbers.format(network.days(early)),
                              numbers.format(network.days(levelledStarts[a])),
                              numbers.format(network.days(levelledStarts[a] - early))});
    }
    return table;
}
