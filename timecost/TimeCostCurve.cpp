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

// The corners of the curve as the flow's phases give them: each phase's event times become the
// plan's durations, and only the works at events that moved are looked at.
class Corners
{
public:
    Corners(const TimeCostNetwork& network, const ScaledNetwork& scaled, TimeCostCurve& curve)
        : m_network(network), m_scaled(scaled), m_curve(curve), m_extra(scaled),
          m_current(scaled.duration), m_worksAt(network.eventNames.size()),
          m_isTouched(network.works.size(), 0), m_normal(normalLength(network, scaled))
    {
        for (const int w : scaled.pathWorks) {
            const CostedWork& work = network.works[std::size_t(w)];
            m_worksAt[std::size_t(work.startEvent)].push_back(w);
            m_worksAt[std::size_t(work.endEvent)].push_back(w);
        }
        m_curve.points.push_back(
            {Decimal(m_normal, scaled.durationDecimals), scaled.normalCost, {}});
    }

    void visit(std::int64_t length, const std::vector<std::int64_t>& eventTimes,
               const std::vector<int>& movedEvents)
    {
        for (const int event : movedEvents) {
            for (const int w : m_worksAt[std::size_t(event)]) {
                if (!m_isTouched[std::size_t(w)]) {
                    m_isTouched[std::size_t(w)] = 1;
                    m_touched.push_back(w);
                }
            }
        }
        // A call that makes no point (at the normal length) leaves its works for the next.
        if (length >= m_normal)
            return;
        CurvePoint point;
        point.length = Decimal(length, m_scaled.durationDecimals);
        for (const auto& [w, duration] : changes(eventTimes)) {
            const auto i = std::size_t(w);
            m_shortenedCount +=
                (duration < m_scaled.duration[i]) - (m_current[i] < m_scaled.duration[i]);
            point.changed.push_back({w, Decimal(duration, m_scaled.durationDecimals)});
            m_extra.change(w, m_current[i], duration);
            m_current[i] = duration;
        }
        point.directCost = m_scaled.normalCost + m_extra.total();
        point.shortenedCount = m_shortenedCount;
        m_curve.points.push_back(std::move(point));
    }

private:
    // The works touched whose durations differ from the last point's, with their new ones, in
    // work order. Most works touched keep theirs: only the changes are sorted.
    const std::vector<std::pair<int, std::int64_t>>&
    changes(const std::vector<std::int64_t>& eventTimes)
    {
        m_changes.clear();
        for (const int w : m_touched) {
            const auto i = std::size_t(w);
            m_isTouched[i] = 0;
            const CostedWork& work = m_network.works[i];
            // The flow keeps every work at least as long as its shortest duration.
            const std::int64_t duration =
                std::min(m_scaled.duration[i], eventTimes[std::size_t(work.endEvent)] -
                                                   eventTimes[std::size_t(work.startEvent)]);
            if (duration != m_current[i])
                m_changes.emplace_back(w, duration);
        }
        m_touched.clear();
        std::sort(m_changes.begin(), m_changes.end());
        return m_changes;
    }

    const TimeCostNetwork& m_network;
    const ScaledNetwork& m_scaled;
    TimeCostCurve& m_curve;
    ExtraCost m_extra;
    std::vector<std::int64_t> m_current; // each work's duration at the last point
    int m_shortenedCount = 0;
    std::vector<std::vector<int>> m_worksAt; // the works on paths at each event
    std::vector<int> m_touched;              // at events that moved since the last point
    std::vector<char> m_isTouched;
    std::vector<std::pair<int, std::int64_t>> m_changes;
    std::int64_t m_normal;
};

} // namespace

TimeCostCurve timeCostCurve(const TimeCostNetwork& network)
{
    const ScaledNetwork scaled = scaleNetwork(network);
    TimeCostCurve curve;
    Corners corners(network, scaled, curve);
    traceCrashing(network, scaled,
                  [&corners](std::int64_t length, const std::vector<std::int64_t>& eventTimes,
                             const std::vector<int>& movedEvents) {
                      corners.visit(length, eventTimes, movedEvents);
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
