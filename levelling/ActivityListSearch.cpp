#include "ActivityListSearch.h"

#include "ActivityNetwork.h"
#include "PriorityRules.h"

#include <algorithm>
#include <iterator>
#include <numeric>

namespace {

constexpr int kPopulation = 60;
constexpr double kMutation = 0.05;
constexpr PriorityRule kRules[] = {PriorityRule::LatestFinish, PriorityRule::LatestStart,
                                   PriorityRule::MinimumSlack, PriorityRule::MostTotalSuccessors,
                                   PriorityRule::GreatestRankPositionalWeight};

} // namespace

ActivityListSearch::ActivityListSearch(const LevellingProblem& problem,
                                       const ActivityNetwork& network, std::uint64_t seed,
                                       bool withRules)
    : m_network(network), m_scheduler(problem, network), m_random(seed), m_withRules(withRules)
{
    m_taken.resize(std::size_t(network.size()));
}

void ActivityListSearch::evaluate(Individual& individual)
{
    individual.length = m_scheduler.schedule(individual.list, false, m_starts);
    // On a large network a round of improvement takes long; a time limit cuts the rounds short.
    const auto outOfTime = [this] {
        return m_stop->timed && std::chrono::steady_clock::now() >= m_stop->deadline;
    };
    individual.length =
        m_scheduler.justify(individual.list, m_starts, individual.length, outOfTime);
    if (!m_haveBest || individual.length < m_bestLength) {
        m_haveBest = true;
        m_bestLength = individual.length;
        m_bestStarts = m_starts;
    }
}

bool ActivityListSearch::mustStop(const Stop& stop, Race& race, int index)
{
    const long long done = schedules();
    if (m_bestLength <= stop.lowerBound) {
        long long expected = LLONG_MAX;
        race.reachedAt[index].compare_exchange_strong(expected, done);
        return true;
    }
    const long long other = race.reachedAt[1 - index].load(std::memory_order_relaxed);
    if (other < done || (other == done && index == 1))
        return true;
    if (done >= stop.schedules)
        return true;
    return stop.timed && std::chrono::steady_clock::now() >= stop.deadline;
}

void ActivityListSearch::crossover(const std::vector<int>& mother, const std::vector<int>& father,
                                   int from, int to, std::vector<int>& child)
{
    // Two-point crossover of activity lists: the mother's first `from` works, then the father's
    // next ones in his order up to position `to`, then the rest in the mother's order. Each part
    // keeps a precedence-feasible order, so the child is one too.
    const std::size_t n = mother.size();
    child.clear();
    std::fill(m_taken.begin(), m_taken.end(), 0);
    for (int i = 0; i < from; ++i) {
        child.push_back(mother[std::size_t(i)]);
        m_taken[std::size_t(mother[std::size_t(i)])] = 1;
    }
    for (std::size_t i = 0; i < n && int(child.size()) < to; ++i) {
        if (!m_taken[std::size_t(father[i])]) {
            child.push_back(father[i]);
            m_taken[std::size_t(father[i])] = 1;
        }
    }
    for (std::size_t i = 0; i < n; ++i)
        if (!m_taken[std::size_t(mother[i])])
            child.push_back(mother[i]);
}

void ActivityListSearch::mutate(std::vector<int>& list)
{
    for (std::size_t i = 0; i + 1 < list.size(); ++i) {
        if (randomShare(m_random) >= kMutation)
            continue;
        const auto predecessors = m_network.predecessors(list[i + 1]);
        if (std::find(predecessors.begin(), predecessors.end(), list[i]) == predecessors.end())
            std::swap(list[i], list[i + 1]);
    }
}

void ActivityListSearch::survive(std::vector<Individual>& population)
{
    // The shortest survive, each list once: copies of one good list would soon fill the whole
    // population and leave crossover nothing to combine. Copies make up the numbers only when
    // there are too few different lists.
    std::stable_sort(population.begin(), population.end(),
                     [](const Individual& x, const Individual& y) { return x.length < y.length; });
    std::vector<Individual> kept, copies;
    kept.reserve(population.size());
    std::size_t runStart = 0;
    for (Individual& individual : population) {
        if (!kept.empty() && kept.back().length != individual.length)
            runStart = kept.size();
        const bool copy =
            std::any_of(kept.begin() + std::ptrdiff_t(runStart), kept.end(),
                        [&](const Individual& other) { return other.list == individual.list; });
        (copy ? copies : kept).push_back(std::move(individual));
    }
    for (std::size_t i = 0; kept.size() < std::size_t(kPopulation) && i < copies.size(); ++i)
        kept.push_back(std::move(copies[i]));
    kept.resize(std::min(kept.size(), std::size_t(kPopulation)));
    population.swap(kept);
}

void ActivityListSearch::run(const Stop& stop, Race& race, int index)
{
    m_stop = &stop;
    const int n = m_network.size();
    std::vector<Individual> population;
    population.reserve(2 * kPopulation);
    if (m_withRules) {
        for (const PriorityRule rule : kRules) {
            population.push_back({priorityList(m_network, priorityValues(m_network, rule)), 0});
            evaluate(population.back());
            if (mustStop(stop, race, index))
                return;
        }
    }
    const std::vector<long long> latestFinish =
        priorityValues(m_network, PriorityRule::LatestFinish);
    while (int(population.size()) < kPopulation) {
        population.push_back({sampledList(m_network, latestFinish, m_random), 0});
        evaluate(population.back());
        if (mustStop(stop, race, index))
            return;
    }
    if (n < 2)
        return;
    std::vector<int> order(population.size());
    std::vector<Individual> children;
    for (;;) {
        std::iota(order.begin(), order.end(), 0);
        for (std::size_t i = order.size() - 1; i > 0; --i)
            std::swap(order[i], order[std::size_t(randomBelow(m_random, int(i) + 1))]);
        for (std::size_t pair = 0; pair + 1 < order.size(); pair += 2) {
            const std::vector<int>& mother = population[std::size_t(order[pair])].list;
            const std::vector<int>& father = population[std::size_t(order[pair + 1])].list;
            int from = randomBelow(m_random, n + 1);
            int to = randomBelow(m_random, n + 1);
            if (from > to)
                std::swap(from, to);
            for (int child = 0; child < 2; ++child) {
                Individual individual;
                crossover(child == 0 ? mother : father, child == 0 ? father : mother, from, to,
                          individual.list);
                mutate(individual.list);
                evaluate(individual);
                children.push_back(std::move(individual));
                if (mustStop(stop, race, index))
                    return;
            }
        }
        std::move(children.begin(), children.end(), std::back_inserter(population));
        children.clear();
        survive(population);
    }
}
