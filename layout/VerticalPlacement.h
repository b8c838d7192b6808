#pragma once

#include <vector>

class LayeredGraph;

// How much room the nodes of a layer take across it: an event's extent and the least gaps.
struct PlacementRoom
{
    double eventExtent = 1; // an event's size across the layer (its diameter)
    double bendExtent = 0;  // a bend's (a work passing through the layer)
    double eventGap = 1;    // between two events
    double bendGap = 1;     // between a bend and its neighbour, event or bend
};

// Places the nodes of each layer across it, in their order, so that the works run as straight as
// the order and the room allow: starting from the nodes packed tight, each sweep moves every node
// of a layer towards the weighted mean of its neighbours in the layer before (or after, or both),
// keeping the order and the least gaps (an isotonic regression, solved exactly by pooling
// adjacent violators). Works through bends weigh more, so long works straighten first.
//
// The nodes `fixed` names (at most one per layer, -1 for none) stay at 0: a path through them
// lies on one straight line. Returns each node's coordinate across its layer; nodes of one layer
// are never closer than the room asks.
std::vector<double> placeAcrossLayers(const LayeredGraph& graph, const std::vector<int>& fixed,
                                      const PlacementRoom& room);
