#pragma once

#include "LoadChartPainter.h"
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

    // The profile, its caption, and the room of its amount axis on the left, in pixels.
    void setLoad(ResourceLoad load, QString caption, qreal axisWidth = loadchart::kAmountAxisWidth);
    const ResourceLoad& load() const { return m_load; }
    const QString& caption() const { return m_caption; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    NumberFormat m_numbers;
    ResourceLoad m_load;
    QString m_caption;
    qreal m_axisWidth = loadchart::kAmountAxisWidth;
};
