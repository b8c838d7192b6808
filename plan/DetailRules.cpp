#include "DetailRules.h"

#include "KestrinError.h"
#include "NumberFormat.h"
#include "Plan.h"
#include "WorkFieldRule.h"
#include "WorkInputs.h"
#include "WorkTable.h"

#include <QStringList>

#include <cmath>
#include <functional>
#include <limits>

namespace {

using Number = DetailNumber;

QString word(Number which)
{
    return detailrules::numberWord(which);
}

// One rule: the numbers it reads and its check, which gives the broken rule's words or nothing.
struct Rule
{
    std::vector<Number> numbers;
    bool readsDuration = false;
    std::function<QString(const WorkDetails&, double duration)> broken;
};

QString belowZero(const WorkDetails& details, Number which)
{
    const auto value = details.number(which);
    return value && *value < 0 ? word(which) + QStringLiteral(" меньше нуля") : QString();
}

const std::vector<Rule>& rules()
{
    static const std::vector<Rule> all = [] {
        std::vector<Rule> list;
        for (Number which : {Number::Optimistic, Number::Pessimistic, Number::Shortest,
                             Number::NormalCost, Number::ShortestCost})
            list.push_back({{which}, false, [which](const WorkDetails& d, double) {
                                return belowZero(d, which);
                            }});
        list.push_back({{Number::Optimistic}, true, [](const WorkDetails& d, double duration) {
                            const auto value = d.number(Number::Optimistic);
                            return value && *value > duration
                                       ? QStringLiteral("Оптимистическая продолжительность больше "
                                                        "продолжительности")
                                       : QString();
                        }});
        list.push_back({{Number::Pessimistic}, true, [](const WorkDetails& d, double duration) {
                            const auto value = d.number(Number::Pessimistic);
                            return value && *value < duration
                                       ? QStringLiteral("Пессимистическая продолжительность меньше "
                                                        "продолжительности")
                                       : QString();
                        }});
        list.push_back(
            {{Number::Optimistic, Number::Pessimistic}, false, [](const WorkDetails& d, double) {
                 return d.hasEstimates() &&
                                *d.number(Number::Optimistic) > *d.number(Number::Pessimistic)
                            ? QStringLiteral("Оптимистическая продолжительность "
                                             "больше пессимистической")
                            : QString();
             }});
        list.push_back({{Number::Shortest}, true, [](const WorkDetails& d, double duration) {
                            const auto value = d.number(Number::Shortest);
                            return value && *value > duration
                                       ? QStringLiteral("Минимальная продолжительность больше "
                                                        "продолжительности")
                                       : QString();
                        }});
        list.push_back(
            {{Number::NormalCost, Number::ShortestCost}, false, [](const WorkDetails& d, double) {
                 const auto normal = d.number(Number::NormalCost);
                 const auto shortest = d.number(Number::ShortestCost);
                 return normal && shortest && *shortest < *normal
                            ? QStringLiteral("Стоимость при минимальной "
                                             "продолжительности меньше стоимости")
                            : QString();
             }});
        return list;
    }();
    return all;
}

QString resourceName(const Plan& plan, ResourceId id)
{
    const Resource* resource = plan.resource(id);
    return resource ? resource->name : QString::number(id);
}

QString demandProblem(const ResourceDemand& demand, const Plan& plan)
{
    if (!plan.resource(demand.resource))
        return QStringLiteral("Нет ресурса с номером %1").arg(demand.resource);
    if (!std::isfinite(demand.amount))
        return detailrules::demandWord(resourceName(plan, demand.resource)) +
               QStringLiteral(" — не число");
    if (demand.amount < 0)
        return detailrules::demandWord(resourceName(plan, demand.resource)) +
               QStringLiteral(" меньше нуля");
    return {};
}

QString nameProblem(const WorkDetails& details)
{
    return workfield::freeTextProblem(details.name, detailrules::nameWord());
}

QString finiteProblem(const WorkDetails& details, Number which)
{
    const auto value = details.number(which);
    return value && !std::isfinite(*value) ? word(which) + QStringLiteral(" — не число")
                                           : QString();
}

} // namespace

