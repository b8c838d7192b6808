#include "TaskNetwork.h"

#include <QtGlobal>

#include <algorithm>
#include <deque>
#include <limits>
#include <queue>
#include <unordered_map>

// Which events of a zero link may be made one.
//
// The network is a set of constraints on event times: a work from event a to event b of length d
// asks t(b) >= t(a) + d. What the schedule shows of a task is its early start (the longest path
// into its start event, from any event: every event may start at 0), its late finish (the project
// length less the longest path out of its end event, to any event), and which task must finish
// before which can start (a path from the one's end event to the other's start event). Write s
// for "any event, at time 0" and z for "any event, at the end": s -> x and x -> z are paths of 0
// for every event x. A task's duration is the user's to change, a link's lag is fixed; so a change
// of the network keeps "the same precedences" when, for every choice of durations (>= 0), it keeps
// the longest path from s to every event holding a task's start, from every event holding a task's
// end to z, from s to z, and every path from an end to a start.
//
// Making the ends u and v of a link u -> v of lag 0 one event w adds exactly the paths that come
// into v by some work e1 = a -> v and go on out of u by some work e2 = u -> b (a path into u that
// goes on out of v was there already, through the link); every old path stays. A new path is
// harmless when every old path it can be part of is matched by an old path between the same ends
// that is at least as long for every choice of durations: one that passes through the same task
// works, with lags at least as large, counting every other task as 0 days (never shorter). With
// durations large on a path's tasks and 0 elsewhere, nothing less than that will do; so this is
// the exact condition, and the merge keeps the precedences if and only if it holds.
//
// Most new paths are matched at once, by an old path between their own ends (whatever comes
// before a or after b then goes along with it):
// - e1 and e2 both links: an old path from a to b at least d1 + d2 long;
// - e1 a task, e2 a link: an old path from v to b at least d2 long (so a -> v -> b passes e1);
// - e1 a link, e2 a task: an old path from a to u at least d1 long (so a -> u -> b passes e2);
// - both tasks: no old path passes through both (it would need v before u), so no merge.
// Where that fails, the new path may still be matched once it is continued. If a link's end b
// holds no task's start, nothing measures a path that stops at b but z: a -> w -> b -> z is
// matched when it is no longer than the longest old way from a (or from v, after a task e1) to z;
// and every continuation by a work out of b must be matched in its turn, by an old path to its
// head or, again, continued (a task out of b would take it past its start: refused). The same
// holds backwards from a link's start a that holds no task's end, through the works into a and
// s. A continuation that comes back to the other end would be a cycle and is refused. This covers
// the dummies of start-to-start and finish-to-finish links whose events nothing else measures.
// With no work other than the link into v, or none out of u, nothing is new and the merge is
// always safe: this is the familiar rule for dummies. The finish-to-start links of two tasks that
// both precede two others pass by the first rule, so their events collapse as a planner draws them.
// Old paths and continuations are searched within small budgets (short detours are what matter);
// a path not found keeps a dummy, never loses a precedence.
//
// Besides, no merge may leave two works between the same two events, which an activity-on-arrow
// network cannot tell apart: where the merge would, two links become one with the larger lag (the
// same constraint), a link of lag <= 0 beside a task is dropped (the task asks as much for any
// duration), and otherwise the merge is not made. Nor may a merge make a cycle, which events
// numbered along the works cannot have, even one whose lags add up to 0 or less and so leave
// every time as it was: a work from v back to u refuses it, and a longer path from u to v goes
// out by some e2 and back in by some e1 with b reaching a, which no old path (acyclic) from a to b
// can match and a continuation that comes back to a or b is refused.
//
// Each merge keeps the precedences of the network before it, so the end keeps those of the file.
// One merge can make another possible far from it (a detour appears), so the links are gone over
// again until a round merges nothing (within a bound of rounds, see run).
namespace tasknetwork {
namespace {

constexpr int kLink = -1;
// A link whose events have more than this many pairs of neighbouring works is left as it is:
// checking it would cost more than the dummy work it saves.
constexpr qint64 kPairLimit = 256;
// Events looked at in the search for an old path that matches a new one.
constexpr int kSearchBudget = 64;
// Rounds over all the zero links at most (see run).
constexpr int kRounds = 8;
// Continuations of a new path tried (see above) before its dummy is kept.
constexpr int kExtensionBudget = 32;

struct Arc
{
    int tail = 0;
    int head = 0;
    double lag = 0;
    int task = kLink;
    bool alive = true;
};

quint64 pairKey(int tail, int head)
{
    return (quint64(quint32(tail)) << 32) | quint32(head);
}

class Merger
{
public:
    Merger(const std::vector<bool>& hasWork, const std::vector<Link>& links);
    void run();
    Events events();

private:
    void addArc(int tail, int head, double lag, int task);
    int arcBetween(int tail, int head) const;
    bool hasPathOfAtLeast(int from, int to, double length);
    double longestAway(int from, bool forward);
    bool matches(const Arc& in, const Arc& out, int u, int v);
    bool matchedBefore(int tail, int to, double length, double& fromAnyStart);
    bool matchedAfter(int from, int head, double length, double& toAnyEnd);
    void compact(std::vector<int>& list);
    bool tryMerge(int link);
    void merge(int link, int small, int big, const std::vector<std::pair<int, int>>& parallels);
    void enqueue(int arc);
    int find(int point);

