#include "LoadChartView.h"

#include "LoadChartPainter.h"

#include <QPainter>

LoadChartView::LoadChartView(const NumberFormat& numbers, QWidget* parent)
    : QWidget(parent), m_numbers(numbers)
{
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Qt::white);
    setPalette(colours);
    setMinimumHeight(200);
}

void LoadChartView::setLoad(ResourceLoad load, QString caption, qreal axisWidth)
{
    m_axisWidth = axisWidth;
    m_load = std::move(load);
    m_caption = std::move(caption);
    update();
}

void LoadChartView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paintLoadChart(painter, m_load, size(), m_caption, m_numbers, m_axisWidth);
}
