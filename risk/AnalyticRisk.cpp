#include "AnalyticRisk.h"

#include "KestrinError.h"
#include "NormalLaw.h"

#include <bit>
#include <cmath>
#include <unordered_map>

namespace risk {

namespace {

// Room for the sign and the carries of the sums.
constexpr int kSpareBits = 2;

struct WorkDecimals
{
    Decimal optimistic;
    Decimal mostLikely;
    Decimal pessimistic;
};

// The decimals of the values met so far: a plan repeats few distinct estimates, and finding the
// shortest decimal of a long double costs a microsecond.
class DecimalCache
{
public:
    const Decimal& of(long double value)
    {
        auto found = m_known.find(value);
        if (found == m_known.end())
            found = m_known.emplace(value, shortestDecimal(value)).first;
        return found->second;
    }

private:
    std::unordered_map<long double, Decimal> m_known;
};

WorkDecimals decimalsOf(const RiskWork& work, DecimalCache& cache)
{
    return {cache.of(work.low()), cache.of(work.mostLikely), cache.of(work.high())};
}

struct PathTotal
{
    WideInteger length;
    WideInteger variance;
    int lastWork = -1;
    bool reached = false;
};

} // namespace

AnalyticRisk::AnalyticRisk(const RiskNetwork& network, EstimateMethod method)
{
    const std::vector<int>& works = network.pathWorks();
    std::vector<WorkDecimals> decimals;
    decimals.reserve(works.size());
    DecimalCache cache;
    for (const int work : works) {
        decimals.push_back(decimalsOf(network.works()[std::size_t(work)], cache));
        m_scale.include(decimals.back().optimistic);
        m_scale.include(decimals.back().mostLikely);
        m_scale.include(decimals.back().pessimistic);
    }
    m_countBits = int(std::bit_width(works.size() + 1));
    const int countBits = m_countBits;
    const int valueBits = m_scale.valueBits();
    if (valueBits + 3 + countBits + kSpareBits > WideInteger::kBits ||
        2 * (valueBits + 1) + countBits + kSpareBits > WideInteger::kBits)
        throw KestrinError(QStringLiteral(
            "Длительности работ различаются по величине слишком сильно для точного расчёта"));

    const EstimateWeights weights = estimateWeights(method);
    m_divisor = weights.divisor;
    std::vector<PathTotal> best(std::size_t(network.pathEventCount()));
    best[0].reached = true;
    for (std::size_t k = 0; k < works.size(); ++k) {
        const RiskWork& work = network.works()[std::size_t(works[k])];
        const WideInteger low = m_scale.toWide(decimals[k].optimistic);
        const WideInteger high = m_scale.toWide(decimals[k].pessimistic);
        WideInteger likely = m_scale.toWide(decimals[k].mostLikely);
        PathTotal candidate = best[std::size_t(network.pathEvent(work.start))];
        if (work.hasEstimates()) {
            WideInteger length = WideInteger(low).multiplyBy(std::uint64_t(weights.optimistic));
            length += likely.multiplyBy(std::uint64_t(weights.mostLikely));
            length += WideInteger(high).multiplyBy(std::uint64_t(weights.pessimistic));
            candidate.length += length;
            WideInteger spread = high;
            spread += -low;
            candidate.variance += spread * spread;
        } else {
            candidate.length += likely.multiplyBy(std::uint64_t(weights.divisor));
        }
        candidate.lastWork = works[k];
        PathTotal& target = best[std::size_t(network.pathEvent(work.end))];
        if (!target.reached || candidate.length > target.length ||
            (candidate.length == target.length && candidate.variance > target.variance))
            target = candidate;
    }

    const PathTotal& atEnd = best[std::size_t(network.pathEvent(network.endEvent()))];
    m_lengthNumerator = atEnd.length;
    m_varianceNumerator = atEnd.variance;
    m_expectedLength = m_lengthNumerator.toLongDouble(m_scale.exponent()) / m_divisor;
    m_sigma = std::sqrt(m_varianceNumerator.toLongDouble(2 * m_scale.exponent())) / m_divisor;
    for (int event = network.endEvent(); event != network.startEvent();) {
        const int work = best[std::size_t(network.pathEvent(event))].lastWork;
        m_criticalPath.insert(m_criticalPath.begin(), work);
        event = network.works()[std::size_t(work)].start;
    }
}

long double AnalyticRisk::probabilityOfMeeting(long double directive) const
{
    if (directive < 0)
        return 0;
    if (!m_varianceNumerator.isZero())
        return normalProbability((directive - m_expectedLength) / m_sigma);
    // A fixed length: met or not, decided exactly in the decimals of the directive.
    const Decimal days = shortestDecimal(directive);
    DecimalScale common = m_scale;
    common.include(days);
    if (common.valueBits() + 3 + m_countBits + kSpareBits > WideInteger::kBits)
        return directive >= m_expectedLength ? 1 : 0;
    WideInteger scaledDirective = common.toWide(days);
    scaledDirective.multiplyBy(std::uint64_t(m_divisor));
    WideInteger scaledLength = m_lengthNumerator;
    for (int shift = m_scale.exponent() - common.exponent(); shift > 0; --shift)
        scaledLength.multiplyBy(10);
    return scaledDirective >= scaledLength ? 1 : 0;
}

long double AnalyticRisk::lengthWithProbability(long double probability) const
{
    if (!(probability > 0 && probability < 1))
        throw KestrinError(QStringLiteral("Вероятность должна быть больше 0 и меньше 1"));
    return m_expectedLength + m_sigma * normalQuantile(probability);
}

} // namespace risk
