#include "NetworkLoop.h"

#include "KestrinError.h"
#include "SuccessorGraph.h"

QString loopMessage(const QStringList& loopEvents)
{
    return QStringLiteral("Сетевой график содержит цикл: ") +
           loopEvents.join(QStringLiteral(" -> "));
}

void raiseLoop(const SuccessorGraph& graph, const std::vector<int>& loopEvents)
{
    QStringList names;
    names.reserve(qsizetype(loopEvents.size()));
    for (const int event : loopEvents)
        names.append(graph.eventName(event));
    throw KestrinError(loopMessage(names));
}
