#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class EventIndex;

// The automatic choice of the start and end events (sbInitBordersClick with the mode switched on).
// Both read the selector's list as it stands and compare entries with the cells of every row
// exactly (letter case significant), through the table's events. nullopt: the list is empty and
// the selector keeps its text.

// The last entry, in list order, that is the end event of no row; the first entry when every
// entry ends some work.
std::optional<QString> chooseStartEvent(const QStringList& startEventList,
                                        const EventIndex& events);
// The last entry, in list order, that is the start event of no row; the last entry when every
// entry starts some work.
std::optional<QString> chooseEndEvent(const QStringList& endEventList, const EventIndex& events);
