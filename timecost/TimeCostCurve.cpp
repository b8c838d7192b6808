#include "TimeCostCurve.h"

#include "CrashingFlow.h"
#include "KestrinError.h"
#include "TimeCostNetwork.h"

#include <algorithm>
#include <map>

namespace {

__extension__ using Wide = __int128;
__extension__ using UnsignedWide = unsigned __int128;
using boost::multiprecision::cpp_int;

cpp_int toBig(Wide value)
{
    const bool negative = value < 0;
    const UnsignedWide magnitude = negative ? UnsignedWide(-(value + 1)) + 1 : UnsignedWide(value);
    cpp_int result = static_cast<std::uint64_t>(magnitude >> 64);
    result <<= 64;
    result += static_cast<std::uint64_t>(magnitude);
    return negative ? cpp_int(-result) : result;
}

// The extra cost of the plan, exactly, as works change their durations: each shortened work adds
// its cost rise times the share of its possible shortening used, a fraction over (normal -
// shortest). The changes of a corner are summed in 128-bit integers per such denominator, and only
// those few sums are added to the running rational.
class ExtraCost
{
public:
    explicit ExtraCost(const ScaledNetwork& scaled) : m_scaled(scaled)
    {
        std::map<std::int64_t, int> byDenominator;
        m_group.assign(scaled.duration.size(), -1);
        for (const int w : scaled.pathWorks) {
            const auto i = std::size_t(w);
            if (scaled.costRise[i] == 0)
                continue;
            const auto [at, added] = byDenominator.try_emplace(
                scaled.duration[i] - scaled.shortest[i], int(m_denominators.size()));
            if (added)
                m_denominators.push_back(at->first);
            m_group[i] = at->second;
        }
        m_changes.assign(m_denominators.size(), 0);
        m_scale = exactcost::fromDecimal(Decimal(1, scaled.costDecimals));
    }

    // The work's duration changed from `before` to `after`.
    void change(int work, std::int64_t before, std::int64_t after)
    {
        const int group = m_group[std::size_t(work)];
        if (group < 0)
            return;
        Wide term = 0;
        Wide& sum = m_changes[std::size_t(group)];
        if (__builtin_mul_overflow(Wide(m_scaled.costRise[std::size_t(work)]),
                                   Wide(before) - Wide(after), &term) ||
            __builtin_add_overflow(sum, term, &sum))
            throw KestrinError(QStringLiteral("Затраты слишком велики для точного расчёта"));
        m_touched.push_back(group);
    }

    // The extra cost of the plan as changed so far, in money.
    ExactCost total()
    {
        std::sort(m_touched.begin(), m_touched.end());
        m_touched.erase(std::unique(m_touched.begin(), m_touched.end()), m_touched.end());
        for (const int group : m_touched) {
            Wide& sum = m_changes[std::size_t(group)];
            if (sum != 0)
                m_total += ExactCost(toBig(sum), cpp_int(m_denominators[std::size_t(group)]));
            sum = 0;
        }
        m_touched.clear();
        return m_total * m_scale;
    }

private:
    const ScaledNetwork& m_scaled;
    std::vector<int> m_group;
    std::vector<std::int64_t> m_denominators;
    std::vector<Wide> m_changes;
    std::vector<int> m_touched;
    ExactCost m_total;
    ExactCost m_scale;
};

std::int64_t normalLength(const TimeCostNetwork& network, const ScaledNetwork& scaled)
{
    std::vector<std::int64_t> time(std::size_t(network.eventNames.size()), 0);
    std::vector<std::vector<int>> out(std::size_t(network.eventNames.size()));
    for (const int w : scaled.pathWorks)
        out[std::size_t(network.works[std::size_t(w)].startEvent)].push_back(w);
    for (const int event : scaled.pathEvents) {
        for (const int w : out[std::size_t(event)]) {
            std::int64_t& end = time[std::size_t(network.works[std::size_t(w)].endEvent)];
            end = std::max(end, time[std::size_t(event)] + scaled.duration[std::size_t(w)]);
        }
    }
    return time[std::size_t(network.endEvent)];
}

// The works on paths at each event, so that a phase reads only the works at events that moved.
std::vector<std::vector<int>> pathWorksAt(const TimeCostNetwork& network,
                                          const ScaledNetwork& scaled)
{
    std::vector<std::vector<int>> at(std::size_t(network.eventNames.size()));
    for (const int w : scaled.pathWorks) {
        const CostedWork& work = network.works[std::size_t(w)];
        at[std::size_t(work.startEvent)].push_back(w);
        at[std::size_t(work.endEvent)].push_back(w);
    }
    return at;
}

} // namespace

