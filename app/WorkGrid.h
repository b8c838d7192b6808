#pragma once

#include <QTableView>

// The grid sgMain: a view of the work table without header rows or columns. The user resizes a
// column or a row by dragging its grid line (the view has no visible headers to drag) and makes a
// row current by clicking or with the arrow keys. The grid itself edits, searches and copies
// nothing: the keys and the double click that run commands are the main window's (CommandKeys).
class WorkGrid : public QTableView
{
    Q_OBJECT

public:
    explicit WorkGrid(QWidget* parent = nullptr);

    void keyboardSearch(const QString& search) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    // The column (or row) whose right (or lower) grid line lies within a few pixels of the point,
    // or -1.
    int columnLineAt(int x) const;
    int rowLineAt(int y) const;

    Qt::Orientation m_dragOrientation = Qt::Horizontal;
    int m_dragSection = -1;
    int m_dragStart = 0;
    int m_dragStartSize = 0;
};
