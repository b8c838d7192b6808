#pragma once

#include <QStringList>

class BackwardSearches;
class SuccessorGraph;

// The critical path list the enumeration leaves: of the paths from start to end whose total is
// exactly length (the greatest total, above 0), the first in depth-first order, successors taken
// in successor-list order. It is found by walking from the start event and taking, at each event,
// the first successor from which a path still ends at exactly length; whether one does is decided
// on the exact left-to-right totals, so near-ties that round together are told apart as the
// enumeration tells them. Requires that the search from start to end succeeded.
QStringList criticalPathEvents(const SuccessorGraph& graph, BackwardSearches& toEnd, int start,
                               int end, long double length);
