#include "AutomaticEnds.h"

#include "EventIndex.h"

std::optional<QString> chooseStartEvent(const QStringList& startEventList, const EventIndex& events)
{
    if (startEventList.isEmpty())
        return std::nullopt;
    QString chosen = startEventList.first();
    for (const QString& entry : startEventList) {
        const int event = events.find(entry);
        if (event < 0 || !events.endsWork(event))
            chosen = entry;
    }
    return chosen;
}

std::optional<QString> chooseEndEvent(const QStringList& endEventList, const EventIndex& events)
{
    if (endEventList.isEmpty())
        return std::nullopt;
    QString chosen = endEventList.last();
    for (const QString& entry : endEventList) {
        const int event = events.find(entry);
        if (event < 0 || !events.startsWork(event))
            chosen = entry;
    }
    return chosen;
}
