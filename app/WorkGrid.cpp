#include "WorkGrid.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>

namespace {
constexpr int kGrip = 3; // pixels on either side of a grid line that take a drag
constexpr int kMinimumSize = 4;
} // namespace

WorkGrid::WorkGrid(QWidget* parent) : QTableView(parent)
{
    viewport()->setMouseTracking(true);
}

void WorkGrid::keyboardSearch(const QString&) {}

void WorkGrid::keyPressEvent(QKeyEvent* event)
{
    if (event == QKeySequence::Copy || event == QKeySequence::SelectAll) {
        event->ignore();
        return;
    }
    QTableView::keyPressEvent(event);
}

int WorkGrid::columnLineAt(int x) const
{
    const int column = columnAt(x);
    for (const int candidate : {column, column - 1, column < 0 ? model()->columnCount() - 1 : -1}) {
        if (candidate < 0 || candidate >= model()->columnCount())
            continue;
        const int line = columnViewportPosition(candidate) + columnWidth(candidate);
        if (std::abs(line - x) <= kGrip)
            return candidate;
    }
    return -1;
}

int WorkGrid::rowLineAt(int y) const
{
    const int row = rowAt(y);
    for (const int candidate : {row, row - 1}) {
        if (candidate < 0 || candidate >= model()->rowCount())
            continue;
        const int line = rowViewportPosition(candidate) + rowHeight(candidate);
        if (std::abs(line - y) <= kGrip)
            return candidate;
    }
    return -1;
}

bool WorkGrid::viewportEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint at = mouse->position().toPoint();
        if (mouse->button() != Qt::LeftButton)
            break;
        if (const int column = columnLineAt(at.x()); column >= 0) {
            m_dragOrientation = Qt::Horizontal;
            m_dragSection = column;
            m_dragStart = at.x();
            m_dragStartSize = columnWidth(column);
            return true;
        }
        if (const int row = rowLineAt(at.y()); row >= 0) {
            m_dragOrientation = Qt::Vertical;
            m_dragSection = row;
            m_dragStart = at.y();
            m_dragStartSize = rowHeight(row);
            return true;
        }
        break;
    }
    case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint at = mouse->position().toPoint();
        if (m_dragSection >= 0) {
            const int delta = (m_dragOrientation == Qt::Horizontal ? at.x() : at.y()) - m_dragStart;
            const int size = std::max(kMinimumSize, m_dragStartSize + delta);
            if (m_dragOrientation == Qt::Horizontal)
                setColumnWidth(m_dragSection, size);
            else
                setRowHeight(m_dragSection, size);
            return true;
        }
        if (columnLineAt(at.x()) >= 0)
            viewport()->setCursor(Qt::SplitHCursor);
        else if (rowLineAt(at.y()) >= 0)
            viewport()->setCursor(Qt::SplitVCursor);
        else
            viewport()->unsetCursor();
        break;
    }
    case QEvent::MouseButtonDblClick: {
        // A double click on a grid line belongs to the resizing, not to the row beside it.
        const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
        if (columnLineAt(at.x()) >= 0 || rowLineAt(at.y()) >= 0)
            return true;
        break;
    }
    case QEvent::MouseButtonRelease:
        if (m_dragSection >= 0) {
            m_dragSection = -1;
            return true;
        }
        break;
    case QEvent::Leave:
        if (m_dragSection < 0)
            viewport()->unsetCursor();
        break;
    default:
        break;
    }
    return QTableView::viewportEvent(event);
}
