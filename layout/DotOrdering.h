#pragma once

class LayeredGraph;

// Orders the nodes of each layer with Graphviz's "dot" layout: its ranking (bound to our layers)
// and its crossing reduction (weighted medians with transposition, the best order kept), stopped
// before dot places anything. `effort` scales the passes of the crossing reduction (dot's
// "mclimit"; 1 is dot's own default). Returns false, leaving the order as it was, when the
// library's "dot" layout cannot be loaded or fails.
bool orderWithDot(LayeredGraph& graph, double effort);