TimeCostCurve timeCostCurve(const TimeCostNetwork& network)
{
    const ScaledNetwork scaled = scaleNetwork(network);
    TimeCostCurve curve;
    const std::int64_t normal = normalLength(network, scaled);
    curve.points.push_back({Decimal(normal, scaled.durationDecimals), scaled.normalCost, {}});

    ExtraCost extra(scaled);
    std::vector<std::int64_t> current = scaled.duration;
    int shortenedCount = 0;
    const std::vector<std::vector<int>> worksAt = pathWorksAt(network, scaled);
    // The works at events that moved since the last point: a call that makes no point (at the
    // normal length) leaves its works for the next.
    std::vector<int> touched;
    std::vector<char> isTouched(network.works.size(), 0);
    std::vector<std::pair<int, std::int64_t>> changes;
    traceCrashing(network, scaled,
                  [&](std::int64_t length, const std::vector<std::int64_t>& eventTimes,
                      const std::vector<int>& movedEvents) {
                      for (const int event : movedEvents) {
                          for (const int w : worksAt[std::size_t(event)]) {
                              if (!isTouched[std::size_t(w)]) {
                                  isTouched[std::size_t(w)] = 1;
                                  touched.push_back(w);
                              }
                          }
                      }
                      if (length >= normal)
                          return;
                      CurvePoint point;
                      point.length = Decimal(length, scaled.durationDecimals);
                      // Most works touched keep their durations: only those that change are
                      // put in work order.
                      changes.clear();
                      for (const int w : touched) {
                          const auto i = std::size_t(w);
                          isTouched[i] = 0;
                          const CostedWork& work = network.works[i];
                          // The flow keeps every work at least as long as its shortest duration.
                          const std::int64_t duration = std::min(
                              scaled.duration[i], eventTimes[std::size_t(work.endEvent)] -
                                                      eventTimes[std::size_t(work.startEvent)]);
                          if (duration != current[i])
                              changes.emplace_back(w, duration);
                      }
                      touched.clear();
                      std::sort(changes.begin(), changes.end());
                      for (const auto& [w, duration] : changes) {
                          const auto i = std::size_t(w);
                          shortenedCount +=
                              (duration < scaled.duration[i]) - (current[i] < scaled.duration[i]);
                          point.changed.push_back({w, Decimal(duration, scaled.durationDecimals)});
                          extra.change(w, current[i], duration);
                          current[i] = duration;
                      }
                      point.directCost = scaled.normalCost + extra.total();
                      point.shortenedCount = shortenedCount;
                      curve.points.push_back(std::move(point));
                  });
    return curve;
}

std::vector<WorkDuration> shortenedAt(const TimeCostNetwork& network, const TimeCostCurve& curve,
                                      std::size_t index)
{
    std::map<int, Decimal> durations;
    for (std::size_t i = 0; i <= index; ++i) {
        for (const WorkDuration& change : curve.points[i].changed)
            durations[change.work] = change.duration;
    }
    std::vector<WorkDuration> plan;
    for (const auto& [work, duration] : durations) {
        if (duration != network.works[std::size_t(work)].duration)
            plan.push_back({work, duration});
    }
    return plan;
}
