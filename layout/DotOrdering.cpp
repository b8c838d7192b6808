#include "DotOrdering.h"

#include "LayeredGraph.h"

#include <graphviz/gvc.h>

#include <QByteArray>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <vector>

namespace {

// Graphviz takes names and values as mutable C strings.
char* text(const char* literal)
{
    return const_cast<char*>(literal);
}

// Graphviz's messages go nowhere: a failure shows in the result.
int quiet(char*)
{
    return 0;
}

// One Graphviz context for the whole run, never freed. Its text layout plugin remembers the name
// of the last font it measured by a pointer into the context's table of fonts: a second context
// made after the first was freed would compare against freed memory. Used from one thread at a
// time (the layout runs in the command that asks for it).
GVC_t* sharedContext()
{
    static GVC_t* const context = gvContext();
    return context;
}

struct Context
{
    Context() : gvc(sharedContext()), graph(agopen(text("network"), Agdirected, nullptr)) {}
    ~Context()
    {
        if (graph) {
            if (laidOut)
                gvFreeLayout(gvc, graph);
            agclose(graph);
        }
        agseterrf(previousErrors);
    }
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;

    agusererrf previousErrors = agseterrf(quiet);
    GVC_t* gvc;
    Agraph_t* graph;
    bool laidOut = false;
};

} // namespace

bool orderWithDot(LayeredGraph& graph, double effort)
{
    Context context;
    if (!context.gvc || !context.graph)
        return false;
    Agraph_t* g = context.graph;
    // Stop after the crossing reduction ("phase" 2): dot then tells each node's rank and order.
    agattr(g, AGRAPH, text("phase"), text("2"));
    const QByteArray limit = QByteArray::number(std::clamp(effort, 0.01, 1.0), 'f', 3);
    agattr(g, AGRAPH, text("mclimit"), const_cast<char*>(limit.constData()));
    agattr(g, AGRAPH, text("rank"), text(""));

    // Every layer is one "same rank" set, so dot's ranks are our layers: its own ranking of a
    // large graph (network simplex) would also take far longer than the ordering.
    std::vector<Agraph_t*> layerSets(std::size_t(graph.layerCount()), nullptr);
    for (int layer = 0; layer < graph.layerCount(); ++layer) {
        const QByteArray name = "layer" + QByteArray::number(layer);
        layerSets[std::size_t(layer)] = agsubg(g, const_cast<char*>(name.constData()), 1);
        agset(layerSets[std::size_t(layer)], text("rank"), text("same"));
    }
    // Nodes in their first order, so that dot starts from it.
    std::vector<Agnode_t*> nodes(std::size_t(graph.nodeCount()), nullptr);
    for (int layer = 0; layer < graph.layerCount(); ++layer) {
        for (const int node : graph.layers[std::size_t(layer)]) {
            const QByteArray name = QByteArray::number(node);
            Agnode_t* created = agnode(g, const_cast<char*>(name.constData()), 1);
            agsubnode(layerSets[std::size_t(layer)], created, 1);
            nodes[std::size_t(node)] = created;
        }
    }
    for (int node = 0; node < graph.nodeCount(); ++node)
        for (const int next : graph.successors(node))
            agedge(g, nodes[std::size_t(node)], nodes[std::size_t(next)], nullptr, 1);

    if (gvLayout(context.gvc, g, "dot") != 0)
        return false;
    context.laidOut = true;

    // The order dot found, read back per node; the layers are sorted by it.
    std::vector<int> order(nodes.size(), 0);
    for (std::size_t node = 0; node < nodes.size(); ++node) {
        const char* value = agget(nodes[node], text("order"));
        if (!value)
            return false;
        const char* end = value + std::strlen(value);
        if (std::from_chars(value, end, order[node]).ptr != end || value == end)
            return false;
    }
    for (std::vector<int>& layer : graph.layers)
        std::stable_sort(layer.begin(), layer.end(), [&](int a, int b) {
            return order[std::size_t(a)] < order[std::size_t(b)];
        });
    return true;
}
