#pragma once

#include "NumberFormat.h"
#include "ResourceTables.h"

#include <QWidget>

// Shows a load profile filling the widget, painted by paintLoadChart as the files and the print
// paint it.
class LoadChartView : public QWidget
{
    Q_OBJECT

public:
    explicit LoadChartView(const NumberFormat& numbers, QWidget* parent = nullptr);

    void setLoad(ResourceLoad load, QString caption);
    const ResourceLoad& load() const { return m_load; }
    const QString& caption() const { return m_caption; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    NumberFormat m_numbers;
    ResourceLoad m_load;
    QString m_caption;
};
