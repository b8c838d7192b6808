#pragma once

#include <QString>
#include <QStringView>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

// The numbers of a work's details, each optional (a blank cell).
enum class DetailNumber : int {
    Optimistic = 0,   // the shortest duration the work may take by chance, in days
    Pessimistic = 1,  // the longest one; the duration cell is the most likely one
    Shortest = 2,     // the shortest duration it can be forced down to, in days
    NormalCost = 3,   // its cost at its duration
    ShortestCost = 4, // its cost at the shortest duration
};
inline constexpr int kDetailNumberCount = 5;

// What a resource is known by in the details: a number the plan gives it once and never reuses
// while the plan is open, so that renaming a resource touches no work.
using ResourceId = std::uint32_t;

struct ResourceDemand
{
    ResourceId resource = 0;
    double amount = 0; // units of the resource the work holds while it runs
    bool operator==(const ResourceDemand&) const = default;
};

// Everything a work holds beside its three input texts: its name, its estimates and costs, and
// what it demands of each resource. The numbers are values, not texts: the windows show them in
// the program's number text and the plan file writes them in a locale-free form, so a value goes
// to a file and back exactly. A default value is "no details", which costs a row nothing.
struct WorkDetails
{
    QString name;
    std::array<std::optional<double>, kDetailNumberCount> numbers;
    // Sorted by resource, one entry per resource, no zero left out (a typed 0 is kept as typed).
    std::vector<ResourceDemand> demands;

    std::optional<double> number(DetailNumber which) const { return numbers[std::size_t(which)]; }
    void setNumber(DetailNumber which, std::optional<double> value)
    {
        numbers[std::size_t(which)] = value;
    }
    // The demand for the resource, if one is set.
    std::optional<double> demand(ResourceId resource) const;
    void setDemand(ResourceId resource, std::optional<double> amount);

    // A work has estimates once both the optimistic and the pessimistic duration are set.
    bool hasEstimates() const
    {
        return number(DetailNumber::Optimistic) && number(DetailNumber::Pessimistic);
    }
    bool isEmpty() const;
    bool operator==(const WorkDetails&) const = default;

    // The compact form the work table and the undo steps keep: empty for no details, otherwise
    // a run of UTF-16 units that decode() reads back to the same details.
    QString encoded() const;
    // Reads what encoded() wrote (nothing else).
    static WorkDetails decode(QStringView encoded);
};
