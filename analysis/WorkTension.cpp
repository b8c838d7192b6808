#include "WorkTension.h"

#include "BackwardSearches.h"
#include "CheckedArithmetic.h"
#include "EventTimes.h"
#include "NumberFormat.h"
#include "SuccessorGraph.h"
#include "WorkFloats.h"

#include <cmath>
#include <limits>

namespace {

constexpr long double kNone = -std::numeric_limits<long double>::infinity();

// Kн in hundredths: the zones' bounds.
constexpr long double kCriticalHundredths = 80;
constexpr long double kSubcriticalHundredths = 60;

} // namespace

QString zoneText(TensionZone zone)
{
    switch (zone) {
    case TensionZone::Critical:
        return QStringLiteral("критическая");
    case TensionZone::Subcritical:
        return QStringLiteral("подкритическая");
    case TensionZone::Reserve:
        return QStringLiteral("резервная");
    case TensionZone::None:
        break;
    }
    return QString();
}

std::vector<WorkTension> workTension(EventTimes& times, const std::vector<WorkFloats>& floats)
{
    const SuccessorGraph& graph = times.graph();
    const NumberFormat& numbers = times.numbers();
    const long double length = times.length();
    const std::size_t rows = floats.size();
    std::vector<WorkTension> tension(rows);

    // The durations of the critical works of each edge on a path, added in table order.
    const std::vector<int>& pathEvents = times.pathEvents();
    std::vector<long double> criticalPart(std::size_t(graph.edgeCount()), 0.0L);
    for (std::size_t row = 0; row < rows; ++row) {
        if (floats[row].onPath() && floats[row].critical)
            criticalPart[std::size_t(floats[row].pathEdge)] += graph.duration(int(row));
    }

    // The greatest critical part of a longest path from the start event to each event (forward)
    // and from each event to the end event (backward), over the works that keep a path longest.
    const auto edgeSum = [&](int edge, long double from) {
        long double total = from;
        return graph.addEdgeTo(edge, total) ? total : std::numeric_limits<long double>::quiet_NaN();
    };
    std::vector<long double> before(std::size_t(graph.eventCount()), kNone);
    std::vector<long double> after(std::size_t(graph.eventCount()), kNone);
    for (const int event : pathEvents) {
        long double& reached = before[std::size_t(event)];
        if (reached == kNone)
            reached = 0;
        if (event == times.end())
            continue;
        const long double early = times.earlyValue(event);
        for (int edge = graph.firstEdge(event); edge < graph.endEdge(event); ++edge) {
            const int next = graph.edgeTarget(edge);
            if (!times.onPath(next))
                continue;
            const long double finish = edgeSum(edge, early);
            if (!std::isfinite(finish) ||
                !showsAs(numbers, finish, times.earlyValue(next), times.earlyText(next)))
                continue;
            before[std::size_t(next)] =
                std::max(before[std::size_t(next)], reached + criticalPart[std::size_t(edge)]);
        }
    }
    for (auto at = pathEvents.rbegin(); at != pathEvents.rend(); ++at) {
        const int event = *at;
        long double best = event == times.end() ? 0.0L : kNone;
        if (event != times.end()) {
            for (int edge = graph.firstEdge(event); edge < graph.endEdge(event); ++edge) {
                const int next = graph.edgeTarget(edge);
                if (!times.onPath(next))
                    continue;
                const long double start = times.lateValue(next) - edgeSum(edge, 0.0L);
                if (!std::isfinite(start) ||
                    !showsAs(numbers, start, times.lateValue(event), times.lateText(event)))
                    continue;
                best = std::max(best, criticalPart[std::size_t(edge)] + after[std::size_t(next)]);
            }
        }
        after[std::size_t(event)] = best == kNone ? 0.0L : best;
    }

    for (std::size_t row = 0; row < rows; ++row) {
        const WorkFloats& floatsOfWork = floats[row];
        if (!floatsOfWork.onPath())
            continue;
        WorkTension& work = tension[row];
        const int edge = floatsOfWork.pathEdge;
        const NumberText longestText =
            numbers.text(checked::subtract(length, floatsOfWork.totalFloatValue));
        const long double longest = numbers.parse(longestText.view());
        const long double share = before[std::size_t(graph.rowStart(int(row)))] +
                                  criticalPart[std::size_t(edge)] +
                                  after[std::size_t(graph.rowEnd(int(row)))];
        work.longestPath = longestText.toString();
        work.criticalShare = numbers.format(share);
        long double hundredths = 100;
        if (!floatsOfWork.critical) {
            const long double rest = length - share;
            if (!(rest > 0) || !std::isfinite(rest))
                continue;
            // The default rounding mode rounds half to even.
            hundredths = std::nearbyint((longest - share) / rest * 100);
        }
        work.tension = numbers.format(hundredths / 100);
        work.zone = hundredths >= kCriticalHundredths      ? TensionZone::Critical
                    : hundredths >= kSubcriticalHundredths ? TensionZone::Subcritical
                                                           : TensionZone::Reserve;
    }
    return tension;
}
