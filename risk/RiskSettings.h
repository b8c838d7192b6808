#pragma once

#include "DurationDistribution.h"
#include "Estimates.h"

#include <QDate>
#include <QtGlobal>

#include <cstdint>
#include <optional>

class Plan;

namespace risk {

// What the user chose in the risk window, kept in the plan's sections so the plan file saves it:
// the method, the law, the runs, the seed and the confidence under plansection::kSimulation, the
// directive date under plansection::kDirective. Numbers are written locale-free, the date as ISO
// 8601. A value that is missing or does not read (a file from elsewhere) takes its default.
struct RiskSettings
{
    static constexpr double kDefaultConfidence = 0.95;

    EstimateMethod method = EstimateMethod::ThreePoint;
    Distribution distribution = Distribution::Beta;
    qint64 runs = 10'000;
    std::uint64_t seed = 1;
    double confidence = kDefaultConfidence; // 0 < p < 1
    std::optional<QDate> directive;         // none: the window's default date

    bool operator==(const RiskSettings&) const = default;
};

RiskSettings riskSettings(const Plan& plan);
void storeRiskSettings(Plan& plan, const RiskSettings& settings);

} // namespace risk
