#pragma once

#include <vector>

// Turns tasks and links (activity on node, as the planning tools think) into works between
// events (activity on arrow, as this program thinks), with as few dummy works as keep the meaning.
//
// Every task has a start event and an end event; a task with a work (a leaf task) is a work
// between them, a grouping task has the two events only. Every link is a work of its lag:
// finish-to-start from the predecessor's end event to the successor's start event, start-to-start
// between the start events, finish-to-finish between the end events, start-to-finish from the
// predecessor's start event to the successor's end event. Then the two events of a link of lag 0
// are made one wherever that keeps every precedence between the tasks (see TaskNetwork.cpp for the
// rule and why it is safe), so that a plain finish-to-start network keeps only the dummy works
// that an activity-on-arrow network needs.
namespace tasknetwork {

enum class LinkType { FinishToStart, StartToStart, FinishToFinish, StartToFinish };

struct Link
{
    int predecessor = 0; // task indices
    int successor = 0;
    LinkType type = LinkType::FinishToStart;
    double lag = 0; // days; may be negative
};

// A link that is left as a dummy work (or a work of its lag) after the merging.
struct LinkWork
{
    int startEvent = 0;
    int endEvent = 0;
    double lag = 0;
};

struct Events
{
    // Per task: its events, numbered from 1 in an order where every work goes from a lower
    // number to a higher one (when the links make no cycle). A grouping task whose events no work
    // touches has 0 for both.
    std::vector<int> taskStart;
    std::vector<int> taskEnd;
    std::vector<LinkWork> links;
    int eventCount = 0;
};

// hasWork[t] tells whether task t is a work (a leaf) or only groups or marks a moment. Links name
// tasks in 0 .. hasWork.size() - 1; a link from a task to itself is only start-to-finish, for a
// task without a work (it makes a milestone's two events one).
Events build(const std::vector<bool>& hasWork, const std::vector<Link>& links);

} // namespace tasknetwork
