#pragma once

#include <QString>

#include <vector>

class EventIndex;
class SuccessorGraph;
class WorkCells;

enum class Severity { Error, Warning };

QString severityText(Severity severity);

// One finding of the check: what is wrong and the rows of the table concerned (from 0).
struct Finding
{
    Severity severity;
    QString text;
    std::vector<int> rows;
};

// The check of the network against the rules of building one, rule by rule in this order:
// - rows without a start or an end event; durations that are empty, not a number or negative;
// - a selected start or end event that no work names, a start event some work enters, an end event
//   some work leaves;
// - several initial events (no work enters them), several final events (no work leaves them);
// - loops of works, each named as the recalculation names a loop;
// - events that cannot be reached from the start event, and events from which the end event
//   cannot be reached (each event once: those named as initial or final above are not repeated);
// - works on no path from the start to the end event;
// - works the searches never take: an end event equal, ignoring letter case, to the end event of
//   an earlier work from the same event;
// - parallel works between one pair of events (their durations are added along a path);
// - when every event name is a whole number: works whose start number is not below their end
//   number.
// Purely structural: it never raises, whatever the table holds. Linear in the network but for
// the parallel works (n log n).
std::vector<Finding> checkNetwork(const WorkCells& table, const EventIndex& events,
                                  const SuccessorGraph& graph, const QString& startEvent,
                                  const QString& endEvent);
