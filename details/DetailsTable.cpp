#include "DetailsTable.h"

#include "DelimitedText.h"
#include "DetailRules.h"
#include "KestrinError.h"
#include "NumberFormat.h"
#include "Plan.h"
#include "WorkInputs.h"
#include "WorkTable.h"

#include <QStringList>

namespace {

// The captions of the columns before the details'.
constexpr const char16_t* kCaptions[DetailsTable::Name] = {u"№", u"Начало", u"Конец",
                                                           u"Продолжит."};

DetailNumber numberOf(int column)
{
    return static_cast<DetailNumber>(column - DetailsTable::Optimistic);
}

bool isNumberColumn(int column)
{
    return column >= DetailsTable::Optimistic && column <= DetailsTable::ShortestCost;
}

} // namespace

DetailsTable::DetailsTable(WorkTable& table, const Plan& plan, const NumberFormat& numbers,
                           Change change, QObject* parent)
    : QAbstractTableModel(parent), m_table(table), m_plan(plan), m_numbers(numbers),
      m_change(std::move(change))
{
    // The rows are the work table's: its announcements are passed on as they come.
    connect(&table, &QAbstractItemModel::modelAboutToBeReset, this, &DetailsTable::beginResetModel);
    connect(&table, &QAbstractItemModel::modelReset, this, &DetailsTable::endResetModel);
    connect(&table, &QAbstractItemModel::rowsAboutToBeInserted, this,
            [this](const QModelIndex&, int first, int last) {
                beginInsertRows(QModelIndex(), first, last);
            });
    connect(&table, &QAbstractItemModel::rowsInserted, this, &DetailsTable::endInsertRows);
    connect(&table, &QAbstractItemModel::rowsAboutToBeRemoved, this,
            [this](const QModelIndex&, int first, int last) {
                beginRemoveRows(QModelIndex(), first, last);
            });
    connect(&table, &QAbstractItemModel::rowsRemoved, this, &DetailsTable::endRemoveRows);
    const auto rowsChanged = [this](int first, int last) {
        emit dataChanged(index(first, 0), index(last, columnCount() - 1), {Qt::DisplayRole});
    };
    connect(&table, &QAbstractItemModel::dataChanged, this,
            [rowsChanged](const QModelIndex& from, const QModelIndex& to) {
                rowsChanged(from.row(), to.row());
            });
    connect(&table, &WorkTable::detailsChanged, this, rowsChanged);
}

int DetailsTable::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_table.rowCount();
}

int DetailsTable::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kFixedColumns + int(m_plan.resources().size());
}

ResourceId DetailsTable::resourceOfColumn(int column) const
{
    const int at = column - kFixedColumns;
    return at >= 0 && at < int(m_plan.resources().size()) ? m_plan.resources()[std::size_t(at)].id
                                                          : 0;
}

QString DetailsTable::text(int row, int column) const
{
    switch (column) {
    case Number:
        return QString::number(row + 1);
    case Start:
        return m_table.cell(WorkColumn::StartEvent, row);
    case End:
        return m_table.cell(WorkColumn::EndEvent, row);
    case Duration:
        return m_table.cell(WorkColumn::Duration, row);
    default:
        break;
    }
    if (m_table.detailsText(row).isEmpty())
        return {};
    const WorkDetails details = m_table.details(row);
    std::optional<double> value;
    if (column == Name)
        return details.name;
    if (isNumberColumn(column))
        value = details.number(numberOf(column));
    else
        value = details.demand(resourceOfColumn(column));
    return value ? m_numbers.format(*value) : QString();
}

QVariant DetailsTable::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return text(index.row(), index.column());
    if (role == Qt::TextAlignmentRole && index.column() != Name && index.column() != Start &&
        index.column() != End)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant DetailsTable::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section >= columnCount())
        return {};
    if (section < Name)
        return QString::fromUtf16(kCaptions[section]);
    if (section == Name)
        return detailrules::nameCaption();
    if (isNumberColumn(section))
        return detailrules::numberCaption(numberOf(section));
    return m_plan.resources()[std::size_t(section - kFixedColumns)].name;
}

Qt::ItemFlags DetailsTable::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    const Qt::ItemFlags shown = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    return index.column() < Name ? shown : shown | Qt::ItemIsEditable;
}

WorkDetails DetailsTable::withText(WorkDetails details, int column, QStringView text) const
{
    if (column == Name) {
        details.name = text.toString();
    } else if (isNumberColumn(column)) {
        details.setNumber(
            numberOf(column),
            detailrules::parseNumber(text, detailrules::numberWord(numberOf(column)), m_numbers));
    } else {
        const ResourceId resource = resourceOfColumn(column);
        Q_ASSERT(resource != 0);
        details.setDemand(
            resource,
            detailrules::parseNumber(text, detailrules::demandWord(m_plan.resource(resource)->name),
                                     m_numbers));
    }
    return details;
}

void DetailsTable::setText(int row, int column, QStringView text)
{
    Q_ASSERT(column >= Name && column < columnCount());
    const WorkDetails details = withText(m_table.details(row), column, text);
    if (details == m_table.details(row))
        return;
    const WorkInputs changed = detailrules::checkedRow(m_table, row, details, m_plan, m_numbers);
    m_change(row, 1, changed);
}

QString DetailsTable::copyBlock(int top, int left, int bottom, int right) const
{
    QString out;
    for (int row = top; row <= bottom; ++row) {
        for (int column = left; column <= right; ++column) {
            if (column > left)
                out += u'\t';
            delimitedtext::appendField(out, text(row, column), u'\t');
        }
        out += u"\r\n";
    }
    return out;
}

void DetailsTable::pasteBlock(int top, int left, QStringView text)
{
    std::vector<QStringList> block;
    delimitedtext::forEachRecord(
        text, u'\t', [&block](const QStringList& fields, int) { block.push_back(fields); });
    if (block.empty())
        throw KestrinError(QStringLiteral("В буфере обмена нет ячеек"));
    const int rows = int(block.size());
    if (top + rows > m_table.rowCount())
        throw KestrinError(
            QStringLiteral("Вставляемые строки (%1) не умещаются до последней работы; "
                           "ничего не вставлено")
                .arg(rows));
    WorkInputs changed;
    for (int i = 0; i < rows; ++i) {
        const int row = top + i;
        try {
            const QStringList& cells = block[std::size_t(i)];
            if (left + cells.size() > columnCount())
                throw KestrinError(QStringLiteral("ячеек больше, чем столбцов"));
            WorkDetails details = m_table.details(row);
            for (int j = 0; j < cells.size(); ++j) {
                if (left + j >= Name)
                    details = withText(std::move(details), left + j, cells[j]);
            }
            WorkInputs work = detailrules::checkedRow(m_table, row, details, m_plan, m_numbers);
            WorkInputs::Reader reader(work);
            QString start, end, duration, encoded;
            reader.next(start, end, duration, encoded);
            changed.appendEncoded(start, end, duration, encoded);
        } catch (const KestrinError& error) {
            throw KestrinError(QStringLiteral("Строка %1: %2; ничего не вставлено")
                                   .arg(row + 1)
                                   .arg(error.message()));
        }
    }
    m_change(top, rows, changed);
}

void DetailsTable::resourcesChanged()
{
    beginResetModel();
    endResetModel();
}
