#include "CostChartView.h"

#include <QPainter>

CostChartView::CostChartView(const NumberFormat& numbers, QWidget* parent)
    : QWidget(parent), m_numbers(numbers)
{
}

void CostChartView::setChart(CostChart chart)
{
    m_chart = std::move(chart);
    update();
}

QSize CostChartView::sizeHint() const
{
    return kCostChartSize.toSize();
}

void CostChartView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paintCostChart(painter, m_chart, size(), m_numbers);
}
