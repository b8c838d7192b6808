#include "BackwardSearches.h"

#include "CheckedArithmetic.h"
#include "ExtendedBits.h"
#include "FirstFailure.h"
#include "NetworkLoop.h"
#include "NumberFormat.h"
#include "Progress.h"
#include "SourceSweep.h"
#include "StrongComponents.h"
#include "SuccessorGraph.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <queue>

namespace {

// Double-long-double arithmetic (Knuth's and Dekker's error-free sums): hi + lo carries about
// twice the long double precision, so the backward pass's own rounding is negligible next to the
// bound on the enumeration's.
struct Wide
{
    long double hi = 0;
    long double lo = 0;
};

Wide twoSum(long double a, long double b)
{
    const long double sum = a + b;
    const long double b2 = sum - a;
    return {sum, (a - (sum - b2)) + (b - b2)};
}

Wide operator+(Wide x, Wide y)
{
    const Wide s = twoSum(x.hi, y.hi);
    return twoSum(s.hi, s.lo + x.lo + y.lo);
}

Wide operator+(Wide x, long double y)
{
    const Wide s = twoSum(x.hi, y);
    return twoSum(s.hi, s.lo + x.lo);
}

bool operator<(Wide x, Wide y)
{
    return x.hi < y.hi || (x.hi == y.hi && x.lo < y.lo);
}

// Long doubles in order as integers: neighbouring values have neighbouring keys, so the values
// between two of them can be halved like a range of integers.
__extension__ using Key = __int128;

Key keyOf(long double value)
{
    const ExtendedBits bits = ExtendedBits::of(value);
    // The explicit leading bit is implied by the exponent: dropping it leaves no gaps.
    const Key magnitude =
        (Key(bits.biasedExponent()) << 63) | Key(bits.significand & ~(1ULL << 63));
    return bits.negative() ? -magnitude : magnitude;
}

long double valueOf(Key key)
{
    const bool negative = key < 0;
    const Key magnitude = negative ? -key : key;
    ExtendedBits bits;
    const auto exponent = std::uint16_t(magnitude >> 63);
    bits.significand = std::uint64_t(magnitude) & ~(1ULL << 63);
    if (exponent != 0)
        bits.significand |= 1ULL << 63;
    bits.signAndExponent = negative ? std::uint16_t(exponent | 0x8000) : exponent;
    return bits.value();
}

// The least long double t with t + duration >= wanted as the enumeration adds (rounded to
// nearest), +infinity when there is none. The rounded sum only grows with t, so the answer is
// found by galloping away from the estimate wanted - duration and halving the last step.
long double leastAddend(long double duration, long double wanted)
{
    const Key lowest = keyOf(-std::numeric_limits<long double>::max());
    const Key highest = keyOf(std::numeric_limits<long double>::max());
    const auto enough = [&](Key key) {
        return valueOf(key) + duration >= wanted;
    };
    const long double estimate = wanted - duration;
    Key start = std::isfinite(estimate) ? keyOf(estimate) : (estimate > 0 ? highest : lowest);
    Key low = 0;  // not enough
    Key high = 0; // enough
    Key step = 1;
    if (enough(start)) {
        high = start;
        for (;;) {
            if (high == lowest)
                return valueOf(lowest);
            low = std::max(lowest, high - step);
            if (!enough(low))
                break;
            high = low;
            step *= 2;
        }
    } else {
        low = start;
        for (;;) {
            if (low == highest)
                return std::numeric_limits<long double>::infinity();
            high = std::min(highest, low + step);
            if (enough(high))
                break;
            low = high;
            step *= 2;
        }
    }
    while (high - low > 1) {
        const Key middle = low + (high - low) / 2;
        (enough(middle) ? high : low) = middle;
    }
    return valueOf(high);
}

constexpr long double kUnitRoundoff = std::numeric_limits<long double>::epsilon() / 2;
// Relative slack that covers the rounding of the bounds' own arithmetic many times over.
constexpr long double kSlack = 1.0L / (1 << 20);

} // namespace

BackwardSearches::BackwardSearches(const SuccessorGraph& graph, int end)
    : m_graph(graph), m_end(end), m_exact(graph.totalsAreExact()),
      m_mayOverflow(graph.totalsMayOverflow()), m_ahead(std::size_t(graph.eventCount())),
      m_rank(std::size_t(graph.eventCount()), -1), m_seen(std::size_t(graph.eventCount()), 0),
      m_running(std::size_t(graph.eventCount()), 0.0L)
{
    analyse();
}

void BackwardSearches::analyse()
{
    // The end event has no successors here: paths stop there. A component finishes after every
    // component it reaches, so its events can be summarised from their successors the moment it
    // finishes.
    const int events = m_graph.eventCount();
    m_byRank.reserve(std::size_t(events));
    forEachStrongComponent(
        m_graph, m_end, [this](const std::vector<int>& members) { finishComponent(members); },
        [events](int visited) { progress::step(u"Пересчёт графика", visited, events); });
}

