#include "WorkGrid.h"

#include "WorkCells.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLocale>
#include <QMenu>
#include <QMouseEvent>
#include <QStandardItemModel>

#include <algorithm>
#include <array>

namespace {

constexpr int kGrip = 3; // pixels on either side of a grid line that take a drag
constexpr int kMinimumSize = 4;
constexpr int kRowHeight = 16;
constexpr int kCaptionsHeight = 22;

struct ColumnLook
{
    int gridWidth;
    int headerWidth;
    Qt::Alignment headerAlignment;
};

constexpr std::array<ColumnLook, kWorkColumnCount> kColumns{{
    {100, 104, Qt::AlignLeft},
    {78, 79, Qt::AlignHCenter},
    {78, 79, Qt::AlignHCenter},
    {71, 72, Qt::AlignLeft},
    {42, 43, Qt::AlignLeft},
    {42, 43, Qt::AlignLeft},
    {43, 44, Qt::AlignLeft},
    {43, 44, Qt::AlignLeft},
    {44, 45, Qt::AlignLeft},
    {44, 45, Qt::AlignLeft},
    {60, 60, Qt::AlignLeft},
}};

const ColumnLook& lookOf(int column)
{
    return kColumns[static_cast<std::size_t>(column)];
}

} // namespace

WorkGrid::WorkGrid(QAbstractItemModel* works, QWidget* parent) : QTableView(parent)
{
    viewport()->setMouseTracking(true);
    setObjectName(QStringLiteral("sgMain"));
    setAccessibleName(QStringLiteral("Таблица работ"));
    setModel(works);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(kRowHeight);
    horizontalHeader()->setMinimumSectionSize(1);
    for (int column = 0; column < kWorkColumnCount; ++column)
        setColumnWidth(column, lookOf(column).gridWidth);
    setShowGrid(true);
    setWordWrap(false);
    // A cell too narrow for its text shows what fits, as a classic grid does, not an ellipsis.
    setTextElideMode(Qt::ElideNone);

    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setTabKeyNavigation(false);
    setLayoutDirection(QLocale::system().textDirection());
    setCurrentIndex(works->index(0, 0));
    connect(works, &QAbstractItemModel::rowsRemoved, this, [this] {
        const QModelIndex current = currentIndex();
        if (!current.isValid() || current.row() >= model()->rowCount())
            setCurrentRow(model()->rowCount() - 1);
    });
    // A batch that changed the row count resets the model, which forgets the current row.
    connect(works, &QAbstractItemModel::modelAboutToBeReset, this,
            [this] { m_rowBeforeReset = currentRow(); });
    connect(works, &QAbstractItemModel::modelReset, this,
            [this] { setCurrentRow(std::min(m_rowBeforeReset, model()->rowCount() - 1)); });
}

QHeaderView* WorkGrid::makeCaptions(QWidget* parent)
{
    auto* captions = new QStandardItemModel(0, kWorkColumnCount, parent);
    auto* strip = new QHeaderView(Qt::Horizontal, parent);
    strip->setObjectName(QStringLiteral("HeaderControl1"));
    strip->setModel(captions);
    for (int column = 0; column < kWorkColumnCount; ++column) {
        captions->setHeaderData(column, Qt::Horizontal,
                                workColumnCaption(static_cast<WorkColumn>(column)),
                                Qt::DisplayRole);
        captions->setHeaderData(
            column, Qt::Horizontal,
            QVariant::fromValue(lookOf(column).headerAlignment | Qt::AlignVCenter),
            Qt::TextAlignmentRole);
    }
    strip->setSectionResizeMode(QHeaderView::Fixed);
    strip->setMinimumSectionSize(1);
    for (int column = 0; column < kWorkColumnCount; ++column)
        strip->resizeSection(column, lookOf(column).headerWidth);
    strip->setSectionsClickable(false);
    strip->setSectionsMovable(false);
    strip->setHighlightSections(false);
    strip->setStretchLastSection(false);
    strip->setFixedHeight(kCaptionsHeight);
    // A disabled strip that still reads as the table's captions, not as greyed-out text.
    QPalette palette = strip->palette();
    for (const QPalette::ColorRole role :
         {QPalette::ButtonText, QPalette::WindowText, QPalette::Text})
        palette.setColor(QPalette::Disabled, role, palette.color(QPalette::Active, role));
    strip->setPalette(palette);
    strip->setEnabled(false);
    return strip;
}

int WorkGrid::currentRow() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() : 0;
}

void WorkGrid::setCurrentRow(int row)
{
    selectionModel()->setCurrentIndex(model()->index(row, 0), QItemSelectionModel::ClearAndSelect |
                                                                  QItemSelectionModel::Rows);
}

void WorkGrid::contextMenuEvent(QContextMenuEvent* event)
{
    if (!m_contextMenu)
        return;
    QPoint at = event->globalPos();
    if (event->reason() == QContextMenuEvent::Mouse) {
        const QModelIndex under = indexAt(viewport()->mapFromGlobal(at));
        if (under.isValid())
            setCurrentRow(under.row());
    } else {
        // From the keyboard: at the current row.
        const QRect row = visualRect(model()->index(currentRow(), 0));
        at = viewport()->mapToGlobal(row.isValid() ? row.bottomLeft() : QPoint());
    }
    m_contextMenu->popup(at);
    event->accept();
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
