#include "TightFlow.h"

#include "ResidualNetwork.h"

#include <algorithm>

TightFlow::TightFlow(int nodes) : m_nextArc(std::size_t(nodes), 0)
{
    for (Numbering* side : {&m_fromStart, &m_toEnd}) {
        side->roundOf.assign(std::size_t(nodes), 0);
        side->number.assign(std::size_t(nodes), 0);
        side->queue.reserve(std::size_t(nodes));
    }
}

void TightFlow::raise(ResidualNetwork& residual)
{
    while (number(residual))
        block(residual);
}

bool TightFlow::numbered(const Numbering& side, int node) const
{
    return side.roundOf[std::size_t(node)] == m_round;
}

void TightFlow::reach(const ResidualNetwork& residual, Numbering& side, int node, int number)
{
    side.roundOf[std::size_t(node)] = m_round;
    side.number[std::size_t(node)] = number;
    side.queue.push_back(node);
    m_nextArc[std::size_t(node)] = residual.firstOut[std::size_t(node)];
}

bool TightFlow::number(const ResidualNetwork& residual)
{
    ++m_round;
    for (Numbering* side : {&m_fromStart, &m_toEnd}) {
        side->queue.clear();
        side->next = 0;
    }
    reach(residual, m_fromStart, 0, 0);
    reach(residual, m_toEnd, residual.sink, 0);
    for (;;) {
        for (const bool fromStart : {true, false}) {
            Numbering& side = fromStart ? m_fromStart : m_toEnd;
            const int found = step(residual, side, fromStart);
            if (found < 0)
                return false;
            if (found > 0) {
                m_kept = &side;
                return true;
            }
        }
    }
}

int TightFlow::step(const ResidualNetwork& residual, Numbering& side, bool fromStart)
{
    if (side.next == side.queue.size())
        return -1;
    const int v = side.queue[side.next++];
    const int number = side.number[std::size_t(v)] + 1;
    for (int a = residual.firstOut[std::size_t(v)]; a < residual.firstOut[std::size_t(v) + 1];
         ++a) {
        const int to = residual.head[std::size_t(a)];
        if (numbered(side, to))
            continue;
        // Towards the end an arc is followed backwards: its partner leaves `to` for `v`.
        const bool tight =
            fromStart ? residual.tight(v, a) : residual.tight(to, residual.partner[std::size_t(a)]);
        if (tight) {
            reach(residual, side, to, number);
            // The levels below the other end's are complete: the rest of the round is not
            // needed.
            if (to == (fromStart ? residual.sink : 0))
                return 1;
        }
    }
    return 0;
}

bool TightFlow::leadsOn(int from, int to) const
{
    const Numbering& side = *m_kept;
    if (!numbered(side, to))
        return false;
    const int step = &side == &m_fromStart ? 1 : -1;
    return side.number[std::size_t(to)] == side.number[std::size_t(from)] + step;
}

void TightFlow::block(ResidualNetwork& residual)
{
    m_path.clear();
    int v = 0;
    for (;;) {
        if (v == residual.sink) {
            long double amount = residual.room[std::size_t(m_path.front())];
            for (const int a : m_path)
                amount = std::min(amount, residual.room[std::size_t(a)]);
            for (const int a : m_path)
                residual.push(a, amount);
            // Back to the tail of the first arc the amount spent.
            const auto spent = std::find_if(m_path.begin(), m_path.end(),
                                            [&](int a) { return !residual.usable(a); });
            v = residual.tail(*spent);
            m_path.erase(spent, m_path.end());
            continue;
        }
        int& a = m_nextArc[std::size_t(v)];
        const int end = residual.firstOut[std::size_t(v) + 1];
        while (a < end && !(leadsOn(v, residual.head[std::size_t(a)]) && residual.tight(v, a)))
            ++a;
        if (a < end) {
            m_path.push_back(a);
            v = residual.head[std::size_t(a)];
            continue;
        }
        // No path to the end goes on from here.
        m_kept->number[std::size_t(v)] = kDead;
        if (m_path.empty())
            return;
        v = residual.tail(m_path.back());
        m_path.pop_back();
        ++m_nextArc[std::size_t(v)];
    }
}
