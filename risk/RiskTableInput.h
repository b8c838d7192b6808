#pragma once

#include "RiskNetwork.h"

#include <QString>
#include <QStringList>

#include <vector>

class EventIndex;
class NumberFormat;
class WorkTable;

namespace risk {

// The works of the table as the risk analysis reads them, between the selected start and end
// events: every row with a start and an end event is a work (blank rows and rows missing an event
// are left out, as the diagram leaves them), its duration cell the most likely duration m, its
// details' optimistic and pessimistic durations a and b, and its name. A work whose duration has
// left its estimates (a <= m <= b no longer holds, after a change of the duration alone) is taken
// without them, as a work of certain length m, and named in leftOut: the analysis still answers
// for the rest, and says what it could not count.
struct RiskTableInput
{
    RiskNetwork network;
    std::vector<int> rows;  // the table row of each work of the network
    QStringList workLabels; // "1–2": the work by its events
    QStringList workNames;  // the details' names, empty where there is none
    QString leftOut;        // the line naming the works taken without estimates; empty for none
};

// Raises first what the recalculation's search of the critical length raises (its loop message,
// a duration that is not a number), then what the network raises (an end event that cannot be
// reached). An end named in no row is an event of its own, reached by no work.
RiskTableInput readRiskInput(const WorkTable& table, const EventIndex& events,
                             const QString& startEvent, const QString& endEvent,
                             const NumberFormat& numbers);

} // namespace risk
