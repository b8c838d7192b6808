#include "ForwardSearches.h"

#include "FirstFailure.h"
#include "NetworkLoop.h"
#include "SourceSweep.h"
#include "SuccessorGraph.h"

#include <algorithm>

ForwardSearches::ForwardSearches(const SuccessorGraph& graph, int start)
    : m_graph(graph), m_start(start), m_trackLowest(graph.totalsMayOverflow()), m_whole(graph),
      m_perTarget(graph)
{
    m_wholeIsAcyclic = m_whole.run(start, -1, 0.0L, m_trackLowest);
}

long double ForwardSearches::lengthTo(int target)
{
    if (target == m_start)
        return 0;
    if (m_wholeIsAcyclic)
        return answer(m_whole, target);
    if (const auto known = m_perTargetLengths.find(target); known != m_perTargetLengths.end())
        return known->second;
    if (!m_perTarget.run(m_start, target, 0.0L, m_trackLowest))
        raiseLoop(m_graph, m_perTarget.cycle());
    const long double length = answer(m_perTarget, target);
    m_perTargetLengths.emplace(target, length);
    return length;
}

long double ForwardSearches::answer(const SourceSweep& sweep, int target) const
{
    if (!sweep.reached(target))
        return 0;
    if (sweep.fails(target)) {
        const TargetOutlook outlook = outlookTowards(m_graph, sweep, target);
        const auto leads = [&](int event) {
            return outlook.leadsToTarget[std::size_t(event)] != 0;
        };
        const auto bad = [&](int event) {
            return outlook.badDurationAhead[std::size_t(event)] != 0;
        };
        std::function<bool(int, long double)> overflow;
        if (m_trackLowest) {
            overflow = [this, target](int event, long double total) {
                SourceSweep ahead(m_graph);
                ahead.run(event, target, total, true);
                return ahead.reached(target) && ahead.fails(target);
            };
        }
        raiseFirstFailure(m_graph, m_start, target, leads, bad, overflow);
    }
    return std::max(0.0L, sweep.highest(target));
}