namespace detailrules {

QString numberCaption(DetailNumber which)
{
    static constexpr const char16_t* kCaptions[kDetailNumberCount] = {
        u"Оптимист.", u"Пессимист.", u"Мин. продолжит.", u"Стоимость", u"Стоимость при мин."};
    return QString::fromUtf16(kCaptions[int(which)]);
}

QString numberWord(DetailNumber which)
{
    switch (which) {
    case Number::Optimistic:
        return QStringLiteral("Оптимистическая продолжительность");
    case Number::Pessimistic:
        return QStringLiteral("Пессимистическая продолжительность");
    case Number::Shortest:
        return QStringLiteral("Минимальная продолжительность");
    case Number::NormalCost:
        return QStringLiteral("Стоимость");
    case Number::ShortestCost:
        return QStringLiteral("Стоимость при минимальной продолжительности");
    }
    return {};
}

QString nameWord()
{
    return nameCaption();
}

QString demandWord(const QString& resourceName)
{
    return QStringLiteral("Потребность в ресурсе «%1»")
        .arg(workfield::quotedBeginning(resourceName));
}

std::optional<double> parseNumber(QStringView text, const QString& word,
                                  const NumberFormat& numbers)
{
    if (text.trimmed().isEmpty())
        return std::nullopt;
    const std::optional<long double> value = numbers.tryParse(text);
    if (!value || std::fabs(*value) > std::numeric_limits<double>::max())
        throw KestrinError(
            QStringLiteral("«%1» — не число (%2)").arg(workfield::quotedBeginning(text), word));
    return static_cast<double>(*value);
}

void checkChange(const WorkDetails& before, const WorkDetails& after, QStringView duration,
                 const Plan& plan, const NumberFormat& numbers)
{
    if (after.name != before.name) {
        if (const QString problem = nameProblem(after); !problem.isEmpty())
            throw KestrinError(problem);
    }
    const std::optional<long double> durationValue = numbers.tryParse(duration);
    for (int i = 0; i < kDetailNumberCount; ++i) {
        const auto which = static_cast<Number>(i);
        if (after.number(which) != before.number(which)) {
            if (const QString problem = finiteProblem(after, which); !problem.isEmpty())
                throw KestrinError(problem);
        }
    }
    for (const Rule& rule : rules()) {
        const bool touched = std::any_of(rule.numbers.begin(), rule.numbers.end(), [&](Number n) {
            return after.number(n) != before.number(n);
        });
        if (!touched || (rule.readsDuration && !durationValue))
            continue;
        const double value = durationValue ? static_cast<double>(*durationValue) : 0;
        if (const QString problem = rule.broken(after, value); !problem.isEmpty())
            throw KestrinError(problem);
    }
    for (const ResourceDemand& demand : after.demands) {
        if (before.demand(demand.resource) == demand.amount)
            continue;
        if (const QString problem = demandProblem(demand, plan); !problem.isEmpty())
            throw KestrinError(problem);
    }
}

WorkInputs checkedRow(const WorkTable& table, int row, const WorkDetails& after, const Plan& plan,
                      const NumberFormat& numbers)
{
    checkChange(table.details(row), after, table.cellView(WorkColumn::Duration, row), plan,
                numbers);
    WorkInputs work;
    work.append(table.cellView(WorkColumn::StartEvent, row),
                table.cellView(WorkColumn::EndEvent, row),
                table.cellView(WorkColumn::Duration, row), after);
    return work;
}

QString ownProblem(const WorkDetails& details, const Plan& plan)
{
    if (QString problem = nameProblem(details); !problem.isEmpty())
        return problem;
    for (int i = 0; i < kDetailNumberCount; ++i) {
        if (QString problem = finiteProblem(details, static_cast<Number>(i)); !problem.isEmpty())
            return problem;
    }
    for (const Rule& rule : rules()) {
        if (rule.readsDuration)
            continue;
        if (QString problem = rule.broken(details, 0); !problem.isEmpty())
            return problem;
    }
    for (const ResourceDemand& demand : details.demands) {
        if (QString problem = demandProblem(demand, plan); !problem.isEmpty())
            return problem;
    }
    return {};
}

bool fitsDuration(const WorkDetails& details, double duration)
{
    return std::none_of(rules().begin(), rules().end(), [&](const Rule& rule) {
        return rule.readsDuration && !rule.broken(details, duration).isEmpty();
    });
}

std::vector<int> worksBreakingDetails(const WorkTable& table, const NumberFormat& numbers)
{
    std::vector<int> rows;
    if (table.rowsWithDetails() == 0)
        return rows;
    for (int row = 0; row < table.rowCount(); ++row) {
        const QStringView encoded = table.detailsText(row);
        if (encoded.isEmpty())
            continue;
        const auto duration = numbers.tryParse(table.cellView(WorkColumn::Duration, row));
        if (duration && !fitsDuration(WorkDetails::decode(encoded), static_cast<double>(*duration)))
            rows.push_back(row);
    }
    return rows;
}

QString leftOutLine(const QString& reason, const std::vector<LeftOutWork>& works)
{
    if (works.empty())
        return {};
    QStringList listed;
    for (const LeftOutWork& work : works) {
        if (listed.size() == kMostLeftOutListed)
            break;
        listed.append(work.name.isEmpty() ? work.label
                                          : work.label + QStringLiteral(" «") + work.name + u'»');
    }
    QString line = reason + QStringLiteral(": ") + listed.join(QStringLiteral(", "));
    if (int(works.size()) > kMostLeftOutListed)
        line += QStringLiteral(" и ещё %1").arg(int(works.size()) - kMostLeftOutListed);
    return line;
}

} // namespace detailrules
