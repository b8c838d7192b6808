#include "RiskChartView.h"

#include <QPainter>

RiskChartView::RiskChartView(const NumberFormat& numbers, QWidget* parent)
    : QWidget(parent), m_numbers(numbers)
{
    setMinimumSize(360, 200);
}

void RiskChartView::setData(RiskChartData data)
{
    m_data = std::move(data);
    update();
}

void RiskChartView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paintRiskChart(painter, m_data, size(), m_numbers);
}
