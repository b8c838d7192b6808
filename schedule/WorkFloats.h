#pragma once

#include <QString>

#include <vector>

class EventTimes;

// The floats of one work (row) of the table, and where it lies in the network.
struct WorkFloats
{
    bool blank = true; // a blank row is no work and has no figures
    // The network's edge that holds the work when the work lies on some path from the start to
    // the end event; -1 off every such path.
    int pathEdge = -1;
    bool critical = false;           // on such a path, with a total float of 0
    QString totalFloat;              // О.З.В. as the recalculation writes it
    QString freeFloat;               // Ч.З.В. as the recalculation writes it
    long double totalFloatValue = 0; // what that text reads back as

    bool onPath() const { return pathEdge >= 0; }
};

// The floats of every work, row by row: the recalculation's own (RowFigures), so they equal the
// table's cells text for text; a failure is raised where the recalculation's first or second pass
// would meet it, row by row.
std::vector<WorkFloats> workFloats(EventTimes& times);
