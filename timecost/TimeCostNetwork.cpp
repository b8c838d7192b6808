#include "TimeCostNetwork.h"

#include "KestrinError.h"
#include "NetworkLoop.h"
#include "NumberFormat.h"

#include <algorithm>
#include <deque>

namespace {

[[noreturn]] void refuse(const TimeCostNetwork& network, int work, const QString& problem)
{
    throw KestrinError(workName(network, work) + QStringLiteral(": ") + problem);
}

void checkWork(const TimeCostNetwork& network, int index)
{
    const CostedWork& work = network.works[std::size_t(index)];
    const int events = int(network.eventNames.size());
    if (work.startEvent < 0 || work.startEvent >= events || work.endEvent < 0 ||
        work.endEvent >= events)
        throw KestrinError(
            QStringLiteral("Работа %1 ссылается на несуществующее событие").arg(index + 1));
    const NumberFormat& numbers = NumberFormat::system();
    if (work.duration.isNegative())
        refuse(
            network, index,
            QStringLiteral("отрицательная продолжительность %1").arg(work.duration.text(numbers)));
    if (work.cost.isNegative())
        refuse(network, index,
               QStringLiteral("отрицательная стоимость %1").arg(work.cost.text(numbers)));
    if (work.shortestDuration.has_value() != work.shortestCost.has_value())
        refuse(network, index,
               work.shortestDuration ? QStringLiteral("не задана стоимость при кратчайшей "
                                                      "продолжительности")
                                     : QStringLiteral("не задана кратчайшая продолжительность"));
    if (!work.shortestDuration)
        return;
    if (work.shortestDuration->isNegative())
        refuse(network, index,
               QStringLiteral("отрицательная кратчайшая продолжительность %1")
                   .arg(work.shortestDuration->text(numbers)));
    if (*work.shortestDuration > work.duration)
        refuse(network, index,
               QStringLiteral("кратчайшая продолжительность %1 больше продолжительности %2")
                   .arg(work.shortestDuration->text(numbers), work.duration.text(numbers)));
    if (*work.shortestCost < work.cost)
        refuse(network, index,
               QStringLiteral("стоимость %1 при кратчайшей продолжительности меньше стоимости %2 "
                              "при продолжительности")
                   .arg(work.shortestCost->text(numbers), work.cost.text(numbers)));
}

[[noreturn]] void raiseTooLarge()
{
    throw KestrinError(
        QStringLiteral("Продолжительности слишком велики или слишком точны для точного расчёта"));
}

struct Adjacency
{
    std::vector<std::vector<int>> out; // works leaving each event
    std::vector<std::vector<int>> in;  // works entering each event
};

Adjacency adjacency(const TimeCostNetwork& network)
{
    Adjacency result;
    result.out.resize(std::size_t(network.eventNames.size()));
    result.in.resize(std::size_t(network.eventNames.size()));
    for (int w = 0; w < int(network.works.size()); ++w) {
        result.out[std::size_t(network.works[std::size_t(w)].startEvent)].push_back(w);
        result.in[std::size_t(network.works[std::size_t(w)].endEvent)].push_back(w);
    }
    return result;
}

// Events reached from `from` through works, forward or backward, staying within `allowed`.
std::vector<char> reached(const TimeCostNetwork& network, const Adjacency& links, int from,
                          bool forward, const std::vector<char>& allowed)
{
    std::vector<char> seen(allowed.size(), 0);
    std::vector<int> stack{from};
    seen[std::size_t(from)] = 1;
    while (!stack.empty()) {
        const int event = stack.back();
        stack.pop_back();
        for (const int w : (forward ? links.out : links.in)[std::size_t(event)]) {
            const CostedWork& work = network.works[std::size_t(w)];
            const int next = forward ? work.endEvent : work.startEvent;
            if (allowed[std::size_t(next)] && !seen[std::size_t(next)]) {
                seen[std::size_t(next)] = 1;
                stack.push_back(next);
            }
        }
    }
    return seen;
}

// The events reached from the start in an order where every work goes forward; raises the loop
// message for a loop among them.
std::vector<int> forwardOrder(const TimeCostNetwork& network, const Adjacency& links,
                              const std::vector<char>& fromStart)
{
    std::vector<int> waiting(fromStart.size(), 0);
    for (const CostedWork& work : network.works) {
        if (fromStart[std::size_t(work.startEvent)])
            ++waiting[std::size_t(work.endEvent)];
    }
    std::vector<int> order;
    std::deque<int> ready;
    for (int e = 0; e < int(fromStart.size()); ++e) {
        if (fromStart[std::size_t(e)] && waiting[std::size_t(e)] == 0)
            ready.push_back(e);
    }
    while (!ready.empty()) {
        const int event = ready.front();
        ready.pop_front();
        order.push_back(event);
        for (const int w : links.out[std::size_t(event)]) {
            const int next = network.works[std::size_t(w)].endEvent;
            if (--waiting[std::size_t(next)] == 0)
                ready.push_back(next);
        }
    }
    if (order.size() == std::size_t(std::count(fromStart.begin(), fromStart.end(), 1)))
        return order;

    // Every event left waiting has a work from another one left waiting: walking back along
    // such works must come round to an event already passed.
    int event = 0;
    while (!fromStart[std::size_t(event)] || waiting[std::size_t(event)] == 0)
        ++event;
    std::vector<int> walk;
    std::vector<int> at(fromStart.size(), -1);
    while (at[std::size_t(event)] < 0) {
        at[std::size_t(event)] = int(walk.size());
        walk.push_back(event);
        for (const int w : links.in[std::size_t(event)]) {
            const int previous = network.works[std::size_t(w)].startEvent;
            if (fromStart[std::size_t(previous)] && waiting[std::size_t(previous)] > 0) {
                event = previous;
                break;
            }
        }
    }
    std::vector<int> loop(walk.rbegin(), walk.rend() - at[std::size_t(event)]);
    // Told from the event of the loop nearest the start, where a search from the start enters it.
    std::vector<int> distance(fromStart.size(), -1);
    std::deque<int> queue{network.startEvent};
    distance[std::size_t(network.startEvent)] = 0;
    while (!queue.empty()) {
        const int from = queue.front();
        queue.pop_front();
        for (const int w : links.out[std::size_t(from)]) {
            const int to = network.works[std::size_t(w)].endEvent;
            if (distance[std::size_t(to)] < 0) {
                distance[std::size_t(to)] = distance[std::size_t(from)] + 1;
                queue.push_back(to);
            }
        }
    }
    std::rotate(loop.begin(),
                std::min_element(loop.begin(), loop.end(),
                                 [&](int a, int b) {
                                     return distance[std::size_t(a)] < distance[std::size_t(b)];
                                 }),
                loop.end());
    QStringList names;
    for (const int e : loop)
        names.append(network.eventNames[e]);
    names.append(names.front());
    throw KestrinError(loopMessage(names));
}

} // namespace