void BackwardSearches::finishComponent(const std::vector<int>& members)
{
    const bool loop = componentIsLoop(m_graph, members, m_end);
    const int single = members.front();
    for (const int member : members) {
        m_rank[std::size_t(member)] = int(m_byRank.size());
        m_byRank.push_back(member);
        if (loop)
            m_ahead[std::size_t(member)].loop = 1;
    }
    if (!loop)
        summarise(single);
}

void BackwardSearches::summarise(int event)
{
    Ahead& ahead = m_ahead[std::size_t(event)];
    if (event == m_end) {
        ahead.leads = 1;
        return;
    }
    bool anyPath = false;
    Wide best;
    for (int edge = m_graph.firstEdge(event); edge < m_graph.endEdge(event); ++edge) {
        const Ahead& next = m_ahead[std::size_t(m_graph.edgeTarget(edge))];
        if (next.loop)
            ahead.loop = 1;
        if (!next.leads)
            continue;
        ahead.leads = 1;
        if (next.badDuration || m_graph.edgeHasBadDuration(edge)) {
            ahead.badDuration = 1;
            continue;
        }
        Wide edgeSum;
        long double partials = 0;
        long double rows = 0;
        for (const int row : m_graph.edgeRows(edge)) {
            edgeSum = edgeSum + m_graph.duration(row);
            partials += std::fabs(edgeSum.hi);
            ++rows;
        }
        const Wide total = edgeSum + Wide{next.high, next.low};
        if (!anyPath || best < total)
            best = total;
        anyPath = true;
        ahead.rows = std::max(ahead.rows, rows + next.rows);
        ahead.partials =
            std::max(ahead.partials, partials + next.rows * std::fabs(edgeSum.hi) + next.partials);
    }
    ahead.high = best.hi;
    ahead.low = best.lo;
}

long double BackwardSearches::errorBound(int event, long double total) const
{
    if (m_exact)
        return 0;
    // Each addition of a left-to-right total rounds by at most u times its result, so a path's
    // total lies within u * (sum of |running totals|) of its real sum; that sum is at most
    // rows * |total| + partials for every path ahead. The rest covers the rounding of
    // total + high + low and of this bound (u each) and the double-long-double error.
    const Ahead& ahead = m_ahead[std::size_t(event)];
    const long double magnitude = std::fabs(total) + std::fabs(ahead.high);
    return (kUnitRoundoff * (ahead.rows * std::fabs(total) + ahead.partials + 4 * magnitude) +
            kSlack * kUnitRoundoff * (ahead.partials + magnitude)) *
           (1 + kSlack);
}

long double BackwardSearches::highestFrom(int source, long double start, long double threshold)
{
    // The enumeration's left-to-right totals from source, event by event in topological order,
    // greatest total per event (exact, as in SourceSweep). An event whose best continuation cannot
    // reach threshold is not expanded: no path through it can be the greatest one.
    ++m_generation;
    std::priority_queue<int> pending; // by rank: the highest rank comes first in topological order
    m_seen[std::size_t(source)] = m_generation;
    m_running[std::size_t(source)] = start;
    pending.push(m_rank[std::size_t(source)]);
    long double atEnd = -std::numeric_limits<long double>::infinity();
    while (!pending.empty()) {
        const int event = m_byRank[std::size_t(pending.top())];
        pending.pop();
        const long double total = m_running[std::size_t(event)];
        if (event == m_end) {
            atEnd = total;
            continue;
        }
        const Ahead& ahead = m_ahead[std::size_t(event)];
        if ((total + ahead.high + ahead.low) + errorBound(event, total) < threshold)
            continue;
        for (int edge = m_graph.firstEdge(event); edge < m_graph.endEdge(event); ++edge) {
            const int next = m_graph.edgeTarget(edge);
            if (!m_ahead[std::size_t(next)].leads)
                continue;
            long double extended = total;
            m_graph.addEdgeTo(edge, extended);
            if (m_seen[std::size_t(next)] != m_generation) {
                m_seen[std::size_t(next)] = m_generation;
                m_running[std::size_t(next)] = extended;
                pending.push(m_rank[std::size_t(next)]);
            } else {
                m_running[std::size_t(next)] = std::max(m_running[std::size_t(next)], extended);
            }
        }
    }
    return atEnd;
}

bool BackwardSearches::checkSearchable(int source)
{
    if (source == m_end)
        return false;
    const Ahead& ahead = m_ahead[std::size_t(source)];
    if (ahead.loop) {
        SourceSweep sweep(m_graph);
        sweep.run(source, m_end, 0.0L, false);
        raiseLoop(m_graph, sweep.cycle());
    }
    if (!ahead.leads)
        return false;
    if (ahead.badDuration && !m_mayOverflow) {
        raiseFirstFailure(
            m_graph, source, m_end, [this](int event) { return leadsToEnd(event); },
            [this](int event) { return m_ahead[std::size_t(event)].badDuration != 0; }, {});
    }
    return true;
}

