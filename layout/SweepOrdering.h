#pragma once

class LayeredGraph;

// Orders the nodes of each layer by layer sweeps: each node moves to the median position of its
// neighbours in the layer just ordered, down the layers and up again, with a pass of swaps of
// neighbours that cross less after each sweep; the order with the fewest crossings is kept. Time
// linear in the edges per sweep (the swaps are bounded per pass), so it serves networks of any
// size; for networks that Graphviz's dot orders in reasonable time dot finds fewer crossings (see
// docs/DECISIONS.md).
void orderBySweeps(LayeredGraph& graph, int sweeps);
