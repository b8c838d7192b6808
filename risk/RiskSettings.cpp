#include "RiskSettings.h"

#include "Plan.h"
#include "RiskSimulation.h"

#include <charconv>
#include <string>

namespace risk {

namespace {

const QString kMethod = QStringLiteral("method");
const QString kDistribution = QStringLiteral("distribution");
const QString kRuns = QStringLiteral("runs");
const QString kSeed = QStringLiteral("seed");
const QString kConfidence = QStringLiteral("confidence");
const QString kDate = QStringLiteral("date");

// The words the file holds for the choices, in the order of their enumerations.
const QStringList kMethodWords{QStringLiteral("three-point"), QStringLiteral("two-point")};
const QStringList kDistributionWords{QStringLiteral("beta"), QStringLiteral("triangular")};

std::optional<QString> valueOf(const PlanSection& section, const QString& key)
{
    const auto found = section.find(key);
    if (found == section.end())
        return std::nullopt;
    return found->second;
}

template <typename Number>
std::optional<Number> numberOf(const PlanSection& section, const QString& key)
{
    const std::optional<QString> text = valueOf(section, key);
    if (!text)
        return std::nullopt;
    const std::string bytes = text->toStdString();
    Number value{};
    const auto [end, error] = std::from_chars(bytes.data(), bytes.data() + bytes.size(), value);
    if (error != std::errc() || end != bytes.data() + bytes.size())
        return std::nullopt;
    return value;
}

template <typename Number> QString textOf(Number value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return QString::fromLatin1(buffer, int(result.ptr - buffer));
}

} // namespace

RiskSettings riskSettings(const Plan& plan)
{
    RiskSettings settings;
    const PlanSection simulation = plan.section(QString::fromUtf16(plansection::kSimulation));
    if (const auto word = valueOf(simulation, kMethod); word && kMethodWords.contains(*word))
        settings.method = EstimateMethod(kMethodWords.indexOf(*word));
    if (const auto word = valueOf(simulation, kDistribution);
        word && kDistributionWords.contains(*word))
        settings.distribution = Distribution(kDistributionWords.indexOf(*word));
    if (const auto runs = numberOf<qint64>(simulation, kRuns);
        runs && *runs >= 1 && *runs <= SimulationSettings::kMaxRuns)
        settings.runs = *runs;
    if (const auto seed = numberOf<std::uint64_t>(simulation, kSeed))
        settings.seed = *seed;
    if (const auto confidence = numberOf<double>(simulation, kConfidence);
        confidence && *confidence > 0 && *confidence < 1)
        settings.confidence = *confidence;

    const PlanSection directive = plan.section(QString::fromUtf16(plansection::kDirective));
    if (const auto text = valueOf(directive, kDate)) {
        const QDate date = QDate::fromString(*text, Qt::ISODate);
        if (date.isValid())
            settings.directive = date;
    }
    return settings;
}

void storeRiskSettings(Plan& plan, const RiskSettings& settings)
{
    PlanSection simulation = plan.section(QString::fromUtf16(plansection::kSimulation));
    simulation[kMethod] = kMethodWords[int(settings.method)];
    simulation[kDistribution] = kDistributionWords[int(settings.distribution)];
    simulation[kRuns] = textOf(settings.runs);
    simulation[kSeed] = textOf(settings.seed);
    simulation[kConfidence] = textOf(settings.confidence);
    plan.setSection(QString::fromUtf16(plansection::kSimulation), std::move(simulation));

    // The directive section may hold other capabilities' keys; only the date is ours.
    PlanSection directive = plan.section(QString::fromUtf16(plansection::kDirective));
    if (settings.directive)
        directive[kDate] = settings.directive->toString(Qt::ISODate);
    else
        directive.erase(kDate);
    plan.setSection(QString::fromUtf16(plansection::kDirective), std::move(directive));
}

} // namespace risk
