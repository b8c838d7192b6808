#pragma once

#include <functional>
#include <vector>

class SourceSweep;
class SuccessorGraph;

// Which events of a search's region lead to its target, and from which of them some path to the
// target holds a duration that does not parse. Computed over a finished sweep's order.
struct TargetOutlook
{
    std::vector<char> leadsToTarget;
    std::vector<char> badDurationAhead;
};
TargetOutlook outlookTowards(const SuccessorGraph& graph, const SourceSweep& sweep, int target);

// Raises the error that the enumeration's totals raise first in a search that is known to fail.
//
// The enumeration totals its complete paths in depth-first order (successors in successor-list
// order), each from its start and in path order, every edge's rows in table order. So the error
// is that of the first failing step of the first failing path, and walking from the source that
// path is found greedily: at each event take the first successor whose edge fails at once or from
// which some continuation to the target fails. Whether a continuation fails is told by
// badDurationAhead(event) and, only when totals can reach the long double limit,
// overflowAhead(event, total so far); pass an empty function otherwise.
[[noreturn]] void raiseFirstFailure(const SuccessorGraph& graph, int source, int target,
                                    const std::function<bool(int)>& leadsToTarget,
                                    const std::function<bool(int)>& badDurationAhead,
                                    const std::function<bool(int, long double)>& overflowAhead);
