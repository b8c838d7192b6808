#include "AnalysisTableModel.h"

#include "AnalysisPage.h"

AnalysisTableModel::AnalysisTableModel(const AnalysisPage& page, QObject* parent)
    : QAbstractTableModel(parent), m_page(page)
{
}

int AnalysisTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_page.rowCount();
}

int AnalysisTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_page.columnCount();
}

QVariant AnalysisTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return m_page.text(index.row(), index.column());
    case Qt::ToolTipRole: {
        // A long text (a path, a finding) reads in full in the tip.
        const QString& text = m_page.text(index.row(), index.column());
        return m_page.columns()[index.column()].wraps && !text.isEmpty() ? QVariant(text)
                                                                         : QVariant();
    }
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(
            (m_page.columns()[index.column()].numeric ? Qt::AlignRight : Qt::AlignLeft) |
            Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant AnalysisTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_page.columnCount())
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (role) {
    case Qt::DisplayRole:
        return m_page.columns()[section].caption;
    case Qt::ToolTipRole:
        return m_page.columns()[section].hint;
    default:
        return {};
    }
}

Qt::ItemFlags AnalysisTableModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}
