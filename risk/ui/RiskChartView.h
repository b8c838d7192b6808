#pragma once

#include "RiskChart.h"

#include <QWidget>

class NumberFormat;

// The chart on screen: the shared paint routine stretched over the widget.
class RiskChartView : public QWidget
{
    Q_OBJECT

public:
    RiskChartView(const NumberFormat& numbers, QWidget* parent = nullptr);

    void setData(RiskChartData data);
    const RiskChartData& data() const { return m_data; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const NumberFormat& m_numbers;
    RiskChartData m_data;
};