    std::vector<Arc> m_arcs;
    std::vector<std::vector<int>> m_in;
    std::vector<std::vector<int>> m_out;
    std::vector<int> m_parent;
    std::unordered_map<quint64, int> m_pairs; // the one living work between two events
    std::deque<int> m_queue;
    // The search's longest lengths by event, -infinity where it has not been; m_touched lists
    // the events to reset.
    std::vector<double> m_reached;
    std::vector<int> m_touched;
    std::vector<std::pair<int, double>> m_stack;
    std::vector<char> m_queued;
    // Whether an event holds some task's start point, or some task's end point.
    std::vector<char> m_holdsStart;
    std::vector<char> m_holdsEnd;
    int m_extensionBudget = 0;
    std::size_t m_taskCount = 0;
};

Merger::Merger(const std::vector<bool>& hasWork, const std::vector<Link>& links)
    : m_in(2 * hasWork.size()), m_out(2 * hasWork.size()), m_parent(2 * hasWork.size()),
      m_taskCount(hasWork.size())
{
    for (std::size_t point = 0; point < m_parent.size(); ++point)
        m_parent[point] = int(point);
    m_arcs.reserve(hasWork.size() + links.size());
    m_pairs.reserve(hasWork.size() + links.size());
    for (std::size_t task = 0; task < hasWork.size(); ++task) {
        if (hasWork[task])
            addArc(int(2 * task), int(2 * task + 1), 0, int(task));
    }
    for (const Link& link : links) {
        const int from = 2 * link.predecessor;
        const int to = 2 * link.successor;
        switch (link.type) {
        case LinkType::FinishToStart:
            addArc(from + 1, to, link.lag, kLink);
            break;
        case LinkType::StartToStart:
            addArc(from, to, link.lag, kLink);
            break;
        case LinkType::FinishToFinish:
            addArc(from + 1, to + 1, link.lag, kLink);
            break;
        case LinkType::StartToFinish:
            addArc(from, to + 1, link.lag, kLink);
            break;
        }
    }
    m_queued.assign(m_arcs.size(), 0);
    m_holdsStart.resize(m_parent.size());
    m_holdsEnd.resize(m_parent.size());
    for (std::size_t point = 0; point < m_parent.size(); ++point)
        (point % 2 == 0 ? m_holdsStart : m_holdsEnd)[point] = 1;
    m_reached.assign(m_parent.size(), -std::numeric_limits<double>::infinity());
}

void Merger::addArc(int tail, int head, double lag, int task)
{
    // Two links between the same events are one constraint, the larger lag's.
    if (const int known = arcBetween(tail, head); known >= 0) {
        m_arcs[known].lag = std::max(m_arcs[known].lag, lag);
        return;
    }
    const int id = int(m_arcs.size());
    m_arcs.push_back({tail, head, lag, task, true});
    m_out[tail].push_back(id);
    m_in[head].push_back(id);
    m_pairs.emplace(pairKey(tail, head), id);
}

int Merger::arcBetween(int tail, int head) const
{
    const auto found = m_pairs.find(pairKey(tail, head));
    return found == m_pairs.end() ? -1 : found->second;
}

bool Merger::hasPathOfAtLeast(int from, int to, double length)
{
    const auto leastLength = [](const Arc& arc) {
        return arc.task == kLink ? arc.lag : 0.0;
    };
    // Most new paths are matched by one work: look that up first.
    if (const int direct = arcBetween(from, to);
        direct >= 0 && leastLength(m_arcs[direct]) >= length)
        return true;
    // The longest path by least lengths (a task at least 0 days, a link its lag), searched from
    // `from` up to a budget: enough for the short detours that matter, never a hunt through the
    // whole network. Not finding one only keeps a dummy.
    for (int node : m_touched)
        m_reached[std::size_t(node)] = -std::numeric_limits<double>::infinity();
    m_touched.clear();
    m_stack.clear();
    m_stack.emplace_back(from, 0.0);
    int budget = kSearchBudget;
    while (!m_stack.empty()) {
        const auto [node, distance] = m_stack.back();
        m_stack.pop_back();
        for (int id : m_out[std::size_t(node)]) {
            const Arc& arc = m_arcs[std::size_t(id)];
            if (!arc.alive)
                continue;
            const double reached = distance + leastLength(arc);
            if (arc.head == to) {
                if (reached >= length)
                    return true;
                continue;
            }
            double& best = m_reached[std::size_t(arc.head)];
            if (best >= reached)
                continue;
            if (best == -std::numeric_limits<double>::infinity())
                m_touched.push_back(arc.head);
            best = reached;
            if (--budget < 0)
                return false;
            m_stack.emplace_back(arc.head, reached);
        }
    }
    return false;
}

double Merger::longestAway(int from, bool forward)
{
    // The longest path by least lengths that leaves `from` forward (or reaches it, backward), as
    // far as a budget of events: a lower bound, so trusting it never loses a precedence.
    double longest = 0;
    std::vector<std::pair<int, double>> stack{{from, 0.0}};
    std::unordered_map<int, double> reached;
    int budget = kSearchBudget;
    while (!stack.empty() && budget > 0) {
        const auto [node, distance] = stack.back();
        stack.pop_back();
        for (int id : (forward ? m_out : m_in)[std::size_t(node)]) {
            const Arc& arc = m_arcs[std::size_t(id)];
            if (!arc.alive)
                continue;
            const double next = distance + (arc.task == kLink ? arc.lag : 0.0);
            const int other = forward ? arc.head : arc.tail;
            const auto [known, added] = reached.emplace(other, next);
            if (!added && known->second >= next)
                continue;
            known->second = next;
            longest = std::max(longest, next);
            if (--budget <= 0)
                break;
            stack.emplace_back(other, next);
        }
    }
    return longest;
}

bool Merger::matches(const Arc& in, const Arc& out, int u, int v)
{
    const bool inIsTask = in.task != kLink;
    const bool outIsTask = out.task != kLink;
    if ((inIsTask && outIsTask) || in.tail == out.head)
        return false;
    const int from = inIsTask ? v : in.tail;
    const int to = outIsTask ? u : out.head;
    const double length = (inIsTask ? 0 : in.lag) + (outIsTask ? 0 : out.lag);
    if (hasPathOfAtLeast(from, to, length))
        return true;
    m_extensionBudget = kExtensionBudget;
    // The longest old way into `to` from any event, or out of `from` to any, is looked for only
    // when a continuation needs it.
    double fromAnyStart = -1;
    double toAnyEnd = -1;
    return (!inIsTask && matchedBefore(in.tail, to, length, fromAnyStart)) ||
           (!outIsTask && matchedAfter(from, out.head, length, toAnyEnd));
}

bool Merger::matchedBefore(int tail, int to, double length, double& fromAnyStart)
{
    if (m_holdsEnd[std::size_t(tail)])
        return false;
    if (length > 0 && fromAnyStart < 0)
        fromAnyStart = longestAway(to, false);
    if (length > std::max(fromAnyStart, 0.0))
        return false;
    for (int id : m_in[std::size_t(tail)]) {
        const Arc& before = m_arcs[std::size_t(id)];
        if (!before.alive)
            continue;
        if (before.task != kLink || before.tail == to || --m_extensionBudget < 0)
            return false;
        if (!hasPathOfAtLeast(before.tail, to, before.lag + length) &&
            !matchedBefore(before.tail, to, before.lag + length, fromAnyStart))
            return false;
    }
    return true;
}

bool Merger::matchedAfter(int from, int head, double length, double& toAnyEnd)
{
    if (m_holdsStart[std::size_t(head)])
        return false;
    if (length > 0 && toAnyEnd < 0)
        toAnyEnd = longestAway(from, true);
    if (length > std::max(toAnyEnd, 0.0))
        return false;
    for (int id : m_out[std::size_t(head)]) {
        const Arc& after = m_arcs[std::size_t(id)];
        if (!after.alive)
            continue;
        if (after.task != kLink || after.head == from || --m_extensionBudget < 0)
            return false;
        if (!hasPathOfAtLeast(from, after.head, length + after.lag) &&
            !matchedAfter(from, after.head, length + after.lag, toAnyEnd))
            return false;
    }
    return true;
}

void Merger::compact(std::vector<int>& list)
{
    std::erase_if(list, [this](int arc) { return !m_arcs[arc].alive; });
}

void Merger::enqueue(int arc)
{
    const Arc& a = m_arcs[arc];
    if (a.alive && a.task == kLink && a.lag == 0 && !m_queued[arc]) {
        m_queued[arc] = 1;
        m_queue.push_back(arc);
    }
}

bool Merger::tryMerge(int link)
{
    const Arc& arc = m_arcs[link];
    // A queued link may have taken a larger lag from a link it was joined with since.
    if (arc.lag != 0)
        return false;
    const int u = arc.tail;
    const int v = arc.head;
    if (arcBetween(v, u) >= 0)
        return false;
    compact(m_in[v]);
    compact(m_out[u]);
    const qint64 pairs = qint64(m_in[v].size() - 1) * qint64(m_out[u].size() - 1);
    if (pairs > kPairLimit)
        return false;
    for (int e1 : m_in[v]) {
        if (e1 == link)
            continue;
        const Arc& in = m_arcs[e1];
        for (int e2 : m_out[u]) {
            if (e2 == link)
                continue;
            const Arc& out = m_arcs[e2];
            if (!matches(in, out, u, v))
                return false;
        }
    }
    // The side with fewer works joins the other; its works that would run beside one of the
    // other's between the same two events are found first.
    compact(m_out[v]);
    compact(m_in[u]);
    const bool uIsSmall = m_in[u].size() + m_out[u].size() <= m_in[v].size() + m_out[v].size();
    const int small = uIsSmall ? u : v;
    const int big = uIsSmall ? v : u;
    std::vector<std::pair<int, int>> parallels;
    const auto checkParallel = [&](int mine, int other) {
        if (other < 0 || other == link)
            return true;
        const Arc& a = m_arcs[mine];
        const Arc& b = m_arcs[other];
        const bool bothLinks = a.task == kLink && b.task == kLink;
        const bool droppableLink = (a.task == kLink && b.task != kLink && a.lag <= 0) ||
                                   (b.task == kLink && a.task != kLink && b.lag <= 0);
        if (!bothLinks && !droppableLink)
            return false;
        parallels.emplace_back(mine, other);
        return true;
    };
    for (int arcId : m_in[small]) {
        if (arcId != link && !checkParallel(arcId, arcBetween(m_arcs[arcId].tail, big)))
            return false;
    }
    for (int arcId : m_out[small]) {
        if (arcId != link && !checkParallel(arcId, arcBetween(big, m_arcs[arcId].head)))
            return false;
    }
    merge(link, small, big, parallels);
    return true;
}

void Merger::merge(int link, int small, int big, const std::vector<std::pair<int, int>>& parallels)
{
    const auto kill = [this](int id) {
        Arc& a = m_arcs[id];
        m_pairs.erase(pairKey(a.tail, a.head));
        a.alive = false;
    };
    kill(link);
    for (const auto& [mine, other] : parallels) {
        Arc& a = m_arcs[mine];
        Arc& b = m_arcs[other];
        if (a.task == kLink && b.task == kLink) {
            b.lag = std::max(a.lag, b.lag);
            kill(mine);
        } else if (a.task == kLink) {
            kill(mine);
        } else {
            kill(other);
        }
    }
    for (int id : m_in[small]) {
        Arc& a = m_arcs[id];
        if (!a.alive)
            continue;
        m_pairs.erase(pairKey(a.tail, a.head));
        a.head = big;
        m_pairs.emplace(pairKey(a.tail, a.head), id);
        m_in[big].push_back(id);
        enqueue(id);
    }
    for (int id : m_out[small]) {
        Arc& a = m_arcs[id];
        if (!a.alive)
            continue;
        m_pairs.erase(pairKey(a.tail, a.head));
        a.tail = big;
        m_pairs.emplace(pairKey(a.tail, a.head), id);
        m_out[big].push_back(id);
        enqueue(id);
    }
    m_in[small] = {};
    m_out[small] = {};
    m_parent[small] = big;
    m_holdsStart[big] = m_holdsStart[big] || m_holdsStart[small];
    m_holdsEnd[big] = m_holdsEnd[big] || m_holdsEnd[small];
    // The merged event's own links may merge now; an event with many works is left to the next
    // pass, so that a hub does not queue its links again at every merge.
    if (m_in[big].size() + m_out[big].size() <= 64) {
        for (int id : m_in[big])
            enqueue(id);
        for (int id : m_out[big])
            enqueue(id);
    }
}

void Merger::run()
{
    // Every zero link, and after each merge again the links around the merged event (unless it
    // has very many): a merge that becomes possible is nearly always next to the one that made it
    // so. The rounds over all links that follow find the few that are not; three or four do in
    // the benchmark's networks, and a bound keeps a network made to need a round per merge from
    // taking time in the square of its size.
    bool merged = true;
    for (int round = 0; merged && round < kRounds; ++round) {
        merged = false;
        for (std::size_t id = 0; id < m_arcs.size(); ++id)
            enqueue(int(id));
        while (!m_queue.empty()) {
            const int id = m_queue.front();
            m_queue.pop_front();
            m_queued[std::size_t(id)] = 0;
            if (m_arcs[std::size_t(id)].alive && tryMerge(id))
                merged = true;
        }
    }
}

int Merger::find(int point)
{
    while (m_parent[point] != point) {
        m_parent[point] = m_parent[m_parent[point]];
        point = m_parent[point];
    }
    return point;
}

Events Merger::events()
{
    // Numbers in topological order, the events of earlier tasks first among those that are free.
    const std::size_t points = m_parent.size();
    std::vector<int> firstPoint(points, -1);
    for (std::size_t point = 0; point < points; ++point) {
        int& first = firstPoint[find(int(point))];
        if (first < 0)
            first = int(point);
    }
    std::vector<int> waiting(points, 0);
    std::vector<char> used(points, 0);
    for (const Arc& arc : m_arcs) {
        if (arc.alive) {
            ++waiting[arc.head];
            used[arc.tail] = used[arc.head] = 1;
        }
    }
    using Entry = std::pair<int, int>; // first point, event
    std::priority_queue<Entry, std::vector<Entry>, std::greater<>> ready;
    for (std::size_t node = 0; node < points; ++node) {
        if (used[node] && waiting[node] == 0 && m_parent[node] == int(node))
            ready.emplace(firstPoint[node], int(node));
    }
    std::vector<int> number(points, 0);
    int next = 0;
    while (!ready.empty()) {
        const int node = ready.top().second;
        ready.pop();
        number[node] = ++next;
        for (int id : m_out[node]) {
            const Arc& arc = m_arcs[id];
            if (arc.alive && --waiting[arc.head] == 0)
                ready.emplace(firstPoint[arc.head], arc.head);
        }
    }
    // Events on a cycle of links keep an order of their own after the others.
    std::vector<Entry> rest;
    for (std::size_t node = 0; node < points; ++node) {
        if (used[node] && number[node] == 0 && m_parent[node] == int(node))
            rest.emplace_back(firstPoint[node], int(node));
    }
    std::sort(rest.begin(), rest.end());
    for (const Entry& entry : rest)
        number[entry.second] = ++next;

    Events events;
    events.eventCount = next;
    events.taskStart.resize(m_taskCount);
    events.taskEnd.resize(m_taskCount);
    for (std::size_t task = 0; task < m_taskCount; ++task) {
        events.taskStart[task] = number[find(int(2 * task))];
        events.taskEnd[task] = number[find(int(2 * task + 1))];
    }
    for (const Arc& arc : m_arcs) {
        if (arc.alive && arc.task == kLink)
            events.links.push_back({number[arc.tail], number[arc.head], arc.lag});
    }
    return events;
}

} // namespace

Events build(const std::vector<bool>& hasWork, const std::vector<Link>& links)
{
    Merger merger(hasWork, links);
    merger.run();
    return merger.events();
}

} // namespace tasknetwork