long double BackwardSearches::exactLength(int source)
{
    if (m_mayOverflow) {
        SourceSweep sweep(m_graph);
        sweep.run(source, m_end, 0.0L, true);
        if (sweep.fails(m_end)) {
            raiseFirstFailure(
                m_graph, source, m_end, [this](int event) { return leadsToEnd(event); },
                [this](int event) { return m_ahead[std::size_t(event)].badDuration != 0; },
                [this](int event, long double total) {
                    SourceSweep ahead(m_graph);
                    ahead.run(event, m_end, total, true);
                    return ahead.fails(m_end);
                });
        }
        return std::max(0.0L, sweep.highest(m_end));
    }
    if (m_exact)
        return std::max(0.0L, m_ahead[std::size_t(source)].high);
    const Ahead& ahead = m_ahead[std::size_t(source)];
    const long double lower = (ahead.high + ahead.low) - errorBound(source, 0);
    // The greatest total is at least `lower`; below 0 it is only needed as "not positive".
    const long double threshold = std::isnan(lower) ? 0.0L : std::max(lower, 0.0L);
    return std::max(0.0L, highestFrom(source, 0, threshold));
}

QString BackwardSearches::remainderText(int source, long double total, const NumberFormat& numbers)
{
    if (!checkSearchable(source))
        return numbers.format(checked::subtract(total, 0.0L));
    if (m_exact || m_mayOverflow)
        return numbers.format(checked::subtract(total, exactLength(source)));
    const Ahead& ahead = m_ahead[std::size_t(source)];
    const long double bound = errorBound(source, 0);
    if (std::isfinite(bound)) {
        const long double centre = ahead.high + ahead.low;
        const long double least = std::max(0.0L, centre - bound);
        const long double most = std::max(0.0L, centre + bound);
        // total - x falls as x grows, and so does its 15-digit text: equal texts at both ends
        // leave no other text in between.
        const long double fromMost = total - most;
        const long double fromLeast = total - least;
        if (std::isfinite(fromMost) && std::isfinite(fromLeast)) {
            QString text = numbers.format(fromMost);
            if (fromMost == fromLeast || numbers.format(fromLeast) == text)
                return text;
        }
    }
    return numbers.format(checked::subtract(total, exactLength(source)));
}

void BackwardSearches::computeLeastTotals(long double length)
{
    constexpr long double kNone = std::numeric_limits<long double>::infinity();
    m_leastTotal.assign(m_ahead.size(), kNone);
    m_leastTotalLength = length;
    // Rank order visits every successor before its event.
    for (const int event : m_byRank) {
        progress::step(u"Пересчёт графика", m_rank[std::size_t(event)], qint64(m_byRank.size()));
        const Ahead& ahead = m_ahead[std::size_t(event)];
        if (event == m_end) {
            m_leastTotal[std::size_t(event)] = length;
            continue;
        }
        if (ahead.loop || !ahead.leads || ahead.badDuration)
            continue;
        long double least = kNone;
        for (int edge = m_graph.firstEdge(event); edge < m_graph.endEdge(event); ++edge) {
            long double wanted = m_leastTotal[std::size_t(m_graph.edgeTarget(edge))];
            if (wanted == kNone || m_graph.edgeHasBadDuration(edge))
                continue;
            // The edge's rows are added in table order: undo them from the last one.
            const std::span<const int> rows = m_graph.edgeRows(edge);
            for (auto row = rows.rbegin(); row != rows.rend() && wanted != kNone; ++row)
                wanted = leastAddend(m_graph.duration(*row), wanted);
            least = std::min(least, wanted);
        }
        m_leastTotal[std::size_t(event)] = least;
    }
}

bool BackwardSearches::reachesExactly(int event, long double total, long double length)
{
    if (event == m_end)
        return total == length;
    if (m_mayOverflow) {
        SourceSweep sweep(m_graph);
        sweep.run(event, m_end, total, false);
        return sweep.reached(m_end) && sweep.highest(m_end) == length;
    }
    const Ahead& ahead = m_ahead[std::size_t(event)];
    if (m_exact)
        return total + ahead.high == length;
    if ((total + ahead.high + ahead.low) + errorBound(event, total) < length)
        return false;
    // Every path's total only grows with the total it continues, and none ends above length:
    // length is reached exactly from every total at least the least one that reaches it.
    if (m_leastTotal.empty() || m_leastTotalLength != length)
        computeLeastTotals(length);
    return total >= m_leastTotal[std::size_t(event)];
}
