#pragma once

#include <QString>
#include <QStringList>

#include <vector>

class SuccessorGraph;

// A loop of works that a search would circle for ever: the enumeration it stands for never ends,
// so the search raises this error instead. The events of the loop are given in order, the first
// one repeated at the end.
QString loopMessage(const QStringList& loopEvents);
[[noreturn]] void raiseLoop(const SuccessorGraph& graph, const std::vector<int>& loopEvents);
