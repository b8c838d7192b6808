#include "RiskReport.h"

#include "DateFormat.h"
#include "NumberFormat.h"
#include "RiskSimulation.h"
#include "RiskTableInput.h"
#include "RiskTexts.h"
#include "ScheduleDates.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace risk {

RiskReport::RiskReport(const RiskTableInput& input, EstimateMethod method,
                       const ScheduleDates& dates, const NumberFormat& numbers,
                       const DateFormat& dateFormat)
    : m_input(input), m_dates(dates), m_numbers(numbers), m_dateFormat(dateFormat),
      m_analytic(input.network, method)
{
}

QString RiskReport::expectedText() const
{
    return QStringLiteral("Tкр = %1; σ = %2")
        .arg(m_numbers.format(m_analytic.expectedLength()), m_numbers.format(m_analytic.sigma()));
}

QDate RiskReport::defaultDirective() const
{
    return m_dates.dateOf(std::ceil(m_analytic.expectedLength()));
}

QString RiskReport::probabilityText(long double directiveDays) const
{
    return percentText(double(m_analytic.probabilityOfMeeting(directiveDays)), m_numbers);
}

QString RiskReport::dateText(double length) const
{
    return m_dateFormat.formatDate(DateFormat::daysOf(m_dates.dateOf(std::ceil(length))));
}

QString RiskReport::reachedText(double confidence) const
{
    const double length = double(m_analytic.lengthWithProbability(confidence));
    return QStringLiteral("%1 — %2").arg(simulatedLengthText(length, m_numbers), dateText(length));
}

QStringList RiskReport::percentileCaptions()
{
    return {QStringLiteral("Вероятность"), QStringLiteral("Срок"), QStringLiteral("Дата")};
}

QStringList RiskReport::criticalityCaptions()
{
    return {QStringLiteral("Работа"), QStringLiteral("Наименование"),
            QStringLiteral("Индекс критичности")};
}

std::vector<QStringList> RiskReport::percentileRows(const SimulationResult& result) const
{
    std::vector<QStringList> rows;
    if (result.runs() == 0)
        return rows;
    for (const double share : kPercentileShares) {
        const double length = result.percentile(share);
        rows.push_back({percentText(share, m_numbers), simulatedLengthText(length, m_numbers),
                        dateText(length)});
    }
    return rows;
}

std::vector<QStringList> RiskReport::criticalityRows(const SimulationResult& result) const
{
    const std::vector<double>& index = result.criticality();
    std::vector<int> works;
    for (int work = 0; work < int(index.size()); ++work) {
        if (m_input.network.onPath(work))
            works.push_back(work);
    }
    std::stable_sort(works.begin(), works.end(), [&](int left, int right) {
        return index[std::size_t(left)] > index[std::size_t(right)];
    });
    std::vector<QStringList> rows;
    rows.reserve(works.size());
    for (const int work : works)
        rows.push_back({m_input.workLabels[work], m_input.workNames[work],
                        percentText(index[std::size_t(work)], m_numbers)});
    return rows;
}

QString RiskReport::simulatedProbabilityText(const SimulationResult& result,
                                             long double directiveDays,
                                             long double directiveOfRuns) const
{
    if (result.runs() == 0)
        return {};
    if (directiveDays < 0)
        return percentText(0, m_numbers);
    if (const std::optional<double> exact = result.directiveProbability();
        exact && directiveDays == directiveOfRuns)
        return percentText(*exact, m_numbers);
    return percentText(result.probabilityOfMeeting(double(directiveDays)), m_numbers);
}

QString RiskReport::simulatedSummary(const SimulationResult& result) const
{
    QString text = QStringLiteral("Прогонов: %1; среднее = %2; σ = %3")
                       .arg(result.runs())
                       .arg(simulatedLengthText(result.mean(), m_numbers),
                            simulatedLengthText(result.sigma(), m_numbers));
    if (result.cancelled())
        text += QStringLiteral(" (прервано)");
    return text;
}

} // namespace risk
