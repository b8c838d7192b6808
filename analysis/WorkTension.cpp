#include "WorkTension.h"

#include "BackwardSearches.h"
#include "CheckedArithmetic.h"
#include "EventTimes.h"
#include "KestrinError.h"
#include "NumberFormat.h"
#include "SuccessorGraph.h"

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

std::vector<WorkFigures> workFigures(EventTimes& times)
{
    const SuccessorGraph& graph = times.graph();
    const NumberFormat& numbers = times.numbers();
    const long double length = times.length();
    const std::size_t rows = std::size_t(graph.rowCount());
    std::vector<WorkFigures> figures(rows);
    std::vector<long double> earlyFinish(rows, 0.0L);
    std::vector<long double> totalFloat(rows, 0.0L);
    std::vector<char> worksStartAt(std::size_t(graph.eventCount()), 0);
    for (std::size_t row = 0; row < rows; ++row) {
        if (!graph.isBlank(int(row)))
            worksStartAt[std::size_t(graph.rowStart(int(row)))] = 1;
    }

    // The recalculation's first pass: early start, early finish, late finish, late start, total
    // float, each parsed back from its text before it is used.
    for (std::size_t row = 0; row < rows; ++row) {
        if (graph.isBlank(int(row)))
            continue;
        WorkFigures& work = figures[row];
        work.blank = false;
        const long double earlyStart = times.earlyValue(graph.rowStart(int(row)));
        if (!graph.durationParses(int(row)))
            throw KestrinError(graph.badDurationMessage(int(row)));
        const long double duration = graph.duration(int(row));
        earlyFinish[row] = numbers.parse(numbers.text(checked::add(duration, earlyStart)).view());
        const long double lateFinish = times.lateValue(graph.rowEnd(int(row)));
        const NumberText lateStart = numbers.text(checked::subtract(lateFinish, duration));
        const NumberText total =
            numbers.text(checked::subtract(numbers.parse(lateStart.view()), earlyStart));
        work.totalFloat = total.toString();
        totalFloat[row] = numbers.parse(total.view());
    }
    // The second pass: the following works share one early start; without any, L.
    for (std::size_t row = 0; row < rows; ++row) {
        if (figures[row].blank)
            continue;
        const int end = graph.rowEnd(int(row));
        const long double following =
            worksStartAt[std::size_t(end)] ? times.earlyValue(end) : length;
        figures[row].freeFloat = numbers.format(checked::subtract(following, earlyFinish[row]));
    }

    // The works on paths from the start to the end event: the edges between events on such
    // paths (paths stop at the end event, so nothing leaving it counts).
    const std::vector<int>& pathEvents = times.pathEvents();
    std::vector<int> edgeOfRow(rows, -1);
    std::vector<long double> criticalPart(std::size_t(graph.edgeCount()), 0.0L);
    for (const int event : pathEvents) {
        if (event == times.end())
            continue;
        for (int edge = graph.firstEdge(event); edge < graph.endEdge(event); ++edge) {
            if (!times.onPath(graph.edgeTarget(edge)))
                continue;
            for (const int row : graph.edgeRows(edge)) {
                WorkFigures& work = figures[std::size_t(row)];
                edgeOfRow[std::size_t(row)] = edge;
                work.onPath = true;
                work.critical = totalFloat[std::size_t(row)] == 0;
                if (work.critical)
                    criticalPart[std::size_t(edge)] += graph.duration(row);
            }
        }
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
        WorkFigures& work = figures[row];
        if (!work.onPath)
            continue;
        const int edge = edgeOfRow[row];
        const NumberText longestText = numbers.text(checked::subtract(length, totalFloat[row]));
        const long double longest = numbers.parse(longestText.view());
        const long double share = before[std::size_t(graph.rowStart(int(row)))] +
                                  criticalPart[std::size_t(edge)] +
                                  after[std::size_t(graph.rowEnd(int(row)))];
        work.longestPath = longestText.toString();
        work.criticalShare = numbers.format(share);
        long double hundredths = 100;
        if (!work.critical) {
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
    return figures;
}
