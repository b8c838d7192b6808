#pragma once

#include <QString>

#include <vector>

class EventTimes;
struct WorkFloats;

// The zones of tension: critical (Kн of at least 0.8), subcritical (0.6 up to 0.8) and reserve
// (below 0.6). None for a work on no path from the start to the end event.
enum class TensionZone { None, Critical, Subcritical, Reserve };

QString zoneText(TensionZone zone);

// The tension of one work (row) of the table; empty for a work on no path from the start to the
// end event.
struct WorkTension
{
    QString longestPath;   // t(Lmax), the longest path through the work: L - total float
    QString criticalShare; // t'кр, the part of that path made of critical works
    QString tension;       // Kн, to two decimals
    TensionZone zone = TensionZone::None;
};

// The tension of every work, row by row, from its floats (workFloats of the same times).
//
// The tension coefficient of a work off the critical path is
//     Kн = (t(Lmax) - t'кр) / (L - t'кр),
// t(Lmax) the longest path from the start to the end event through the work and t'кр the part of
// it that runs over critical works; a critical work has Kн = 1. Of several longest paths through a
// work, the one with the greatest critical part counts: it follows, at each event, a work that
// keeps the path longest (its early finish text is the next event's Tр, or its late start text is
// the previous event's Tп). Kн is rounded to two decimals, half to even, and the zone is that of
// the rounded figure, so the two columns never disagree.
std::vector<WorkTension> workTension(EventTimes& times, const std::vector<WorkFloats>& floats);
