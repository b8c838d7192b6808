#include "ResourcesTable.h"

#include "DetailRules.h"
#include "KestrinError.h"
#include "NumberFormat.h"
#include "Plan.h"
#include "WorkFieldRule.h"

namespace {
constexpr const char16_t* kCaptions[ResourcesTable::kColumns] = {u"Ресурс", u"Ед. изм.",
                                                                 u"Доступно"};
} // namespace

ResourcesTable::ResourcesTable(Plan& plan, const NumberFormat& numbers, QObject* parent)
    : QAbstractTableModel(parent), m_plan(plan), m_numbers(numbers)
{
}

int ResourcesTable::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_plan.resources().size());
}

int ResourcesTable::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumns;
}

ResourceId ResourcesTable::resourceOfRow(int row) const
{
    return m_plan.resources()[std::size_t(row)].id;
}

QString ResourcesTable::text(int row, int column) const
{
    const Resource& resource = m_plan.resources()[std::size_t(row)];
    switch (column) {
    case Name:
        return resource.name;
    case Unit:
        return resource.unit;
    default:
        return resource.available ? m_numbers.format(*resource.available) : QString();
    }
}

QVariant ResourcesTable::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return text(index.row(), index.column());
    if (role == Qt::TextAlignmentRole && index.column() == Available)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant ResourcesTable::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section >= kColumns)
        return {};
    return QString::fromUtf16(kCaptions[section]);
}

Qt::ItemFlags ResourcesTable::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemNeverHasChildren;
}

void ResourcesTable::setText(int row, int column, QStringView text)
{
    Resource resource = m_plan.resources()[std::size_t(row)];
    const QString word = QString::fromUtf16(kCaptions[column]);
    if (const QString problem = workfield::freeTextProblem(text, word); !problem.isEmpty())
        throw KestrinError(problem);
    if (column == Name) {
        if (text.trimmed().isEmpty())
            throw KestrinError(QStringLiteral("Имя ресурса пусто"));
        for (const Resource& other : m_plan.resources()) {
            if (other.id != resource.id && other.name == text)
                throw KestrinError(
                    QStringLiteral("Ресурс «%1» уже есть").arg(workfield::quotedBeginning(text)));
        }
        resource.name = text.toString();
    } else if (column == Unit) {
        resource.unit = text.toString();
    } else {
        resource.available = detailrules::parseNumber(text, word, m_numbers);
        if (resource.available && *resource.available < 0)
            throw KestrinError(QStringLiteral("Доступно меньше нуля"));
    }
    m_plan.updateResource(resource);
    emit dataChanged(index(row, column), index(row, column), {Qt::DisplayRole});
    if (column == Name)
        emit resourcesChanged();
}

int ResourcesTable::addResource()
{
    const int row = rowCount();
    beginInsertRows(QModelIndex(), row, row);
    m_plan.addResource();
    endInsertRows();
    emit resourcesChanged();
    return row;
}

void ResourcesTable::removeResource(int row)
{
    beginRemoveRows(QModelIndex(), row, row);
    m_plan.removeResource(resourceOfRow(row));
    endRemoveRows();
    emit resourcesChanged();
}
