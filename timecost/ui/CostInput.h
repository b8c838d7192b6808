#pragma once

#include "TimeCostNetwork.h"

#include <QString>

#include <vector>

class NumberFormat;
class WorkTable;

// The time–cost question the work table asks: every row that names both its events is a work
// (blank rows and rows missing an event are left out), its events matched by their exact texts
// as the searches match them. The duration is the row's cell; the normal cost, the shortest
// duration and the cost at it are the row's details, each read as the program's number text of
// the value, so that a cost typed as 0,1 is exactly 0,1. A missing normal cost is 0; a work
// lacking the shortest duration or its cost cannot be shortened, and so does one whose duration
// has gone below its shortest duration (after a change of the duration alone): its shortening
// data are left out and the work named in leftOut, so the curve is still traced for the rest.
struct CostInput
{
    TimeCostNetwork network;
    std::vector<int> rows; // the table row of each work of the network
    QString leftOut;       // the line naming the works taken as not shortenable; empty for none
};

// Raises the number format's message for a duration that is not a number; the engine raises
// the rest (a loop, an end no path reaches, a work that cannot exist) when it traces the curve.
CostInput costInput(const WorkTable& table, const QString& startEvent, const QString& endEvent,
                    const NumberFormat& numbers);