QString workName(const TimeCostNetwork& network, int work)
{
    const CostedWork& w = network.works[std::size_t(work)];
    return QStringLiteral("Работа «%1»→«%2»")
        .arg(network.eventNames[w.startEvent], network.eventNames[w.endEvent]);
}

ScaledNetwork scaleNetwork(const TimeCostNetwork& network)
{
    const int events = int(network.eventNames.size());
    if (network.startEvent < 0 || network.startEvent >= events || network.endEvent < 0 ||
        network.endEvent >= events)
        throw KestrinError(QStringLiteral("Не выбраны начальное и конечное события"));
    for (int w = 0; w < int(network.works.size()); ++w)
        checkWork(network, w);

    ScaledNetwork scaled;
    for (const CostedWork& work : network.works) {
        scaled.durationDecimals = std::max(scaled.durationDecimals, work.duration.decimals());
        scaled.costDecimals = std::max(scaled.costDecimals, work.cost.decimals());
        if (work.shortestDuration) {
            scaled.durationDecimals =
                std::max(scaled.durationDecimals, work.shortestDuration->decimals());
            scaled.costDecimals = std::max(scaled.costDecimals, work.shortestCost->decimals());
        }
    }
    boost::multiprecision::cpp_int normalCost = 0;
    for (const CostedWork& work : network.works) {
        const std::int64_t duration = work.duration.unitsAt(scaled.durationDecimals);
        const std::int64_t cost = work.cost.unitsAt(scaled.costDecimals);
        std::int64_t shortest = duration;
        std::int64_t rise = 0;
        if (work.shortestDuration && *work.shortestDuration < work.duration) {
            shortest = work.shortestDuration->unitsAt(scaled.durationDecimals);
            rise = work.shortestCost->unitsAt(scaled.costDecimals) - cost;
        }
        scaled.duration.push_back(duration);
        scaled.shortest.push_back(shortest);
        scaled.costRise.push_back(rise);
        normalCost += cost;
    }
    scaled.normalCost = exactcost::fromDecimal(Decimal(1, scaled.costDecimals)) * normalCost;

    const Adjacency links = adjacency(network);
    const std::vector<char> everywhere(std::size_t(events), 1);
    const std::vector<char> fromStart =
        reached(network, links, network.startEvent, true, everywhere);
    const std::vector<int> order = forwardOrder(network, links, fromStart);
    if (!fromStart[std::size_t(network.endEvent)])
        throw KestrinError(
            QStringLiteral("Событие «%1» недостижимо из начального события «%2»")
                .arg(network.eventNames[network.endEvent], network.eventNames[network.startEvent]));
    const std::vector<char> onPath = reached(network, links, network.endEvent, false, fromStart);
    for (const int event : order) {
        if (onPath[std::size_t(event)])
            scaled.pathEvents.push_back(event);
    }
    // Every path's length, and every event time the flow gives, stays below the sum of all
    // durations on paths; 2^62 leaves room for the differences taken of them.
    std::int64_t total = 0;
    for (int w = 0; w < int(network.works.size()); ++w) {
        const CostedWork& work = network.works[std::size_t(w)];
        if (onPath[std::size_t(work.startEvent)] && onPath[std::size_t(work.endEvent)]) {
            scaled.pathWorks.push_back(w);
            if (__builtin_add_overflow(total, scaled.duration[std::size_t(w)], &total) ||
                total > (std::int64_t(1) << 62))
                raiseTooLarge();
        }
    }
    return scaled;
}
