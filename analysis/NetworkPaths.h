#pragma once

#include <vector>

class EventTimes;

// A path from the start to the end event: its events in order and its total, added up from the
// start as the longest path search adds it (every work's duration in turn).
struct NetworkPath
{
    std::vector<int> events;
    long double length = 0;
};

struct NetworkPaths
{
    // Every path of length exactly L (when L > 0), in depth-first order with successors in
    // successor-list order, so the first one is the path the path line shows. At most
    // kCriticalPathLimit; `moreCritical` tells that there are more.
    std::vector<NetworkPath> critical;
    bool moreCritical = false;
    // The longest of the other paths, longest first, at most kOtherPathLimit.
    std::vector<NetworkPath> others;
};

inline constexpr int kCriticalPathLimit = 1000;
inline constexpr int kOtherPathLimit = 20;

// The critical paths are found by walking from the start event and entering, at each event, only
// the successors from which some path still ends at exactly L (BackwardSearches::reachesExactly),
// so no step is wasted: the cost is that of the paths listed.
//
// The other paths are listed by falling length without passing the critical ones, however many:
// every path's slack L - length is the sum of the slacks of its steps, a step u→v having the
// slack Tп(v) - duration - Tп(u) (0 where its late start text is Tп(u)). A best-first search over
// path beginnings, keyed by the least slack any completion of them can still reach (0 once a step
// with slack was taken, else the least single step slack ahead), hands out the complete paths in
// order of rising slack; ties go to the longer beginning, so it dives straight to a complete path.
// The cost is about the number of paths listed times their number of events.
NetworkPaths networkPaths(EventTimes& times);
