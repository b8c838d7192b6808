#pragma once

#include "WorkDetails.h"

#include <QAbstractTableModel>
#include <QStringView>

class NumberFormat;
class Plan;

// The plan's resources as the details window lists them: "Ресурс", "Ед. изм.", "Доступно", edited
// in place. A refused text raises and changes nothing.
class ResourcesTable final : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column : int { Name = 0, Unit, Available, kColumns };

    ResourcesTable(Plan& plan, const NumberFormat& numbers, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    QString text(int row, int column) const;
    void setText(int row, int column, QStringView text);

    // Adds "Ресурс N" at the end; gives its row.
    int addResource();
    void removeResource(int row);
    ResourceId resourceOfRow(int row) const;

signals:
    // A resource came, went or was renamed: the details' columns follow.
    void resourcesChanged();

private:
    Plan& m_plan;
    const NumberFormat& m_numbers;
};
