#pragma once

#include "WorkDetails.h"

#include <QPoint>
#include <QString>

#include <map>
#include <optional>
#include <vector>

// A resource the works may demand.
struct Resource
{
    ResourceId id = 0;
    QString name;
    QString unit;                    // "чел.", "шт.", free text
    std::optional<double> available; // units at hand at any time; blank when unknown
    bool operator==(const Resource&) const = default;
};

// Where the user put an event's marker in the graph window, in the drawing area's pixels.
struct EventPlacement
{
    QString event;
    QPoint at;
    bool operator==(const EventPlacement&) const = default;
};

// The settings of one later capability, kept by the plan and its file without the plan knowing
// what they mean: keys and values are texts, numbers in them locale-free (a dot, std::to_chars),
// dates as ISO 8601. A capability reads and writes its own section through typed accessors in its
// own library; the plan file keeps every section it reads, known to this build or not.
using PlanSection = std::map<QString, QString>;

// The names of the sections of the capabilities that are coming, one place for all of them: add
// a capability's name here, and its settings go into the plan file with nothing else to change.
namespace plansection {
inline constexpr char16_t kCalendar[] = u"calendar";        // working days and holidays
inline constexpr char16_t kDirective[] = u"directive";      // the directive date of the project
inline constexpr char16_t kProjectCost[] = u"project-cost"; // cost per day of the whole project
inline constexpr char16_t kSimulation[] = u"simulation";    // runs, seed, confidence
inline constexpr char16_t kLevelling[] = u"levelling";      // the levelled starts of the works
} // namespace plansection

// Everything of a plan that is not in the work table: the resources, the start date, the ends of
// the network and the automatic mode, the graph window's placement, the later capabilities'
// sections. Widget-free; the window that shows a plan holds one of these beside its WorkTable,
// and the plan file reads and writes the two together.
class Plan
{
public:
    // The start date of the first calendar day a fresh window shows, in days from 30.12.1899.
    static constexpr double kInitialStartDate = 0.0001965077760934254;

    const std::vector<Resource>& resources() const { return m_resources; }
    const Resource* resource(ResourceId id) const;
    // Adds a resource named "Ресурс N" with the first N no resource is named after; gives its id.
    ResourceId addResource();
    // Adds a resource as it is, keeping its id (a file's); raises when the id is taken.
    void addResource(Resource resource);
    // Replaces the resource of the same id (its name, unit, amount).
    void updateResource(const Resource& resource);
    void removeResource(ResourceId id);
    // Puts back a list of resources as it stood (an undo step's); ids given since stay given.
    void setResources(std::vector<Resource> resources);

    double startDate() const { return m_startDate; }
    void setStartDate(double days) { m_startDate = days; }

    const QString& startEvent() const { return m_startEvent; }
    const QString& endEvent() const { return m_endEvent; }
    bool automaticEnds() const { return m_automaticEnds; }
    void setEnds(QString startEvent, QString endEvent, bool automatic);

    // Empty when the user placed no event (the window then places them itself).
    const std::vector<EventPlacement>& graphPlacement() const { return m_placement; }
    void setGraphPlacement(std::vector<EventPlacement> placement);

    const std::map<QString, PlanSection>& sections() const { return m_sections; }
    // The section of the name; empty when the plan has none.
    PlanSection section(const QString& name) const;
    // A section has a name; an empty section is removed.
    void setSection(const QString& name, PlanSection section);

    // Whether the plan holds anything a work list file cannot: resources, placement, sections.
    // (The start date and the ends are the window's own state whatever the file.)
    bool hasPlanData() const;

    // The same plan, whatever ids were given and taken back on the way.
    bool operator==(const Plan& other) const;

private:
    std::vector<Resource> m_resources;
    ResourceId m_nextId = 1;
    double m_startDate = kInitialStartDate;
    QString m_startEvent;
    QString m_endEvent;
    bool m_automaticEnds = true;
    std::vector<EventPlacement> m_placement;
    std::map<QString, PlanSection> m_sections;
};
