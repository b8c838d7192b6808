#pragma once

#include "LayeredGraph.h"

#include <QPointF>
#include <QRectF>
#include <QStringList>

#include <cstdint>
#include <vector>

// A network to lay out: its events (by id, named for the loop message), its works, and the path
// to lay on one straight line (its events in order, each joined to the next by a work; empty for
// none). A path that breaks off (two events of it not joined by a work, or a repeated event) is
// laid out as far as it holds.
struct LayoutInput
{
    QStringList names;
    std::vector<LayoutWork> works;
    std::vector<int> line;
};

// The sizes the layout leaves room for, in the units of the result (pixels of a drawing).
struct LayoutMetrics
{
    double eventDiameter = 48; // every event is a circle of this size
    double layerGap = 80;      // between the circles of neighbouring layers: room for labels
    double eventGap = 24;      // between two circles of one layer
    double bendGap = 10;       // between a work passing through a layer and its neighbours
    double bowStep = 24;       // how far parallel works between two events bend apart
};

enum class LayoutOrdering {
    Automatic, // dot up to kDotNodeLimit nodes (events and bends), sweeps beyond
    Dot,       // Graphviz's dot whatever the size, sweeps only where dot cannot be loaded
    Sweeps,    // our own sweeps
};

// The laid-out network. x grows to the right (layers, time), y downwards; the line lies at y 0.
struct NetworkLayout
{
    // Per event: its layer (the longest chain of works before it) and the centre of its circle.
    std::vector<int> layers;
    std::vector<QPointF> centres;
    // Per work: the points its arrow runs through, from the centre of its start event, through
    // its bends (two points per layer it passes, across the layer's width of circles), to the
    // centre of its end event. Parallel works between two neighbouring layers' events bend apart
    // through one point in the middle; the line's work, or else the first of them, runs straight.
    std::vector<std::vector<QPointF>> routes;
    // Per work: whether it is one of the line's works.
    std::vector<char> onLine;
    // The x of each layer's circles' centres; the distance from one layer to the next.
    double layerPitch = 0;
    // Everything drawn: the circles and the routes.
    QRectF bounds;
    // How the layers were ordered, and the crossings of the works that remain.
    LayoutOrdering ordering = LayoutOrdering::Sweeps;
    std::int64_t crossings = 0;
};

// Graphviz orders at most this many nodes (events and bends): beyond, its crossing reduction
// takes seconds and finds no fewer crossings than the sweeps (docs/DECISIONS.md).
inline constexpr int kDotNodeLimit = 8000;
// dot's crossing reduction at full effort (its "mclimit" 1) up to this many nodes; beyond, less in
// proportion, which keeps 2,000 events and 5,000 works at about half a second.
inline constexpr double kDotFullEffortNodes = 2000;
inline double dotEffort(int nodeCount)
{
    return nodeCount > kDotFullEffortNodes ? kDotFullEffortNodes / nodeCount : 1.0;
}
// At most this many bends in all: the works that would need more are drawn straight.
inline constexpr std::int64_t kBendBudget = 200000;

// Lays the network out: layers by the longest chain of works, the order in each layer from dot
// (or the sweeps, see LayoutOrdering), the line's events and bends at y 0, every other node as
// close to its neighbours as its layer's order and room allow. Two circles never overlap, every
// event stands right of every event with a work into it, and the works run left to right.
// Raises the loop message when the works close a loop. Time about linear in events and works
// plus the ordering's (dot: about half a second for 2,000 events and 5,000 works).
NetworkLayout layOutNetwork(const LayoutInput& input, const LayoutMetrics& metrics,
                            LayoutOrdering ordering = LayoutOrdering::Automatic);
