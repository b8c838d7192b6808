#pragma once

#include <vector>

class SuccessorGraph;

// Every loop of works in the network, wherever it lies: one per group of events that can all
// reach each other (a strongly connected component, found by Tarjan's algorithm; a work from an
// event to itself is a loop of its own). Each loop is given by its events in order, the first one
// repeated at the end, as the recalculation's loop message names them. Linear in the network.
std::vector<std::vector<int>> networkLoops(const SuccessorGraph& graph);
