#include "Plan.h"

#include "KestrinError.h"

#include <algorithm>

namespace {

template <typename Resources> auto findResource(Resources& resources, ResourceId id)
{
    return std::find_if(resources.begin(), resources.end(),
                        [id](const Resource& resource) { return resource.id == id; });
}

} // namespace

const Resource* Plan::resource(ResourceId id) const
{
    const auto found = findResource(m_resources, id);
    return found == m_resources.end() ? nullptr : &*found;
}

ResourceId Plan::addResource()
{
    Resource resource;
    for (int number = 1;; ++number) {
        resource.name = QStringLiteral("Ресурс %1").arg(number);
        if (std::none_of(m_resources.begin(), m_resources.end(),
                         [&](const Resource& r) { return r.name == resource.name; }))
            break;
    }
    resource.id = m_nextId;
    addResource(resource);
    return resource.id;
}

void Plan::addResource(Resource resource)
{
    if (resource.id == 0 || this->resource(resource.id))
        throw KestrinError(QStringLiteral("Ресурс с номером %1 уже есть").arg(resource.id));
    m_nextId = std::max(m_nextId, resource.id + 1);
    m_resources.push_back(std::move(resource));
}

void Plan::updateResource(const Resource& resource)
{
    const auto found = findResource(m_resources, resource.id);
    Q_ASSERT(found != m_resources.end());
    *found = resource;
}

void Plan::removeResource(ResourceId id)
{
    const auto found = findResource(m_resources, id);
    if (found != m_resources.end())
        m_resources.erase(found);
}

void Plan::setResources(std::vector<Resource> resources)
{
    for (const Resource& resource : resources)
        m_nextId = std::max(m_nextId, resource.id + 1);
    m_resources = std::move(resources);
}

void Plan::setEnds(QString startEvent, QString endEvent, bool automatic)
{
    m_startEvent = std::move(startEvent);
    m_endEvent = std::move(endEvent);
    m_automaticEnds = automatic;
}

void Plan::setGraphPlacement(std::vector<EventPlacement> placement)
{
    m_placement = std::move(placement);
}

PlanSection Plan::section(const QString& name) const
{
    const auto found = m_sections.find(name);
    return found == m_sections.end() ? PlanSection() : found->second;
}

void Plan::setSection(const QString& name, PlanSection section)
{
    Q_ASSERT(!name.isEmpty());
    if (section.empty())
        m_sections.erase(name);
    else
        m_sections[name] = std::move(section);
}

bool Plan::hasPlanData() const
{
    return !m_resources.empty() || !m_placement.empty() || !m_sections.empty();
}

bool Plan::operator==(const Plan& other) const
{
    return m_resources == other.m_resources && m_startDate == other.m_startDate &&
           m_startEvent == other.m_startEvent && m_endEvent == other.m_endEvent &&
           m_automaticEnds == other.m_automaticEnds && m_placement == other.m_placement &&
           m_sections == other.m_sections;
}
