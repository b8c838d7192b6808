#pragma once

#include <QTableView>

class QHeaderView;
class QMenu;

// The grid sgMain: a view of the work table without header rows or columns. The user resizes a
// column or a row by dragging its grid line (the view has no visible headers to drag) and makes a
// row current by clicking or with the arrow keys. The grid itself edits, searches and copies
// nothing: the keys, the double click and the context menu that run commands are the main
// window's (CommandSet). A right click first makes the row under the pointer current, as in every
// spreadsheet, and then shows the context menu.
class WorkGrid : public QTableView
{
    Q_OBJECT

public:
    // The grid over the works, in the classic column widths and row height.
    explicit WorkGrid(QAbstractItemModel* works, QWidget* parent = nullptr);

    // The strip of column captions above the grid: a disabled header that still reads as the
    // table's captions, its sections as wide as the classic window had them.
    static QHeaderView* makeCaptions(QWidget* parent);

    void setContextMenu(QMenu* menu) { m_contextMenu = menu; }
    // The current row; 0 while there is none.
    int currentRow() const;
    void setCurrentRow(int row);

    void keyboardSearch(const QString& search) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
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
    QMenu* m_contextMenu = nullptr;
    int m_rowBeforeReset = 0;
};
