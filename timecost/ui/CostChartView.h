#pragma once

#include "CostChartPainter.h"
#include "NumberFormat.h"

#include <QWidget>

// The chart on screen, stretched to the widget: the same paint routine as the print and files.
class CostChartView : public QWidget
{
    Q_OBJECT

public:
    CostChartView(const NumberFormat& numbers, QWidget* parent = nullptr);

    void setChart(CostChart chart);
    const CostChart& chart() const { return m_chart; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    NumberFormat m_numbers;
    CostChart m_chart;
};
