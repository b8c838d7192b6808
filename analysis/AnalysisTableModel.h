#pragma once

#include <QAbstractTableModel>

class AnalysisPage;

// A read-only view model over one page of the analysis: its texts as they are, numbers aligned
// right, the columns' hints as the captions' tool tips. The page must outlive the model.
class AnalysisTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit AnalysisTableModel(const AnalysisPage& page, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    const AnalysisPage& m_page;
};
