#pragma once

#include "DetailsTable.h"

#include <QDialog>

class NumberFormat;
class Plan;
class QTableView;
class QToolButton;
class ResourcesTable;
class WorkTable;

// The details window fmDetails: the works' details in sgDetails, one row per work, edited in place
// (type, F2 or double click; Enter commits, Escape cancels) and copied or pasted as blocks of
// tab-separated cells; the plan's resources in sgResources with sbAddResource and sbDelResource.
// Every change of the details goes to `change` (the main window's undo history); a refused value
// shows the error box and the cell keeps its old value.
class TfmDetails final : public QDialog
{
    Q_OBJECT

public:
    TfmDetails(WorkTable& table, Plan& plan, const NumberFormat& numbers,
               DetailsTable::Change change, QWidget* parent = nullptr);

    void sbAddResourceClick();
    void sbDelResourceClick();
    void copyDetails();
    void pasteDetails();

signals:
    // A resource was added, edited or removed (the plan changed already).
    void resourcesEdited();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    WorkTable& m_table;
    Plan& m_plan;
    DetailsTable::Change m_change;
    DetailsTable* m_details = nullptr;
    ResourcesTable* m_resources = nullptr;

    QTableView* sgDetails = nullptr;
    QTableView* sgResources = nullptr;
    QToolButton* sbAddResource = nullptr;
    QToolButton* sbDelResource = nullptr;
};
